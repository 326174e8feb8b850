#include "library_fixture.h"

using GeneratorTest = LibraryTest;

// The statistic of 25,600 bytes (the self-test's sample; their square sums are even, so
// no bound is hit exactly) and of 51,200, with 200 expected per value, on both bounds.
TEST_F(GeneratorTest, BoundsAreInclusiveAndAnEvenSampleFails) {
    const struct {
        uint32_t per, square_sum;
        int passes;
    } cases[] = {{100, 0, 0},     {100, 20532, 0}, {100, 20534, 1},
                 {100, 31056, 1}, {100, 31058, 0}, {200, 41064, 0},
                 {200, 41066, 1}, {200, 62114, 1}, {200, 62116, 0}};
    for (auto& c : cases) {
        stream = sample_with_square_sum(c.square_sum, c.per);
        uint32_t counts[256];
        orx_count_bytes(stream.data(), uint32_t(stream.size()), counts);
        double chi2 = orx_chi_square(counts, uint32_t(stream.size()));
        EXPECT_DOUBLE_EQ(chi2, c.square_sum / double(c.per));
        EXPECT_EQ(orx_chi_square_in_bounds(chi2), c.passes) << c.square_sum;
        if (c.per == 100) {
            EXPECT_EQ(run(orx_self_test), make_tuple(c.passes, c.passes ? 9u : 1u));
            EXPECT_EQ(orx_rndm_checked(), c.passes);
        }
    }
    EXPECT_EQ(orx_chi_square(nullptr, 0), 0.0);
}

// Up to five samples until one passes; a missing sample buffer or an empty block ends it.
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
    orvexa_drv_close();
    words[5] = 0; // a zero block length must not loop forever
    EXPECT_EQ(run(orx_self_test), make_tuple(0, 1u));
    uint8_t out[8];
    EXPECT_EQ(run([&] { return orvexa_rndm_get_bytes(out, sizeof out); }), make_tuple(0, 4u));
    EXPECT_EQ(held(), 1);
}
