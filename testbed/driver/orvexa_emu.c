/* Emulated ORVEXA driver: the engine's state, its readiness rules and the entry point that
 * routes each request (see orvexa_emu.h for the behaviour). The request families, the
 * generator, the faults and test control live in the emu_*.c files beside it. */
#include "emu_internal.h"
#include "orvexa_testctl.h"

uint32_t emu_loaded_slots(const orvexa_emu* e) {
    uint32_t mask = 0, s;
    for (s = 0; s < ORVEXA_EMU_SLOTS; s++)
        if (e->slot[s].set_mask & (EMU_ITEM_BIT(EMU_SET_NUM) | EMU_ITEM_BIT(EMU_SET_NUMP)))
            mask |= 1u << s;
    return mask;
}

uint32_t emu_info_word(const orvexa_emu* e, uint32_t w) {
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
        return emu_loaded_slots(e);
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

/* "Ready" latches once the generator is seeded and either a seed block came or (by policy)
   a key is loaded; never while word 8 says it cannot be completed. */
static void refresh_ready(orvexa_emu* e) {
    if (e->ready || !e->seeded || emu_info_word(e, 8) != 0)
        return;
    if (e->block_seeded ||
        ((e->policy & ORVEXA_TESTCTL_POLICY_KEYS_READY) && emu_loaded_slots(e) != 0))
        e->ready = 1;
}

void orvexa_emu_init(orvexa_emu* e) {
    emu_fill(e, 0, sizeof *e);
    emu_copy(e->drbg_key, emu_initial_generator_key, 32);
    e->policy = ORVEXA_TESTCTL_POLICY_DEFAULT;
    e->block_units = ORVEXA_EMU_DEFAULT_BLOCK_UNITS;
}

/* Back to a freshly loaded driver, keeping the generator's key so output never repeats. */
void emu_reset_state(orvexa_emu* e) {
    uint8_t key[32];
    uint32_t absorbed = e->drbg_absorbed, refills = e->drbg_refills;
    emu_copy(key, e->drbg_key, 32);
    orvexa_emu_init(e);
    emu_copy(e->drbg_key, key, 32);
    e->drbg_absorbed = absorbed;
    e->drbg_refills = refills;
    emu_drbg_absorb(e, EMU_TAG_RESET, 0, 0);
}

/* The ORVEXA range: each function's handler, and whether its answer opens with a header
   (which the STATUS, CHECKSUM and LENGTH faults act on). */
typedef struct function_entry {
    emu_handler handle;
    int has_header;
} function_entry;

static const function_entry functions[ORVEXA_EMU_FUNCTIONS] = {
    [ORVEXA_EMU_FN_INFO] = {emu_do_info, 0},
    [ORVEXA_EMU_FN_BLOCK_READ] = {emu_do_block_read, 1},
    [ORVEXA_EMU_FN_KEY_SET] = {emu_do_key_set, 1},
    [ORVEXA_EMU_FN_STEP] = {emu_do_step, 0},
    [ORVEXA_EMU_FN_KEY_GET] = {emu_do_key_get, 1},
    [ORVEXA_EMU_FN_KEY_RESET] = {emu_do_key_reset, 0},
    [ORVEXA_EMU_FN_RECORDS] = {emu_do_records, 1},
    [ORVEXA_EMU_FN_SEED_BYTE] = {emu_do_seed_byte, 1},
    [ORVEXA_EMU_FN_BYTE_READ] = {emu_do_byte_read, 0},
    [ORVEXA_EMU_FN_DATA_IV_A] = {emu_do_data_iv_a, 0},
    [ORVEXA_EMU_FN_DATA_IV_B] = {emu_do_data_iv_b, 0},
    [ORVEXA_EMU_FN_DATA_KEYED] = {emu_do_data_keyed, 0},
    [ORVEXA_EMU_FN_DATA_TEXT] = {emu_do_data_text, 0},
};

/* The entry for a control code, or null outside the ORVEXA range and for unassigned
   functions. */
static const function_entry* lookup(uint32_t code) {
    uint32_t k = (code - ORVEXA_EMU_CODE_BASE) / 4;
    if (code < ORVEXA_EMU_CODE_BASE || (code - ORVEXA_EMU_CODE_BASE) % 4 != 0 ||
        k >= ORVEXA_EMU_FUNCTIONS)
        return 0;
    return functions[k].handle ? &functions[k] : 0;
}

/* Notes the request for the counters and the last-request view, and keeps the private copy
   the request is read from. */
static void record_request(orvexa_emu* e, uint32_t code, const void* in, uint32_t in_len) {
    uint32_t stored = in_len < ORVEXA_EMU_MAX_INPUT ? in_len : ORVEXA_EMU_MAX_INPUT;
    uint32_t k = (code - ORVEXA_EMU_CODE_BASE) / 4;
    e->count_total++;
    if (code >= ORVEXA_EMU_CODE_BASE && (code - ORVEXA_EMU_CODE_BASE) % 4 == 0 &&
        k < ORVEXA_EMU_FUNCTIONS)
        e->count_function[k]++;
    e->last_code = code;
    e->last_in_len = in_len;
    emu_copy(e->last_in, in, stored);
}

static int test_control(orvexa_emu* e, const void* in, uint32_t in_len, void* out,
                        uint32_t out_room, uint32_t* returned) {
    uint8_t args[24 + 22];
    uint32_t keep = in_len < sizeof args ? in_len : (uint32_t)sizeof args;
    int rc;
    emu_copy(args, in, keep);
    rc = emu_testctl(e, args, keep, (uint8_t*)out, out_room, returned);
    refresh_ready(e);
    return rc;
}

int orvexa_emu_control(orvexa_emu* e, uint32_t code, const void* in, uint32_t in_len, void* out,
                       uint32_t out_room, uint32_t* returned) {
    uint32_t dummy;
    const function_entry* fn;
    orvexa_emu_fault fault;
    int rc;
    if (!returned)
        returned = &dummy;
    *returned = 0;
    if (!in)
        in_len = 0;
    if (!out)
        out_room = 0;
    if (code == ORVEXA_TESTCTL_CODE)
        return test_control(e, in, in_len, out, out_room, returned);

    record_request(e, code, in, in_len);
    if (in_len > ORVEXA_EMU_MAX_INPUT)
        return ORVEXA_EMU_BAD_PARAM;
    fn = lookup(code);
    fault = emu_take_fault(e, code);
    switch (fault.kind) {
    case ORVEXA_TESTCTL_FAULT_FAIL:
        return ORVEXA_EMU_FAIL;
    case ORVEXA_TESTCTL_FAULT_NETPATH:
        return ORVEXA_EMU_FAIL_NETPATH;
    case ORVEXA_TESTCTL_FAULT_STATUS:
        if (!fn || !fn->has_header)
            return ORVEXA_EMU_FAIL;
        if (out_room < EMU_HDR)
            return ORVEXA_EMU_BAD_PARAM;
        return emu_answer_status((uint8_t*)out, fault.param,
                                 in_len >= 8 ? emu_rd32(e->last_in + 4) : EMU_NO_SLOT, returned);
    default:
        break;
    }

    if (!fn)
        return ORVEXA_EMU_BAD_CODE;
    rc = fn->handle(e, e->last_in, in_len, (uint8_t*)out, out_room, returned);
    if (rc == ORVEXA_EMU_OK && fault.kind != 0)
        emu_damage_answer(&fault, fn->has_header, (uint8_t*)out, out_room, returned);
    refresh_ready(e);
    return rc;
}
