/* Emulated ORVEXA driver: the protocol engine (see orvexa_emu.h for the behaviour). */
#include "orvexa_emu.h"
#include "orvexa_testctl.h"

#define NO_SLOT 0xFFFFFFFFu
#define HDR 16u

/* Generator domain tags for the absorbed input. */
enum {
    TAG_SEED_BYTE = 1,
    TAG_SEED = 2,
    TAG_SEED_BLOCK = 3,
    TAG_STEP = 4,
    TAG_MIX = 5,
    TAG_RESET = 6
};

/* ---- byte helpers: the kernel build links no C library ---- */

static void emu_copy(void* dst, const void* src, uint32_t n) {
    uint8_t* d = (uint8_t*)dst;
    const uint8_t* s = (const uint8_t*)src;
    uint32_t i;
    for (i = 0; i < n; i++)
        d[i] = s[i];
}

static void emu_fill(void* dst, uint8_t value, uint32_t n) {
    uint8_t* d = (uint8_t*)dst;
    uint32_t i;
    for (i = 0; i < n; i++)
        d[i] = value;
}

static uint32_t rd32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static void wr32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

static uint32_t xor_sum(const uint8_t* p, uint32_t n) {
    uint8_t x = 0;
    uint32_t i;
    for (i = 0; i < n; i++)
        x ^= p[i];
    return x;
}

static int all_zero(const uint8_t* p, uint32_t n) {
    uint32_t i;
    for (i = 0; i < n; i++)
        if (p[i] != 0)
            return 0;
    return 1;
}

static int all_digits(const uint8_t* p, uint32_t n) {
    uint32_t i;
    for (i = 0; i < n; i++)
        if (p[i] < '0' || p[i] > '9')
            return 0;
    return 1;
}

static void write_header(uint8_t* out, uint32_t status, uint32_t slot, uint32_t sum, uint32_t len) {
    wr32(out, status);
    wr32(out + 4, slot);
    wr32(out + 8, sum);
    wr32(out + 12, len);
}

/* ---- ChaCha20 ---- */

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
        in[4 + i] = rd32(key + 4 * i);
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
        wr32(out + 4 * i, x[i] + in[i]);
}

