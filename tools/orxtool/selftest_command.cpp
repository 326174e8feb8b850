// orxtool selftest: the library's chi-square test of the generator, repeated here on
// bytes read through the provider table, and, as diagnostics of this tool, the FIPS 140-2
// tests and the SP 800-90B continuous health tests on the first sample.
#include <string>
#include <vector>

#include "commands.h"
#include "generator.h"
#include "output_file.h"
#include "report.h"
#include "selftest.h"

namespace {

using namespace orxstats;

// The library's rule: up to five samples; the first one inside the bounds passes. The first
// sample stays in `first` for the diagnostics and --save. False when a read fails.
bool take_chi_square_samples(std::vector<uint8_t>& first, SelftestResult* r) {
    std::vector<uint8_t> sample(kChiSquareBytes);
    while (!r->chi_pass && int(r->attempts.size()) < kChiSquareAttempts) {
        std::vector<uint8_t>& into = r->attempts.empty() ? first : sample;
        if (!read_generator(into.data(), into.size()))
            return false;
        r->attempts.push_back(chi_square_bytes(into.data(), into.size()));
        r->chi_pass = chi_square_passes(r->attempts.back());
    }
    return true;
}

void diagnose(const std::vector<uint8_t>& first, SelftestResult* r) {
    const unsigned rct_cutoff = repetition_count_cutoff(kHealthEntropyBits, kHealthAlphaLog2);
    const unsigned apt_cutoff =
        adaptive_proportion_cutoff(kHealthEntropyBits, kHealthAlphaLog2, kAdaptiveWindow);
    r->fips = fips140_2(first.data());
    r->rct = repetition_count(first.data(), first.size(), rct_cutoff);
    r->apt = adaptive_proportion(first.data(), first.size(), kAdaptiveWindow, apt_cutoff);
    r->pass = r->chi_pass && fips_passes(r->fips) && r->rct.pass && r->apt.pass;
}

// --save first (a sample is worth keeping when the test failed), then the verdict.
int finish(const Context& ctx, JsonWriter& j, const char* save, const std::vector<uint8_t>& first,
           bool pass) {
    if (save) {
        j.field("saved", save);
        if (!write_whole_file(save, first.data(), first.size()))
            return report_failure(ctx, j, ORXTOOL_OUTPUT_FAILED,
                                  std::string("cannot write '") + save + "'");
    }
    if (!pass)
        return report_failure(ctx, j, ORXTOOL_TEST_FAILED, "the generator's output failed a test");
    return report_end(ctx, j, ORXTOOL_OK);
}

} // namespace

int run_selftest(const Context& ctx, const ParsedArgs& args) {
    JsonWriter j;
    report_begin(ctx, j);
    const int ready = require_ready_generator(ctx, j);
    if (ready != ORXTOOL_OK)
        return ready;
    SelftestResult r;
    std::vector<uint8_t> first(kChiSquareBytes);
    if (!take_chi_square_samples(first, &r))
        return report_driver_failure(ctx, j, "cannot read a sample of the generator");
    diagnose(first, &r);
    add_selftest_json(j, r);
    if (!ctx.json)
        print_selftest(r);
    return finish(ctx, j, args.value("--save"), first, r.pass);
}
