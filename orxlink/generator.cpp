#include "generator.h"

#include <atomic>
#include <string.h>

#include "channel.h"
#include "orxlink.h"
#include "seed_mask.h"
#include "status.h"

namespace {

std::atomic<int> rndm_checked{1};

// One block under the lock, at most `want` bytes of it copied out; returns the bytes
// copied, 0 on failure. The block length is taken under the same lock as the buffer it
// belongs to: a reopen between two blocks may change both.
uint32_t read_block(uint8_t* out, uint32_t want) {
    scoped_block_lock guard;
    uint32_t block = orx_block_length();
    if (!orx_block_read())
        return 0;
    uint32_t take = want < block ? want : block;
    memcpy(out, orx_block_data(), take);
    return take;
}

int self_test_attempt(int* passed) {
    scoped_memory sample(plat_mem_alloc(ORX_SELF_TEST_BYTES));
    uint8_t* bytes = static_cast<uint8_t*>(sample.get());
    if (!bytes || !orx_generator_read(bytes, ORX_SELF_TEST_BYTES))
        return 0;
    uint32_t counts[256];
    orx_count_bytes(bytes, ORX_SELF_TEST_BYTES, counts);
    double chi2 = orx_chi_square(counts, ORX_SELF_TEST_BYTES);
    *passed = orx_chi_square_in_bounds(chi2);
    return 1;
}

} // namespace

// A query that fails here only means "not ready": the caller's status is kept.
int orx_generator_ready(void) {
    uint16_t kept = orx_status();
    orvexa_drv_info record = {};
    if (!orx_query_open_device(&record, 0)) {
        orx_set_status(kept);
        return 0;
    }
    return record.word[ORVEXA_INFO_RNDM_READY] != 0;
}

int orx_rndm_checked(void) {
    return rndm_checked.load(std::memory_order_relaxed);
}

void orx_set_rndm_checked(int value) {
    rndm_checked.store(value, std::memory_order_relaxed);
}

// Full blocks, then the first bytes of one more for a remainder.
int orx_generator_read(uint8_t* out, uint32_t length) {
    if (!orx_channel_open())
        return 0;
    for (uint32_t done = 0; done < length;) {
        uint32_t got = read_block(out + done, length - done);
        if (got == 0)
            return 0;
        done += got;
    }
    return 1;
}

void orx_count_bytes(const uint8_t* sample, uint32_t length, uint32_t counts[256]) {
    memset(counts, 0, 256 * sizeof counts[0]);
    for (uint32_t i = 0; i < length; ++i)
        ++counts[sample[i]];
}

// sum (n - E)^2 / E with E = total / 256, kept in integers up to one final division so
// that a sample on a bound gives exactly the bound.
double orx_chi_square(const uint32_t counts[256], uint32_t total) {
    if (total == 0)
        return 0.0;
    uint64_t sum = 0;
    for (int v = 0; v < 256; ++v) {
        int64_t d = int64_t(counts[v]) * 256 - int64_t(total);
        sum += uint64_t(d * d);
    }
    return double(sum) / (256.0 * double(total));
}

int orx_chi_square_in_bounds(double chi2) {
    return chi2 >= ORX_CHI2_LOW && chi2 <= ORX_CHI2_HIGH;
}

int orx_self_test(void) {
    orx_set_rndm_checked(0);
    for (int attempt = 0; attempt < ORX_SELF_TEST_ATTEMPTS; ++attempt) {
        int passed = 0;
        if (!self_test_attempt(&passed))
            break;
        if (passed) {
            orx_set_rndm_checked(1);
            return 1;
        }
    }
    orx_set_status(ORX_DRIVER_ERROR);
    return 0;
}

int orx_generator_check(int ready_before) {
    if (ready_before && orx_rndm_checked())
        return 1;
    if (!orx_generator_ready())
        return 1;
    uint8_t fresh[ORX_MASK_SIZE];
    if (orx_generator_read(fresh, sizeof fresh) && orx_rndm_checked())
        orx_user_mask_merge(fresh);
    return orx_self_test();
}
