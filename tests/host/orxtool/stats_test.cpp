// orxtool's statistics on known vectors against the published thresholds: the library's
// chi-square bounds, FIPS 140-2 (4.9.1) and the SP 800-90B health-test cut-offs.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "stats.h"

using namespace orxstats;

namespace {

// splitmix64: a well-mixed deterministic stream for vectors that should pass.
std::vector<uint8_t> good_bytes(size_t n, uint64_t seed) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) {
        uint64_t z = (seed += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        out[i] = uint8_t(z ^ (z >> 31));
    }
    return out;
}

// Random-looking bytes in which no byte equals its predecessor.
std::vector<uint8_t> no_repeats(size_t n, uint64_t seed) {
    std::vector<uint8_t> out = good_bytes(n, seed);
    for (size_t i = 1; i < n; ++i)
        if (out[i] == out[i - 1])
            out[i] ^= 1;
    return out;
}

void set_bit(std::vector<uint8_t>& data, size_t i, int bit) {
    uint8_t mask = uint8_t(0x80 >> (i % 8));
    data[i / 8] = bit ? uint8_t(data[i / 8] | mask) : uint8_t(data[i / 8] & ~mask);
}

// 20,000 bits made of alternating runs, zeros first: count[bit][k] runs of length k + 1
// (k = 5: runs of 6 and more). The bits left over lengthen the longest runs evenly.
std::vector<uint8_t> bits_from_runs(const unsigned (&count)[2][6]) {
    std::vector<unsigned> lengths[2];
    size_t used = 0;
    for (int bit = 0; bit < 2; ++bit)
        for (unsigned k = 0; k < 6; ++k)
            for (unsigned n = 0; n < count[bit][k]; ++n) {
                lengths[bit].push_back(k + 1);
                used += k + 1;
            }
    EXPECT_EQ(lengths[0].size(), lengths[1].size());
    EXPECT_LE(used, kFipsBits);
    size_t spare = kFipsBits - used;
    for (size_t i = 0; spare > 0; i = (i + 1) % (2 * count[0][5])) {
        unsigned& run = lengths[i % 2][lengths[i % 2].size() - 1 - i / 2];
        ++run;
        --spare;
    }
    std::vector<uint8_t> data(kFipsBytes);
    size_t at = 0;
    for (size_t r = 0; r < lengths[0].size(); ++r)
        for (int bit = 0; bit < 2; ++bit)
            for (unsigned n = 0; n < lengths[bit][r]; ++n)
                set_bit(data, at++, bit);
    EXPECT_EQ(at, kFipsBits);
    return data;
}

} // namespace

TEST(ChiSquare, MatchesTheTextbookStatisticAndTheLibraryBounds) {
    // Every value exactly 100 times: a sample too even to be random.
    std::vector<uint8_t> flat(kChiSquareBytes);
    for (size_t i = 0; i < flat.size(); ++i)
        flat[i] = uint8_t(i);
    EXPECT_DOUBLE_EQ(chi_square_bytes(flat.data(), flat.size()), 0.0);
    EXPECT_FALSE(chi_square_passes(0.0));

    // Ten bytes moved from value 0 to value 1: (10^2 + 10^2) / 100.
    for (size_t i = 0; i < 10; ++i)
        flat[256 * i] = 1;
    EXPECT_NEAR(chi_square_bytes(flat.data(), flat.size()), 2.0, 1e-9);

    // One value only: 255 * 25,600.
    std::vector<uint8_t> constant(kChiSquareBytes, 0x5A);
    EXPECT_NEAR(chi_square_bytes(constant.data(), constant.size()), 6528000.0, 1e-6);

    EXPECT_TRUE(chi_square_passes(205.33));
    EXPECT_TRUE(chi_square_passes(310.57));
    EXPECT_FALSE(chi_square_passes(205.32));
    EXPECT_FALSE(chi_square_passes(310.58));

    std::vector<uint8_t> good = good_bytes(kChiSquareBytes, 7);
    EXPECT_TRUE(chi_square_passes(chi_square_bytes(good.data(), good.size())));
}

