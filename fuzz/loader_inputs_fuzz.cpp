// Feeds everything orxload takes from outside to its portable code: the command line, the
// driver record, the outside libraries' answers, the registry, the drive lists and what the
// operator does in the main window. The world is the
// native tests' (tests/host/loader/fake_world.cpp); here every answer comes from the input,
// in the order the loader asks. An exhausted input answers zeros: mostly "success". Every
// answer keeps the contract of the real call; within it anything goes.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "../common/registry.h"
#include "fake_platform.h"
#include "fake_world.h"
#include "key_device_list.h"
#include "main_window_logic.h"
#include "main_window_ui.h"
#include "res/resource_ids.h"
#include "startup.h"

namespace {

const uint8_t* input = nullptr;
size_t input_left = 0;
const uint32_t commands[] = {ID_RNG_SAMPLE, COMMAND_CANCEL,     IDC_EXIT,       IDM_EXIT,
                             IDC_LOAD_KEY,  IDC_UNLOAD_KEY,     IDC_UNLOAD_ALL, IDM_REFRESH,
                             IDM_AUTO_RNG,  IDM_COMPRESS_FILES, IDM_ABOUT};

[[noreturn]] void fail(const char* what) {
    fprintf(stderr, "loader fuzz: %s\n", what);
    abort();
}
uint8_t byte() {
    if (input_left == 0)
        return 0;
    --input_left;
    return *input++;
}
uint16_t u16() { // each byte in its own statement: every compiler reads the same
    uint16_t low = byte();
    return uint16_t(low | byte() << 8);
}
uint32_t u32() {
    uint32_t low = u16();
    return low | uint32_t(u16()) << 16;
}
// `size` bytes: from the input when the next byte is 0, else all that byte (no NUL).
void fill(void* out, size_t size) {
    uint8_t with = byte();
    for (size_t i = 0; i < size; ++i)
        static_cast<uint8_t*>(out)[i] = with ? with : byte();
}
std::string text(size_t size) {
    std::string t(size, '\0');
    fill(&t[0], size);
    return t;
}
// Mostly 0, small codes, the codes the loader knows by number, or any 16-bit value.
int16_t status() {
    static const int16_t known[] = {4000, 4001, 4100, 4101, 4102, 32767, -1, -32768};
    uint8_t b = byte();
    if (b < 0x80)
        return int16_t(b == 1 ? 0 : b);
    return b < 0x88 ? known[b - 0x80] : int16_t(u16());
}
std::string after_colon(const std::string& name) {
    return name.substr(name.rfind(':') + 1);
}
std::string before_colon(const std::string& name) {
    return name.substr(0, name.rfind(':'));
}

// Sets the answer of the call about to be made.
void answer(const std::string& call, const std::string& name) {
    World& w = world();
    if (call == "load") {
        if (byte() == 1)
            w.modules.erase(name);
        else
            w.modules[name] = {"InitKey",    "GetDrvInfo",      "ResetKeyEx", "lokey_get",
                               "lokey_free", "TmDriverPresent", "TmGetInfo",  "TmGetRandomBytes"};
    } else if (call == "entry") {
        if (byte() == 1)
            w.modules[before_colon(name)].erase(after_colon(name));
    } else if (call == "removable") {
        w.removable = byte() & 1 ? name.substr(0, 1) : "";
    } else if (call == "string") {
        w.strings[{before_colon(name), uint32_t(std::stoul(after_colon(name)))}] = text(byte());
    } else if (call == "box") {
        static const int answers[] = {1, 6, 7, 2, 0};
        w.box_answer = answers[byte() % 5];
    } else if (call == "query") {
        // Bit 0 fails; bits 1 to 3 set words 1 and 2 and clear word 7; bit 4 takes them
        // whole from the input.
        uint8_t flags = byte();
        w.queries_that_answer = flags & 1 ? 0 : -1;
        w.queries = 0;
        w.info = orvexa_drv_info();
        w.info.word[ORVEXA_INFO_RNDM_READY] = (flags >> 1) & 1;
        w.info.word[ORVEXA_INFO_SEED_ACCEPTED] = (flags >> 2) & 1;
        w.info.word[ORVEXA_INFO_OPERATIONAL] = !((flags >> 3) & 1);
        if (flags & 16)
            for (int word :
                 {ORVEXA_INFO_RNDM_READY, ORVEXA_INFO_SEED_ACCEPTED, ORVEXA_INFO_OPERATIONAL})
                w.info.word[word] = u32();
    } else if (call == "reset_slot") {
        w.refused_slots = byte() == 1 ? ~0u : 0;
    } else if (call == "get_byte") {
        w.byte_read_fails = byte() == 1;
    } else if (call == "init_key") {
        w.init_key_results = {status()};
    } else if (call == "drv_info") { // up to 16 entries of any bytes; any count reported
        w.drv_entries.resize(byte() % (ORX_DRV_KEY_INFO_MAX + 1));
        for (DrvKeyInfo& e : w.drv_entries)
            fill(&e, sizeof e);
        uint8_t b = byte();
        w.drv_count = b < 0xF0 ? 0 : b == 0xFF ? u32() : b - 0xF0 + 14;
        w.drv_status = status();
    } else if (call == "reset_key") {
        w.reset_key_status = status();
    } else if (call == "reader") {
        uint8_t b = byte();
        w.reader_texts.erase(std::stoi(name));
        if (b != 1)
            w.reader_texts[std::stoi(name)] = text(u16() % 300);
        w.reader_unterminated = b == 2;
    } else if (call == "tm_present") {
        w.akkord_present = byte() ^ 1;
    } else if (call == "tm_info") {
        w.akkord_words[0] = u16();
        w.akkord_words[1] = u16();
        w.akkord_info_status = uint16_t(status());
    } else if (call == "tm_random") {
        fill(w.akkord_bytes, sizeof w.akkord_bytes);
        w.akkord_random_status = uint16_t(status());
    }
}

// The registry (the native tests' one): each call fails or not, a key opened exists, one
// created may be new, each value read is made up anew (a size query and the data query
// that follows may disagree), and an enumeration gets a known key-device or component name
// until the input ends.
uint32_t registry(const std::string& call, const std::string& path, const char* name) {
    if (call == "subkey") {
        if (input_left == 0 || byte() != 0)
            return 1;
        uint8_t b = byte();
        machine_key(path + "\\" +
                    (b < KeyDeviceTableSize ? KeyDeviceTable[b].registry_name : "Support"));
        return 0;
    }
    uint8_t b = byte();
    if (b % 4 == 1 || b % 4 == 2)
        return b % 4 == 1 ? ORX_ERROR_FILE_NOT_FOUND : 5; // absent, access denied
    if (call == "create" && b % 4 == 3)
        fake().user_keys.erase(path);
    else if (call != "query")
        user_key(path), machine_key(path);
    if (call == "query") {
        FakeValue v{byte(), {}};
        uint8_t length = byte();
        v.bytes.resize(length == 0xFF ? u16() : length);
        fill(v.bytes.data(), v.bytes.size());
        user_key(path).values[name] = machine_key(path).values[name] = v;
    }
    return 0;
}

// GetLogicalDriveStrings: roots "X:\" (X may be past Z) or an empty one, which ends the list.
std::vector<std::string> drive_roots() {
    std::vector<std::string> roots;
    for (int i = byte() % 32; i > 0; --i) {
        uint8_t kind = byte();
        roots.push_back(kind < 0x80 ? std::string(1, char('A' + kind % 32)) + ":\\" : "");
    }
    return roots;
}

void operator_action(uint8_t action) {
    int kind = action % 8;
    if (kind == 0) {
        uint8_t b = byte();
        main_window_command(b < sizeof commands / sizeof commands[0] ? commands[b] : u32());
    } else if (kind == 1 || kind == 2) {
        main_window_event(kind == 1 ? EVENT_PRESS : EVENT_MOVE, u32());
    } else if (kind == 3) { // a run of key presses, as the random-generator view asks for
        for (int n = byte() % 48; n > 0; --n)
            main_window_event(EVENT_PRESS, n);
    } else if (kind == 4) {
        uint8_t b = byte();
        uint32_t drives = b & 4 ? 1u << (byte() % 32) : u32();
        main_window_device_change(DeviceChange(b % 3), drives, u32());
    } else if (kind == 5 || kind == 6) {
        ui_item_select(kind == 5 ? IDC_KEY_DEVICE : IDC_KEY_LIST, byte());
    } else {
        main_window_command(COMMAND_CANCEL);
    }
}

// The dialog's run: its initialisation, then the operator's actions until it ends; an
// operator who has nothing more to do closes it.
int main_window() {
    if (byte() == 1)
        return -1; // the dialog cannot be created
    World& w = world();
    main_window_init();
    for (int n = 0; n < 96 && w.ended == -1000; ++n) {
        operator_action(input_left ? byte() : 7);
    }
    if (w.ended == -1000)
        main_window_command(COMMAND_CANCEL);
    return w.ended;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    input = data;
    input_left = size;
    reset_world();
    World& w = world();
    w.answer = answer;
    fake().registry_hook = registry;
    w.main_window = main_window;
    w.other_window = byte() == 1;
    w.language = u16();
    uint8_t directory = byte();
    w.system_directory =
        directory < 0xF0 ? "C:\\sys" : std::string(200 + (directory - 0xF0) * 10, 'C');
    if (byte() == 1)
        w.loaded.clear();
    w.drives = drive_roots();
    w.counter = uint64_t(u32()) << 8;
    std::string command_line = text(byte() % 64);
    run_loader(&command_line[0]);
    if (fake().open_keys != 0)
        fail("registry key left open");
    return 0;
}