/* out = in XOR keystream(key, nonce), block counter from 0; in and out may be the same. */
static void keystream_xor(const uint8_t key[32], uint32_t n0, uint32_t n1, uint32_t n2,
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

static void keystream(const uint8_t key[32], uint32_t n0, uint32_t n1, uint32_t n2, uint8_t* out,
                      uint32_t len) {
    emu_fill(out, 0, len);
    keystream_xor(key, n0, n1, n2, out, out, len);
}

/* ---- generator ---- */

static const uint8_t initial_generator_key[32] = "ORVEXA emulated generator key 2!";
static const uint8_t record_key[32] = "ORVEXA emulated record list key!";

/* Folds data into the key: per 32-byte chunk, key ^= ChaCha20(key ^ chunk) (feed-forward).
   Empty input still changes the key. Buffered output is discarded. */
static void drbg_absorb(orvexa_emu* e, uint32_t tag, const uint8_t* data, uint32_t len) {
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

static void drbg_read(orvexa_emu* e, uint8_t* out, uint32_t len) {
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

/* ---- state ---- */

/* Item rules per key-set code: length, then refusal statuses. */
typedef struct item_rule {
    uint8_t len;
    uint8_t size_status;
    uint8_t redefine_status; /* 0: may be overwritten */
    uint8_t check_status;    /* 0: no content check */
} item_rule;

static const item_rule set_rules[ORVEXA_EMU_SET_CODES] = {
    {0, 0, 0, 0},     {32, 21, 20, 0},  {32, 23, 22, 0},  {32, 25, 24, 26}, {10, 31, 30, 45},
    {12, 33, 32, 47}, {64, 28, 27, 29}, {33, 35, 34, 36}, {32, 39, 38, 40}, {0, 0, 0, 0},
    {32, 8, 0, 0},    {32, 8, 0, 0},    {36, 8, 0, 0},    {0, 0, 0, 0},     {0, 0, 0, 0}};

/* Per key-get code: item length, the key-set code that stores it, status when unset. */
static const uint8_t get_len[15] = {0, 32, 32, 32, 10, 12, 32, 32, 32, 64, 33, 32, 32, 32, 36};
static const uint8_t get_item[15] = {0, 0, 0, 0, 4, 5, 1, 2, 3, 6, 7, 8, 10, 11, 12};
static const uint8_t get_unset[15] = {0, 13, 13, 13, 15, 16, 19, 18, 13, 17, 14, 11, 14, 11, 12};

#define ITEM_BIT(c) (1u << (c))
#define SET_GKEY 3u
#define SET_NUM 4u
#define SET_NUMP 5u

static uint32_t loaded_slots(const orvexa_emu* e) {
    uint32_t mask = 0, s;
    for (s = 0; s < ORVEXA_EMU_SLOTS; s++)
        if (e->slot[s].set_mask & (ITEM_BIT(SET_NUM) | ITEM_BIT(SET_NUMP)))
            mask |= 1u << s;
    return mask;
}

static uint32_t info_word(const orvexa_emu* e, uint32_t w) {
    if (e->pinned & (1u << w))
        return e->pin_value[w];
    switch (w) {
    case 0:
        return ORVEXA_EMU_VERSION;
    case 1:
        return e->ready;
    case 2:
        return e->seeded;
    case 3:
        return e->bytes_accepted;
    case 4:
        return loaded_slots(e);
    case 5:
        return e->block_units;
    case 6:
        return ORVEXA_EMU_SLOTS;
    case 7:
        return 1;
    case 9:
        return e->seed_bytes;
    case 10:
        return e->steps;
    default:
        return 0;
    }
}

static void refresh_ready(orvexa_emu* e) {
    if (e->ready || !e->seeded || info_word(e, 8) != 0)
        return;
    if (e->block_seeded || ((e->policy & ORVEXA_TESTCTL_POLICY_KEYS_READY) && loaded_slots(e) != 0))
        e->ready = 1;
}

void orvexa_emu_init(orvexa_emu* e) {
    emu_fill(e, 0, sizeof *e);
    emu_copy(e->drbg_key, initial_generator_key, 32);
    e->policy = ORVEXA_TESTCTL_POLICY_DEFAULT;
    e->block_units = ORVEXA_EMU_DEFAULT_BLOCK_UNITS;
}

void orvexa_emu_mix(orvexa_emu* e, const void* data, uint32_t len) {
    drbg_absorb(e, TAG_MIX, (const uint8_t*)data, len);
}

/* Back to a freshly loaded driver, keeping the generator's key so output never repeats. */
static void reset_state(orvexa_emu* e) {
    uint8_t key[32];
    uint32_t absorbed = e->drbg_absorbed, refills = e->drbg_refills;
    emu_copy(key, e->drbg_key, 32);
    orvexa_emu_init(e);
    emu_copy(e->drbg_key, key, 32);
    e->drbg_absorbed = absorbed;
    e->drbg_refills = refills;
    drbg_absorb(e, TAG_RESET, 0, 0);
}

/* ---- requests ---- */

static int do_info(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                   uint32_t* returned) {
    uint32_t w;
    if (in_len < HDR || room < 4 * ORVEXA_EMU_INFO_WORDS || rd32(req + 4) != 0)
        return ORVEXA_EMU_BAD_PARAM;
    for (w = 0; w < ORVEXA_EMU_INFO_WORDS; w++)
        wr32(out + 4 * w, info_word(e, w));
    *returned = 4 * ORVEXA_EMU_INFO_WORDS;
    return ORVEXA_EMU_OK;
}

static int do_block_read(orvexa_emu* e, uint8_t* out, uint32_t room, uint32_t* returned) {
    uint32_t len = e->block_units * 8;
    if (room < HDR + len)
        return ORVEXA_EMU_BAD_PARAM;
    if ((e->policy & ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY) && info_word(e, 1) == 0) {
        write_header(out, 50, NO_SLOT, 0, 0);
        *returned = HDR;
        return ORVEXA_EMU_OK;
    }
    drbg_read(e, out + HDR, len);
    write_header(out, 0, NO_SLOT, xor_sum(out + HDR, len), len);
    *returned = HDR + len;
    return ORVEXA_EMU_OK;
}

static uint32_t store_item(orvexa_emu* e, uint32_t slot, uint32_t code, const uint8_t* data,
                           uint32_t len) {
    const item_rule* rule = &set_rules[code];
    orvexa_emu_slot* s = &e->slot[slot];
    if (len != rule->len)
        return rule->size_status;
    if (rule->redefine_status && (s->set_mask & ITEM_BIT(code)))
        return rule->redefine_status;
    switch (code) {
    case SET_GKEY:
    case 6:
        if (all_zero(data, len))
            return rule->check_status;
        break;
    case SET_NUM:
    case SET_NUMP:
        if (!all_digits(data, len))
            return rule->check_status;
        break;
    case 7:
        if (!(s->set_mask & ITEM_BIT(SET_NUM)))
            return rule->check_status;
        break;
    case 8:
        if (!(s->set_mask & ITEM_BIT(SET_NUMP)))
            return rule->check_status;
        break;
    default:
        break;
    }
    emu_copy(s->item[code], data, len);
    s->set_mask |= ITEM_BIT(code);
    return 0;
}

static int do_key_set(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                      uint32_t room, uint32_t* returned) {
    uint32_t code, slot, sum, len, status;
    const uint8_t* data = req + HDR;
    if (in_len < HDR || room < HDR)
        return ORVEXA_EMU_BAD_PARAM;
    code = rd32(req);
    slot = rd32(req + 4);
    sum = rd32(req + 8);
    len = rd32(req + 12);
    if (len > in_len - HDR)
        status = 8;
    else if (sum != xor_sum(data, len))
        status = 9;
    else if (code < 1 || code > 14)
        status = 10;
    else if (code == 13 || code == 14) {
        int block = code == 13;
        if (block ? (len < 64 || len > 2048) : len != 32) {
            status = 8;
        } else {
            drbg_absorb(e, block ? TAG_SEED_BLOCK : TAG_SEED, data, len);
            e->seeded = 1;
            if (block)
                e->block_seeded = 1;
            status = 0;
        }
    } else if (slot >= ORVEXA_EMU_SLOTS)
        status = 9;
    else if (code == 9) {
        const orvexa_emu_slot* s = &e->slot[slot];
        if (!(s->set_mask & ITEM_BIT(SET_GKEY))) {
            status = 13;
        } else {
            if (room < HDR + len)
                return ORVEXA_EMU_BAD_PARAM;
            keystream_xor(s->item[SET_GKEY], 0x209, slot, 0, data, out + HDR, len);
            write_header(out, 0, slot, xor_sum(out + HDR, len), len);
            *returned = HDR + len;
            return ORVEXA_EMU_OK;
        }
    } else
        status = store_item(e, slot, code, data, len);
    write_header(out, status, slot, 0, 0);
    *returned = HDR;
    return ORVEXA_EMU_OK;
}

static int do_key_get(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                      uint32_t room, uint32_t* returned) {
    uint32_t code, slot, sum, len, item_len, status = 0;
    const uint8_t* data = req + HDR;
    if (in_len < HDR || room < HDR)
        return ORVEXA_EMU_BAD_PARAM;
    code = rd32(req);
    slot = rd32(req + 4);
    sum = rd32(req + 8);
    len = rd32(req + 12);
    if (code < 1 || code > 14) {
        write_header(out, 7, slot, 0, 0);
        *returned = HDR;
        return ORVEXA_EMU_OK;
    }
    item_len = get_len[code];
    if (room < HDR + item_len)
        return ORVEXA_EMU_BAD_PARAM;
    if (len != (code <= 3 ? 32u : 0u) || len > in_len - HDR)
        status = 5;
    else if (sum != xor_sum(data, len) || slot >= ORVEXA_EMU_SLOTS)
        status = 6;
    else if (!(e->slot[slot].set_mask & ITEM_BIT(code <= 3 ? SET_GKEY : get_item[code])))
        status = get_unset[code];
    if (status != 0) {
        write_header(out, status, slot, 0, 0);
        *returned = HDR;
        return ORVEXA_EMU_OK;
    }
    if (code <= 3)
        keystream_xor(e->slot[slot].item[SET_GKEY], 0x100 + code, slot, 0, data, out + HDR, 32);
    else
        emu_copy(out + HDR, e->slot[slot].item[get_item[code]], item_len);
    write_header(out, 0, slot, xor_sum(out + HDR, item_len), item_len);
    *returned = HDR + item_len;
    return ORVEXA_EMU_OK;
}

static int do_key_reset(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint32_t* returned) {
    uint32_t slot;
    if (in_len < HDR)
        return ORVEXA_EMU_BAD_PARAM;
    slot = rd32(req + 4);
    if (slot >= ORVEXA_EMU_SLOTS)
        return ORVEXA_EMU_BAD_PARAM;
    emu_fill(&e->slot[slot], 0, sizeof e->slot[slot]);
    *returned = 0;
    return ORVEXA_EMU_OK;
}

/* List: 12-byte header (12, record count, payload length = count * 62), then records. */
static int list_well_formed(const uint8_t* list, uint32_t len) {
    uint32_t payload;
    if (len < 12 || rd32(list) != 12)
        return 0;
    payload = rd32(list + 8);
    return payload == rd32(list + 4) * 62u && payload % 62u == 0 && len - 12 == payload;
}

static int do_records(const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                      uint32_t* returned) {
    uint32_t sum, len, status = 0, i;
    const uint8_t* list = req + HDR;
    if (in_len < HDR || room < HDR)
        return ORVEXA_EMU_BAD_PARAM;
    sum = rd32(req + 8);
    len = rd32(req + 12);
    if (len > in_len - HDR)
        status = 8;
    else if (sum != xor_sum(list, len) || !list_well_formed(list, len))
        status = 9;
    if (status != 0) {
        write_header(out, status, rd32(req + 4), 0, 0);
        *returned = HDR;
        return ORVEXA_EMU_OK;
    }
    if (room < HDR + len)
        return ORVEXA_EMU_BAD_PARAM;
    emu_copy(out + HDR, list, 12);
    for (i = 0; i < (len - 12) / 62u; i++)
        keystream_xor(record_key, 0x306, i, 0, list + 12 + 62 * i, out + HDR + 12 + 62 * i, 62);
    write_header(out, 0, rd32(req + 4), xor_sum(out + HDR, len), len);
    *returned = HDR + len;
    return ORVEXA_EMU_OK;
}

static int do_seed_byte(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                        uint32_t room, uint32_t* returned) {
    uint32_t status = 0;
    if (in_len < HDR || room < HDR)
        return ORVEXA_EMU_BAD_PARAM;
    if (rd32(req + 12) != 1 || in_len < HDR + 1)
        status = 8;
    else if (rd32(req + 8) != req[HDR])
        status = 9;
    else {
        drbg_absorb(e, TAG_SEED_BYTE, req + HDR, 1);
        if (e->seed_bytes != 0xFFFFFFFFu)
            e->seed_bytes++;
        if (e->seed_bytes >= ORVEXA_EMU_SEED_BYTES_NEEDED) {
            e->bytes_accepted = 1;
            if (e->policy & ORVEXA_TESTCTL_POLICY_BYTES_SEED)
                e->seeded = 1;
        }
    }
    write_header(out, status, rd32(req + 4), 0, 0);
    *returned = HDR;
    return ORVEXA_EMU_OK;
}

static int do_step(orvexa_emu* e, uint32_t* returned) {
    uint8_t count[4];
    wr32(count, e->steps);
    drbg_absorb(e, TAG_STEP, count, 4);
    if (e->steps != 0xFFFFFFFFu)
        e->steps++;
    if (e->steps >= ORVEXA_EMU_STEPS_NEEDED)
        e->seeded = 1;
    *returned = 0;
    return ORVEXA_EMU_OK;
}

static int do_byte_read(orvexa_emu* e, uint8_t* out, uint32_t room, uint32_t* returned) {
    if (room < 1)
        return ORVEXA_EMU_BAD_PARAM;
    drbg_read(e, out, 1);
    *returned = 1;
    return ORVEXA_EMU_OK;
}

/* Data blocks: key_at = offset of the 32-byte key, len_at = offset of n, data follows n. */
static int do_data(uint32_t function, const uint8_t* req, uint32_t in_len, uint8_t* out,
                   uint32_t room, uint32_t* returned) {
    uint32_t block_len, key_at, len_at, max, len, n0 = 0, n1 = 0, n2;
    if (function == 13) {
        block_len = 1124;
        key_at = 0;
        len_at = 96;
        max = 1024;
        n2 = 3;
    } else {
        block_len = 628;
        key_at = 8;
        len_at = 104;
        max = 520;
        n0 = rd32(req);
        n1 = rd32(req + 4);
        n2 = function == 11 ? 1 : 2;
    }
    if (in_len < block_len)
        return ORVEXA_EMU_BAD_PARAM;
    len = rd32(req + len_at);
    if (len > max || room < len)
        return ORVEXA_EMU_BAD_PARAM;
    keystream_xor(req + key_at, n0, n1, n2, req + len_at + 4, out, len);
    *returned = len;
    return ORVEXA_EMU_OK;
}

static int do_text(const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                   uint32_t* returned) {
    if (in_len < 32 || room < 32)
        return ORVEXA_EMU_BAD_PARAM;
    keystream(req, 0, 0, 4, out, 32);
    *returned = 32;
    return ORVEXA_EMU_OK;
}

static int in_range(uint32_t code) {
    return code >= ORVEXA_EMU_CODE_BASE && code < ORVEXA_EMU_CODE_BASE + 4 * ORVEXA_EMU_FUNCTIONS &&
           (code - ORVEXA_EMU_CODE_BASE) % 4 == 0;
}

static int answer_has_header(uint32_t code) {
    uint32_t k = (code - ORVEXA_EMU_CODE_BASE) / 4;
    return in_range(code) && (k == 1 || k == 2 || k == 4 || k == 6 || k == 7);
}

static int dispatch(orvexa_emu* e, uint32_t code, const uint8_t* req, uint32_t in_len, uint8_t* out,
                    uint32_t room, uint32_t* returned) {
    if (!in_range(code))
        return ORVEXA_EMU_BAD_CODE;
    switch ((code - ORVEXA_EMU_CODE_BASE) / 4) {
    case 0:
        return do_info(e, req, in_len, out, room, returned);
    case 1:
        return do_block_read(e, out, room, returned);
    case 2:
        return do_key_set(e, req, in_len, out, room, returned);
    case 3:
        return do_step(e, returned);
    case 4:
        return do_key_get(e, req, in_len, out, room, returned);
    case 5:
        return do_key_reset(e, req, in_len, returned);
    case 6:
        return do_records(req, in_len, out, room, returned);
    case 7:
        return do_seed_byte(e, req, in_len, out, room, returned);
    case 8:
        return do_byte_read(e, out, room, returned);
    case 11:
    case 12:
    case 13:
        return do_data((code - ORVEXA_EMU_CODE_BASE) / 4, req, in_len, out, room, returned);
    case 14:
        return do_text(req, in_len, out, room, returned);
    default:
        return ORVEXA_EMU_BAD_CODE;
    }
}

/* ---- faults ---- */

/* Every armed fault waiting for this code counts the request; the earliest one that is due
   strikes. Returns the striking fault's kind and param (kind 0: none). */
static orvexa_emu_fault take_fault(orvexa_emu* e, uint32_t code) {
    orvexa_emu_fault hit;
    uint32_t i, live;
    int struck = 0;
    emu_fill(&hit, 0, sizeof hit);
    for (i = 0; i < ORVEXA_EMU_MAX_FAULTS; i++) {
        orvexa_emu_fault* f = &e->fault[i];
        if (f->kind == 0 || (f->code != 0 && f->code != code))
            continue;
        if (f->skip > 0) {
            f->skip--;
            continue;
        }
        if (struck)
            continue;
        struck = 1;
        hit = *f;
        if (f->count != ORVEXA_TESTCTL_FOREVER && --f->count == 0)
            f->kind = 0;
    }
    /* keep the table in arming order */
    for (i = 0, live = 0; i < ORVEXA_EMU_MAX_FAULTS; i++)
        if (e->fault[i].kind != 0)
            e->fault[live++] = e->fault[i];
    for (; live < ORVEXA_EMU_MAX_FAULTS; live++)
        e->fault[live].kind = 0;
    return hit;
}

/* Moves a count by a signed delta, kept within 0..limit. */
static uint32_t move_count(uint32_t value, int32_t delta, uint32_t limit) {
    if (delta < 0) {
        uint32_t down = 0u - (uint32_t)delta;
        return down > value ? 0 : value - down;
    }
    return limit - value < (uint32_t)delta ? limit : value + (uint32_t)delta;
}

static void damage_answer(const orvexa_emu_fault* f, int has_header, uint8_t* out, uint32_t room,
                          uint32_t* returned) {
    if (!has_header || *returned < HDR) {
        if (f->kind == ORVEXA_TESTCTL_FAULT_LENGTH_DELTA)
            *returned = move_count(*returned, (int32_t)f->param, room);
        else if (f->kind == ORVEXA_TESTCTL_FAULT_LENGTH)
            *returned = f->param < room ? f->param : room;
        return;
    }
    switch (f->kind) {
    case ORVEXA_TESTCTL_FAULT_CHECKSUM:
        wr32(out + 8, rd32(out + 8) ^ (f->param ? f->param : 1u));
        break;
    case ORVEXA_TESTCTL_FAULT_LENGTH_DELTA: {
        uint32_t len = rd32(out + 12);
        int32_t d = (int32_t)f->param;
        if (d < 0 && 0u - (uint32_t)d <= len) {
            len -= 0u - (uint32_t)d;
            wr32(out + 8, xor_sum(out + HDR, len)); /* still a valid checksum */
        } else if (d > 0) {
            uint32_t padded = move_count(*returned, d, room);
            emu_fill(out + *returned, 0, padded - *returned);
            *returned = padded;
            len += (uint32_t)d;
        } else {
            len += (uint32_t)d; /* below zero: wraps to an oversize length */
        }
        wr32(out + 12, len);
        break;
    }
    case ORVEXA_TESTCTL_FAULT_LENGTH:
        wr32(out + 12, f->param);
        break;
    default:
        break;
    }
}

/* ---- test control ---- */

/* Fills every item of a slot from its key numbers, as a crypto library loading a key. */
static void load_key(orvexa_emu* e, uint32_t slot, const uint8_t numbers[22]) {
    static const uint8_t codes[] = {1, 2, 3, 6, 7, 8, 10, 11, 12};
    orvexa_emu_slot* s = &e->slot[slot];
    uint8_t seed[32];
    uint32_t i;
    emu_fill(s, 0, sizeof *s);
    emu_fill(seed, 0, sizeof seed);
    emu_copy(seed, numbers, 22);
    emu_copy(s->item[SET_NUM], numbers, 10);
    emu_copy(s->item[SET_NUMP], numbers + 10, 12);
    s->set_mask = ITEM_BIT(SET_NUM) | ITEM_BIT(SET_NUMP);
    for (i = 0; i < sizeof codes; i++) {
        keystream(seed, 0x400 + codes[i], slot, 0, s->item[codes[i]], set_rules[codes[i]].len);
        s->item[codes[i]][0] |= 1; /* never all zero */
        s->set_mask |= ITEM_BIT(codes[i]);
    }
}

static int testctl(orvexa_emu* e, const uint8_t* in, uint32_t in_len, uint8_t* out, uint32_t room,
                   uint32_t* returned) {
    uint32_t op, a[5], i;
    if (in_len < 24)
        return ORVEXA_EMU_BAD_PARAM;
    op = rd32(in);
    for (i = 0; i < 5; i++)
        a[i] = rd32(in + 4 + 4 * i);
    switch (op) {
    case ORVEXA_TESTCTL_RESET:
        reset_state(e);
        break;
    case ORVEXA_TESTCTL_SET_WORD:
        if (a[0] >= ORVEXA_EMU_INFO_WORDS)
            return ORVEXA_EMU_BAD_PARAM;
        if (a[0] == 5) {
            if (a[1] > ORVEXA_EMU_MAX_BLOCK_UNITS)
                return ORVEXA_EMU_BAD_PARAM;
            e->block_units = a[1];
            e->pinned &= ~(1u << 5);
        } else {
            e->pinned |= 1u << a[0];
            e->pin_value[a[0]] = a[1];
        }
        break;
    case ORVEXA_TESTCTL_UNPIN_WORD:
        if (a[0] == ORVEXA_TESTCTL_ALL)
            e->pinned = 0;
        else if (a[0] < ORVEXA_EMU_INFO_WORDS)
            e->pinned &= ~(1u << a[0]);
        else
            return ORVEXA_EMU_BAD_PARAM;
        break;
    case ORVEXA_TESTCTL_SET_BLOCK_UNITS:
        if (a[0] > ORVEXA_EMU_MAX_BLOCK_UNITS)
            return ORVEXA_EMU_BAD_PARAM;
        e->block_units = a[0];
        break;
    case ORVEXA_TESTCTL_ARM_FAULT:
        if (a[1] < ORVEXA_TESTCTL_FAULT_FAIL || a[1] > ORVEXA_TESTCTL_FAULT_LENGTH)
            return ORVEXA_EMU_BAD_PARAM;
        for (i = 0; i < ORVEXA_EMU_MAX_FAULTS && e->fault[i].kind != 0; i++)
            ;
        if (i == ORVEXA_EMU_MAX_FAULTS)
            return ORVEXA_EMU_BAD_PARAM;
        e->fault[i].code = a[0];
        e->fault[i].kind = a[1];
        e->fault[i].param = a[2];
        e->fault[i].skip = a[3];
        e->fault[i].count = a[4] ? a[4] : 1;
        break;
    case ORVEXA_TESTCTL_CLEAR_FAULTS:
        emu_fill(e->fault, 0, sizeof e->fault);
        break;
    case ORVEXA_TESTCTL_SET_BIAS:
        if (a[0] > ORVEXA_TESTCTL_BIAS_FLAT)
            return ORVEXA_EMU_BAD_PARAM;
        e->bias = a[0];
        break;
    case ORVEXA_TESTCTL_SET_POLICY:
        e->policy = a[0] & (ORVEXA_TESTCTL_POLICY_BYTES_SEED | ORVEXA_TESTCTL_POLICY_KEYS_READY |
                            ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY);
        break;
    case ORVEXA_TESTCTL_GET_COUNTERS:
        if (room < 4 * (1 + ORVEXA_EMU_FUNCTIONS))
            return ORVEXA_EMU_BAD_PARAM;
        wr32(out, e->count_total);
        for (i = 0; i < ORVEXA_EMU_FUNCTIONS; i++)
            wr32(out + 4 + 4 * i, e->count_function[i]);
        *returned = 4 * (1 + ORVEXA_EMU_FUNCTIONS);
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_RESET_COUNTERS:
        e->count_total = 0;
        emu_fill(e->count_function, 0, sizeof e->count_function);
        break;
    case ORVEXA_TESTCTL_GET_LAST_REQUEST: {
        uint32_t stored =
            e->last_in_len < ORVEXA_EMU_MAX_INPUT ? e->last_in_len : ORVEXA_EMU_MAX_INPUT;
        uint32_t copied;
        if (room < 12)
            return ORVEXA_EMU_BAD_PARAM;
        copied = room - 12 < stored ? room - 12 : stored;
        wr32(out, e->last_code);
        wr32(out + 4, e->last_in_len);
        wr32(out + 8, stored);
        emu_copy(out + 12, e->last_in, copied);
        *returned = 12 + copied;
        return ORVEXA_EMU_OK;
    }
    case ORVEXA_TESTCTL_LOAD_KEY: {
        uint8_t numbers[22];
        if (a[0] >= ORVEXA_EMU_SLOTS || in_len < 24 + 22)
            return ORVEXA_EMU_BAD_PARAM;
        emu_copy(numbers, in + 24, 22);
        load_key(e, a[0], numbers);
        break;
    }
    case ORVEXA_TESTCTL_GET_STATE: {
        uint32_t v[48], n = 0;
        for (i = 0; i < ORVEXA_EMU_INFO_WORDS; i++)
            v[n++] = info_word(e, i);
        v[n++] = e->seed_bytes;
        v[n++] = e->steps;
        v[n++] = e->bytes_accepted;
        v[n++] = e->seeded;
        v[n++] = e->block_seeded;
        v[n++] = e->ready;
        v[n++] = loaded_slots(e);
        for (i = 0; i < ORVEXA_EMU_SLOTS; i++)
            v[n++] = e->slot[i].set_mask;
        v[n++] = e->policy;
        v[n++] = e->bias;
        v[n++] = e->pinned;
        v[n] = 0;
        for (i = 0; i < ORVEXA_EMU_MAX_FAULTS; i++)
            v[n] += e->fault[i].kind != 0;
        n++;
        v[n++] = e->block_units;
        if (room < 4 * n)
            return ORVEXA_EMU_BAD_PARAM;
        for (i = 0; i < n; i++)
            wr32(out + 4 * i, v[i]);
        *returned = 4 * n;
        return ORVEXA_EMU_OK;
    }
    default:
        return ORVEXA_EMU_BAD_PARAM;
    }
    *returned = 0;
    return ORVEXA_EMU_OK;
}

/* ---- entry ---- */

int orvexa_emu_control(orvexa_emu* e, uint32_t code, const void* in, uint32_t in_len, void* out,
                       uint32_t out_room, uint32_t* returned) {
    uint32_t dummy, stored;
    orvexa_emu_fault fault;
    int rc;
    if (!returned)
        returned = &dummy;
    *returned = 0;
    if (!in)
        in_len = 0;
    if (!out)
        out_room = 0;

    if (code == ORVEXA_TESTCTL_CODE) {
        uint8_t args[24 + 22];
        uint32_t keep = in_len < sizeof args ? in_len : (uint32_t)sizeof args;
        emu_copy(args, in, keep);
        rc = testctl(e, args, keep, (uint8_t*)out, out_room, returned);
        refresh_ready(e);
        return rc;
    }

    e->count_total++;
    if (in_range(code))
        e->count_function[(code - ORVEXA_EMU_CODE_BASE) / 4]++;
    stored = in_len < ORVEXA_EMU_MAX_INPUT ? in_len : ORVEXA_EMU_MAX_INPUT;
    e->last_code = code;
    e->last_in_len = in_len;
    emu_copy(e->last_in, in, stored); /* the request is read from this copy from now on */
    if (in_len > ORVEXA_EMU_MAX_INPUT)
        return ORVEXA_EMU_BAD_PARAM;

    fault = take_fault(e, code);
    switch (fault.kind) {
    case ORVEXA_TESTCTL_FAULT_FAIL:
        return ORVEXA_EMU_FAIL;
    case ORVEXA_TESTCTL_FAULT_NETPATH:
        return ORVEXA_EMU_FAIL_NETPATH;
    case ORVEXA_TESTCTL_FAULT_STATUS:
        if (!answer_has_header(code))
            return ORVEXA_EMU_FAIL;
        if (out_room < HDR)
            return ORVEXA_EMU_BAD_PARAM;
        write_header((uint8_t*)out, fault.param, in_len >= 8 ? rd32(e->last_in + 4) : NO_SLOT, 0,
                     0);
        *returned = HDR;
        return ORVEXA_EMU_OK;
    default:
        break;
    }

    rc = dispatch(e, code, e->last_in, in_len, (uint8_t*)out, out_room, returned);
    if (rc == ORVEXA_EMU_OK && fault.kind != 0)
        damage_answer(&fault, answer_has_header(code), (uint8_t*)out, out_room, returned);
    refresh_ready(e);
    return rc;
}
