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
        position = 0;
        uint32_t counts[256];
        orx_count_bytes(stream.data(), uint32_t(stream.size()), counts);
        double chi2 = orx_chi_square(counts, uint32_t(stream.size()));
        EXPECT_DOUBLE_EQ(chi2, c.square_sum / double(c.per));
        EXPECT_EQ(orx_chi_square_in_bounds(chi2), c.passes) << c.square_sum;
        if (c.per != 100)
            continue;
        orx_set_status(0);
        EXPECT_EQ(orx_self_test(), c.passes) << c.square_sum;
        EXPECT_EQ(orx_rndm_checked(), c.passes);
        EXPECT_EQ(status(), c.passes ? 0u : 1u);
    }
    EXPECT_EQ(orx_chi_square(nullptr, 0), 0.0);
}

TEST_F(GeneratorTest, FiveAttemptsAtMostAndAPassOnTheThirdStops) {
    std::vector<uint8_t> even = sample_with_square_sum(0);
    std::vector<uint8_t> good = sample_with_square_sum(25600);
    stream = even;
    stream.insert(stream.end(), even.begin(), even.end());
    stream.insert(stream.end(), good.begin(), good.end());
    EXPECT_EQ(orx_self_test(), 1);
    EXPECT_EQ(block_reads, 3 * 800);
    stream = even;
    block_reads = 0;
    EXPECT_EQ(orx_self_test(), 0);
    EXPECT_EQ(block_reads, 5 * 800);
    EXPECT_EQ(status(), 1u);
    EXPECT_EQ(buffers_held(), 1);
}

TEST_F(GeneratorTest, AMissingSampleBufferOrAnEmptyBlockStopsTheTest) {
    stream = sample_with_square_sum(25600);
    ASSERT_EQ(orvexa_drv_open(), 1);
    fake().fail_allocation = 0;
    EXPECT_EQ(orx_self_test(), 0);
    EXPECT_EQ(block_reads, 0);
    EXPECT_EQ(status(), 1u);
    EXPECT_EQ(orx_rndm_checked(), 0);
    orvexa_drv_close();
    words[5] = 0; // a zero block length must not loop forever
    orx_set_status(0);
    EXPECT_EQ(orx_self_test(), 0);
    EXPECT_EQ(status(), 1u);
    uint8_t out[8];
    EXPECT_EQ(orvexa_rndm_get_bytes(out, sizeof out), 0);
    EXPECT_EQ(status(), 4u);
    EXPECT_EQ(buffers_held(), 1);
}
