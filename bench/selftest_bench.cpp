// The self-test's own work, natively: counting 25,600 bytes and the chi-square statistic.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "generator.h"

namespace {

std::vector<uint8_t> sample() {
    std::mt19937 rng(1);
    std::vector<uint8_t> bytes(ORX_SELF_TEST_BYTES);
    for (uint8_t& b : bytes)
        b = uint8_t(rng());
    return bytes;
}

void count_and_statistic(benchmark::State& state) {
    std::vector<uint8_t> bytes = sample();
    uint32_t counts[256];
    for (auto _ : state) {
        orx_count_bytes(bytes.data(), ORX_SELF_TEST_BYTES, counts);
        double chi2 = orx_chi_square(counts, ORX_SELF_TEST_BYTES);
        benchmark::DoNotOptimize(chi2);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * ORX_SELF_TEST_BYTES);
}

// The floor: one pass that only sums the bytes.
void plain_pass(benchmark::State& state) {
    std::vector<uint8_t> bytes = sample();
    for (auto _ : state) {
        uint32_t sum = 0;
        for (uint8_t b : bytes)
            sum += b;
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * ORX_SELF_TEST_BYTES);
}

} // namespace

BENCHMARK(count_and_statistic)->Unit(benchmark::kMicrosecond);
BENCHMARK(plain_pass)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
