// Feeds arbitrary driver answers to every response path of orxlink: the calls to make are
// chosen by the input, and so is every answer the device gives.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "channel.h"
#include "fuzz_platform.h"
#include "generator.h"
#include "orxlink.h"

namespace {

void call(uint8_t which) {
    uint8_t buffer[2200] = {};
    uint8_t input[32] = {1, 2, 3};
    orvexa_drv_info info;
    int kind, size;
    const rndm_handle* table = orvexa_rndm_get_handle();
    switch (which % 16) {
    case 0: orvexa_drv_get_info(&info); break;
    case 1: orvexa_key_get1_slot(input, buffer, fuzz_byte()); break;
    case 2: orvexa_key_get14_slot(buffer, fuzz_byte() % 17); break;
    case 3: orvexa_key_get_by_number("1234567890", 6 + fuzz_byte() % 8, buffer); break;
    case 4: orvexa_key_set9_slot(buffer, nullptr, fuzz_byte() * 9u, 0); break;
    case 5: {
        uint32_t header[3] = {12, uint32_t(fuzz_byte() % 34), 0};
        header[2] = header[1] * 62;
        memcpy(buffer, header, 12);
        orvexa_data_records(buffer);
        break;
    }
    case 6: orvexa_rndm_put_byte(fuzz_byte()); break;
    case 7: orvexa_rndm_get_byte(buffer); break;
    case 8: orvexa_rndm_get_bytes(buffer, fuzz_byte() * 8u); break;
    case 9: table->get_seed_need(&kind, &size); break;
    case 10: table->put_seed(1, 40, buffer); break;
    case 11: table->put_seed(2, 64, buffer); break;
    case 12: orvexa_key_set12_slot(buffer, 1); break;
    case 13: orvexa_key_reset_slot(fuzz_byte()); break;
    case 14: orvexa_data_keyed_iv_a(input, input, fuzz_byte() * 3u, buffer, buffer + 1024); break;
    default: orvexa_drv_close(); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input(data, size);
    orx_process_attach();
    orx_set_rndm_checked(fuzz_byte() & 1);
    for (int i = 0; i < 8 && !fuzz_done(); ++i)
        call(fuzz_byte());
    orx_process_detach();
    return 0;
}
