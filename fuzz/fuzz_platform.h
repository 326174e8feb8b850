#ifndef ORX_FUZZ_PLATFORM_H
#define ORX_FUZZ_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

// Sets the input the next device answers (and the stored mask) are taken from.
void fuzz_input(const uint8_t* data, size_t size);
uint8_t fuzz_byte();
bool fuzz_done();

#endif
