// The operating system, the registry, orxlink and the outside libraries as orxload sees
// them, each answer taken from the fuzzer's input. Every answer keeps the calling
// contract of the real call (a buffer is never written past the room it was given), and
// within it anything goes: any registry type and size, texts with or without NUL, any
// status, any count.
#include "loader_fuzz_platform.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "../common/registry.h"
#include "key_device_list.h"
#include "loader_platform.h"
#include "orxlink.h"
#include "outside_api.h"

namespace {

const uint8_t* input = nullptr;
size_t input_left = 0;
int open_keys = 0;
volatile uint8_t sink;

// Module handles: one token per kind of module.
char program_token, crypto_token, reader_token, akkord_token, resource_token;

} // namespace

void lf_begin(const uint8_t* data, size_t size) {
    input = data;
    input_left = size;
    open_keys = 0;
}

void lf_end() {
    if (open_keys != 0)
        lf_fail("registry key left open");
}

void lf_fail(const char* what) {
    fprintf(stderr, "loader fuzz: %s\n", what);
    abort();
}

uint8_t lf_byte() {
    if (input_left == 0)
        return 0;
    --input_left;
    return *input++;
}
// Little-endian; each byte taken in its own statement, so every compiler reads the same.
uint16_t lf_u16() {
    uint16_t low = lf_byte();
    return uint16_t(low | lf_byte() << 8);
}
uint32_t lf_u32() {
    uint32_t low = lf_u16();
    return low | uint32_t(lf_u16()) << 16;
}
bool lf_done() {
    return input_left == 0;
}

int16_t lf_status() {
    // The reader's codes and the key-medium request, and the edges of the range.
    static const int16_t known[] = {4000, 4001, 4100, 4101, 4102, 32767, -1, -32768};
    uint8_t b = lf_byte();
    if (b < 0x80)
        return int16_t(b == 1 ? 0 : b);
    return b < 0x88 ? known[b - 0x80] : int16_t(lf_u16());
}

void lf_fill(void* out, size_t size) {
    uint8_t fill = lf_byte();
    uint8_t* bytes = static_cast<uint8_t*>(out);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = fill ? fill : lf_byte();
}

void lf_touch(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum = uint8_t(sum + bytes[i]);
    sink = sum;
}
void lf_touch_text(const char* text) {
    lf_touch(text, strlen(text));
}

// --- the registry: a key opens or not, and each value is made up when it is read ---

namespace {

void* new_key() {
    ++open_keys;
    return new char;
}

// A value's length: mostly small, sometimes up to 65535 (the mask's limit is 4096).
uint32_t value_length() {
    uint8_t b = lf_byte();
    return b == 0xFF ? lf_u16() : b;
}

// Names a subkey: a known key-device or component name, or any text.
std::string subkey_name() {
    static const char* const extra[] = {"Support", "orxload", "RANDOM", "KeyDevices"};
    uint8_t b = lf_byte();
    if (b < KeyDeviceTableSize)
        return KeyDeviceTable[b].registry_name;
    if (b < KeyDeviceTableSize + 4)
        return extra[b - KeyDeviceTableSize];
    std::string name(b % 64 + 1, 'k');
    lf_fill(&name[0], name.size());
    return name;
}

} // namespace

void* plat_user_key_create(const char* path, int* created) {
    lf_touch_text(path);
    uint8_t b = lf_byte();
    if (b == 1)
        return nullptr;
    *created = b == 2;
    return new_key();
}

void* plat_user_key_open(const char* path, int) {
    lf_touch_text(path);
    return lf_byte() == 1 ? nullptr : new_key();
}

void* plat_machine_key_open(const char* path, int access) {
    return plat_user_key_open(path, access);
}

void plat_reg_close(void* key) {
    if (!key)
        lf_fail("null key closed");
    --open_keys;
    delete static_cast<char*>(key);
}

// RegQueryValueEx: a null buffer asks for the size; a buffer too small gets MORE_DATA and
// garbage, so that a caller trusting it shows.
uint32_t plat_reg_query(void* key, const char* name, uint32_t* type, void* buffer, uint32_t* size) {
    if (!key)
        lf_fail("query on a null key");
    lf_touch_text(name);
    uint8_t mode = lf_byte();
    if (mode % 4 == 1)
        return ORX_ERROR_FILE_NOT_FOUND;
    if (mode % 4 == 2)
        return 5; // access denied
    *type = lf_byte();
    uint32_t length = value_length();
    uint32_t room = *size;
    *size = length;
    if (!buffer)
        return 0;
    if (length > room) {
        memset(buffer, 0xA5, room);
        return ORX_ERROR_MORE_DATA;
    }
    lf_fill(buffer, length);
    return 0;
}

