/* Emulated ORVEXA driver: ChaCha20 (RFC 8439) and the keystreams every transform uses. */
#include "emu_internal.h"

#define ROTL32(v, n) (((v) << (n)) | ((v) >> (32 - (n))))
#define QUARTER(a, b, c, d)                                                                        \
    do {                                                                                           \
        a += b;                                                                                    \
        d ^= a;                                                                                    \
        d = ROTL32(d, 16);                                                                         \
        c += d;                                                                                    \
        b ^= c;                                                                                    \
        b = ROTL32(b, 12);                                                                         \
        a += b;                                                                                    \
        d ^= a;                                                                                    \
        d = ROTL32(d, 8);                                                                          \
        c += d;                                                                                    \
        b ^= c;                                                                                    \
        b = ROTL32(b, 7);                                                                          \
    } while (0)

void orvexa_emu_chacha20_block(const uint8_t key[32], uint32_t counter, const uint32_t nonce[3],
                               uint8_t out[64]) {
    uint32_t in[16], x[16];
    int i;
    in[0] = 0x61707865u;
    in[1] = 0x3320646eu;
    in[2] = 0x79622d32u;
    in[3] = 0x6b206574u;
    for (i = 0; i < 8; i++)
        in[4 + i] = emu_rd32(key + 4 * i);
    in[12] = counter;
    in[13] = nonce[0];
    in[14] = nonce[1];
    in[15] = nonce[2];
    for (i = 0; i < 16; i++)
        x[i] = in[i];
    for (i = 0; i < 10; i++) {
        QUARTER(x[0], x[4], x[8], x[12]);
        QUARTER(x[1], x[5], x[9], x[13]);
        QUARTER(x[2], x[6], x[10], x[14]);
        QUARTER(x[3], x[7], x[11], x[15]);
        QUARTER(x[0], x[5], x[10], x[15]);
        QUARTER(x[1], x[6], x[11], x[12]);
        QUARTER(x[2], x[7], x[8], x[13]);
        QUARTER(x[3], x[4], x[9], x[14]);
    }
    for (i = 0; i < 16; i++)
        emu_wr32(out + 4 * i, x[i] + in[i]);
}

void emu_keystream_xor(const uint8_t key[32], uint32_t n0, uint32_t n1, uint32_t n2,
                       const uint8_t* in, uint8_t* out, uint32_t len) {
    uint32_t nonce[3];
    uint8_t block[64];
    uint32_t done = 0, counter = 0, i;
    nonce[0] = n0;
    nonce[1] = n1;
    nonce[2] = n2;
    while (done < len) {
        uint32_t take = len - done < 64 ? len - done : 64;
        orvexa_emu_chacha20_block(key, counter++, nonce, block);
        for (i = 0; i < take; i++)
            out[done + i] = (uint8_t)(in[done + i] ^ block[i]);
        done += take;
    }
}

void emu_keystream(const uint8_t key[32], uint32_t n0, uint32_t n1, uint32_t n2, uint8_t* out,
                   uint32_t len) {
    emu_fill(out, 0, len);
    emu_keystream_xor(key, n0, n1, n2, out, out, len);
}
