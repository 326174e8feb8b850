// The command request frame: a fresh zero-filled buffer holding a header and the data, one
// device-control call, and the checks of the answer.
#ifndef ORXLINK_FRAME_H
#define ORXLINK_FRAME_H

#include <stdint.h>

constexpr uint32_t ORX_REQUEST_BUFFER = 2048;

enum {
    FRAME_CHECKSUM = 1,      // check the checksum of the returned data
    FRAME_EXPECT_LENGTH = 2, // the answer must carry exactly `reply_length` bytes
};

struct orx_frame {
    uint32_t ioctl;
    uint32_t command; // word 0
    uint32_t slot;    // word 1
    const void* data; // copied to offset 16; may be null when data_length is 0
    uint32_t data_length;
    uint32_t buffer_size;  // 0 means the usual 2048 bytes
    uint32_t reply_length; // output room beyond the header
    int checks;            // FRAME_* flags
    void* reply;           // receives reply_length bytes on success; may be null
    // Changes the data in the buffer before the checksum is taken (the seed mask).
    void (*prepare)(uint8_t* data, uint32_t length);
};

// A frame with its request words and data; the rest zero (the usual buffer, no checks).
inline orx_frame orx_frame_of(uint32_t ioctl, uint32_t command, uint32_t slot, const void* data,
                              uint32_t data_length) {
    orx_frame frame = {};
    frame.ioctl = ioctl;
    frame.command = command;
    frame.slot = slot;
    frame.data = data;
    frame.data_length = data_length;
    return frame;
}

// Opens the device, sends the frame and checks the answer: checksum, then driver status,
// then length. Returns 1 on success, 0 with the last status set. The buffer is freed on
// every path.
int orx_frame_send(const orx_frame& frame);

#endif