uint32_t plat_reg_write_binary(void*, const char* name, const void* data, uint32_t size) {
    lf_touch_text(name);
    lf_touch(data, size);
    return lf_byte() == 1 ? 5 : 0;
}

uint32_t plat_reg_write_string(void* key, const char* name, const char* text) {
    return plat_reg_write_binary(key, name, text, uint32_t(strlen(text) + 1));
}

uint32_t plat_reg_write_dword(void* key, const char* name, uint32_t value) {
    return plat_reg_write_binary(key, name, &value, sizeof value);
}

// RegEnumKeyEx: a name that does not fit is not given; the list ends with the input.
int plat_reg_subkey(void*, uint32_t, char* name, uint32_t size) {
    if (lf_done() || lf_byte() != 0)
        return 0;
    std::string n = subkey_name();
    if (n.size() + 1 > size)
        return 0;
    memcpy(name, n.c_str(), n.size() + 1);
    return 1;
}

// --- the outside libraries ---

namespace {

int16_t ORX_OUTSIDE_API init_key(const char* device, const char* id) {
    lf_touch_text(device);
    lf_touch_text(id);
    return lf_status();
}

// Up to 16 entries of any bytes; the count reported may be anything.
int16_t ORX_OUTSIDE_API get_drv_info(DrvKeyInfo* entries, uint32_t* count) {
    uint32_t written = lf_byte() % (ORX_DRV_KEY_INFO_MAX + 1);
    for (uint32_t i = 0; i < written; ++i)
        lf_fill(&entries[i], sizeof entries[i]);
    uint8_t b = lf_byte();
    *count = b < 0xF0 ? written : b == 0xFF ? lf_u32() : b - 0xF0 + 14;
    return lf_status();
}

int16_t ORX_OUTSIDE_API reset_key_ex(const char* id, int32_t) {
    lf_touch_text(id);
    return lf_status();
}

int32_t ORX_OUTSIDE_API lokey_call(LokeyRequest* request) {
    lf_touch(request, sizeof *request);
    lf_fill(request->bytes, lf_byte() % 64); // the library may write into the request
    return lf_status();
}

// Any text up to the capacity given, with or without NUL; the length reported back may be
// anything.
int32_t ORX_OUTSIDE_API rdr_error_a(int32_t, int32_t, uint32_t* length, char* text) {
    uint8_t b = lf_byte();
    if (b == 1)
        return 1;
    uint32_t n = lf_byte() == 0xFF ? *length : lf_u16() % (*length + 1);
    lf_fill(text, n);
    if (b == 2)
        *length = lf_u32();
    return 0;
}

int32_t ORX_OUTSIDE_API tm_present() {
    return int32_t(lf_byte() ^ 1);
}

uint16_t ORX_OUTSIDE_API tm_info(int32_t, uint8_t* info, int32_t size, uint32_t* extra) {
    lf_fill(info, size_t(lf_byte() % (size + 1)));
    if (lf_byte() == 1)
        *extra = lf_u32();
    return uint16_t(lf_status());
}

uint16_t ORX_OUTSIDE_API tm_random(uint8_t* block, int32_t size) {
    lf_fill(block, size_t(size));
    return uint16_t(lf_status());
}

struct Entry {
    const char* name;
    void* function;
};

const Entry entries[] = {
    {"InitKey", reinterpret_cast<void*>(init_key)},
    {"GetDrvInfo", reinterpret_cast<void*>(get_drv_info)},
    {"ResetKeyEx", reinterpret_cast<void*>(reset_key_ex)},
    {"lokey_get", reinterpret_cast<void*>(lokey_call)},
    {"lokey_free", reinterpret_cast<void*>(lokey_call)},
    {"rdr_error_a", reinterpret_cast<void*>(rdr_error_a)},
    {"TmDriverPresent", reinterpret_cast<void*>(tm_present)},
    {"TmGetInfo", reinterpret_cast<void*>(tm_info)},
    {"TmGetRandomBytes", reinterpret_cast<void*>(tm_random)},
};

} // namespace

// --- the loader's platform seam (the main window's run is in the window file) ---

lp_module lp_load_library(const char* name) {
    lf_touch_text(name);
    if (lf_byte() == 1)
        return nullptr;
    if (strcmp(name, "tmdrv32.dll") == 0)
        return &akkord_token;
    return strncmp(name, "res", 3) == 0 ? &resource_token : &crypto_token;
}

void lp_free_library(lp_module module) {
    if (!module)
        lf_fail("null module freed");
}

