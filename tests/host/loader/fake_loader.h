// A recorded world for the loader's native tests: modules with entry points, strings,
// message boxes, beeps and pauses, the orxlink calls the loader makes, and scripted
// outside libraries.
#ifndef ORX_TESTS_FAKE_LOADER_H
#define ORX_TESTS_FAKE_LOADER_H

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "orxlink.h"
#include "outside_api.h"

struct FakeModule {
    std::map<std::string, void*> entries;
};

struct FakeBox {
    std::string text, caption;
    uint32_t flags;
};

struct FakeLoaderWorld {
    // Modules that load, by the name or path asked for.
    std::map<std::string, FakeModule> modules;
    std::vector<std::string> loads; // every load attempt, in order
    std::vector<std::string> frees;
    std::vector<std::string> already_loaded; // names lp_loaded_module finds
    std::string system_directory = "C:\\windows\\system32";
    bool other_window = false;
    uint16_t language = 0x0409;
    // Strings by (module name, id); the program itself is "orxload.exe".
    std::map<std::pair<std::string, uint32_t>, std::string> strings;
    std::vector<FakeBox> boxes;
    int box_answer = 1; // what the operator presses: 1 OK, 6 Yes, 7 No
    std::vector<std::pair<uint32_t, uint32_t>> beeps;
    std::vector<uint32_t> sleeps;
    int main_window_runs = 0;
    // What the operator and the desktop do with the main window; returns the dialog's
    // result. Unset: the dialog cannot be created (-1).
    std::function<int()> main_window;
    bool critical_errors_off = false;
    bool dll_search_secured = false;

    // orxlink as the loader sees it.
    orvexa_drv_info info = {};
    bool query_fails = false;
    int queries_that_answer = -1; // after this many queries every query fails; -1: never
    int queries = 0;
    std::vector<uint32_t> selectors;
    std::vector<uint32_t> resets;
    uint32_t refused_reset_slots = 0; // bit n: slot n refused
    std::vector<uint8_t> put_bytes;
    // What Akkord's bytes do to the driver (the fake orxlink sets word 2 after 8 bytes when true).
    bool seed_bytes_make_ready = true;

    // Scripted outside libraries.
    std::deque<int16_t> init_key_results; // empty: 0
    std::vector<std::string> init_key_devices;
    std::vector<std::string> lokey_calls;
    std::map<int32_t, std::string> reader_texts;
    bool reader_unterminated = false;
    uint16_t akkord_word0 = 4, akkord_word1 = 320;
    int32_t akkord_present = 1;
    uint16_t akkord_info_status = 0, akkord_random_status = 0;
    uint8_t akkord_bytes[41] = {};
    int akkord_calls = 0;

    // Drives: root letters that are removable, and the logical drives in order.
    std::string removable_drives;
    std::string logical_drives;
    uint64_t performance_counter = 0;
    uint32_t drv_info_count = 0; // entries GetDrvInfo reports
    std::vector<DrvKeyInfo> drv_entries;
    int16_t drv_info_status = 0;
    std::vector<std::string> reset_key_ids;
    uint32_t refused_key_ids = 0; // ResetKeyEx answers 40 while nonzero
    bool byte_read_fails = false;
    std::vector<int> byte_reads;
    int steps = 0;
};

FakeLoaderWorld& world();
void reset_world(); // also resets the loader's state and the fake registry

// Registers the stand-in crypto library under `path`, optionally without ResetKeyEx.
void add_crypto_library(const std::string& path, bool with_reset = true);
void add_reader_library(bool with_entry = true);
void add_akkord_library(bool complete = true);
std::string system_path(const std::string& name);

#endif
