/* Emulated ORVEXA driver: the private test-control request (see orvexa_testctl.h). */
#include "emu_internal.h"
#include "orvexa_testctl.h"

static int set_word(orvexa_emu* e, uint32_t w, uint32_t value) {
    if (w >= ORVEXA_EMU_INFO_WORDS)
        return ORVEXA_EMU_BAD_PARAM;
    if (w == 5) { /* the block length is real state, not a pin */
        if (value > ORVEXA_EMU_MAX_BLOCK_UNITS)
            return ORVEXA_EMU_BAD_PARAM;
        e->block_units = value;
        e->pinned &= ~(1u << 5);
    } else {
        e->pinned |= 1u << w;
        e->pin_value[w] = value;
    }
    return ORVEXA_EMU_OK;
}

static int unpin_word(orvexa_emu* e, uint32_t w) {
    if (w == ORVEXA_TESTCTL_ALL)
        e->pinned = 0;
    else if (w < ORVEXA_EMU_INFO_WORDS)
        e->pinned &= ~(1u << w);
    else
        return ORVEXA_EMU_BAD_PARAM;
    return ORVEXA_EMU_OK;
}

static int arm_fault(orvexa_emu* e, const uint32_t a[5]) {
    uint32_t i;
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
    return ORVEXA_EMU_OK;
}

static int get_counters(const orvexa_emu* e, uint8_t* out, uint32_t room, uint32_t* returned) {
    uint32_t i;
    if (room < 4 * (1 + ORVEXA_EMU_FUNCTIONS))
        return ORVEXA_EMU_BAD_PARAM;
    emu_wr32(out, e->count_total);
    for (i = 0; i < ORVEXA_EMU_FUNCTIONS; i++)
        emu_wr32(out + 4 + 4 * i, e->count_function[i]);
    *returned = 4 * (1 + ORVEXA_EMU_FUNCTIONS);
    return ORVEXA_EMU_OK;
}

static int get_last_request(const orvexa_emu* e, uint8_t* out, uint32_t room, uint32_t* returned) {
    uint32_t stored = e->last_in_len < ORVEXA_EMU_MAX_INPUT ? e->last_in_len : ORVEXA_EMU_MAX_INPUT;
    uint32_t copied;
    if (room < 12)
        return ORVEXA_EMU_BAD_PARAM;
    copied = room - 12 < stored ? room - 12 : stored;
    emu_wr32(out, e->last_code);
    emu_wr32(out + 4, e->last_in_len);
    emu_wr32(out + 8, stored);
    emu_copy(out + 12, e->last_in, copied);
    *returned = 12 + copied;
    return ORVEXA_EMU_OK;
}

/* orvexa_testctl_state, word by word. */
static int get_state(const orvexa_emu* e, uint8_t* out, uint32_t room, uint32_t* returned) {
    uint32_t v[48], n = 0, i;
    for (i = 0; i < ORVEXA_EMU_INFO_WORDS; i++)
        v[n++] = emu_info_word(e, i);
    v[n++] = e->seed_bytes;
    v[n++] = e->steps;
    v[n++] = e->bytes_accepted;
    v[n++] = e->seeded;
    v[n++] = e->block_seeded;
    v[n++] = e->ready;
    v[n++] = emu_loaded_slots(e);
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
        emu_wr32(out + 4 * i, v[i]);
    *returned = 4 * n;
    return ORVEXA_EMU_OK;
}

/* Operations that answer nothing. */
static int change_scenario(orvexa_emu* e, uint32_t op, const uint32_t a[5], const uint8_t* in,
                           uint32_t in_len) {
    switch (op) {
    case ORVEXA_TESTCTL_RESET:
        emu_reset_state(e);
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_SET_WORD:
        return set_word(e, a[0], a[1]);
    case ORVEXA_TESTCTL_UNPIN_WORD:
        return unpin_word(e, a[0]);
    case ORVEXA_TESTCTL_SET_BLOCK_UNITS:
        if (a[0] > ORVEXA_EMU_MAX_BLOCK_UNITS)
            return ORVEXA_EMU_BAD_PARAM;
        e->block_units = a[0];
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_ARM_FAULT:
        return arm_fault(e, a);
    case ORVEXA_TESTCTL_CLEAR_FAULTS:
        emu_fill(e->fault, 0, sizeof e->fault);
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_SET_BIAS:
        if (a[0] > ORVEXA_TESTCTL_BIAS_FLAT)
            return ORVEXA_EMU_BAD_PARAM;
        e->bias = a[0];
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_SET_POLICY:
        e->policy = a[0] & (ORVEXA_TESTCTL_POLICY_BYTES_SEED | ORVEXA_TESTCTL_POLICY_KEYS_READY |
                            ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY);
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_RESET_COUNTERS:
        e->count_total = 0;
        emu_fill(e->count_function, 0, sizeof e->count_function);
        return ORVEXA_EMU_OK;
    case ORVEXA_TESTCTL_LOAD_KEY:
        if (a[0] >= ORVEXA_EMU_SLOTS || in_len < 24 + 22)
            return ORVEXA_EMU_BAD_PARAM;
        emu_load_key(e, a[0], in + 24);
        return ORVEXA_EMU_OK;
    default:
        return ORVEXA_EMU_BAD_PARAM;
    }
}

int emu_testctl(orvexa_emu* e, const uint8_t* in, uint32_t in_len, uint8_t* out, uint32_t room,
                uint32_t* returned) {
    uint32_t op, a[5], i;
    if (in_len < 24)
        return ORVEXA_EMU_BAD_PARAM;
    op = emu_rd32(in);
    for (i = 0; i < 5; i++)
        a[i] = emu_rd32(in + 4 + 4 * i);
    switch (op) {
    case ORVEXA_TESTCTL_GET_COUNTERS:
        return get_counters(e, out, room, returned);
    case ORVEXA_TESTCTL_GET_LAST_REQUEST:
        return get_last_request(e, out, room, returned);
    case ORVEXA_TESTCTL_GET_STATE:
        return get_state(e, out, room, returned);
    default:
        *returned = 0;
        return change_scenario(e, op, a, in, in_len);
    }
}
