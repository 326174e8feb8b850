// The scripted orxlink, console and disk that orxtool's native tests link in place of
// tools/orxtool/platform_win32.cpp. A test sets the scene in `world`, runs orxtool and reads
// back what was printed, written and asked of the library.
#ifndef ORXTOOL_SCRIPTED_TOOL_H
#define ORXTOOL_SCRIPTED_TOOL_H

#include <stdint.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "orxlink.h"

struct ScriptedWorld {
    bool driver = true;  // false: every call fails with DRIVER_OPEN_ERROR
    uint32_t status = 0; // the last status; failing calls set it, others leave it
    orvexa_drv_info info = {};
    std::string crypt[ORVEXA_SLOT_COUNT], sign[ORVEXA_SLOT_COUNT]; // "": no such number
    std::map<int, uint32_t> failing;             // call number (from 1) -> the status it sets
    std::map<uint32_t, uint32_t> refuse_reset;   // slot -> status
    std::vector<std::pair<int, int>> needs;      // get_seed_need answers in turn; last repeats
    int put_answer = 0;                          // put_seed's answer (1 when its call fails)
    int biased_reads = 0;                        // the first n get_random calls give bytes < 128
    uint64_t random_state = 0x243F6A8885A308D3u; // splitmix64 state of get_random
    bool system_random = true, console = false, out_fails = false;
    std::set<std::string> uncreatable = {"locked"}, short_disk = {"full"};
    std::map<std::string, std::string> files = {{"keep", "keep"}}; // the disk
    // What the last run did; log: "r<slot> " per reset, "s<kind>,<size> " per seed,
    // "g<length> " per read.
    int calls = 0;
    std::string out, err, log;
};

extern ScriptedWorld world;

// Runs orxtool with `args` after the program name, the record of the last run emptied
// first; the scene set in `world` stays. Returns the exit code.
int run_tool(std::vector<const char*> args);

// The first `length` bytes the scripted get_random gives from a fresh state.
std::string expected_random(size_t length);

#endif