TEST(Fips140_2, AllZeroFailsEveryTestAndBitsAreTakenMostSignificantFirst) {
    std::vector<uint8_t> zero(kFipsBytes, 0);
    FipsResult r = fips140_2(zero.data());
    EXPECT_EQ(r.ones, 0u);
    EXPECT_FALSE(r.monobit_pass);
    EXPECT_DOUBLE_EQ(r.poker, 75000.0); // 16/5000 * 5000^2 - 5000
    EXPECT_FALSE(r.poker_pass);
    EXPECT_EQ(r.runs[0][5], 1u);
    EXPECT_FALSE(r.runs_pass);
    EXPECT_EQ(r.longest_run, 20000u);
    EXPECT_FALSE(r.long_run_pass);
    EXPECT_FALSE(fips_passes(r));

    zero[0] = 0x80; // the very first bit is a one, then 19,999 zeros
    r = fips140_2(zero.data());
    EXPECT_EQ(r.runs[1][0], 1u);
    EXPECT_EQ(r.runs[0][5], 1u);
    EXPECT_EQ(r.longest_run, 19999u);
}

TEST(Fips140_2, AlternatingBitsPassMonobitOnly) {
    std::vector<uint8_t> alternating(kFipsBytes, 0x55);
    FipsResult r = fips140_2(alternating.data());
    EXPECT_EQ(r.ones, 10000u);
    EXPECT_TRUE(r.monobit_pass);
    EXPECT_DOUBLE_EQ(r.poker, 75000.0); // every nibble is 0101
    EXPECT_FALSE(r.poker_pass);
    EXPECT_EQ(r.runs[0][0], 10000u);
    EXPECT_EQ(r.runs[1][0], 10000u);
    EXPECT_FALSE(r.runs_pass);
    EXPECT_EQ(r.longest_run, 1u);
    EXPECT_TRUE(r.long_run_pass);
}

TEST(Fips140_2, MonobitBoundsAreExclusive) {
    // The first `ones` bits set, the rest clear: only the count matters to this test.
    for (unsigned ones : {9725u, 9726u, 10274u, 10275u}) {
        std::vector<uint8_t> data(kFipsBytes, 0);
        for (size_t i = 0; i < ones; ++i)
            set_bit(data, i, 1);
        FipsResult r = fips140_2(data.data());
        EXPECT_EQ(r.ones, ones);
        EXPECT_EQ(r.monobit_pass, ones > 9725 && ones < 10275) << ones;
    }
}

TEST(Fips140_2, PokerRejectsNibblesThatAreTooEven) {
    // Nibbles 0, 1, ..., 15 in turn: 313 or 312 of each, X = 0.0128 < 2.16.
    std::vector<uint8_t> data(kFipsBytes);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(((2 * i) % 16) << 4 | ((2 * i + 1) % 16));
    FipsResult r = fips140_2(data.data());
    EXPECT_NEAR(r.poker, 0.0128, 1e-9);
    EXPECT_FALSE(r.poker_pass);
}

TEST(Fips140_2, RunIntervalsAreInclusive) {
    // Both bit values at the lower end of every interval: passes.
    unsigned low[2][6] = {{2315, 1114, 527, 240, 103, 103}, {2315, 1114, 527, 240, 103, 103}};
    FipsResult r = fips140_2(bits_from_runs(low).data());
    for (int bit = 0; bit < 2; ++bit)
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(r.runs[bit][k], low[bit][k]) << bit << " " << k;
    EXPECT_TRUE(r.runs_pass);
    EXPECT_TRUE(r.long_run_pass);

    // One run of two zeros becomes a run of three: 1,113 runs of length 2 fail.
    unsigned short_twos[2][6] = {{2315, 1113, 528, 240, 103, 103},
                                 {2315, 1114, 527, 240, 103, 103}};
    r = fips140_2(bits_from_runs(short_twos).data());
    EXPECT_EQ(r.runs[0][1], 1113u);
    EXPECT_FALSE(r.runs_pass);

    // Runs of length 1 at the upper end pass; one more fails.
    unsigned high_ones[2][6] = {{2685, 1114, 527, 240, 103, 103}, {2685, 1114, 527, 240, 103, 103}};
    EXPECT_TRUE(fips140_2(bits_from_runs(high_ones).data()).runs_pass);
    high_ones[0][0] = high_ones[1][0] = 2686;
    EXPECT_FALSE(fips140_2(bits_from_runs(high_ones).data()).runs_pass);
}

TEST(Fips140_2, LongRunCutOffIs26) {
    std::vector<uint8_t> good = good_bytes(kFipsBytes, 11);
    FipsResult r = fips140_2(good.data());
    ASSERT_TRUE(fips_passes(r));
    ASSERT_LT(r.longest_run, 25u);

    for (unsigned length : {25u, 26u}) {
        std::vector<uint8_t> data = good;
        set_bit(data, 999, 0);
        for (size_t i = 1000; i < 1000 + length; ++i)
            set_bit(data, i, 1);
        set_bit(data, 1000 + length, 0);
        r = fips140_2(data.data());
        EXPECT_EQ(r.longest_run, length);
        EXPECT_EQ(r.long_run_pass, length < 26) << length;
    }
}

