/* Emulated ORVEXA driver: the data requests (record list, data blocks, data from text).
 * Each is a keystream XOR of its data, so sending the answer back gives the data again;
 * data from text is the one-way exception. */
#include "emu_internal.h"

static const uint8_t record_key[32] = "ORVEXA emulated record list key!";

#define LIST_HEADER 12u
#define RECORD_LEN 62u

/* List: 12-byte header (12, record count, payload length = count * 62), then records. */
static int list_well_formed(const uint8_t* list, uint32_t len) {
    uint32_t payload;
    if (len < LIST_HEADER || emu_rd32(list) != LIST_HEADER)
        return 0;
    payload = emu_rd32(list + 8);
    return payload == emu_rd32(list + 4) * RECORD_LEN && payload % RECORD_LEN == 0 &&
           len - LIST_HEADER == payload;
}

int emu_do_records(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                   uint32_t* returned) {
    emu_header h;
    uint32_t len, status = 0, i;
    const uint8_t* list = req + EMU_HDR;
    (void)e;
    if (in_len < EMU_HDR || room < EMU_HDR)
        return ORVEXA_EMU_BAD_PARAM;
    h = emu_read_header(req);
    len = h.len;
    if (len > in_len - EMU_HDR)
        status = 8;
    else if (h.sum != emu_xor_sum(list, len) || !list_well_formed(list, len))
        status = 9;
    if (status != 0)
        return emu_answer_status(out, status, h.slot, returned);
    if (room < EMU_HDR + len)
        return ORVEXA_EMU_BAD_PARAM;
    emu_copy(out + EMU_HDR, list, LIST_HEADER);
    for (i = 0; i < (len - LIST_HEADER) / RECORD_LEN; i++) {
        uint32_t at = LIST_HEADER + RECORD_LEN * i;
        emu_keystream_xor(record_key, 0x306, i, 0, list + at, out + EMU_HDR + at, RECORD_LEN);
    }
    emu_write_header(out, 0, h.slot, emu_xor_sum(out + EMU_HDR, len), len);
    *returned = EMU_HDR + len;
    return ORVEXA_EMU_OK;
}

/* Layout of a data block: where its key and its length n lie (the data follows n), the
   longest n, and the third nonce word. */
typedef struct data_block {
    uint32_t block_len, key_at, len_at, max, n2;
} data_block;

static int data_xor(const data_block* b, uint32_t n0, uint32_t n1, const uint8_t* req,
                    uint32_t in_len, uint8_t* out, uint32_t room, uint32_t* returned) {
    uint32_t len;
    if (in_len < b->block_len)
        return ORVEXA_EMU_BAD_PARAM;
    len = emu_rd32(req + b->len_at);
    if (len > b->max || room < len)
        return ORVEXA_EMU_BAD_PARAM;
    emu_keystream_xor(req + b->key_at, n0, n1, b->n2, req + b->len_at + 4, out, len);
    *returned = len;
    return ORVEXA_EMU_OK;
}

static const data_block iv_a = {628, 8, 104, 520, 1};
static const data_block iv_b = {628, 8, 104, 520, 2};
static const data_block keyed = {1124, 0, 96, 1024, 3};

/* The IV blocks open with the 8-byte IV: it becomes the first two nonce words. */
static int data_iv(const data_block* b, const uint8_t* req, uint32_t in_len, uint8_t* out,
                   uint32_t room, uint32_t* returned) {
    if (in_len < b->block_len)
        return ORVEXA_EMU_BAD_PARAM;
    return data_xor(b, emu_rd32(req), emu_rd32(req + 4), req, in_len, out, room, returned);
}

int emu_do_data_iv_a(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    (void)e;
    return data_iv(&iv_a, req, in_len, out, room, returned);
}

int emu_do_data_iv_b(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    (void)e;
    return data_iv(&iv_b, req, in_len, out, room, returned);
}

int emu_do_data_keyed(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                      uint32_t room, uint32_t* returned) {
    (void)e;
    return data_xor(&keyed, 0, 0, req, in_len, out, room, returned);
}

int emu_do_data_text(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    (void)e;
    if (in_len < 32 || room < 32)
        return ORVEXA_EMU_BAD_PARAM;
    emu_keystream(req, 0, 0, 4, out, 32);
    *returned = 32;
    return ORVEXA_EMU_OK;
}
