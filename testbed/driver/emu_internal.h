/* Emulated ORVEXA driver: what the engine's source files share (not for clients).
 *
 * Freestanding C99 like the rest of the engine: the kernel build links no C library, so
 * the byte helpers below stand in for memcpy and friends.
 */
#ifndef ORVEXA_EMU_INTERNAL_H
#define ORVEXA_EMU_INTERNAL_H

#include "orvexa_emu.h"

#define EMU_NO_SLOT 0xFFFFFFFFu
#define EMU_HDR 16u /* request header: code/status, slot, checksum, length */

/* Key-set codes the engine treats specially (the item table is in emu_keys.c). */
enum {
    EMU_SET_GKEY = 3,
    EMU_SET_NUM = 4,
    EMU_SET_NUMP = 5,
    EMU_SET_KEYC = 6,
    EMU_SET_CKEYD = 7,
    EMU_SET_CKEYDI = 8,
    EMU_SET_TRANSFORM = 9,   /* data XOR the slot's GKEY keystream */
    EMU_SET_SEED_BLOCK = 13, /* 64..2048 bytes of seed */
    EMU_SET_SEED = 14        /* 32 bytes of seed */
};
#define EMU_ITEM_BIT(c) (1u << (c))

/* Generator domain tags for the absorbed input. */
enum {
    EMU_TAG_SEED_BYTE = 1,
    EMU_TAG_SEED = 2,
    EMU_TAG_SEED_BLOCK = 3,
    EMU_TAG_STEP = 4,
    EMU_TAG_MIX = 5,
    EMU_TAG_RESET = 6
};

/* One request handler: reads `req` (in_len bytes, a private copy), writes at most `room`
   bytes to `out` and their count to *returned; ORVEXA_EMU_* result. */
typedef int (*emu_handler)(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                           uint32_t room, uint32_t* returned);

/* ---- byte helpers ---- */

static inline void emu_copy(void* dst, const void* src, uint32_t n) {
    uint8_t* d = (uint8_t*)dst;
    const uint8_t* s = (const uint8_t*)src;
    uint32_t i;
    for (i = 0; i < n; i++)
        d[i] = s[i];
}

static inline void emu_fill(void* dst, uint8_t value, uint32_t n) {
    uint8_t* d = (uint8_t*)dst;
    uint32_t i;
    for (i = 0; i < n; i++)
        d[i] = value;
}

static inline uint32_t emu_rd32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static inline void emu_wr32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

static inline uint32_t emu_xor_sum(const uint8_t* p, uint32_t n) {
    uint8_t x = 0;
    uint32_t i;
    for (i = 0; i < n; i++)
        x ^= p[i];
    return x;
}

static inline void emu_write_header(uint8_t* out, uint32_t status, uint32_t slot, uint32_t sum,
                                    uint32_t len) {
    emu_wr32(out, status);
    emu_wr32(out + 4, slot);
    emu_wr32(out + 8, sum);
    emu_wr32(out + 12, len);
}

/* The four words of a request header. */
typedef struct {
    uint32_t code, slot, sum, len;
} emu_header;

static inline emu_header emu_read_header(const uint8_t* req) {
    emu_header h;
    h.code = emu_rd32(req);
    h.slot = emu_rd32(req + 4);
    h.sum = emu_rd32(req + 8);
    h.len = emu_rd32(req + 12);
    return h;
}

/* An answer that is only a header carrying `status`. */
static inline int emu_answer_status(uint8_t* out, uint32_t status, uint32_t slot,
                                    uint32_t* returned) {
    emu_write_header(out, status, slot, 0, 0);
    *returned = EMU_HDR;
    return ORVEXA_EMU_OK;
}

/* ---- emu_chacha.c: keystreams (RFC 8439 layout, block counter from 0) ---- */

/* out = in XOR keystream(key, nonce (n0, n1, n2)); in and out may be the same. */
void emu_keystream_xor(const uint8_t key[32], uint32_t n0, uint32_t n1, uint32_t n2,
                       const uint8_t* in, uint8_t* out, uint32_t len);
void emu_keystream(const uint8_t key[32], uint32_t n0, uint32_t n1, uint32_t n2, uint8_t* out,
                   uint32_t len);

/* ---- emu_generator.c: the DRBG ---- */

void emu_drbg_absorb(orvexa_emu* e, uint32_t tag, const uint8_t* data, uint32_t len);
void emu_drbg_read(orvexa_emu* e, uint8_t* out, uint32_t len);
/* The key every engine starts from. */
extern const uint8_t emu_initial_generator_key[32];

/* ---- orvexa_emu.c: state and readiness ---- */

uint32_t emu_info_word(const orvexa_emu* e, uint32_t w);
uint32_t emu_loaded_slots(const orvexa_emu* e);
void emu_reset_state(orvexa_emu* e);

/* ---- request families (the ORVEXA range) ---- */

/* Every request family has one handler of this shape: the request bytes in, the answer
   written into `out` (room bytes), its length in *returned; ORVEXA_EMU_* result. */
#define EMU_REQUEST_HANDLER(name)                                                                  \
    int name(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,      \
             uint32_t* returned)

/* emu_generator_requests.c */
EMU_REQUEST_HANDLER(emu_do_info);
EMU_REQUEST_HANDLER(emu_do_block_read);
EMU_REQUEST_HANDLER(emu_do_step);
EMU_REQUEST_HANDLER(emu_do_seed_byte);
EMU_REQUEST_HANDLER(emu_do_byte_read);

/* emu_keys.c */
EMU_REQUEST_HANDLER(emu_do_key_set);
EMU_REQUEST_HANDLER(emu_do_key_get);
EMU_REQUEST_HANDLER(emu_do_key_reset);
/* Fills every item of a slot from its key numbers (10-digit NUM, then 12-digit NUMP). */
void emu_load_key(orvexa_emu* e, uint32_t slot, const uint8_t numbers[22]);

/* emu_data.c */
EMU_REQUEST_HANDLER(emu_do_records);
EMU_REQUEST_HANDLER(emu_do_data_iv_a);
EMU_REQUEST_HANDLER(emu_do_data_iv_b);
EMU_REQUEST_HANDLER(emu_do_data_keyed);
EMU_REQUEST_HANDLER(emu_do_data_text);

/* ---- emu_faults.c ---- */

/* Every armed fault waiting for this code counts the request; the earliest one that is due
   strikes. Returns the striking fault (kind 0: none). */
orvexa_emu_fault emu_take_fault(orvexa_emu* e, uint32_t code);
/* Damages an executed answer as the fault says. */
void emu_damage_answer(const orvexa_emu_fault* f, int has_header, uint8_t* out, uint32_t room,
                       uint32_t* returned);

/* ---- emu_testctl.c ---- */

/* The private test-control request; `in` holds at most 24 + 22 bytes. */
int emu_testctl(orvexa_emu* e, const uint8_t* in, uint32_t in_len, uint8_t* out, uint32_t room,
                uint32_t* returned);

#endif
