#include "frame.h"

#include <string.h>

#include "bytes.h"
#include "channel.h"
#include "orxlink.h"
#include "status.h"

namespace {

// A returned length beyond the buffer's room is refused before the checksum would read past
// the buffer.
int check_reply(const orx_frame& frame, const uint8_t* buffer, uint32_t room) {
    uint32_t length = orx_get32(buffer + ORX_W3);
    if (frame.checks && length > room) {
        orx_set_status(ERROR_OUTPUT_SIZE);
        return 0;
    }
    if ((frame.checks & FRAME_CHECKSUM) && length != 0 &&
        orx_xor(buffer + ORX_HEADER, length) != orx_get32(buffer + ORX_W2)) {
        orx_set_status(ERROR_CHECK_SUM);
        return 0;
    }
    uint32_t status = orx_get32(buffer + ORX_W0);
    if (status != 0) {
        orx_set_status(status);
        return 0;
    }
    if ((frame.checks & FRAME_EXPECT_LENGTH) && length != frame.reply_length) {
        orx_set_status(ERROR_OUTPUT_SIZE);
        return 0;
    }
    return 1;
}

} // namespace

int orx_frame_send(const orx_frame& frame) {
    orx_device_use use;
    if (!use.ok())
        return 0;
    uint32_t size = frame.buffer_size ? frame.buffer_size : ORX_REQUEST_BUFFER;
    scoped_memory buffer(plat_mem_alloc(size));
    uint8_t* bytes = static_cast<uint8_t*>(buffer.get());
    if (!bytes) {
        orx_set_status(DLL_BUFFER_ERROR);
        return 0;
    }
    uint8_t* data = bytes + ORX_HEADER;
    if (frame.data_length)
        memcpy(data, frame.data, frame.data_length);
    if (frame.prepare)
        frame.prepare(data, frame.data_length);
    orx_put32(bytes + ORX_W0, frame.command);
    orx_put32(bytes + ORX_W1, frame.slot);
    orx_put32(bytes + ORX_W2, orx_xor(data, frame.data_length));
    orx_put32(bytes + ORX_W3, frame.data_length);
    if (!plat_device_control(use.device(), frame.ioctl, bytes, ORX_HEADER + frame.data_length,
                             bytes, ORX_HEADER + frame.reply_length, nullptr)) {
        orx_set_status(ORX_DRIVER_ERROR);
        return 0;
    }
    if (!check_reply(frame, bytes, size - ORX_HEADER))
        return 0;
    if (frame.reply && frame.reply_length)
        memcpy(frame.reply, data, frame.reply_length);
    return 1;
}
