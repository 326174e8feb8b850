#include "library_fixture.h"

using GeneratorTest = LibraryTest;

// Read before any test sets it: a freshly loaded library counts its generator as checked.
const int checked_at_load = orx_rndm_checked();

// The statistic of the self-test's 25,600 bytes just inside and outside both bounds (their
// square sums are even, so no bound is hit exactly). A sample buffer that cannot be had ends
// the self-test at once; a failed query only means "not ready".
TEST_F(GeneratorTest, BoundsAreInclusiveAndAnEvenSampleFails) {
    const struct {
        uint32_t square_sum;
        int passes;
    } cases[] = {{0, 0}, {20532, 0}, {20534, 1}, {31058, 0}, {31056, 1}};
    EXPECT_EQ(checked_at_load, 1);
    for (auto& c : cases) {
        stream = sample_with_square_sum(c.square_sum);
        uint32_t counts[256];
        orx_count_bytes(stream.data(), uint32_t(stream.size()), counts);
        EXPECT_DOUBLE_EQ(orx_chi_square(counts, uint32_t(stream.size())), c.square_sum / 100.0);
        EXPECT_EQ(run(orx_self_test), make_tuple(c.passes, c.passes ? 9u : 1u)) << c.square_sum;
        EXPECT_EQ(orx_rndm_checked(), c.passes);
    }
    EXPECT_EQ(orx_chi_square(nullptr, 0), 0.0);
    std::tie(block_reads, fake().fail_allocation) = make_tuple(0, 0);
    EXPECT_EQ(run(orx_self_test), make_tuple(0, 1u));
    EXPECT_EQ(make_tuple(block_reads, orx_rndm_checked()), make_tuple(0, 0));
    fixed[ORVEXA_IOCTL_QUERY_INFO] = fails(31);
    EXPECT_EQ(run(orx_generator_ready), make_tuple(0, 9u));
}
