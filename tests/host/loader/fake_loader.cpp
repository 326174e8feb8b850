#include "fake_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "fake_platform.h"
#include "fake_ui.h"
#include "res/resource_ids.h"
#include "loader_platform.h"
#include "loader_state.h"

namespace {

FakeLoaderWorld the_world;
const char* const program_name = "orxload.exe";

std::string name_of(lp_module module) {
    return module ? *static_cast<const std::string*>(module) : std::string();
}

// Module handles point at the map's keys, which stay put while the map lives.
lp_module handle_of(const std::string& name) {
    auto it = the_world.modules.find(name);
    return it == the_world.modules.end() ? nullptr : const_cast<std::string*>(&it->first);
}

int16_t ORX_OUTSIDE_API init_key(const char* device, const char* id) {
    the_world.init_key_devices.push_back(device);
    EXPECT_STREQ(id, "");
    if (the_world.init_key_results.empty())
        return 0;
    int16_t r = the_world.init_key_results.front();
    if (the_world.init_key_results.size() > 1)
        the_world.init_key_results.pop_front();
    return r;
}

int16_t ORX_OUTSIDE_API get_drv_info(DrvKeyInfo* entries, uint32_t* count) {
    EXPECT_EQ(*count, 0u);
    size_t n = std::min<size_t>(the_world.drv_entries.size(), 16);
    if (n)
        std::memcpy(entries, the_world.drv_entries.data(), n * sizeof(DrvKeyInfo));
    *count = the_world.drv_info_count ? the_world.drv_info_count : uint32_t(n);
    return the_world.drv_info_status;
}

int16_t ORX_OUTSIDE_API reset_key_ex(const char* id, int32_t flag) {
    EXPECT_EQ(flag, 1);
    the_world.reset_key_ids.push_back(id);
    return the_world.refused_key_ids ? 40 : 0;
}

int32_t ORX_OUTSIDE_API lokey_get(LokeyRequest* r) {
    uint32_t size;
    std::memcpy(&size, r->bytes, 4);
    the_world.lokey_calls.push_back("get " + std::to_string(size));
    return 0;
}

int32_t ORX_OUTSIDE_API lokey_free(LokeyRequest* r) {
    uint32_t size;
    std::memcpy(&size, r->bytes, 4);
    the_world.lokey_calls.push_back("free " + std::to_string(size));
    return 0;
}

int32_t ORX_OUTSIDE_API rdr_error_a(int32_t zero, int32_t code, uint32_t* length, char* text) {
    EXPECT_EQ(zero, 0);
    auto it = the_world.reader_texts.find(code);
    if (it == the_world.reader_texts.end())
        return 1;
    if (the_world.reader_unterminated) {
        std::memset(text, 'R', *length); // the whole buffer, no NUL
        return 0;
    }
    std::strncpy(text, it->second.c_str(), *length);
    return 0;
}

int32_t ORX_OUTSIDE_API tm_present() {
    ++the_world.akkord_calls;
    return the_world.akkord_present;
}

uint16_t ORX_OUTSIDE_API tm_info(int32_t, uint8_t* info, int32_t size, uint32_t*) {
    EXPECT_EQ(size, 14);
    std::memset(info, 0, 14);
    info[0] = uint8_t(the_world.akkord_word0);
    info[1] = uint8_t(the_world.akkord_word0 >> 8);
    info[2] = uint8_t(the_world.akkord_word1);
    info[3] = uint8_t(the_world.akkord_word1 >> 8);
    return the_world.akkord_info_status;
}

uint16_t ORX_OUTSIDE_API tm_random(uint8_t* block, int32_t size) {
    EXPECT_EQ(size, 41);
    std::memcpy(block, the_world.akkord_bytes, 41);
    return the_world.akkord_random_status;
}

} // namespace

FakeLoaderWorld& world() {
    return the_world;
}

void reset_world() {
    the_world = FakeLoaderWorld();
    the_world.info.word[ORVEXA_INFO_OPERATIONAL] = 1;
    the_world.modules[program_name];
    loader = LoaderState();
    fake_reset();
}

std::string system_path(const std::string& name) {
    return the_world.system_directory + "\\" + name;
}

void add_crypto_library(const std::string& path, bool with_reset) {
    FakeModule& m = the_world.modules[path];
    m.entries["InitKey"] = reinterpret_cast<void*>(init_key);
    m.entries["GetDrvInfo"] = reinterpret_cast<void*>(get_drv_info);
    if (with_reset)
        m.entries["ResetKeyEx"] = reinterpret_cast<void*>(reset_key_ex);
    m.entries["lokey_get"] = reinterpret_cast<void*>(lokey_get);
    m.entries["lokey_free"] = reinterpret_cast<void*>(lokey_free);
}

