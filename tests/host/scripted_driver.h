// A small driver for the native tests of the generator paths: information words the test
// sets, key-set and seed-byte requests that can change them, and block reads served from a
// byte source the test chooses.
#ifndef ORX_TESTS_SCRIPTED_DRIVER_H
#define ORX_TESTS_SCRIPTED_DRIVER_H

#include <cstdint>
#include <functional>
#include <vector>

#include "fake_platform.h"

struct ScriptedDriver {
    uint32_t words[20] = {};
    uint32_t block_units = 4;    // 32-byte blocks
    std::vector<uint8_t> stream; // generator output, consumed in order and repeated
    size_t position = 0;
    // Called after each accepted key-set request with its command code.
    std::function<void(ScriptedDriver&, uint32_t code)> on_key_set;
    uint32_t key_set_status = 0;
    uint32_t seed_byte_status = 0;
    int seed_bytes = 0;
    int block_reads = 0;

    ScriptedDriver() { words[7] = 1; }
    void install(); // becomes fake().handler (the object must outlive the test's calls)
};

// 25,600 bytes whose chi-square is square_sum / 100 (square_sum must be even).
std::vector<uint8_t> sample_with_square_sum(uint32_t square_sum);

#endif
