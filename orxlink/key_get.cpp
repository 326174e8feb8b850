// Key-get requests: one item of one slot, selected by a command code 1..14.
#include <string.h>

#include "frame.h"
#include "key_get.h"
#include "orxlink.h"
#include "status.h"

namespace {

// Item length of each command code; codes 1..3 send 32 bytes along.
const uint32_t item_lengths[15] = {0, 32, 32, 32, 10, 12, 32, 32, 32, 64, 33, 32, 32, 32, 36};
const uint32_t key_get_input = 32;

enum { BY_NUMBER_DONE = 0, BY_NUMBER_NOT_FOUND = 6, BY_NUMBER_REFUSED = 7 };

} // namespace

int orx_key_get(uint32_t code, uint32_t slot, const uint8_t* input, uint8_t* item) {
    int with_input = code <= 3;
    if (!item || (with_input && !input)) {
        orx_set_status(DLL_BUFFER_ERROR);
        return 0;
    }
    orx_frame frame =
        orx_frame_of(ORVEXA_IOCTL_KEY_GET, code, slot, input, with_input ? key_get_input : 0);
    frame.reply_length = item_lengths[code];
    frame.checks = FRAME_CHECKSUM | FRAME_EXPECT_LENGTH;
    frame.reply = item;
    return orx_frame_send(frame);
}

// Finds the first slot whose key number (code 4 for 10 characters, 12 for code 5) equals
// the text, then reads item `code` of it. The search keeps the status of failing slots.
extern "C" int ORXAPI orvexa_key_get_by_number(const char* number, int code, uint8_t* item) {
    if (!number || !item)
        return BY_NUMBER_REFUSED;
    size_t length = strnlen(number, 13);
    if (length != 10 && length != 12)
        return BY_NUMBER_REFUSED;
    uint32_t number_code = length == 10 ? 4 : 5;
    uint8_t found[12];
    uint32_t slot = 0;
    for (; slot < ORVEXA_SLOT_COUNT; ++slot)
        if (orx_key_get(number_code, slot, nullptr, found) && memcmp(found, number, length) == 0)
            break;
    if (slot == ORVEXA_SLOT_COUNT)
        return BY_NUMBER_NOT_FOUND;
    if (code != 6 && code != 7 && code != 8 && code != 12 && code != 13)
        return BY_NUMBER_REFUSED;
    return orx_key_get(uint32_t(code), slot, nullptr, item) ? BY_NUMBER_DONE : BY_NUMBER_NOT_FOUND;
}

#define ORX_KEY_GET_INPUT(n)                                                                       \
    extern "C" int ORXAPI orvexa_key_get##n(const uint8_t* input, uint8_t* item) {                 \
        return orx_key_get(n, 0, input, item);                                                     \
    }                                                                                              \
    extern "C" int ORXAPI orvexa_key_get##n##_slot(const uint8_t* input, uint8_t* item,            \
                                                   uint32_t slot) {                                \
        return orx_key_get(n, slot, input, item);                                                  \
    }
#define ORX_KEY_GET_SLOT(n)                                                                        \
    extern "C" int ORXAPI orvexa_key_get##n##_slot(uint8_t* item, uint32_t slot) {                 \
        return orx_key_get(n, slot, nullptr, item);                                                \
    }
#define ORX_KEY_GET(n)                                                                             \
    extern "C" int ORXAPI orvexa_key_get##n(uint8_t* item) {                                       \
        return orx_key_get(n, 0, nullptr, item);                                                   \
    }                                                                                              \
    ORX_KEY_GET_SLOT(n)

ORX_KEY_GET_INPUT(1)
ORX_KEY_GET_INPUT(2)
ORX_KEY_GET_INPUT(3)
ORX_KEY_GET(4)
ORX_KEY_GET(5)
ORX_KEY_GET(6)
ORX_KEY_GET(7)
ORX_KEY_GET(8)
ORX_KEY_GET(9)
ORX_KEY_GET(10)
ORX_KEY_GET(11)
ORX_KEY_GET_SLOT(12)
ORX_KEY_GET_SLOT(13)
ORX_KEY_GET_SLOT(14)
