/* Emulated ORVEXA driver: the key items of the 16 slots (key-set, key-get, key reset) and
 * the seeds that arrive through key-set. */
#include "emu_internal.h"

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

/* The content rule of a key-set code: nonzero when the item may be stored. */
static int content_ok(const orvexa_emu_slot* s, uint32_t code, const uint8_t* data, uint32_t len) {
    switch (code) {
    case EMU_SET_GKEY:
    case EMU_SET_KEYC:
        return !all_zero(data, len);
    case EMU_SET_NUM:
    case EMU_SET_NUMP:
        return all_digits(data, len);
    case EMU_SET_CKEYD:
        return (s->set_mask & EMU_ITEM_BIT(EMU_SET_NUM)) != 0;
    case EMU_SET_CKEYDI:
        return (s->set_mask & EMU_ITEM_BIT(EMU_SET_NUMP)) != 0;
    default:
        return 1;
    }
}

static uint32_t store_item(orvexa_emu* e, uint32_t slot, uint32_t code, const uint8_t* data,
                           uint32_t len) {
    const item_rule* rule = &set_rules[code];
    orvexa_emu_slot* s = &e->slot[slot];
    if (len != rule->len)
        return rule->size_status;
    if (rule->redefine_status && (s->set_mask & EMU_ITEM_BIT(code)))
        return rule->redefine_status;
    if (!content_ok(s, code, data, len))
        return rule->check_status;
    emu_copy(s->item[code], data, len);
    s->set_mask |= EMU_ITEM_BIT(code);
    return 0;
}

/* Key-set 13 (seed block) and 14 (seed); the slot word is ignored. */
static uint32_t take_seed(orvexa_emu* e, uint32_t code, const uint8_t* data, uint32_t len) {
    int block = code == EMU_SET_SEED_BLOCK;
    if (block ? (len < 64 || len > 2048) : len != 32)
        return 8;
    emu_drbg_absorb(e, block ? EMU_TAG_SEED_BLOCK : EMU_TAG_SEED, data, len);
    e->seeded = 1;
    if (block)
        e->block_seeded = 1;
    return 0;
}

/* Key-set 9: the data comes back XORed with the keystream of the slot's GKEY. */
static int transform(orvexa_emu* e, uint32_t slot, const uint8_t* data, uint32_t len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    const orvexa_emu_slot* s = &e->slot[slot];
    if (!(s->set_mask & EMU_ITEM_BIT(EMU_SET_GKEY)))
        return emu_answer_status(out, 13, slot, returned);
    if (room < EMU_HDR + len)
        return ORVEXA_EMU_BAD_PARAM;
    emu_keystream_xor(s->item[EMU_SET_GKEY], 0x209, slot, 0, data, out + EMU_HDR, len);
    emu_write_header(out, 0, slot, emu_xor_sum(out + EMU_HDR, len), len);
    *returned = EMU_HDR + len;
    return ORVEXA_EMU_OK;
}

int emu_do_key_set(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                   uint32_t* returned) {
    emu_header h;
    uint32_t status;
    const uint8_t* data = req + EMU_HDR;
    if (in_len < EMU_HDR || room < EMU_HDR)
        return ORVEXA_EMU_BAD_PARAM;
    h = emu_read_header(req);
    if (h.len > in_len - EMU_HDR)
        status = 8;
    else if (h.sum != emu_xor_sum(data, h.len))
        status = 9;
    else if (h.code < 1 || h.code > 14)
        status = 10;
    else if (h.code == EMU_SET_SEED_BLOCK || h.code == EMU_SET_SEED)
        status = take_seed(e, h.code, data, h.len);
    else if (h.slot >= ORVEXA_EMU_SLOTS)
        status = 9;
    else if (h.code == EMU_SET_TRANSFORM)
        return transform(e, h.slot, data, h.len, out, room, returned);
    else
        status = store_item(e, h.slot, h.code, data, h.len);
    return emu_answer_status(out, status, h.slot, returned);
}

int emu_do_key_get(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                   uint32_t* returned) {
    emu_header h;
    uint32_t item_len, status = 0;
    const uint8_t* data = req + EMU_HDR;
    if (in_len < EMU_HDR || room < EMU_HDR)
        return ORVEXA_EMU_BAD_PARAM;
    h = emu_read_header(req);
    if (h.code < 1 || h.code > 14)
        return emu_answer_status(out, 7, h.slot, returned);
    item_len = get_len[h.code];
    if (room < EMU_HDR + item_len)
        return ORVEXA_EMU_BAD_PARAM;
    if (h.len != (h.code <= 3 ? 32u : 0u) || h.len > in_len - EMU_HDR)
        status = 5;
    else if (h.sum != emu_xor_sum(data, h.len) || h.slot >= ORVEXA_EMU_SLOTS)
        status = 6;
    else if (!(e->slot[h.slot].set_mask &
               EMU_ITEM_BIT(h.code <= 3 ? EMU_SET_GKEY : get_item[h.code])))
        status = get_unset[h.code];
    if (status != 0)
        return emu_answer_status(out, status, h.slot, returned);
    if (h.code <= 3) /* the 32 input bytes XOR the keystream of the slot's GKEY */
        emu_keystream_xor(e->slot[h.slot].item[EMU_SET_GKEY], 0x100 + h.code, h.slot, 0, data,
                          out + EMU_HDR, 32);
    else
        emu_copy(out + EMU_HDR, e->slot[h.slot].item[get_item[h.code]], item_len);
    emu_write_header(out, 0, h.slot, emu_xor_sum(out + EMU_HDR, item_len), item_len);
    *returned = EMU_HDR + item_len;
    return ORVEXA_EMU_OK;
}

int emu_do_key_reset(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    uint32_t slot;
    (void)out;
    (void)room;
    if (in_len < EMU_HDR)
        return ORVEXA_EMU_BAD_PARAM;
    slot = emu_rd32(req + 4);
    if (slot >= ORVEXA_EMU_SLOTS)
        return ORVEXA_EMU_BAD_PARAM;
    emu_fill(&e->slot[slot], 0, sizeof e->slot[slot]);
    *returned = 0;
    return ORVEXA_EMU_OK;
}

void emu_load_key(orvexa_emu* e, uint32_t slot, const uint8_t numbers[22]) {
    static const uint8_t codes[] = {1, 2, 3, 6, 7, 8, 10, 11, 12};
    orvexa_emu_slot* s = &e->slot[slot];
    uint8_t seed[32];
    uint32_t i;
    emu_fill(s, 0, sizeof *s);
    emu_fill(seed, 0, sizeof seed);
    emu_copy(seed, numbers, 22);
    emu_copy(s->item[EMU_SET_NUM], numbers, 10);
    emu_copy(s->item[EMU_SET_NUMP], numbers + 10, 12);
    s->set_mask = EMU_ITEM_BIT(EMU_SET_NUM) | EMU_ITEM_BIT(EMU_SET_NUMP);
    for (i = 0; i < sizeof codes; i++) {
        emu_keystream(seed, 0x400 + codes[i], slot, 0, s->item[codes[i]], set_rules[codes[i]].len);
        s->item[codes[i]][0] |= 1; /* never all zero */
        s->set_mask |= EMU_ITEM_BIT(codes[i]);
    }
}
