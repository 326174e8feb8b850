// orxtool's statistics on vectors made to sit on the published thresholds: the library's
// chi-square bounds, FIPS 140-2 (4.9.1) and the SP 800-90B health-test cut-offs. The values
// on a healthy sample are pinned by the selftest report (commands_test.cpp).
#include <gtest/gtest.h>

#include <random>

#include "stats.h"

using namespace orxstats;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes healthy(size_t n) {
    std::mt19937 generator(5);
    Bytes data(n);
    for (uint8_t& b : data)
        b = uint8_t(generator());
    return data;
}

void set_bit(Bytes& data, size_t i, int bit) {
    const uint8_t mask = uint8_t(0x80 >> (i % 8));
    data[i / 8] = bit ? uint8_t(data[i / 8] | mask) : uint8_t(data[i / 8] & ~mask);
}

// 20,000 bits of alternating runs, zeros first: n[k] runs of length k + 1 of each bit value
// (k = 5: runs of 6, the last one reaching the end).
Bytes bits_from_runs(const unsigned (&n)[6]) {
    Bytes data(kFipsBytes);
    size_t at = 0;
    int bit = 0;
    for (unsigned k = 0; k < 6; ++k)
        for (unsigned r = 0; r < 2 * n[k]; ++r, bit ^= 1)
            for (unsigned j = 0; j <= k; ++j)
                set_bit(data, at++, bit);
    while (at < kFipsBits)
        set_bit(data, at++, bit ^ 1);
    return data;
}

} // namespace

TEST(Stats, ChiSquareAndFipsBounds) {
    for (double x : {205.33, 310.57, 205.32, 310.58, 0.0})
        EXPECT_EQ(chi_square_passes(x), x == 205.33 || x == 310.57) << x;
    const Bytes zeros(kChiSquareBytes, 0); // X = 75000, far above 46.17
    EXPECT_FALSE(fips140_2(zeros.data()).poker_pass);
    EXPECT_EQ(repetition_count(zeros.data(), zeros.size(), 4).longest, kChiSquareBytes);
    // Monobit: exclusive bounds. The first `ones` bits set: only the count matters.
    for (unsigned ones : {9725u, 9726u, 10274u, 10275u}) {
        Bytes data(kFipsBytes, 0);
        for (size_t i = 0; i < ones; ++i)
            set_bit(data, i, 1);
        EXPECT_EQ(fips140_2(data.data()).monobit_pass, ones > 9725 && ones < 10275) << ones;
    }
    // Runs: inclusive intervals, at the bounds of the lengths 1 and 2.
    const struct {
        unsigned runs[6];
        bool pass;
    } runs[] = {{{2315, 1114, 527, 240, 103, 103}, true},
                {{2315, 1113, 527, 240, 103, 103}, false},
                {{2685, 1114, 527, 240, 103, 103}, true},
                {{2686, 1114, 527, 240, 103, 103}, false}};
    for (const auto& c : runs) {
        const FipsResult r = fips140_2(bits_from_runs(c.runs).data());
        EXPECT_EQ(r.runs_pass, c.pass) << c.runs[0] << " " << c.runs[1];
    }
    // Long run: a run of 26 fails, 25 passes.
    const Bytes good = healthy(kFipsBytes);
    ASSERT_TRUE(fips_passes(fips140_2(good.data())));
    for (unsigned length : {25u, 26u}) {
        Bytes data = good;
        for (size_t i = 999; i <= 1000 + length; ++i)
            set_bit(data, i, i >= 1000 && i < 1000 + length);
        const FipsResult r = fips140_2(data.data());
        EXPECT_EQ(r.longest_run, length);
        EXPECT_EQ(r.long_run_pass, length < 26) << length;
    }
}

TEST(Stats, HealthTestsFailAtTheirCutOffs) {
    // H = 8 is pinned by the selftest report: C = 1 + ceil(20 / H), the non-binary window.
    EXPECT_EQ(repetition_count_cutoff(0.5, 20), 41u);
    EXPECT_EQ(adaptive_proportion_cutoff(0.5, 20, 512), 410u);
    // Random-looking bytes in which no byte equals its predecessor nor 0x00.
    Bytes base = healthy(kChiSquareBytes);
    for (size_t i = 0; i < base.size(); ++i)
        if (base[i] == 0 || (i > 0 && base[i] == base[i - 1]))
            base[i] = uint8_t(i > 0 && base[i - 1] == 1 ? 2 : 1);
    for (unsigned n : {3u, 4u}) { // a run of n equal bytes at 20,000; the cut-off is 4
        Bytes data = base;
        std::fill(data.begin() + 20000, data.begin() + 20000 + n, 0);
        const RepetitionCountResult r = repetition_count(data.data(), data.size(), 4);
        EXPECT_EQ(r.longest, n);
        EXPECT_EQ(r.pass, n < 4) << n;
    }
    // Window 7's first sample 0x00 occurring n times in it; a frequent 0xEE that is no
    // window's first sample does not count.
    for (unsigned n : {12u, 13u}) {
        Bytes data = base;
        for (unsigned k = 0; k < n; ++k)
            data[512 * 7 + 40 * k] = 0;
        for (unsigned k = 1; k <= 100; ++k)
            data[512 * 7 + 5 * k + 1] = 0xEE;
        const AdaptiveProportionResult r = adaptive_proportion(data.data(), data.size(), 512, 13);
        EXPECT_EQ(r.windows, 50u);
        EXPECT_EQ(r.highest, n);
        EXPECT_EQ(r.pass, n < 13) << n;
    }
    // A tail shorter than a window is not examined.
    EXPECT_EQ(adaptive_proportion(base.data(), 1000, 512, 13).windows, 1u);
}
