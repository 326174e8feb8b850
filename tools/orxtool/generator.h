// Reading the driver's generator through orxlink's provider table, as orxtool's random and
// selftest commands do.
#ifndef ORXTOOL_GENERATOR_H
#define ORXTOOL_GENERATOR_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "commands.h"
#include "json.h"

// Makes sure the generator is ready and tested (the provider table asks for no seed).
// Returns ORXTOOL_OK, or reports the failure and returns its exit code.
int require_ready_generator(const Context& ctx, JsonWriter& j);

// Reads `length` bytes with the table's get_random; false on failure (last status set).
bool read_generator(uint8_t* buffer, size_t length);

#endif
