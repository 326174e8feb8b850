// Data passed through the driver: code 9 in place, record lists, and the fixed-layout
// keyed and text blocks.
#include <string.h>

#include "bytes.h"
#include "channel.h"
#include "frame.h"
#include "orxlink.h"
#include "status.h"

namespace {

const uint32_t key_set9_max = 2096;
const uint32_t records_header = 12;
const uint32_t record_size = 62;
const uint32_t records_max = 2048;

// A block request that could not reach the device failed too (its output was not written):
// the open's status tells why.
enum { BLOCK_DONE = 0, BLOCK_FAILED = 7 };

int refuse(uint32_t status, int result) {
    orx_set_status(status);
    return result;
}

// Sends `length` bytes with a header and takes exactly as many back over the same data.
int in_place_request(uint32_t ioctl, uint32_t command, uint32_t slot, uint8_t* data,
                     uint32_t length) {
    orx_frame frame = orx_frame_of(ioctl, command, slot, data, length);
    frame.buffer_size = ORX_HEADER + length;
    frame.reply_length = length;
    frame.checks = FRAME_CHECKSUM | FRAME_EXPECT_LENGTH;
    frame.reply = data;
    return orx_frame_send(frame);
}

int key_set9(uint8_t* data, uint32_t length, uint32_t slot) {
    if (!orx_channel_open())
        return 0;
    if (length > key_set9_max || (length && !data))
        return refuse(DLL_BUFFER_ERROR, 0);
    return in_place_request(ORVEXA_IOCTL_KEY_SET, 9, slot, data, length);
}

// Block requests carry no header and their answer is not checked.
// The device is held for the call: a concurrent close cannot close it under the request.
int block_request(uint32_t ioctl, const uint8_t* block, uint32_t block_size, uint8_t* out,
                  uint32_t out_size) {
    orx_device_use use;
    if (!use.ok())
        return BLOCK_FAILED;
    if (!plat_device_control(use.device(), ioctl, const_cast<uint8_t*>(block), block_size, out,
                             out_size, nullptr))
        return refuse(ORX_DRIVER_ERROR, BLOCK_FAILED);
    return BLOCK_DONE;
}

int keyed_iv(uint32_t ioctl, const uint8_t* iv, const uint8_t* key, uint32_t length,
             const uint8_t* data, uint8_t* out) {
    if (length > ORVEXA_DATA_IV_MAX || !iv || !key || (length && (!data || !out)))
        return refuse(DLL_BUFFER_ERROR, BLOCK_FAILED);
    if (!orx_channel_open())
        return BLOCK_FAILED;
    uint8_t block[628] = {};
    memcpy(block, iv, 8);
    memcpy(block + 8, key, 32);
    orx_put32(block + 104, length);
    if (length)
        memcpy(block + 108, data, length);
    return block_request(ioctl, block, sizeof block, out, length);
}

} // namespace

extern "C" int ORXAPI orvexa_key_set9(uint8_t* data, void*, uint32_t length) {
    return key_set9(data, length, 0);
}

extern "C" int ORXAPI orvexa_key_set9_slot(uint8_t* data, void*, uint32_t length, uint32_t slot) {
    return key_set9(data, length, slot);
}

extern "C" int ORXAPI orvexa_data_records(uint8_t* list) {
    if (!orx_channel_open())
        return 0;
    if (!list || orx_get32(list) != records_header)
        return ERROR_PARAM;
    uint32_t count = orx_get32(list + 4);
    uint32_t payload = orx_get32(list + 8);
    if (payload != uint32_t(count * record_size))
        return ERROR_PARAM;
    uint64_t length = uint64_t(payload) + records_header; // no wrap for huge payloads
    if (length > records_max)
        return refuse(DLL_BUFFER_ERROR, 0);
    return in_place_request(ORVEXA_IOCTL_RECORDS, 0, ORVEXA_NO_SLOT, list, uint32_t(length));
}

extern "C" int ORXAPI orvexa_data_keyed_iv_a(const uint8_t* iv, const uint8_t* key, uint32_t length,
                                             const uint8_t* data, uint8_t* out) {
    return keyed_iv(ORVEXA_IOCTL_DATA_IV_A, iv, key, length, data, out);
}

extern "C" int ORXAPI orvexa_data_keyed_iv_b(const uint8_t* iv, const uint8_t* key, uint32_t length,
                                             const uint8_t* data, uint8_t* out) {
    return keyed_iv(ORVEXA_IOCTL_DATA_IV_B, iv, key, length, data, out);
}

extern "C" int ORXAPI orvexa_data_keyed(const uint8_t* key, uint32_t length, const uint8_t* data,
                                        uint8_t* out) {
    if (length > ORVEXA_DATA_KEYED_MAX || !key || (length && (!data || !out)))
        return refuse(DLL_BUFFER_ERROR, BLOCK_FAILED);
    if (!orx_channel_open())
        return BLOCK_FAILED;
    uint8_t block[1124] = {};
    memcpy(block, key, 32);
    orx_put32(block + 96, length);
    if (length)
        memcpy(block + 100, data, length);
    return block_request(ORVEXA_IOCTL_DATA_KEYED, block, sizeof block, out, length);
}

extern "C" int ORXAPI orvexa_data_from_text(const char* text, void*, uint8_t* out) {
    if (!text || !out || strnlen(text, ORVEXA_TEXT_MAX + 1) > ORVEXA_TEXT_MAX)
        return refuse(DLL_BUFFER_ERROR, BLOCK_FAILED);
    if (!orx_channel_open())
        return BLOCK_FAILED;
    uint8_t block[32] = {};
    memcpy(block, text, strlen(text));
    return block_request(ORVEXA_IOCTL_DATA_TEXT, block, sizeof block, out, sizeof block);
}
