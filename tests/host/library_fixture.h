// A fresh library over a fresh fake system for every test, and a scripted driver: the
// information words the test sets, block reads served from a byte stream, and key-set and
// seed-byte requests that can change the words.
#ifndef ORX_TESTS_LIBRARY_FIXTURE_H
#define ORX_TESTS_LIBRARY_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <mutex>

#include "channel.h"
#include "fake_platform.h"
#include "generator.h"
#include "orxlink.h"
#include "status.h"

inline FakeAnswer fails_with(uint32_t error) {
    return FakeAnswer{false, error, {}};
}
inline FakeAnswer replies(std::vector<uint8_t> out) {
    return FakeAnswer{true, 0, std::move(out)};
}
inline uint8_t xor_of(const std::vector<uint8_t>& bytes, size_t from = 0) {
    uint8_t x = 0;
    for (size_t i = from; i < bytes.size(); ++i)
        x ^= bytes[i];
    return x;
}
// first, first + step, ... (mod 256)
inline std::vector<uint8_t> bytes(size_t n, uint8_t first, uint8_t step = 1) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = uint8_t(first + step * i);
    return out;
}
// 256 * per bytes whose byte counts have the square sum of their deviations `square_sum`
// (even): pairs of values +d and -d around `per` each add 2 d^2.
inline std::vector<uint8_t> sample_with_square_sum(uint32_t square_sum, uint32_t per = 100) {
    std::vector<uint32_t> counts(256, per);
    for (uint32_t rest = square_sum / 2, pair = 0; rest; ++pair) {
        uint32_t d = 1;
        while ((d + 1) * (d + 1) <= rest && d < per)
            ++d;
        counts[2 * pair] += d;
        counts[2 * pair + 1] -= d;
        rest -= d * d;
    }
    std::vector<uint8_t> sample;
    for (int v = 0; v < 256; ++v)
        sample.insert(sample.end(), counts[v], uint8_t(v));
    return sample;
}

class LibraryTest : public ::testing::Test {
  protected:
    uint32_t words[20] = {0, 0, 0, 0, 0, 4, 0, 1}; // the record: 4 units = 32-byte blocks
    std::vector<uint8_t> stream;                   // generator output, repeated
    size_t position = 0;
    int block_reads = 0, seed_bytes = 0;
    uint32_t key_set_status = 0, seed_byte_status = 0;
    std::function<void(uint32_t code)> on_key_set; // after each accepted key-set request
    std::map<uint32_t, FakeAnswer> fixed;          // a fixed answer per request code
    std::mutex driver_lock;

    void SetUp() override {
        fake_reset();
        fake().handler = [this](const FakeRequest& r) {
            std::lock_guard<std::mutex> guard(driver_lock);
            return fixed.count(r.code) ? fixed[r.code] : drive(r);
        };
        orx_set_status(0);
        orx_set_rndm_checked(1);
        orx_process_attach();
    }
    void TearDown() override { orx_process_detach(); }

    FakeAnswer drive(const FakeRequest& r) {
        switch (r.code) {
        case ORVEXA_IOCTL_QUERY_INFO:
            return replies(std::vector<uint8_t>((uint8_t*)words, (uint8_t*)words + 80));
        case ORVEXA_IOCTL_BLOCK_READ: {
            ++block_reads;
            std::vector<uint8_t> block(words[5] * 8);
            for (uint8_t& b : block)
                b = stream.empty() ? 0 : stream[position++ % stream.size()];
            return replies(fake_header(0, xor_of(block), uint32_t(block.size()), block));
        }
        case ORVEXA_IOCTL_KEY_SET:
            if (key_set_status == 0 && on_key_set)
                on_key_set(fake_word(r.in, 0));
            return replies(fake_header(key_set_status, 0, 0));
        case ORVEXA_IOCTL_SEED_BYTE:
            if (seed_byte_status == 0 && ++seed_bytes >= 8)
                words[3] = 1;
            return replies(fake_header(seed_byte_status, 0, 0));
        }
        return replies(r.out_size >= 16 ? fake_header(0, 0, 0) : std::vector<uint8_t>());
    }
    // Runs `call` with a fresh status and request log; returns its result.
    template <class F> int fresh(F call) {
        orx_set_status(0);
        fake().requests.clear();
        return call();
    }
    const FakeRequest& last_request() { return fake().requests.back(); }
    const FakeRequest* last(uint32_t code) {
        for (auto it = fake().requests.rbegin(); it != fake().requests.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }
    size_t count(uint32_t code) {
        size_t n = 0;
        for (const FakeRequest& r : fake().requests)
            n += r.code == code;
        return n;
    }
    long buffers_held() { return fake().allocations - fake().frees; }
    uint32_t status() { return orvexa_drv_last_status(); }
};

#endif
