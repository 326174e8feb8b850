/* Emulated ORVEXA driver: the information record and the generator's requests (block read,
 * step, seed byte, byte read). */
#include "emu_internal.h"
#include "orvexa_testctl.h"

int emu_do_info(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                uint32_t* returned) {
    uint32_t w;
    if (in_len < EMU_HDR || room < 4 * ORVEXA_EMU_INFO_WORDS || emu_rd32(req + 4) != 0)
        return ORVEXA_EMU_BAD_PARAM;
    for (w = 0; w < ORVEXA_EMU_INFO_WORDS; w++)
        emu_wr32(out + 4 * w, emu_info_word(e, w));
    *returned = 4 * ORVEXA_EMU_INFO_WORDS;
    return ORVEXA_EMU_OK;
}

int emu_do_block_read(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                      uint32_t room, uint32_t* returned) {
    uint32_t len = e->block_units * 8;
    (void)req;
    (void)in_len;
    if (room < EMU_HDR + len)
        return ORVEXA_EMU_BAD_PARAM;
    if ((e->policy & ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY) && emu_info_word(e, 1) == 0)
        return emu_answer_status(out, 50, EMU_NO_SLOT, returned);
    emu_drbg_read(e, out + EMU_HDR, len);
    emu_write_header(out, 0, EMU_NO_SLOT, emu_xor_sum(out + EMU_HDR, len), len);
    *returned = EMU_HDR + len;
    return ORVEXA_EMU_OK;
}

int emu_do_step(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out, uint32_t room,
                uint32_t* returned) {
    uint8_t count[4];
    (void)req;
    (void)in_len;
    (void)out;
    (void)room;
    emu_wr32(count, e->steps);
    emu_drbg_absorb(e, EMU_TAG_STEP, count, 4);
    if (e->steps != 0xFFFFFFFFu)
        e->steps++;
    if (e->steps >= ORVEXA_EMU_STEPS_NEEDED)
        e->seeded = 1;
    *returned = 0;
    return ORVEXA_EMU_OK;
}

int emu_do_seed_byte(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    uint32_t status = 0;
    if (in_len < EMU_HDR || room < EMU_HDR)
        return ORVEXA_EMU_BAD_PARAM;
    if (emu_rd32(req + 12) != 1 || in_len < EMU_HDR + 1)
        status = 8;
    else if (emu_rd32(req + 8) != req[EMU_HDR])
        status = 9;
    else {
        emu_drbg_absorb(e, EMU_TAG_SEED_BYTE, req + EMU_HDR, 1);
        if (e->seed_bytes != 0xFFFFFFFFu)
            e->seed_bytes++;
        if (e->seed_bytes >= ORVEXA_EMU_SEED_BYTES_NEEDED) {
            e->bytes_accepted = 1;
            if (e->policy & ORVEXA_TESTCTL_POLICY_BYTES_SEED)
                e->seeded = 1;
        }
    }
    return emu_answer_status(out, status, emu_rd32(req + 4), returned);
}

int emu_do_byte_read(orvexa_emu* e, const uint8_t* req, uint32_t in_len, uint8_t* out,
                     uint32_t room, uint32_t* returned) {
    (void)req;
    (void)in_len;
    if (room < 1)
        return ORVEXA_EMU_BAD_PARAM;
    emu_drbg_read(e, out, 1);
    *returned = 1;
    return ORVEXA_EMU_OK;
}
