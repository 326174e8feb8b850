// orxtool's statistics against the published thresholds: the library's chi-square bounds,
// FIPS 140-2 (4.9.1) and the SP 800-90B health-test cut-offs.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "stats.h"

using namespace orxstats;

namespace {

using Bytes = std::vector<uint8_t>;

// splitmix64: a well-mixed deterministic stream for vectors that should pass.
Bytes good_bytes(size_t n, uint64_t seed) {
    Bytes out(n);
    for (size_t i = 0; i < n; ++i) {
        uint64_t z = (seed += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        out[i] = uint8_t(z ^ (z >> 31));
    }
    return out;
}

void set_bit(Bytes& data, size_t i, int bit) {
    const uint8_t mask = uint8_t(0x80 >> (i % 8));
    data[i / 8] = bit ? uint8_t(data[i / 8] | mask) : uint8_t(data[i / 8] & ~mask);
}

// 20,000 bits made of alternating runs, zeros first: count[bit][k] runs of length k + 1
// (k = 5: runs of 6 and more). The bits left over lengthen the longest runs evenly.
Bytes bits_from_runs(const unsigned (&count)[2][6]) {
    std::vector<unsigned> lengths[2];
    size_t used = 0;
    for (int bit = 0; bit < 2; ++bit)
        for (unsigned k = 0; k < 6; ++k)
            for (unsigned n = 0; n < count[bit][k]; ++n, used += k + 1)
                lengths[bit].push_back(k + 1);
    for (size_t i = 0, spare = kFipsBits - used; spare > 0; i = (i + 1) % (2 * count[0][5]))
        ++lengths[i % 2][lengths[i % 2].size() - 1 - i / 2], --spare;
    Bytes data(kFipsBytes);
    size_t at = 0;
    for (size_t r = 0; r < lengths[0].size(); ++r)
        for (int bit = 0; bit < 2; ++bit)
            for (unsigned n = 0; n < lengths[bit][r]; ++n)
                set_bit(data, at++, bit);
    EXPECT_EQ(at, kFipsBits);
    return data;
}

} // namespace

// The statistics themselves on a healthy sample are pinned by the selftest command's report
// (generator_commands_test.cpp); here the bounds and the vectors made to sit on them.
TEST(ChiSquare, BothBoundsPass) {
    for (double x : {205.33, 310.57})
        EXPECT_TRUE(chi_square_passes(x)) << x;
    for (double x : {0.0, 205.32, 310.58})
        EXPECT_FALSE(chi_square_passes(x)) << x;
}

TEST(Fips140_2, AConstantSampleFailsPokerAndRepetitionFromItsFirstByte) {
    const Bytes zeros(kChiSquareBytes, 0);
    EXPECT_FALSE(fips140_2(zeros.data()).poker_pass); // X = 75000, far above 46.17
    EXPECT_EQ(repetition_count(zeros.data(), zeros.size(), 4).longest, kChiSquareBytes);
}

TEST(Fips140_2, BoundsOfEachTest) {
    // Monobit: exclusive bounds. The first `ones` bits set: only the count matters.
    for (unsigned ones : {9725u, 9726u, 10274u, 10275u}) {
        Bytes data(kFipsBytes, 0);
        for (size_t i = 0; i < ones; ++i)
            set_bit(data, i, 1);
        EXPECT_EQ(fips140_2(data.data()).monobit_pass, ones > 9725 && ones < 10275) << ones;
    }
    // Runs: inclusive intervals, for both bit values and the lengths 1 and 2.
    const struct {
        unsigned runs[2][6];
        bool pass;
    } runs[] = {
        {{{2315, 1114, 527, 240, 103, 103}, {2315, 1114, 527, 240, 103, 103}}, true},
        {{{2315, 1113, 528, 240, 103, 103}, {2315, 1114, 527, 240, 103, 103}}, false},
        {{{2685, 1114, 527, 240, 103, 103}, {2685, 1114, 527, 240, 103, 103}}, true},
        {{{2686, 1114, 527, 240, 103, 103}, {2686, 1114, 527, 240, 103, 103}}, false},
    };
    for (const auto& c : runs) {
        const FipsResult r = fips140_2(bits_from_runs(c.runs).data());
        for (int bit = 0; bit < 2; ++bit)
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ(r.runs[bit][k], c.runs[bit][k]) << bit << " " << k;
        EXPECT_EQ(r.runs_pass, c.pass) << c.runs[0][0] << " " << c.runs[0][1];
    }
    // Long run: a run of 26 fails, 25 passes.
    const Bytes good = good_bytes(kFipsBytes, 11);
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

TEST(HealthTests, CutOffsMatchThePublishedValues) {
    EXPECT_EQ(repetition_count_cutoff(8.0, 20), 4u); // C = 1 + ceil(20 / H)
    EXPECT_EQ(repetition_count_cutoff(2.0, 20), 11u);
    EXPECT_EQ(repetition_count_cutoff(0.5, 20), 41u);
    EXPECT_EQ(adaptive_proportion_cutoff(8.0, 20, 512), 13u); // non-binary window, 4.4.2
    EXPECT_EQ(adaptive_proportion_cutoff(0.5, 20, 512), 410u);
}

TEST(HealthTests, EachTestFailsAtItsCutOff) {
    // Random-looking bytes in which no byte equals its predecessor nor 0x00.
    Bytes base = good_bytes(kChiSquareBytes, 3);
    for (size_t i = 0; i < base.size(); ++i)
        if (base[i] == 0 || (i > 0 && base[i] == base[i - 1]))
            base[i] = uint8_t(i > 0 && base[i - 1] == 1 ? 2 : 1);
    const unsigned rct = repetition_count_cutoff(kHealthEntropyBits, kHealthAlphaLog2);
    const unsigned apt =
        adaptive_proportion_cutoff(kHealthEntropyBits, kHealthAlphaLog2, kAdaptiveWindow);
    for (unsigned n : {1u, rct - 1, rct}) { // a run of n equal bytes at 20,000
        Bytes data = base;
        for (size_t i = 20000; i < 20000 + n; ++i)
            data[i] = 0;
        const RepetitionCountResult r = repetition_count(data.data(), data.size(), rct);
        EXPECT_EQ(r.longest, n);
        EXPECT_EQ(r.pass, n < rct) << n;
    }
    // Window 7's first sample 0x00 occurring n times in it; a frequent 0xEE that is no
    // window's first sample does not count.
    for (unsigned n : {apt - 1, apt}) {
        Bytes data = base;
        for (unsigned k = 0; k < n; ++k)
            data[512 * 7 + 40 * k] = 0;
        for (unsigned k = 1; k <= 100; ++k)
            data[512 * 7 + 5 * k + 1] = 0xEE;
        const AdaptiveProportionResult r =
            adaptive_proportion(data.data(), data.size(), kAdaptiveWindow, apt);
        EXPECT_EQ(r.windows, 50u);
        EXPECT_EQ(r.highest, n);
        EXPECT_EQ(r.pass, n < apt) << n;
    }
    // Alternating 0x00 and 0xFF: no repetition, but each first sample fills half its window;
    // a tail shorter than a window is not examined.
    Bytes alternating(kChiSquareBytes);
    for (size_t i = 0; i < alternating.size(); ++i)
        alternating[i] = uint8_t(-(i % 2));
    EXPECT_TRUE(repetition_count(alternating.data(), alternating.size(), rct).pass);
    const AdaptiveProportionResult r =
        adaptive_proportion(alternating.data(), alternating.size(), kAdaptiveWindow, apt);
    EXPECT_EQ(r.highest, 256u);
    EXPECT_FALSE(r.pass);
    EXPECT_EQ(adaptive_proportion(alternating.data(), 1000, kAdaptiveWindow, apt).windows, 1u);
}
