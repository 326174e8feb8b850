// The scripted orxlink, console and disk that orxtool's native tests link in place of
// tools/orxtool/platform_win32.cpp. Each test sets the scene in `world`, runs orxtool_main
// and reads back what was printed, written and asked of the library.
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
    // The library and the driver.
    bool driver = true;  // false: every call fails with DRIVER_OPEN_ERROR
    uint32_t status = 0; // the last status; failing calls set it, others leave it
    orvexa_drv_info info = {};
    std::string crypt[ORVEXA_SLOT_COUNT]; // "": the slot holds no such number
    std::string sign[ORVEXA_SLOT_COUNT];
    std::map<int, uint32_t> failing; // library call number (from 1) -> the status it fails with
    std::map<uint32_t, uint32_t> refuse_reset;   // slot -> status
    std::vector<std::pair<int, int>> needs;      // get_seed_need answers in turn; last repeats
    std::vector<int> put_answers;                // put_seed answers in turn, then 0 (1 if failing)
    int biased_reads = 0;                        // the first n get_random calls give bytes < 128
    uint64_t random_state = 0x243F6A8885A308D3u; // splitmix64 state of get_random
    // What the library was asked in the last run.
    int calls = 0;
    std::vector<uint32_t> resets;
    std::vector<std::pair<int, int>> seeds; // (kind, size) of each put_seed
    std::vector<uint32_t> reads;            // length of each get_random

    // The operating system.
    bool system_random = true;
    bool console = false; // standard output is a console
    bool out_fails = false;
    std::string out, err;
    std::set<std::string> uncreatable;        // paths whose creation fails
    std::set<std::string> short_disk;         // paths whose writes fail
    std::map<std::string, std::string> files; // the disk
};

extern ScriptedWorld world;

// Runs orxtool with `args` (after the program name), with the output and the record of
// calls emptied first; the scene set in `world` stays. Returns the exit code.
int run_tool(std::vector<const char*> args);

// The bytes the scripted get_random gives for a fresh state, as the tool would read them.
std::string expected_random(size_t length);

#endif
