// The per-user seed mask: the binary value "mask" under the current user's RANDOM key. A
// seed of 32 bytes gets the mask's first 32 bytes added, and collected random bytes are
// added to the stored mask, byte by byte modulo 256, by the loader and the library.
#ifndef ORX_COMMON_SEED_MASK_H
#define ORX_COMMON_SEED_MASK_H

#include <stdint.h>

#define ORX_RANDOM_KEY "SOFTWARE\\DEZURE\\Cryptography\\RANDOM"
#define ORX_MASK_VALUE "mask"

constexpr uint32_t ORX_MASK_SIZE = 32;
constexpr uint32_t ORX_MASK_MAX_STORED = 4096; // a longer or non-binary value is left alone

// dst[i] = dst[i] + add[i] mod 256 for i < length.
void orx_mask_add(uint8_t* dst, const uint8_t* add, uint32_t length);

// Adds 32 bytes to the first 32 of the stored mask and writes it back with its own length
// (a shorter mask takes as many as it has). A RANDOM key that did not exist is created and
// stays without a mask: the first seed makes one.
void orx_user_mask_merge(const uint8_t add[ORX_MASK_SIZE]);

// The mask a seed gets: the user's stored mask (zeros where it is missing, short or
// unusable), or, when the RANDOM key did not exist yet, 32 bytes from `fresh`, stored at
// once. 0 when the key cannot be opened or `fresh` fails.
int orx_user_mask_load(uint8_t mask[ORX_MASK_SIZE], int (*fresh)(void* buffer, uint32_t size));

#endif
