/* Emulated ORVEXA driver: the generator, ChaCha20 with fast key erasure. Everything it is
 * fed is folded into its 32-byte key; output comes from keystream blocks, and each refill
 * replaces the key with fresh keystream, so earlier output cannot be recomputed. */
#include "emu_internal.h"
#include "orvexa_testctl.h"

const uint8_t emu_initial_generator_key[32] = "ORVEXA emulated generator key 2!";

/* Per 32-byte chunk, key ^= ChaCha20(key ^ chunk) (feed-forward). Empty input still changes
   the key. Buffered output is discarded. */
void emu_drbg_absorb(orvexa_emu* e, uint32_t tag, const uint8_t* data, uint32_t len) {
    uint8_t chunk_key[32], block[64];
    uint32_t nonce[3];
    uint32_t done = 0, index = 0, i;
    do {
        uint32_t take = len - done < 32 ? len - done : 32;
        for (i = 0; i < 32; i++)
            chunk_key[i] = (uint8_t)(e->drbg_key[i] ^ (i < take ? data[done + i] : 0));
        nonce[0] = tag;
        nonce[1] = len;
        nonce[2] = e->drbg_absorbed;
        orvexa_emu_chacha20_block(chunk_key, index++, nonce, block);
        for (i = 0; i < 32; i++)
            e->drbg_key[i] ^= block[i];
        done += take;
    } while (done < len);
    e->drbg_absorbed++;
    e->drbg_avail = 0;
}

/* Four keystream blocks: the first 32 bytes become the next key, the other 224 the pool. */
static void drbg_refill(orvexa_emu* e) {
    uint8_t block[64];
    uint32_t nonce[3];
    uint32_t b;
    nonce[0] = 0x4C494652u; /* "RFIL" */
    nonce[1] = e->drbg_refills++;
    nonce[2] = 0;
    for (b = 0; b < 4; b++) {
        orvexa_emu_chacha20_block(e->drbg_key, b, nonce, block);
        if (b == 0) {
            emu_copy(e->drbg_pool, block + 32, 32);
            emu_copy(e->drbg_key, block, 32); /* old key no longer needed */
        } else {
            emu_copy(e->drbg_pool + 32 + 64 * (b - 1), block, 64);
        }
    }
    e->drbg_avail = sizeof e->drbg_pool;
}

/* Read bytes are wiped from the pool; a test bias replaces them afterwards. */
void emu_drbg_read(orvexa_emu* e, uint8_t* out, uint32_t len) {
    uint32_t i;
    for (i = 0; i < len; i++) {
        uint8_t v;
        if (e->drbg_avail == 0)
            drbg_refill(e);
        v = e->drbg_pool[sizeof e->drbg_pool - e->drbg_avail];
        e->drbg_pool[sizeof e->drbg_pool - e->drbg_avail] = 0;
        e->drbg_avail--;
        if (e->bias == ORVEXA_TESTCTL_BIAS_HALF)
            v &= 0x7F;
        else if (e->bias == ORVEXA_TESTCTL_BIAS_FLAT)
            v = (uint8_t)e->bias_counter++;
        out[i] = v;
    }
}

void orvexa_emu_mix(orvexa_emu* e, const void* data, uint32_t len) {
    emu_drbg_absorb(e, EMU_TAG_MIX, (const uint8_t*)data, len);
}
