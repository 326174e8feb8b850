#include "stats.h"

#include <math.h>

#include <algorithm>

namespace orxstats {

const unsigned kFipsRunLow[6] = {2315, 1114, 527, 240, 103, 103};
const unsigned kFipsRunHigh[6] = {2685, 1386, 723, 384, 209, 209};

double chi_square_bytes(const uint8_t* data, size_t length) {
    uint32_t count[256] = {};
    for (size_t i = 0; i < length; ++i)
        ++count[data[i]];
    double sum = 0.0;
    for (uint32_t n : count)
        sum += double(n) * double(n) / (1.0 / 256.0);
    return sum * (1.0 / double(length)) - double(length);
}

bool chi_square_passes(double statistic) {
    return statistic >= kChiSquareLow && statistic <= kChiSquareHigh;
}

namespace {

int bit_at(const uint8_t* data, size_t i) {
    return (data[i / 8] >> (7 - i % 8)) & 1;
}

} // namespace

FipsResult fips140_2(const uint8_t* data) {
    FipsResult r = {};

    unsigned nibbles[16] = {};
    for (size_t i = 0; i < kFipsBytes; ++i) {
        ++nibbles[data[i] >> 4];
        ++nibbles[data[i] & 0xF];
    }
    for (int v = 0; v < 16; ++v)
        r.ones += nibbles[v] * unsigned(__builtin_popcount(unsigned(v)));
    r.monobit_pass = r.ones > kFipsMonobitLow && r.ones < kFipsMonobitHigh;

    double squares = 0.0;
    for (unsigned f : nibbles)
        squares += double(f) * double(f);
    const double segments = double(kFipsBits / 4);
    r.poker = 16.0 / segments * squares - segments;
    r.poker_pass = r.poker > kFipsPokerLow && r.poker < kFipsPokerHigh;

    int current = bit_at(data, 0);
    unsigned length = 1;
    auto close_run = [&r](int bit, unsigned run) {
        ++r.runs[bit][std::min(run, 6u) - 1];
        if (run > r.longest_run)
            r.longest_run = run;
    };
    for (size_t i = 1; i < kFipsBits; ++i) {
        int bit = bit_at(data, i);
        if (bit == current) {
            ++length;
        } else {
            close_run(current, length);
            current = bit;
            length = 1;
        }
    }
    close_run(current, length);

    r.runs_pass = true;
    for (int bit = 0; bit < 2; ++bit)
        for (int k = 0; k < 6; ++k)
            if (r.runs[bit][k] < kFipsRunLow[k] || r.runs[bit][k] > kFipsRunHigh[k])
                r.runs_pass = false;
    r.long_run_pass = r.longest_run < kFipsLongRun;
    return r;
}

unsigned repetition_count_cutoff(double entropy_bits, unsigned alpha_log2) {
    return 1 + unsigned(ceil(double(alpha_log2) / entropy_bits));
}

unsigned adaptive_proportion_cutoff(double entropy_bits, unsigned alpha_log2, unsigned window) {
    // Walk the binomial distribution upwards until its upper tail is at most alpha. The
    // probabilities are formed in log space so that large windows do not underflow.
    const double p = pow(2.0, -entropy_bits);
    const double alpha = pow(2.0, -double(alpha_log2));
    double cumulative = 0.0;
    for (unsigned k = 0; k <= window; ++k) {
        double log_term = lgamma(window + 1.0) - lgamma(k + 1.0) - lgamma(window - k + 1.0) +
                          k * log(p) + (window - k) * log1p(-p);
        cumulative += exp(log_term);
        if (cumulative >= 1.0 - alpha)
            return k + 1;
    }
    return window + 1;
}

RepetitionCountResult repetition_count(const uint8_t* data, size_t length, unsigned cutoff) {
    RepetitionCountResult r = {cutoff, 0, true};
    unsigned run = 0;
    for (size_t i = 0; i < length; ++i) {
        run = (i > 0 && data[i] == data[i - 1]) ? run + 1 : 1;
        if (run > r.longest)
            r.longest = run;
    }
    r.pass = r.longest < cutoff;
    return r;
}

AdaptiveProportionResult adaptive_proportion(const uint8_t* data, size_t length, unsigned window,
                                             unsigned cutoff) {
    AdaptiveProportionResult r = {window, cutoff, 0, 0, true};
    for (size_t start = 0; window > 0 && length - start >= window; start += window) {
        const uint8_t first = data[start];
        unsigned count = 0;
        for (size_t i = start; i < start + window; ++i)
            count += data[i] == first;
        if (count > r.highest)
            r.highest = count;
        ++r.windows;
    }
    r.pass = r.highest < cutoff;
    return r;
}

} // namespace orxstats
