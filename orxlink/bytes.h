// Little-endian words and the XOR checksum of the request protocol.
#ifndef ORXLINK_BYTES_H
#define ORXLINK_BYTES_H

#include <stddef.h>
#include <stdint.h>

inline uint32_t orx_get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void orx_put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

inline uint32_t orx_xor(const uint8_t* data, size_t length) {
    uint8_t x = 0;
    for (size_t i = 0; i < length; ++i)
        x ^= data[i];
    return x;
}

// Header word offsets.
enum { ORX_W0 = 0, ORX_W1 = 4, ORX_W2 = 8, ORX_W3 = 12, ORX_HEADER = 16 };

#endif
