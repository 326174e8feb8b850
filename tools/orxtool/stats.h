// Statistical tests of generator output used by `orxtool selftest`. Portable: no platform
// calls, so the native tests can feed them known vectors.
//
//  - the library's own chi-square test over 25,600 bytes (256 classes, 100 expected each),
//    with the bounds 205.33 and 310.57 the library applies;
//  - the four FIPS 140-2 statistical tests (monobit, poker, runs, long run) on one block of
//    20,000 bits, taken most significant bit first from 2,500 bytes;
//  - the two continuous health tests of NIST SP 800-90B (repetition count, adaptive
//    proportion) on byte samples with a claimed min-entropy per sample.
#ifndef ORXTOOL_STATS_H
#define ORXTOOL_STATS_H

#include <stddef.h>
#include <stdint.h>

namespace orxstats {

// The library's generator test.
constexpr size_t kChiSquareBytes = 25600;
constexpr double kChiSquareLow = 205.33;
constexpr double kChiSquareHigh = 310.57;
constexpr int kChiSquareAttempts = 5;

// Chi-square of the byte counts against 256 equally likely values, computed in the same
// order of operations as the library: (sum n[v]^2 / (1/256)) / N - N. Equals
// sum (n[v] - N/256)^2 / (N/256). N must be nonzero.
double chi_square_bytes(const uint8_t* data, size_t length);
bool chi_square_passes(double statistic); // both bounds included

// FIPS 140-2, 4.9.1: one block of 20,000 bits.
constexpr size_t kFipsBits = 20000;
constexpr size_t kFipsBytes = kFipsBits / 8;
constexpr unsigned kFipsMonobitLow = 9725;   // exclusive
constexpr unsigned kFipsMonobitHigh = 10275; // exclusive
constexpr double kFipsPokerLow = 2.16;       // exclusive
constexpr double kFipsPokerHigh = 46.17;     // exclusive
constexpr unsigned kFipsLongRun = 26;        // a run this long or longer fails
// Inclusive intervals for runs of length 1, 2, 3, 4, 5 and 6 or more, for each bit value.
extern const unsigned kFipsRunLow[6];
extern const unsigned kFipsRunHigh[6];

struct FipsResult {
    unsigned ones;
    bool monobit_pass;
    double poker;
    bool poker_pass;
    unsigned runs[2][6]; // [bit value][length 1..5, 6 and more]
    bool runs_pass;
    unsigned longest_run;
    bool long_run_pass;
};

// `data` holds kFipsBytes bytes.
FipsResult fips140_2(const uint8_t* data);
inline bool fips_passes(const FipsResult& r) {
    return r.monobit_pass && r.poker_pass && r.runs_pass && r.long_run_pass;
}

// SP 800-90B, 4.4: false-positive probability alpha = 2^-alpha_log2 per test window.
constexpr double kHealthEntropyBits = 8.0; // output bytes are claimed to be full entropy
constexpr unsigned kHealthAlphaLog2 = 20;
constexpr unsigned kAdaptiveWindow = 512; // non-binary samples

// Cut-off C = 1 + ceil(alpha_log2 / H): C equal samples in a row fail.
unsigned repetition_count_cutoff(double entropy_bits, unsigned alpha_log2);
// Cut-off C = 1 + the smallest k with P(Binomial(W, 2^-H) <= k) >= 1 - alpha: the first
// sample of a window occurring C times in it fails.
unsigned adaptive_proportion_cutoff(double entropy_bits, unsigned alpha_log2, unsigned window);

struct RepetitionCountResult {
    unsigned cutoff;
    unsigned longest; // longest run of one value
    bool pass;
};

struct AdaptiveProportionResult {
    unsigned window;
    unsigned cutoff;
    size_t windows;   // complete windows examined; a short tail is not tested
    unsigned highest; // highest count of a window's first sample within its window
    bool pass;
};

RepetitionCountResult repetition_count(const uint8_t* data, size_t length, unsigned cutoff);
AdaptiveProportionResult adaptive_proportion(const uint8_t* data, size_t length, unsigned window,
                                             unsigned cutoff);

} // namespace orxstats

#endif
