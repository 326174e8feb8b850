// Key-set requests: key items and generator seeds handed to the driver.
#include "key_set.h"

#include "bytes.h"
#include "channel.h"
#include "frame.h"
#include "generator.h"
#include "orxlink.h"
#include "platform.h"
#include "seed_mask.h"
#include "status.h"

namespace {

const uint32_t key_set_max = 2048;
const uint32_t key_set12_length = 36;

// A new user's first mask comes from the system's generator.
void mask_seed(uint8_t* data, uint32_t length) {
    uint8_t mask[ORX_MASK_SIZE];
    if (length == ORX_MASK_SIZE && orx_user_mask_load(mask, plat_random))
        orx_mask_add(data, mask, ORX_MASK_SIZE);
}

} // namespace

int orx_key_set_request(uint16_t code, uint32_t slot, const uint8_t* data, uint32_t length) {
    orvexa_drv_info record = {};
    if (!orx_query_open_device(&record, 0)) {
        orx_set_status(DLL_BUFFER_ERROR);
        return 0;
    }
    int ready_before = record.word[ORVEXA_INFO_RNDM_READY] != 0;
    if (!orx_channel_open())
        return 0;
    if (length > key_set_max || (length && !data)) {
        orx_set_status(DLL_BUFFER_ERROR);
        return 0;
    }
    orx_frame frame = orx_frame_of(ORVEXA_IOCTL_KEY_SET, code, slot, data, length);
    frame.buffer_size = ORX_HEADER + length;
    frame.prepare = code == ORX_SEED32_CODE ? mask_seed : nullptr;
    if (!orx_frame_send(frame))
        return 0;
    return orx_generator_check(ready_before);
}

#define ORX_KEY_SET(n)                                                                             \
    extern "C" int ORXAPI orvexa_key_set##n(const uint8_t* data, uint32_t length) {                \
        return orx_key_set_request(n, 0, data, length);                                            \
    }
#define ORX_KEY_SET_SLOT(n)                                                                        \
    extern "C" int ORXAPI orvexa_key_set##n##_slot(const uint8_t* data, uint32_t length,           \
                                                   uint32_t slot) {                                \
        return orx_key_set_request(n, slot, data, length);                                         \
    }

ORX_KEY_SET(1)
ORX_KEY_SET(2)
ORX_KEY_SET(3)
ORX_KEY_SET(4)
ORX_KEY_SET(5)
ORX_KEY_SET(6)
ORX_KEY_SET(7)
ORX_KEY_SET(8)
ORX_KEY_SET_SLOT(1)
ORX_KEY_SET_SLOT(2)
ORX_KEY_SET_SLOT(3)
ORX_KEY_SET_SLOT(4)
ORX_KEY_SET_SLOT(5)
ORX_KEY_SET_SLOT(6)
ORX_KEY_SET_SLOT(7)
ORX_KEY_SET_SLOT(8)
ORX_KEY_SET_SLOT(10)
ORX_KEY_SET_SLOT(11)

extern "C" int ORXAPI orvexa_key_set12_slot(const uint8_t* data, uint32_t slot) {
    return orx_key_set_request(12, slot, data, key_set12_length);
}