void* lp_entry_point(lp_module module, const char* name) {
    if (!module || lf_byte() == 1)
        return nullptr;
    for (const Entry& e : entries)
        if (strcmp(e.name, name) == 0)
            return e.function;
    return nullptr;
}

lp_module lp_loaded_module(const char* name) {
    lf_touch_text(name);
    return lf_byte() == 1 ? nullptr : &reader_token;
}

// GetSystemDirectory: a result of `size` or more gives the room needed and writes nothing.
uint32_t lp_system_directory(char* buffer, uint32_t size) {
    uint8_t b = lf_byte();
    if (b == 1)
        return 0;
    std::string d = b < 0xF0 ? "C:\\windows\\system32" : std::string(200 + (b - 0xF0) * 10, 'C');
    if (d.size() >= size)
        return uint32_t(d.size() + 1);
    memcpy(buffer, d.c_str(), d.size() + 1);
    return uint32_t(d.size());
}

void lp_secure_dll_search(void) {}

int lp_drive_removable(const char* root) {
    lf_touch_text(root);
    return lf_byte() & 1;
}

// GetLogicalDriveStrings: roots "X:\" or any text without NUL, then the empty string; a
// list that does not fit gives the room it needs.
uint32_t lp_logical_drive_strings(char* buffer, uint32_t size) {
    uint8_t b = lf_byte();
    if (b == 0xFF)
        return 0;
    std::string list;
    for (int i = 0; i < b % 32; ++i) {
        uint8_t kind = lf_byte();
        if (kind < 0x80) {
            list += char('A' + kind % 32);
            list += ":\\";
        } else {
            for (int j = kind - 0x7F; j > 0; --j)
                list += char(lf_byte() | 1);
        }
        list += '\0';
    }
    list += '\0';
    if (list.size() > size)
        return uint32_t(list.size());
    memcpy(buffer, list.data(), list.size());
    return uint32_t(list.size() - 1);
}

uint64_t lp_performance_counter(void) {
    return uint64_t(lf_u32()) << 8;
}

lp_module lp_program_instance(void) {
    return &program_token;
}
int lp_other_loader_window(void) {
    return lf_byte() == 1;
}
uint16_t lp_user_language(void) {
    return lf_u16();
}
void lp_fail_critical_errors(void) {}

// LoadString: "" and 0 when absent, else a text cut to the room and terminated.
int lp_load_string(lp_module module, uint32_t, char* buffer, int size) {
    if (!module || size <= 0)
        lf_fail("string load without module or room");
    uint8_t b = lf_byte();
    int n = b < size ? b : size - 1;
    lf_fill(buffer, size_t(n));
    buffer[n] = '\0';
    return int(strlen(buffer));
}

int lp_message_box(const char* text, const char* caption, uint32_t) {
    lf_touch_text(text);
    lf_touch_text(caption);
    static const int answers[] = {1, 6, 7, 2, 0};
    return answers[lf_byte() % 5];
}

void lp_beep(uint32_t, uint32_t) {}
void lp_sleep(uint32_t) {}

// --- orxlink, as far as the loader imports it (its own answers have their own target) ---

// Flags: bit 0 fails the call, bits 1 and 2 set words 1 and 2, bit 3 clears word 7, bit 4
// takes those three words whole from the input.
extern "C" int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t) {
    uint8_t flags = lf_byte();
    if (flags & 1)
        return 0;
    memset(info, 0, sizeof *info);
    info->word[ORVEXA_INFO_RNDM_READY] = (flags >> 1) & 1;
    info->word[ORVEXA_INFO_SEED_ACCEPTED] = (flags >> 2) & 1;
    info->word[ORVEXA_INFO_OPERATIONAL] = !((flags >> 3) & 1);
    if (flags & 16)
        for (int word :
             {ORVEXA_INFO_RNDM_READY, ORVEXA_INFO_SEED_ACCEPTED, ORVEXA_INFO_OPERATIONAL})
            info->word[word] = lf_u32();
    return 1;
}

extern "C" int ORXAPI orvexa_key_reset_slot(uint32_t slot) {
    if (slot >= ORVEXA_SLOT_COUNT)
        lf_fail("reset of a slot out of range");
    return lf_byte() != 1;
}

extern "C" int ORXAPI orvexa_rndm_put_byte(int) {
    return 1;
}

extern "C" int ORXAPI orvexa_rndm_get_byte(uint8_t* value) {
    if (lf_byte() == 1)
        return 0;
    *value = lf_byte();
    return 1;
}

extern "C" int ORXAPI orvexa_rndm_step(void) {
    return 1;
}
