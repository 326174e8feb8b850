// orxload's entry: hands the command line to the start-up sequence.
#include <windows.h>

#include <string.h>

#include "startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    char line[1024];
    strncpy(line, command_line ? command_line : "", sizeof line - 1);
    line[sizeof line - 1] = '\0';
    return run_loader(line);
}
