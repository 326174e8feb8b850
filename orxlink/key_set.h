#ifndef ORXLINK_KEY_SET_H
#define ORXLINK_KEY_SET_H

#include <stdint.h>

enum { ORX_SEED_BLOCK_CODE = 13, ORX_SEED32_CODE = 14 };

// Sends one key-set request; a 32-byte code-14 seed is masked first. After the driver
// accepts it, the generator check decides the result.
int orx_key_set_request(uint16_t code, uint32_t slot, const uint8_t* data, uint32_t length);

#endif
