// The random-number provider table and the plain block-reading export.
#include <string.h>

#include "channel.h"
#include "frame.h"
#include "generator.h"
#include "key_set.h"
#include "loader_commands.h"
#include "orxlink.h"
#include "status.h"

namespace {

enum { PROVIDER_OK = 0, PROVIDER_BAD_PAIR = 2, PROVIDER_FAILED = 3 };
enum { SINGLE_SEED_BYTES = 8, SEED32 = 32 };

int query(orvexa_drv_info* record) {
    return orx_query_open_device(record, 0);
}

// Bytes 0..7 one request each; the first failure ends the loop and keeps its status.
// The single bytes alone can make the generator ready: then it is tested here, as after a
// key-set request, since the 32-byte seed that may follow finds it ready already and
// would hand out an untested generator as good.
void put_single_bytes(const uint8_t* data) {
    int ready_before = orx_generator_ready();
    for (int i = 0; i < SINGLE_SEED_BYTES; ++i)
        if (!orx_put_seed_byte(data[i]))
            break;
    if (!ready_before)
        orx_generator_check(0);
}

// The answer after a seed: 0 when the named words of a fresh record are all set.
int answer_when(int need_word2, int need_word3) {
    orvexa_drv_info record = {};
    if (!query(&record))
        return PROVIDER_FAILED;
    int ok = (!need_word2 || record.word[ORVEXA_INFO_SEED_ACCEPTED]) &&
             (!need_word3 || record.word[ORVEXA_INFO_BYTES_ACCEPTED]);
    return ok ? PROVIDER_OK : PROVIDER_FAILED;
}

int ORXAPI get_random(uint32_t length, uint8_t* buffer) {
    if (length == 0)
        return PROVIDER_OK;
    if (!buffer) {
        orx_set_status(DLL_BUFFER_ERROR);
        return PROVIDER_FAILED;
    }
    return orx_generator_read(buffer, length) ? PROVIDER_OK : PROVIDER_FAILED;
}

int ORXAPI get_seed_need(int* kind, int* size) {
    orvexa_drv_info record = {};
    if (!kind || !size || !query(&record))
        return PROVIDER_FAILED;
    const uint32_t* w = record.word;
    int checked = orx_rndm_checked();
    int k = 2, n = 64;
    if (w[ORVEXA_INFO_RNDM_READY] && checked)
        k = 0, n = 0;
    else if ((!w[ORVEXA_INFO_SEED_ACCEPTED] && !w[ORVEXA_INFO_BYTES_ACCEPTED]) || !checked)
        k = 1, n = 40;
    else if (!w[ORVEXA_INFO_BYTES_ACCEPTED])
        k = 1, n = 8;
    else if (!w[ORVEXA_INFO_SEED_ACCEPTED])
        k = 1, n = 32;
    else if (w[ORVEXA_INFO_CANNOT_COMPLETE])
        return PROVIDER_FAILED;
    *kind = k;
    *size = n;
    return PROVIDER_OK;
}

int ORXAPI put_seed(int kind, int size, const uint8_t* data) {
    int known = (kind == 1 && (size == 40 || size == 8 || size == 32)) ||
                (kind == 2 && (size == 64 || size == 4096));
    if (!known)
        return PROVIDER_BAD_PAIR;
    if (!data) {
        orx_set_status(DLL_BUFFER_ERROR);
        return PROVIDER_FAILED;
    }
    if (kind == 2) {
        if (!orx_key_set_request(ORX_SEED_BLOCK_CODE, 0, data, uint32_t(size)))
            return PROVIDER_FAILED;
        return answer_when(1, 0);
    }
    if (size == 8) {
        put_single_bytes(data);
        return answer_when(0, 1);
    }
    if (size == 40)
        put_single_bytes(data);
    const uint8_t* seed = size == 40 ? data + SINGLE_SEED_BYTES : data;
    if (!orx_key_set_request(ORX_SEED32_CODE, 0, seed, SEED32))
        return PROVIDER_FAILED;
    return answer_when(1, size == 40);
}

int ORXAPI get_type(void) {
    return 2;
}

const rndm_handle provider_table = {
    sizeof(rndm_handle), get_random, get_seed_need, put_seed, nullptr, nullptr, get_type,
};

} // namespace

extern "C" const rndm_handle* ORXAPI orvexa_rndm_get_handle(void) {
    return &provider_table;
}

extern "C" int ORXAPI orvexa_rndm_get_bytes(uint8_t* buffer, uint32_t length) {
    return get_random(length, buffer) == PROVIDER_OK;
}
