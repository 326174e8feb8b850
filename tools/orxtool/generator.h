// Reading the driver's generator through orxlink's provider table, as orxtool's random,
// seed and selftest commands do.
#ifndef ORXTOOL_GENERATOR_H
#define ORXTOOL_GENERATOR_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "commands.h"
#include "json.h"

// The table could not say what the generator needs: reports whether the driver says its
// generator cannot be completed, or the failed call, and returns the exit code.
int report_seed_need_failure(const Context& ctx, JsonWriter& j);

// Makes sure the generator is ready and tested (the provider table asks for no seed).
// Returns ORXTOOL_OK, or reports the failure and returns its exit code.
int require_ready_generator(const Context& ctx, JsonWriter& j);

// Reads `length` bytes with the table's get_random, at most 64 KiB a call; false on
// failure (last status set).
bool read_generator(uint8_t* buffer, size_t length);

// "(kind, size)", as the table's seed pairs are written.
std::string seed_pair_text(int kind, int size);

#endif