TEST(HealthTests, CutOffsMatchThePublishedValues) {
    // Repetition count: C = 1 + ceil(20 / H).
    EXPECT_EQ(repetition_count_cutoff(8.0, 20), 4u);
    EXPECT_EQ(repetition_count_cutoff(2.0, 20), 11u);
    EXPECT_EQ(repetition_count_cutoff(0.5, 20), 41u);
    // Adaptive proportion, non-binary window of 512 (SP 800-90B, 4.4.2).
    EXPECT_EQ(adaptive_proportion_cutoff(8.0, 20, 512), 13u);
    EXPECT_EQ(adaptive_proportion_cutoff(0.5, 20, 512), 410u);
}

TEST(HealthTests, RepetitionCountFailsAtTheCutOff) {
    const unsigned cutoff = repetition_count_cutoff(kHealthEntropyBits, kHealthAlphaLog2);
    std::vector<uint8_t> data = no_repeats(kChiSquareBytes, 3);
    RepetitionCountResult r = repetition_count(data.data(), data.size(), cutoff);
    EXPECT_EQ(r.longest, 1u);
    EXPECT_TRUE(r.pass);

    for (unsigned run : {cutoff - 1, cutoff}) {
        std::vector<uint8_t> copy = data;
        for (size_t i = 20000; i < 20000 + run; ++i)
            copy[i] = copy[20000];
        if (copy[20000 + run] == copy[20000])
            copy[20000 + run] ^= 1;
        r = repetition_count(copy.data(), copy.size(), cutoff);
        EXPECT_EQ(r.longest, run);
        EXPECT_EQ(r.pass, run < cutoff) << run;
    }

    std::vector<uint8_t> zero(kChiSquareBytes, 0);
    r = repetition_count(zero.data(), zero.size(), cutoff);
    EXPECT_EQ(r.longest, kChiSquareBytes);
    EXPECT_FALSE(r.pass);
}

TEST(HealthTests, AdaptiveProportionCountsTheWindowsFirstSample) {
    const unsigned cutoff =
        adaptive_proportion_cutoff(kHealthEntropyBits, kHealthAlphaLog2, kAdaptiveWindow);
    // A window whose first value 0x00 appears nowhere else, then 0x00 placed again so that
    // the first sample occurs `count` times.
    auto window_with = [](unsigned count) {
        std::vector<uint8_t> data = good_bytes(kChiSquareBytes, 5);
        for (uint8_t& b : data)
            b = b ? b : 1;
        data[512 * 7] = 0;
        for (unsigned n = 1; n < count; ++n)
            data[512 * 7 + 40 * n] = 0;
        return data;
    };
    for (unsigned count : {cutoff - 1, cutoff}) {
        std::vector<uint8_t> data = window_with(count);
        AdaptiveProportionResult r =
            adaptive_proportion(data.data(), data.size(), kAdaptiveWindow, cutoff);
        EXPECT_EQ(r.windows, 50u);
        EXPECT_EQ(r.highest, count);
        EXPECT_EQ(r.pass, count < cutoff) << count;
    }

    // A frequent value that is not a window's first sample is not what this test counts.
    std::vector<uint8_t> data = window_with(1);
    for (unsigned n = 1; n <= 100; ++n)
        data[512 * 7 + 5 * n] = 0xEE;
    EXPECT_TRUE(adaptive_proportion(data.data(), data.size(), kAdaptiveWindow, cutoff).pass);

    // Alternating 0x00 and 0xFF: no repetition, but each first sample fills half its window.
    std::vector<uint8_t> alternating(kChiSquareBytes);
    for (size_t i = 0; i < alternating.size(); ++i)
        alternating[i] = i % 2 ? 0xFF : 0x00;
    EXPECT_TRUE(repetition_count(alternating.data(), alternating.size(), 4).pass);
    AdaptiveProportionResult r =
        adaptive_proportion(alternating.data(), alternating.size(), kAdaptiveWindow, cutoff);
    EXPECT_EQ(r.highest, 256u);
    EXPECT_FALSE(r.pass);

    // A tail shorter than a window is not examined.
    EXPECT_EQ(adaptive_proportion(alternating.data(), 1000, kAdaptiveWindow, cutoff).windows, 1u);
}
