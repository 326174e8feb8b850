// A fresh library over a fresh fake system for every test, and a scripted driver: the
// information words the test sets (for selector 0; other selectors read zeros), block reads served
// from a byte stream, and key-set and seed-byte requests that can change the words.
#ifndef ORX_TESTS_LIBRARY_FIXTURE_H
#define ORX_TESTS_LIBRARY_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <numeric>
#include <mutex>
#include <tuple>

#include "channel.h"
#include "fake_platform.h"
#include "generator.h"
#include "orxlink.h"
#include "status.h"

using Bytes = std::vector<uint8_t>;
using std::make_tuple;

class LibraryTest : public ::testing::Test {
  public:
    uint32_t words[20] = {0, 0, 0, 0, 0, 4, 0, 1}; // the record: 4 units = 32-byte blocks
    Bytes stream;                                  // generator output, repeated
    size_t position = 0;
    int block_reads = 0, seed_bytes = 0, seed_byte_status = 0;
    std::function<void()> on_key_set;     // after each key-set request
    std::map<uint32_t, FakeAnswer> fixed; // a fixed answer per request code
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
            return ok(word(r.in, 1) ? Bytes(80) : Bytes((uint8_t*)words, (uint8_t*)words + 80));
        case ORVEXA_IOCTL_BLOCK_READ: {
            Bytes block(words[5] * 8);
            for (uint8_t& b : block)
                b = stream.empty() ? 0 : stream[position++ % stream.size()];
            return ++block_reads, ok(frame(0, 0, xor_of(block), uint32_t(block.size()), block));
        }
        case ORVEXA_IOCTL_KEY_SET:
            if (on_key_set)
                on_key_set();
            break;
        case ORVEXA_IOCTL_SEED_BYTE:
            words[3] |= !seed_byte_status && ++seed_bytes >= 8;
            return ok(frame(uint32_t(seed_byte_status)));
        }
        return ok(r.out_size >= 16 ? frame(0) : Bytes());
    }

    static FakeAnswer ok(Bytes out) { return FakeAnswer{true, 0, std::move(out)}; }
    static FakeAnswer fails(uint32_t error) { return FakeAnswer{false, error, {}}; }
    // A request or answer: the four header words, then the data.
    static Bytes frame(uint32_t w0, uint32_t w1 = 0, uint32_t w2 = 0, uint32_t w3 = 0,
                       const Bytes& data = {}) {
        const uint32_t w[4] = {w0, w1, w2, w3};
        Bytes out((const uint8_t*)w, (const uint8_t*)w + 16);
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }
    static uint32_t word(const Bytes& b, size_t i) {
        uint32_t w;
        std::memcpy(&w, &b.at(4 * i), 4);
        return w;
    }
    static uint8_t xor_of(const Bytes& b) {
        return uint8_t(std::accumulate(b.begin(), b.end(), 0, std::bit_xor<>()));
    }
    // first, first + 1, ... (mod 256)
    static Bytes bytes(size_t n, uint8_t first) {
        Bytes out(n);
        std::iota(out.begin(), out.end(), first);
        return out;
    }
    // 25,600 bytes whose counts have the square sum of deviations `square_sum` (even): pairs
    // of values 100 + d and 100 - d each add 2 d^2.
    static Bytes sample_with_square_sum(uint32_t square_sum) {
        std::vector<uint32_t> counts(256, 100);
        for (uint32_t rest = square_sum / 2, pair = 0, d = 1; rest; ++pair, rest -= d * d, d = 1) {
            while ((d + 1) * (d + 1) <= rest && d < 100)
                ++d;
            counts[2 * pair] += d;
            counts[2 * pair + 1] -= d;
        }
        Bytes sample;
        for (int v = 0; v < 256; ++v)
            sample.insert(sample.end(), counts[v], uint8_t(v));
        return sample;
    }
    const FakeRequest& last_request() { return fake().requests.back(); }
    const FakeRequest* last(uint32_t code) {
        for (auto it = fake().requests.rbegin(); it != fake().requests.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }
    size_t count(uint32_t code) {
        return std::count_if(fake().requests.begin(), fake().requests.end(),
                             [=](const FakeRequest& r) { return r.code == code; });
    }
    long held() { return fake().allocations - fake().frees; }
    uint32_t status() { return orvexa_drv_last_status(); }
    // Runs `call` with the status 9 and a fresh request log: its result and the status after
    // (9: kept).
    template <class F> std::tuple<int, uint32_t> run(F call) {
        orx_set_status(9);
        fake().requests.clear();
        int result = call();
        return {result, status()};
    }
};

#endif
