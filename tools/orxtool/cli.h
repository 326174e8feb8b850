// orxtool's command line, from the arguments to the exit code. Portable.
#ifndef ORXTOOL_CLI_H
#define ORXTOOL_CLI_H

// `argv[0]` is the program; returns the process's exit code (ORXTOOL_*).
int orxtool_main(int argc, const char* const* argv);

#endif
