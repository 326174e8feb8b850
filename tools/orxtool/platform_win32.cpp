#include "platform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

// RtlGenRandom, exported by advapi32 under this name.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

bool system_random(uint8_t* buffer, size_t length) {
    return SystemFunction036(buffer, ULONG(length)) != FALSE;
}

void stdout_binary() {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool stdout_is_console() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
}
