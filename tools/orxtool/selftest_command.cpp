// orxtool selftest: the library's chi-square test of the generator, repeated here on
// bytes read through the provider table, and, as diagnostics of this tool, the FIPS 140-2
// tests and the SP 800-90B continuous health tests on the first sample.
#include <stdio.h>

#include <string>
#include <vector>

#include "commands.h"
#include "generator.h"
#include "orxlink.h"
#include "report.h"
#include "stats.h"

namespace {

const char* verdict(bool pass) {
    return pass ? "pass" : "FAIL";
}

bool save_sample(const char* path, const std::vector<uint8_t>& sample) {
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    bool ok = fwrite(sample.data(), 1, sample.size(), file) == sample.size();
    ok = fclose(file) == 0 && ok;
    if (!ok)
        remove(path);
    return ok;
}

void print_fips(const orxstats::FipsResult& f) {
    using namespace orxstats;
    printf("FIPS 140-2, first %u bits of the first sample:\n", unsigned(kFipsBits));
    printf("  monobit   ones = %u (%u < X < %u) %s\n", f.ones, kFipsMonobitLow, kFipsMonobitHigh,
           verdict(f.monobit_pass));
    printf("  poker     X = %.2f (%.2f < X < %.2f) %s\n", f.poker, kFipsPokerLow, kFipsPokerHigh,
           verdict(f.poker_pass));
    printf("  runs      %s\n", verdict(f.runs_pass));
    printf("            length  zeros  ones   interval\n");
    for (int k = 0; k < 6; ++k)
        printf("            %d%-5s  %-5u  %-5u  %u..%u\n", k + 1, k == 5 ? "+" : "", f.runs[0][k],
               f.runs[1][k], kFipsRunLow[k], kFipsRunHigh[k]);
    printf("  long run  longest = %u (< %u) %s\n", f.longest_run, kFipsLongRun,
           verdict(f.long_run_pass));
}

} // namespace

int run_selftest(const Context& ctx, const ParsedArgs& args) {
    using namespace orxstats;
    JsonWriter j;
    report_begin(ctx, j);
    const char* save = args.value("--save");
    int ready = require_ready_generator(ctx, j);
    if (ready != ORXTOOL_OK)
        return ready;

    // The library's rule: up to five samples; the first one inside the bounds passes.
    std::vector<uint8_t> first(kChiSquareBytes), sample(kChiSquareBytes);
    std::vector<double> attempts;
    bool chi_pass = false;
    while (!chi_pass && int(attempts.size()) < kChiSquareAttempts) {
        std::vector<uint8_t>& into = attempts.empty() ? first : sample;
        if (!read_generator(into.data(), into.size()))
            return report_driver_failure(ctx, j, "cannot read a sample of the generator");
        attempts.push_back(chi_square_bytes(into.data(), into.size()));
        chi_pass = chi_square_passes(attempts.back());
    }

    const FipsResult fips = fips140_2(first.data());
    const unsigned rct_cutoff = repetition_count_cutoff(kHealthEntropyBits, kHealthAlphaLog2);
    const unsigned apt_cutoff =
        adaptive_proportion_cutoff(kHealthEntropyBits, kHealthAlphaLog2, kAdaptiveWindow);
    const RepetitionCountResult rct = repetition_count(first.data(), first.size(), rct_cutoff);
    const AdaptiveProportionResult apt =
        adaptive_proportion(first.data(), first.size(), kAdaptiveWindow, apt_cutoff);
    const bool pass = chi_pass && fips_passes(fips) && rct.pass && apt.pass;

    j.field("sample_bytes", uint32_t(kChiSquareBytes));
    j.begin_object("chi_square");
    j.field("low", kChiSquareLow, 2);
    j.field("high", kChiSquareHigh, 2);
    j.begin_array("attempts");
    for (double statistic : attempts)
        j.value(statistic);
    j.end_array();
    j.field("pass", chi_pass);
    j.end_object();

    j.begin_object("fips140_2");
    j.field("bits", uint32_t(kFipsBits));
    j.begin_object("monobit");
    j.field("ones", fips.ones);
    j.field("pass", fips.monobit_pass);
    j.end_object();
    j.begin_object("poker");
    j.field("statistic", fips.poker);
    j.field("pass", fips.poker_pass);
    j.end_object();
    j.begin_object("runs");
    j.begin_array("zeros");
    for (unsigned n : fips.runs[0])
        j.value(n);
    j.end_array();
    j.begin_array("ones");
    for (unsigned n : fips.runs[1])
        j.value(n);
    j.end_array();
    j.field("pass", fips.runs_pass);
    j.end_object();
    j.begin_object("long_run");
    j.field("longest", fips.longest_run);
    j.field("limit", kFipsLongRun);
    j.field("pass", fips.long_run_pass);
    j.end_object();
    j.field("pass", fips_passes(fips));
    j.end_object();

    j.begin_object("sp800_90b");
    j.field("entropy_bits", kHealthEntropyBits, 1);
    j.field("alpha_log2", -int(kHealthAlphaLog2));
    j.begin_object("repetition_count");
    j.field("longest", rct.longest);
    j.field("cutoff", rct.cutoff);
    j.field("pass", rct.pass);
    j.end_object();
    j.begin_object("adaptive_proportion");
    j.field("window", apt.window);
    j.field("windows", uint32_t(apt.windows));
    j.field("highest", apt.highest);
    j.field("cutoff", apt.cutoff);
    j.field("pass", apt.pass);
    j.end_object();
    j.end_object();
    j.field("pass", pass);

    if (!ctx.json) {
        printf("sample: %u bytes through the provider table\n", unsigned(kChiSquareBytes));
        printf("chi-square, the library's test (%.2f <= X <= %.2f, up to %d samples):\n",
               kChiSquareLow, kChiSquareHigh, kChiSquareAttempts);
        for (size_t i = 0; i < attempts.size(); ++i)
            printf("  sample %u  X = %.2f %s\n", unsigned(i + 1), attempts[i],
                   verdict(chi_square_passes(attempts[i])));
        print_fips(fips);
        printf("SP 800-90B health tests, first sample as bytes (H = %.0f bits, alpha = 2^-%u):\n",
               kHealthEntropyBits, kHealthAlphaLog2);
        printf("  repetition count     longest run = %u (cut-off %u) %s\n", rct.longest, rct.cutoff,
               verdict(rct.pass));
        printf("  adaptive proportion  highest count = %u in %u windows of %u (cut-off %u) %s\n",
               apt.highest, unsigned(apt.windows), apt.window, apt.cutoff, verdict(apt.pass));
        printf("selftest: %s\n", pass ? "pass" : "FAIL");
    }
    if (save) {
        j.field("saved", save);
        if (!save_sample(save, first))
            return report_failure(ctx, j, ORXTOOL_OUTPUT_FAILED,
                                  std::string("cannot write '") + save + "'");
    }
    if (!pass)
        return report_failure(ctx, j, ORXTOOL_TEST_FAILED, "the generator's output failed a test");
    return report_end(ctx, j, ORXTOOL_OK);
}
