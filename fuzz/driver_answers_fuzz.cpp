// Feeds arbitrary driver answers to every response path of orxlink: the calls to make are
// chosen by the input, and so is every answer the device gives and the stored seed mask.
// Input: the mask's length (mod 65) and bytes, whether the generator counts as checked,
// then calls; each device request takes a mode byte (low bits 2: fails; a failed reset
// takes one more, bit 0: its system error), a 16-bit length and that many answer bytes.
#include <stdlib.h>
#include <string.h>

#include "channel.h"
#include "fake_platform.h"
#include "generator.h"
#include "orxlink.h"
#include "registry.h"
#include "seed_mask.h"

namespace {

const uint8_t* input = nullptr;
size_t input_left = 0;
uint8_t buffer[2200];
uint8_t in[32] = {1, 2, 3};
orvexa_drv_info info;
int need_kind, need_size;

uint8_t take() {
    return input_left ? (--input_left, *input++) : 0;
}

FakeAnswer answer(const FakeRequest& r) {
    if ((take() & 3) == 2)
        return FakeAnswer{false, r.code == ORVEXA_IOCTL_KEY_RESET && take() & 1 ? 53u : 31u, {}};
    uint32_t length = take(); // low byte first, in its own statement for every compiler
    length |= uint32_t(take()) << 8;
    FakeAnswer a;
    a.out.resize(length < r.out_size ? length : r.out_size);
    for (uint8_t& b : a.out)
        b = take();
    return a;
}

void records(uint8_t count) {
    uint32_t header[3] = {12, count % 34u, count % 34u * 62};
    memcpy(buffer, header, 12);
    orvexa_data_records(buffer);
}

const rndm_handle* table = orvexa_rndm_get_handle();
void (*const calls[16])(uint8_t) = {
    [](uint8_t) { orvexa_drv_get_info(&info); },
    [](uint8_t b) { orvexa_key_get1_slot(in, buffer, b); },
    [](uint8_t b) { orvexa_key_get14_slot(buffer, b % 17); },
    [](uint8_t b) { orvexa_key_get_by_number("1234567890", 6 + b % 8, buffer); },
    [](uint8_t b) { orvexa_key_set9_slot(buffer, nullptr, b * 9u, 0); },
    records,
    [](uint8_t b) { orvexa_rndm_put_byte(b); },
    [](uint8_t) { orvexa_rndm_get_byte(buffer); },
    [](uint8_t b) { orvexa_rndm_get_bytes(buffer, b * 8u); },
    [](uint8_t) { table->get_seed_need(&need_kind, &need_size); },
    [](uint8_t) { table->put_seed(1, 40, buffer); },
    [](uint8_t) { table->put_seed(2, 64, buffer); },
    [](uint8_t) { orvexa_key_set12_slot(buffer, 1); },
    [](uint8_t b) { orvexa_key_reset_slot(b); },
    [](uint8_t b) { orvexa_data_keyed_iv_a(in, in, b * 3u, buffer, buffer + 1024); },
    [](uint8_t) { orvexa_drv_close(); },
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    input = data;
    input_left = size;
    fake_reset();
    fake().handler = answer;
    std::vector<uint8_t> mask(take() % 65);
    for (uint8_t& b : mask)
        b = take();
    user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE] = {ORX_REG_BINARY, mask};
    orx_process_attach();
    orx_set_rndm_checked(take() & 1);
    for (int i = 0; i < 8 && input_left; ++i) {
        memset(buffer, 0, sizeof buffer);
        int which = take() % 16;
        calls[which](0x617E >> which & 1 ? take() : 0); // the calls that take an argument
    }
    orx_process_detach();
    // The mask is written back with the length it was read with; nothing is left held.
    if (user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE].bytes.size() != mask.size() ||
        fake().open_keys != 0 || fake().allocations != fake().frees)
        abort();
    return 0;
}
