// How orxtool selftest shows its result: each test's statistic beside its bounds.
#include "report.h"
#include "selftest.h"

namespace {

using namespace orxstats;

const char* verdict(bool pass) {
    return pass ? "pass" : "FAIL";
}

void add_chi_square_json(JsonWriter& j, const SelftestResult& r) {
    j.begin_object("chi_square");
    j.field("low", kChiSquareLow, 2);
    j.field("high", kChiSquareHigh, 2);
    j.begin_array("attempts");
    for (double statistic : r.attempts)
        j.value(statistic);
    j.end_array();
    j.field("pass", r.chi_pass);
    j.end_object();
}

void add_counts(JsonWriter& j, const char* key, const unsigned (&counts)[6]) {
    j.begin_array(key);
    for (unsigned n : counts)
        j.value(n);
    j.end_array();
}

void add_fips_json(JsonWriter& j, const FipsResult& f) {
    j.begin_object("fips140_2");
    j.field("bits", uint32_t(kFipsBits));
    j.begin_object("monobit");
    j.field("ones", f.ones);
    j.field("pass", f.monobit_pass);
    j.end_object();
    j.begin_object("poker");
    j.field("statistic", f.poker);
    j.field("pass", f.poker_pass);
    j.end_object();
    j.begin_object("runs");
    add_counts(j, "zeros", f.runs[0]);
    add_counts(j, "ones", f.runs[1]);
    j.field("pass", f.runs_pass);
    j.end_object();
    j.begin_object("long_run");
    j.field("longest", f.longest_run);
    j.field("limit", kFipsLongRun);
    j.field("pass", f.long_run_pass);
    j.end_object();
    j.field("pass", fips_passes(f));
    j.end_object();
}

void add_health_json(JsonWriter& j, const SelftestResult& r) {
    j.begin_object("sp800_90b");
    j.field("entropy_bits", kHealthEntropyBits, 1);
    j.field("alpha_log2", -int(kHealthAlphaLog2));
    j.begin_object("repetition_count");
    j.field("longest", r.rct.longest);
    j.field("cutoff", r.rct.cutoff);
    j.field("pass", r.rct.pass);
    j.end_object();
    j.begin_object("adaptive_proportion");
    j.field("window", r.apt.window);
    j.field("windows", uint32_t(r.apt.windows));
    j.field("highest", r.apt.highest);
    j.field("cutoff", r.apt.cutoff);
    j.field("pass", r.apt.pass);
    j.end_object();
    j.end_object();
}

void print_chi_square(const SelftestResult& r) {
    print_out("sample: %u bytes through the provider table\n", unsigned(kChiSquareBytes));
    print_out("chi-square, the library's test (%.2f <= X <= %.2f, up to %d samples):\n",
              kChiSquareLow, kChiSquareHigh, kChiSquareAttempts);
    for (size_t i = 0; i < r.attempts.size(); ++i)
        print_out("  sample %u  X = %.2f %s\n", unsigned(i + 1), r.attempts[i],
                  verdict(chi_square_passes(r.attempts[i])));
}

void print_fips(const FipsResult& f) {
    print_out("FIPS 140-2, first %u bits of the first sample:\n", unsigned(kFipsBits));
    print_out("  monobit   ones = %u (%u < X < %u) %s\n", f.ones, kFipsMonobitLow, kFipsMonobitHigh,
              verdict(f.monobit_pass));
    print_out("  poker     X = %.2f (%.2f < X < %.2f) %s\n", f.poker, kFipsPokerLow, kFipsPokerHigh,
              verdict(f.poker_pass));
    print_out("  runs      %s\n", verdict(f.runs_pass));
    print_out("            length  zeros  ones   interval\n");
    for (int k = 0; k < 6; ++k)
        print_out("            %d%-5s  %-5u  %-5u  %u..%u\n", k + 1, k == 5 ? "+" : "",
                  f.runs[0][k], f.runs[1][k], kFipsRunLow[k], kFipsRunHigh[k]);
    print_out("  long run  longest = %u (< %u) %s\n", f.longest_run, kFipsLongRun,
              verdict(f.long_run_pass));
}

void print_health(const SelftestResult& r) {
    print_out("SP 800-90B health tests, first sample as bytes (H = %.0f bits, alpha = 2^-%u):\n",
              kHealthEntropyBits, kHealthAlphaLog2);
    print_out("  repetition count     longest run = %u (cut-off %u) %s\n", r.rct.longest,
              r.rct.cutoff, verdict(r.rct.pass));
    print_out("  adaptive proportion  highest count = %u in %u windows of %u (cut-off %u) %s\n",
              r.apt.highest, unsigned(r.apt.windows), r.apt.window, r.apt.cutoff,
              verdict(r.apt.pass));
}

} // namespace

void add_selftest_json(JsonWriter& j, const SelftestResult& r) {
    j.field("sample_bytes", uint32_t(kChiSquareBytes));
    add_chi_square_json(j, r);
    add_fips_json(j, r.fips);
    add_health_json(j, r);
    j.field("pass", r.pass);
}

void print_selftest(const SelftestResult& r) {
    print_chi_square(r);
    print_fips(r.fips);
    print_health(r);
    print_out("selftest: %s\n", verdict(r.pass));
}
