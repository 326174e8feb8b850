// orxtool selftest: what one run found, and how it is shown.
#ifndef ORXTOOL_SELFTEST_H
#define ORXTOOL_SELFTEST_H

#include <vector>

#include "json.h"
#include "stats.h"

struct SelftestResult {
    std::vector<double> attempts; // the chi-square statistic of each sample read
    bool chi_pass = false;
    orxstats::FipsResult fips = {};
    orxstats::RepetitionCountResult rct = {};
    orxstats::AdaptiveProportionResult apt = {};
    bool pass = false; // every test passed
};

// The result's members in the JSON document, and as text on standard output.
void add_selftest_json(JsonWriter& j, const SelftestResult& r);
void print_selftest(const SelftestResult& r);

#endif
