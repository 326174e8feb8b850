// Commands of orxtool, a console client of orxlink.
#ifndef ORXTOOL_COMMANDS_H
#define ORXTOOL_COMMANDS_H

// Exit codes.
enum {
    ORXTOOL_OK = 0,
    ORXTOOL_DRIVER_ABSENT = 2,
    ORXTOOL_REFUSED = 3,
    ORXTOOL_BAD_ARGUMENTS = 4,
};

int run_info(int argc, char** argv);

#endif
