// Loads a fresh library state over a fresh fake system for every test.
#ifndef ORX_TESTS_LIBRARY_FIXTURE_H
#define ORX_TESTS_LIBRARY_FIXTURE_H

#include <gtest/gtest.h>

#include "channel.h"
#include "fake_platform.h"
#include "status.h"

class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_reset();
        orx_set_status(0);
        orx_process_attach();
    }
    void TearDown() override { orx_process_detach(); }

    // Makes every request of `code` answer `answer`, others as the default driver does.
    void answer(uint32_t code, FakeAnswer reply) {
        FakeHandler previous = fake().handler;
        fake().handler = [=](const FakeRequest& r) { return r.code == code ? reply : previous(r); };
    }
    const FakeRequest& last_request() { return fake().requests.back(); }
    size_t count(uint32_t code) {
        size_t n = 0;
        for (const FakeRequest& r : fake().requests)
            n += r.code == code;
        return n;
    }
    long buffers_held() { return fake().allocations - fake().frees; }
};

inline FakeAnswer fails_with(uint32_t error) {
    FakeAnswer a;
    a.ok = false;
    a.error = error;
    return a;
}

inline FakeAnswer replies(std::vector<uint8_t> out) {
    FakeAnswer a;
    a.out = std::move(out);
    return a;
}

#endif
