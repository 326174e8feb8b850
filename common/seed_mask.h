// The per-user seed mask: 32 bytes kept as the binary value "mask" under the current
// user's RANDOM key, added to byte by byte modulo 256 by the loader and the library.
#ifndef ORX_COMMON_SEED_MASK_H
#define ORX_COMMON_SEED_MASK_H

#include <stdint.h>

#define ORX_RANDOM_KEY "SOFTWARE\\DEZURE\\Cryptography\\RANDOM"
#define ORX_MASK_VALUE "mask"

constexpr uint32_t ORX_MASK_SIZE = 32;
constexpr uint32_t ORX_MASK_MAX_STORED = 4096;

struct orx_stored_mask {
    uint8_t bytes[ORX_MASK_MAX_STORED];
    uint32_t length; // bytes stored
};

// Reads "mask" whole from an open key. Only a binary value of at most ORX_MASK_MAX_STORED
// bytes counts; anything else (missing, other type, larger) gives 0.
int orx_mask_read(void* key, orx_stored_mask* mask);

// The 32 mask bytes to add to a seed: the stored bytes, zeros where the value is short.
void orx_mask_first32(const orx_stored_mask* mask, uint8_t out[ORX_MASK_SIZE]);

// dst[i] = dst[i] + add[i] mod 256 for i < length.
void orx_mask_add(uint8_t* dst, const uint8_t* add, uint32_t length);

// Adds 32 bytes to a stored mask that was read whole and writes it back with its own
// length; bytes beyond the first 32 stay as they were. A mask that cannot be read whole is
// left alone. Returns 1 when a value was written.
int orx_mask_merge(void* key, const uint8_t add[ORX_MASK_SIZE]);

// Adds 32 bytes to the current user's mask (orx_mask_merge on the RANDOM key). A RANDOM key
// that did not exist is created and stays without a mask: the first seed makes one.
void orx_user_mask_merge(const uint8_t add[ORX_MASK_SIZE]);

// The mask a seed gets: the user's stored mask (zeros where it is missing, short or
// unusable), or, when the RANDOM key did not exist yet, 32 bytes from `fresh`, stored at
// once. 0 when the key cannot be opened or `fresh` fails.
int orx_user_mask_load(uint8_t mask[ORX_MASK_SIZE], int (*fresh)(void* buffer, uint32_t size));

#endif
