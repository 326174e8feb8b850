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

uint8_t take() {
    if (input_left == 0)
        return 0;
    --input_left;
    return *input++;
}

FakeAnswer answer(const FakeRequest& r) {
    FakeAnswer a;
    if ((take() & 3) == 2) {
        a.ok = false;
        a.error = r.code == ORVEXA_IOCTL_KEY_RESET && take() & 1 ? 53 : 31;
        return a;
    }
    uint32_t length = take(); // low byte first, in its own statement for every compiler
    length |= uint32_t(take()) << 8;
    a.out.resize(length < r.out_size ? length : r.out_size);
    for (uint8_t& b : a.out)
        b = take();
    return a;
}

void call(uint8_t which) {
    uint8_t buffer[2200] = {};
    uint8_t in[32] = {1, 2, 3};
    orvexa_drv_info info;
    int kind, size;
    const rndm_handle* table = orvexa_rndm_get_handle();
    switch (which % 16) {
    case 0:
        orvexa_drv_get_info(&info);
        break;
    case 1:
        orvexa_key_get1_slot(in, buffer, take());
        break;
    case 2:
        orvexa_key_get14_slot(buffer, take() % 17);
        break;
    case 3:
        orvexa_key_get_by_number("1234567890", 6 + take() % 8, buffer);
        break;
    case 4:
        orvexa_key_set9_slot(buffer, nullptr, take() * 9u, 0);
        break;
    case 5: {
        uint32_t header[3] = {12, uint32_t(take() % 34), 0};
        header[2] = header[1] * 62;
        memcpy(buffer, header, 12);
        orvexa_data_records(buffer);
        break;
    }
    case 6:
        orvexa_rndm_put_byte(take());
        break;
    case 7:
        orvexa_rndm_get_byte(buffer);
        break;
    case 8:
        orvexa_rndm_get_bytes(buffer, take() * 8u);
        break;
    case 9:
        table->get_seed_need(&kind, &size);
        break;
    case 10:
        table->put_seed(1, 40, buffer);
        break;
    case 11:
        table->put_seed(2, 64, buffer);
        break;
    case 12:
        orvexa_key_set12_slot(buffer, 1);
        break;
    case 13:
        orvexa_key_reset_slot(take());
        break;
    case 14:
        orvexa_data_keyed_iv_a(in, in, take() * 3u, buffer, buffer + 1024);
        break;
    default:
        orvexa_drv_close();
        break;
    }
}

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
    for (int i = 0; i < 8 && input_left; ++i)
        call(take());
    orx_process_detach();
    if (user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE].bytes.size() != mask.size())
        abort(); // the library writes the mask back with the length it read
    if (fake().open_keys != 0 || fake().allocations != fake().frees)
        abort();
    return 0;
}
