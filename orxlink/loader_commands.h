// The loader's commands that other parts of the library share.
#ifndef ORXLINK_LOADER_COMMANDS_H
#define ORXLINK_LOADER_COMMANDS_H

#include <stdint.h>

// The single seed-byte request (17 bytes in, a header back), shared with the provider table.
int orx_put_seed_byte(uint8_t value);

#endif
