// Commands of orxtool, a console client of orxlink.
#ifndef ORXTOOL_COMMANDS_H
#define ORXTOOL_COMMANDS_H

#include "args.h"

// Exit codes (documented in README.md and in `orxtool --help`).
enum {
    ORXTOOL_OK = 0,
    ORXTOOL_OUTPUT_FAILED = 1, // the output file could not be written
    ORXTOOL_DRIVER_ABSENT = 2, // the device cannot be opened
    ORXTOOL_REFUSED = 3,       // the driver or the library refused or failed a request
    ORXTOOL_BAD_ARGUMENTS = 4,
    ORXTOOL_TEST_FAILED = 5, // selftest: the generator's output failed a test
};

// What every command knows about its run.
struct Context {
    const char* command;
    bool json;
};

int run_info(const Context& ctx, const ParsedArgs& args);
int run_slots(const Context& ctx, const ParsedArgs& args);
int run_reset(const Context& ctx, const ParsedArgs& args);
int run_random(const Context& ctx, const ParsedArgs& args);
int run_seed(const Context& ctx, const ParsedArgs& args);
int run_selftest(const Context& ctx, const ParsedArgs& args);

#endif
