/* Emulated ORVEXA driver: the faults a test arms (see orvexa_testctl.h for the kinds). */
#include "emu_internal.h"
#include "orvexa_testctl.h"

orvexa_emu_fault emu_take_fault(orvexa_emu* e, uint32_t code) {
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

/* LENGTH_DELTA on an answer with a header: a shorter length keeps a valid checksum, a
   longer one is padded with zeros as far as the room allows. */
static void move_length(int32_t d, uint8_t* out, uint32_t room, uint32_t* returned) {
    uint32_t len = emu_rd32(out + 12);
    if (d < 0 && 0u - (uint32_t)d <= len) {
        len -= 0u - (uint32_t)d;
        emu_wr32(out + 8, emu_xor_sum(out + EMU_HDR, len));
    } else if (d > 0) {
        uint32_t padded = move_count(*returned, d, room);
        emu_fill(out + *returned, 0, padded - *returned);
        *returned = padded;
        len += (uint32_t)d;
    } else {
        len += (uint32_t)d; /* below zero: wraps to an oversize length */
    }
    emu_wr32(out + 12, len);
}

void emu_damage_answer(const orvexa_emu_fault* f, int has_header, uint8_t* out, uint32_t room,
                       uint32_t* returned) {
    if (!has_header || *returned < EMU_HDR) { /* only the returned count can change */
        if (f->kind == ORVEXA_TESTCTL_FAULT_LENGTH_DELTA)
            *returned = move_count(*returned, (int32_t)f->param, room);
        else if (f->kind == ORVEXA_TESTCTL_FAULT_LENGTH)
            *returned = f->param < room ? f->param : room;
        return;
    }
    switch (f->kind) {
    case ORVEXA_TESTCTL_FAULT_CHECKSUM:
        emu_wr32(out + 8, emu_rd32(out + 8) ^ (f->param ? f->param : 1u));
        break;
    case ORVEXA_TESTCTL_FAULT_LENGTH_DELTA:
        move_length((int32_t)f->param, out, room, returned);
        break;
    case ORVEXA_TESTCTL_FAULT_LENGTH:
        emu_wr32(out + 12, f->param);
        break;
    default:
        break;
    }
}
