// orxtool slots: the key numbers held in each of the driver's sixteen slots.
#include <string>

#include "commands.h"
#include "report.h"
#include "tool_platform.h"

namespace {

// Statuses with which the driver answers a key-get for an item the slot does not hold.
constexpr uint32_t kCryptNumberNotSet = 15; // ERROR_NUM_NOT_SET
constexpr uint32_t kSignNumberNotSet = 16;  // ERROR_NUMP_NOT_SET

struct SlotRow {
    bool has_crypt = false;
    bool has_sign = false;
    std::string crypt; // 10 digits, key-get code 4
    std::string sign;  // 12 digits, key-get code 5
};

// Keeps the text plain ASCII whatever the driver returned.
std::string printable(const uint8_t* item, size_t length) {
    std::string s;
    for (size_t i = 0; i < length; ++i)
        s += item[i] >= 0x20 && item[i] < 0x7F ? char(item[i]) : '?';
    return s;
}

// Reads one key number; false when the call failed for another reason than an empty item.
bool read_number(bool crypt, uint32_t slot, bool* present, std::string* text) {
    uint8_t item[12] = {};
    if (tool_key_get(crypt, slot, item)) {
        *present = true;
        *text = printable(item, crypt ? 10 : 12);
        return true;
    }
    *present = false;
    return tool_last_status() == (crypt ? kCryptNumberNotSet : kSignNumberNotSet);
}

} // namespace

int run_slots(const Context& ctx, const ParsedArgs&) {
    JsonWriter j;
    report_begin(ctx, j);
    SlotRow rows[ORVEXA_SLOT_COUNT];
    for (uint32_t slot = 0; slot < ORVEXA_SLOT_COUNT; ++slot) {
        SlotRow& row = rows[slot];
        if (!read_number(true, slot, &row.has_crypt, &row.crypt) ||
            !read_number(false, slot, &row.has_sign, &row.sign))
            return report_driver_failure(
                ctx, j, "cannot read the key numbers of slot " + std::to_string(slot));
    }

    int loaded = 0;
    j.begin_array("slots");
    for (uint32_t slot = 0; slot < ORVEXA_SLOT_COUNT; ++slot) {
        const SlotRow& row = rows[slot];
        loaded += row.has_crypt || row.has_sign;
        j.begin_object();
        j.field("slot", slot);
        j.field("sign_key", row.has_sign ? row.sign.c_str() : nullptr);
        j.field("crypt_key", row.has_crypt ? row.crypt.c_str() : nullptr);
        j.end_object();
    }
    j.end_array();
    j.field("loaded", loaded);

    if (!ctx.json) {
        print_out("slot  sign key      crypt key\n");
        for (uint32_t slot = 0; slot < ORVEXA_SLOT_COUNT; ++slot) {
            const SlotRow& row = rows[slot];
            print_out("%-4lu  %-12s  %s\n", (unsigned long)slot,
                      row.has_sign ? row.sign.c_str() : "-",
                      row.has_crypt ? row.crypt.c_str() : "-");
        }
        print_out("%d of %d slots hold a key\n", loaded, ORVEXA_SLOT_COUNT);
    }
    return report_end(ctx, j, ORXTOOL_OK);
}
