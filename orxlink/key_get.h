#ifndef ORXLINK_KEY_GET_H
#define ORXLINK_KEY_GET_H

#include <stdint.h>

// One key-get request; `input` (32 bytes) is used for codes 1..3 only.
int orx_key_get(uint32_t code, uint32_t slot, const uint8_t* input, uint8_t* item);

#endif
