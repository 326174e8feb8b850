// The commands the loader imports: information query, key reset, and the generator's
// single bytes and steps. Apart from the seed byte they need no request buffer.
#include <stdint.h>

#include "bytes.h"
#include "channel.h"
#include "frame.h"
#include "loader_commands.h"
#include "orxlink.h"
#include "status.h"

namespace {

const uint32_t system_error_bad_netpath = 53;

int reset_slot(uint32_t slot) {
    orx_device_use use;
    if (!use.ok())
        return 0;
    uint8_t header[ORX_HEADER] = {};
    orx_put32(header + ORX_W1, slot);
    if (plat_device_control(use.device(), ORVEXA_IOCTL_KEY_RESET, header, sizeof header, nullptr, 0,
                            nullptr))
        return 1;
    orx_set_status(plat_last_error() == system_error_bad_netpath ? ORX_RESET_NETWORK_PATH
                                                                 : ORX_DRIVER_ERROR);
    return 0;
}

int refuse_null_buffer() {
    orx_set_status(DLL_BUFFER_ERROR);
    return 0;
}

} // namespace

int orx_put_seed_byte(uint8_t value) {
    orx_frame frame = orx_frame_of(ORVEXA_IOCTL_SEED_BYTE, 0, ORVEXA_NO_SLOT, &value, 1);
    frame.checks = FRAME_CHECKSUM;
    return orx_frame_send(frame);
}

extern "C" int ORXAPI orvexa_rndm_step(void) {
    orx_device_use use;
    if (!use.ok())
        return 0;
    int result =
        plat_device_control(use.device(), ORVEXA_IOCTL_RNDM_STEP, nullptr, 0, nullptr, 0, nullptr);
    if (!result)
        orx_set_status(ORX_DRIVER_ERROR);
    return result;
}

extern "C" int ORXAPI orvexa_key_reset(void) {
    return reset_slot(0);
}

extern "C" int ORXAPI orvexa_key_reset_slot(uint32_t slot) {
    return reset_slot(slot);
}

extern "C" int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t selector) {
    if (!info)
        return refuse_null_buffer();
    return orx_query_open_device(info, selector);
}

extern "C" int ORXAPI orvexa_rndm_put_byte(int value) {
    return orx_put_seed_byte(uint8_t(value));
}

extern "C" int ORXAPI orvexa_rndm_get_byte(uint8_t* value) {
    if (!value)
        return refuse_null_buffer();
    orx_device_use use;
    if (!use.ok())
        return 0;
    if (!plat_device_control(use.device(), ORVEXA_IOCTL_BYTE_READ, nullptr, 0, value, 1, nullptr)) {
        orx_set_status(ORX_DRIVER_ERROR);
        return 0;
    }
    return 1;
}
