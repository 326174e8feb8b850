#include "library_fixture.h"

using GeneratorTest = LibraryTest;

// The statistic of the self-test's 25,600 bytes just inside and outside both bounds (their
// square sums are even, so no bound is hit exactly).
TEST_F(GeneratorTest, BoundsAreInclusiveAndAnEvenSampleFails) {
    const struct {
        uint32_t square_sum;
        int passes;
    } cases[] = {{0, 0}, {20532, 0}, {20534, 1}, {31056, 1}, {31058, 0}};
    for (auto& c : cases) {
        stream = sample_with_square_sum(c.square_sum);
        uint32_t counts[256];
        orx_count_bytes(stream.data(), uint32_t(stream.size()), counts);
        EXPECT_DOUBLE_EQ(orx_chi_square(counts, uint32_t(stream.size())), c.square_sum / 100.0);
        EXPECT_EQ(run(orx_self_test), make_tuple(c.passes, c.passes ? 9u : 1u)) << c.square_sum;
        EXPECT_EQ(orx_rndm_checked(), c.passes);
    }
    EXPECT_EQ(orx_chi_square(nullptr, 0), 0.0);
    fixed[ORVEXA_IOCTL_QUERY_INFO] = fails(31); // only "not ready": the status is kept
    EXPECT_EQ(run(orx_generator_ready), make_tuple(0, 9u));
}

// Up to five samples until one passes; a missing sample buffer ends it.
TEST_F(GeneratorTest, AttemptsAndWhatStopsThem) {
    const Bytes even = sample_with_square_sum(0), good = sample_with_square_sum(25600);
    stream = even;
    stream.insert(stream.end(), even.begin(), even.end());
    stream.insert(stream.end(), good.begin(), good.end());
    EXPECT_EQ(orx_self_test(), 1);
    EXPECT_EQ(block_reads, 3 * 800);
    stream = even;
    EXPECT_EQ(run(orx_self_test), make_tuple(0, 1u));
    EXPECT_EQ(make_tuple(block_reads, held()), make_tuple(8 * 800, 1L));
    fake().fail_allocation = 0;
    orx_set_rndm_checked(1);
    EXPECT_EQ(run(orx_self_test), make_tuple(0, 1u));
    EXPECT_EQ(make_tuple(block_reads, orx_rndm_checked()), make_tuple(8 * 800, 0));
}
