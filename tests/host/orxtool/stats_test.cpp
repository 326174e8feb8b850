// orxtool's statistics on vectors made to sit on the thresholds of FIPS 140-2 (4.9.1) and of
// the SP 800-90B health tests. The values on a healthy sample, the chi-square's among them,
// are pinned by the selftest report (commands_test.cpp).
#include <gtest/gtest.h>

#include "stats.h"

using namespace orxstats;

namespace {

using Bytes = std::vector<uint8_t>;

// 20,000 bits in runs of the given lengths, alternating from 0; bits left over continue the
// last run.
Bytes from_runs(const std::vector<unsigned>& lengths) {
    Bytes data(kFipsBytes);
    for (size_t at = 0, run = 0, left = lengths[0]; at < kFipsBits; ++at, --left) {
        for (; left == 0 && run + 1 < lengths.size(); left = lengths[++run]) {
        }
        data[at / 8] |= uint8_t((run % 2) << (7 - at % 8));
    }
    return data;
}

} // namespace

TEST(Stats, FipsAndHealthTestBounds) {
    // Monobit: exclusive bounds.
    for (unsigned ones : {9725u, 9726u, 10274u, 10275u}) {
        const FipsResult r = fips140_2(from_runs({unsigned(kFipsBits) - ones, ones}).data());
        EXPECT_EQ(r.monobit_pass, ones > 9725 && ones < 10275) << ones;
    }
    // Runs: inclusive intervals, at the bounds of length 1 (for the zeros alone once); n[k] runs
    // of length k + 1 of each bit value.
    const struct {
        unsigned n[6];
        unsigned first; // the length of the first run, of zeros
        bool pass;
    } runs[] = {{{2315, 1114, 527, 240, 103, 103}, 1, true},
                {{2315, 1114, 527, 240, 103, 103}, 2, false}, // 2314 runs of one 0
                {{2685, 1114, 527, 240, 103, 103}, 1, true},
                {{2686, 1114, 527, 240, 103, 103}, 1, false}};
    for (const auto& c : runs) {
        std::vector<unsigned> lengths;
        for (unsigned k = 0; k < 6; ++k)
            lengths.insert(lengths.end(), 2 * c.n[k], k + 1);
        lengths[0] = c.first;
        EXPECT_EQ(fips140_2(from_runs(lengths).data()).runs_pass, c.pass) << c.n[0] << c.n[1];
    }
    // SP 800-90B: a count that reaches its cut-off fails. A run of 3; the first byte 5 times.
    const uint8_t d[] = {7, 7, 7, 1, 7, 2, 7, 3};
    for (unsigned above : {0u, 1u}) // both fail on their cut-off, both pass one above it
        EXPECT_EQ(repetition_count(d, 8, 3 + above).pass +
                      adaptive_proportion(d, 8, 8, 5 + above).pass,
                  2 * above);
}
