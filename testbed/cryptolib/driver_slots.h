// The driver's key slots as the crypto-library stand-in sees them through orxlink: a slot
// holds a key while key-get 4 (NUM) or key-get 5 (NUMP) answers; a key is loaded by
// key-set 4, 5 and 3 (GKEY) into a slot where both fail.
#ifndef ORX_TESTBED_DRIVER_SLOTS_H
#define ORX_TESTBED_DRIVER_SLOTS_H

#include <stdint.h>

#include <string>

#include "key_file.h"

#define CRYPTO_SLOTS 16u

struct SlotKeys {
    std::string num;  // "" when the slot has no NUM
    std::string nump; // "" when the slot has no NUMP
    bool loaded() const { return !num.empty() || !nump.empty(); }
};

// Reads NUM and NUMP of every slot; false when the driver cannot be reached or refuses.
bool read_slots(SlotKeys slots[CRYPTO_SLOTS]);

// CRYPTO_OK when the generator has accepted its seed (word 2 of the information record),
// CRYPTO_RNG_NOT_READY when not, CRYPTO_DRIVER_ERROR when the record cannot be read.
int check_generator();

// Loads one key into the first free slot: CRYPTO_OK, CRYPTO_KEY_REDEFINE when a slot holds
// its NUM or NUMP already, CRYPTO_NO_FREE_SLOTS, CRYPTO_KEY_NOT_SET when the driver refuses
// an item (the slot is emptied again), or CRYPTO_DRIVER_ERROR.
int load_key(const KeyRecord& key);

// Empties the slot holding `id` (10 characters: NUM, 12: NUMP). CRYPTO_OK,
// CRYPTO_KEY_NOT_FOUND, CRYPTO_CANNOT_RESET when the reset fails or bit n of
// `refused_slots` refuses slot n, or CRYPTO_DRIVER_ERROR.
int reset_key(const char* id, uint32_t refused_slots);

#endif
