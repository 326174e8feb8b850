// The few operating-system services orxtool needs beyond the C library and orxlink.
#ifndef ORXTOOL_PLATFORM_H
#define ORXTOOL_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

// Fills `buffer` from the operating system's cryptographic random source.
bool system_random(uint8_t* buffer, size_t length);

// Standard output: binary mode (no newline translation), and whether it is a console.
void stdout_binary();
bool stdout_is_console();

#endif