void add_reader_library(bool with_entry) {
    FakeModule& m = the_world.modules["rdr.dll"];
    if (with_entry)
        m.entries["rdr_error_a"] = reinterpret_cast<void*>(rdr_error_a);
    the_world.already_loaded.push_back("rdr.dll");
}

void add_akkord_library(bool complete) {
    FakeModule& m = the_world.modules["tmdrv32.dll"];
    m.entries["TmDriverPresent"] = reinterpret_cast<void*>(tm_present);
    m.entries["TmGetInfo"] = reinterpret_cast<void*>(tm_info);
    if (complete)
        m.entries["TmGetRandomBytes"] = reinterpret_cast<void*>(tm_random);
}

// --- the loader's platform seam ---

lp_module lp_load_library(const char* name) {
    the_world.loads.push_back(name);
    return handle_of(name);
}

void lp_free_library(lp_module module) {
    the_world.frees.push_back(name_of(module));
}

void* lp_entry_point(lp_module module, const char* name) {
    auto& entries = the_world.modules[name_of(module)].entries;
    auto it = entries.find(name);
    return it == entries.end() ? nullptr : it->second;
}

lp_module lp_loaded_module(const char* name) {
    for (const std::string& n : the_world.already_loaded)
        if (n == name)
            return handle_of(name);
    return nullptr;
}

uint32_t lp_system_directory(char* buffer, uint32_t size) {
    const std::string& d = the_world.system_directory;
    if (d.size() >= size)
        return uint32_t(d.size() + 1);
    std::strcpy(buffer, d.c_str());
    return uint32_t(d.size());
}

void lp_secure_dll_search(void) {
    the_world.dll_search_secured = true;
}
lp_module lp_program_instance(void) {
    return handle_of(program_name);
}
int lp_other_loader_window(void) {
    return the_world.other_window;
}
uint16_t lp_user_language(void) {
    return the_world.language;
}
void lp_fail_critical_errors(void) {
    the_world.critical_errors_off = true;
}

int lp_load_string(lp_module module, uint32_t id, char* buffer, int size) {
    auto it = the_world.strings.find({name_of(module), id});
    if (it == the_world.strings.end()) {
        buffer[0] = '\0';
        return 0;
    }
    std::strncpy(buffer, it->second.c_str(), size_t(size));
    buffer[size - 1] = '\0';
    return int(std::strlen(buffer));
}

int lp_message_box(const char* text, const char* caption, uint32_t flags) {
    the_world.boxes.push_back({text, caption, flags});
    ui().list_at_box.push_back(ui().list);
    ui().load_pushed_at_box.push_back(ui().controls[IDC_LOAD_KEY].pushed);
    return the_world.box_answer;
}

void lp_beep(uint32_t frequency, uint32_t ms) {
    the_world.beeps.push_back({frequency, ms});
}
void lp_sleep(uint32_t ms) {
    the_world.sleeps.push_back(ms);
}

int lp_run_main_window(lp_module) {
    ++the_world.main_window_runs;
    return the_world.main_window ? the_world.main_window() : -1;
}

// --- orxlink, as far as the loader imports it ---

extern "C" int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t selector) {
    the_world.selectors.push_back(selector);
    if (the_world.queries++ == the_world.queries_that_answer)
        the_world.query_fails = true;
    if (the_world.query_fails)
        return 0;
    *info = the_world.info;
    return 1;
}

extern "C" int ORXAPI orvexa_key_reset_slot(uint32_t slot) {
    the_world.resets.push_back(slot);
    return !(the_world.refused_reset_slots & (1u << slot));
}

extern "C" int ORXAPI orvexa_rndm_put_byte(int value) {
    the_world.put_bytes.push_back(uint8_t(value));
    if (the_world.seed_bytes_make_ready && the_world.put_bytes.size() % 8 == 0)
        the_world.info.word[ORVEXA_INFO_SEED_ACCEPTED] = 1;
    return 1;
}

extern "C" int ORXAPI orvexa_rndm_get_byte(uint8_t* value) {
    the_world.byte_reads.push_back(0);
    if (the_world.byte_read_fails)
        return 0;
    *value = uint8_t(the_world.byte_reads.size());
    return 1;
}

extern "C" int ORXAPI orvexa_rndm_step(void) {
    ++the_world.steps;
    return 1;
}

int lp_drive_removable(const char* root) {
    return root[0] && the_world.removable_drives.find(root[0]) != std::string::npos;
}

uint32_t lp_logical_drive_strings(char* buffer, uint32_t size) {
    std::string list;
    for (char letter : the_world.logical_drives)
        list += std::string(1, letter) + ":\\" + std::string(1, '\0');
    list += '\0';
    if (list.size() > size)
        return uint32_t(list.size());
    std::memcpy(buffer, list.data(), list.size());
    return uint32_t(list.size() - 1);
}

uint64_t lp_performance_counter(void) {
    return the_world.performance_counter;
}
