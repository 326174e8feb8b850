// orxload's outside world for its native tests: the platform seam, the orxlink calls, the
// crypto, reader and Akkord libraries, and the main window's controls. A test scripts the
// answers in the fields. The registry is the in-memory one of tests/host.
#ifndef ORX_TESTS_FAKE_WORLD_H
#define ORX_TESTS_FAKE_WORLD_H

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "orxlink.h"
#include "outside_api.h"

struct Item {
    std::string text;
    const char* code;
};

struct World {
    // What the loader did outside, in order: loads, frees, boxes, beeps, pauses, slot
    // resets, InitKey and ResetKeyEx calls, the key-medium request, window runs.
    std::vector<std::string> log;
    std::map<std::string, std::set<std::string>> modules; // name -> entry points
    std::set<std::string> loaded;                         // what lp_loaded_module finds
    std::string system_directory = "C:\\sys";
    int other_window = 0, language = 0x0409;
    std::map<std::pair<std::string, uint32_t>, std::string> strings; // (module, id)
    int box_answer = 1;
    std::string box_caption, selected_at_box; // of the latest box: the list line selected
    uint32_t box_flags = 0, load_pushed_at_box = 0, load_pushed_at_clear = 0; // Load Key's look
    // orxlink.
    orvexa_drv_info info = {};
    int queries = 0, queries_that_answer = -1; // -1: every query answers
    uint32_t refused_slots = 0;                // bit n: slot n refused
    std::vector<uint8_t> put_bytes;
    // 8 bytes from Akkord set word 2.
    bool nonzero_selector = false, seed_bytes_make_ready = true, byte_read_fails = false;
    int byte_reads = 0, steps = 0;
    // The outside libraries.
    std::deque<int16_t> init_key_results; // the last one repeats; empty: 0
    std::vector<DrvKeyInfo> drv_entries;
    uint32_t drv_count = 0; // 0: the entries' number
    int16_t drv_status = 0, reset_key_status = 0;
    std::map<int32_t, std::string> reader_texts;
    int32_t reader_unterminated = 0, akkord_present = 1;
    uint16_t akkord_words[2] = {4, 320}, akkord_info_status = 0, akkord_random_status = 0;
    uint8_t akkord_bytes[ORX_AKKORD_RANDOM_SIZE] = {};
    std::string removable;           // drive letters
    std::vector<std::string> drives; // logical drive roots
    uint64_t counter = 0;
    // The main window's controls: (id, UiProperty) -> on, the items by control.
    std::map<std::pair<int, int>, int> ui;
    std::map<int, std::vector<Item>> items;
    std::map<int, int> selection;
    int focus = -1, ended = -1000; // -1000: not ended
    int list_extent = -1, progress_high = 0, progress = 0;
};

World& world();
// The loader's state, the registry and the world as a machine has them: the driver
// operational, the crypto library C:\sys\scrypt.dll, rdr.dll loaded, Akkord's library,
// English texts in the program, push buttons disabled, item Auto RNG grayed.
void reset_world();
// The log joined by "|".
std::string log_text();
std::string system_path(const std::string& name);
extern const char* const program_name;
extern const std::set<std::string> crypto_entries, akkord_entries;

#endif
