#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "generator.h"
#include "library_fixture.h"
#include "orxlink.h"
#include "scripted_driver.h"

namespace {

std::vector<uint8_t> repeat(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                            const std::vector<uint8_t>& c) {
    std::vector<uint8_t> out = a;
    out.insert(out.end(), b.begin(), b.end());
    out.insert(out.end(), c.begin(), c.end());
    return out;
}

} // namespace

class GeneratorTest : public LibraryTest {
  protected:
    ScriptedDriver driver;
    void SetUp() override {
        LibraryTest::SetUp();
        orx_set_rndm_checked(1);
        driver.install();
    }
};

TEST_F(GeneratorTest, BoundsAreInclusiveAndAnEvenSampleFails) {
    struct {
        uint32_t square_sum;
        int passes;
    } cases[] = {{0, 0}, {20532, 0}, {20534, 1}, {25600, 1}, {31056, 1}, {31058, 0}};
    for (auto& c : cases) {
        driver.stream = sample_with_square_sum(c.square_sum);
        driver.position = 0;
        uint32_t counts[256];
        orx_count_bytes(driver.stream.data(), ORX_SELF_TEST_BYTES, counts);
        EXPECT_DOUBLE_EQ(orx_chi_square(counts, ORX_SELF_TEST_BYTES), c.square_sum / 100.0);
        orx_set_status(0);
        EXPECT_EQ(orx_self_test(), c.passes) << c.square_sum;
        EXPECT_EQ(orx_rndm_checked(), c.passes);
        EXPECT_EQ(orvexa_drv_last_status(), c.passes ? 0u : 1u);
    }
}

// 25,600 bytes cannot reach a bound exactly (their square sums are even); 51,200 can,
// with 200 expected per value.
TEST_F(GeneratorTest, AStatisticExactlyOnABoundPasses) {
    struct {
        uint32_t square_sum;
        int passes;
    } cases[] = {{41066, 1}, {41064, 0}, {62114, 1}, {62116, 0}};
    for (auto& c : cases) {
        uint32_t counts[256];
        for (uint32_t& n : counts)
            n = 200;
        uint32_t rest = c.square_sum / 2;
        for (int pair = 0; rest; ++pair) {
            uint32_t d = 1;
            while ((d + 1) * (d + 1) <= rest && d < 200)
                ++d;
            counts[2 * pair] += d;
            counts[2 * pair + 1] -= d;
            rest -= d * d;
        }
        double chi2 = orx_chi_square(counts, 51200);
        EXPECT_DOUBLE_EQ(chi2, c.square_sum / 200.0);
        EXPECT_EQ(orx_chi_square_in_bounds(chi2), c.passes) << chi2;
    }
}

TEST_F(GeneratorTest, FiveAttemptsAtMostAndAPassOnTheThirdStops) {
    std::vector<uint8_t> even = sample_with_square_sum(0);
    std::vector<uint8_t> good = sample_with_square_sum(25600);
    driver.stream = repeat(even, even, good);
    EXPECT_EQ(orx_self_test(), 1);
    EXPECT_EQ(driver.block_reads, 3 * 800);

    driver.stream = even;
    driver.block_reads = 0;
    EXPECT_EQ(orx_self_test(), 0);
    EXPECT_EQ(driver.block_reads, 5 * 800);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_EQ(buffers_held(), 1);
}

TEST_F(GeneratorTest, AFailingReadOrMissingSampleBufferStopsTheTestWithDriverError) {
    driver.stream = sample_with_square_sum(25600);
    ASSERT_EQ(orvexa_drv_open(), 1);
    fake().fail_allocation = 0;
    EXPECT_EQ(orx_self_test(), 0);
    EXPECT_EQ(driver.block_reads, 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);

    driver.block_units = 0; // a zero block length must not loop forever
    orvexa_drv_close();
    orx_set_status(0);
    EXPECT_EQ(orx_self_test(), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    uint8_t out[8];
    EXPECT_EQ(orvexa_rndm_get_bytes(out, sizeof out), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 4u);
    EXPECT_EQ(buffers_held(), 1);
}

// Debian's ent prints the same statistic; both must agree to its two decimals.
TEST_F(GeneratorTest, StatisticAgreesWithEnt) {
    if (std::system("command -v ent >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ent is not installed";
    std::vector<uint8_t> sample(ORX_SELF_TEST_BYTES);
    uint32_t x = 12345;
    for (uint8_t& b : sample) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 23);
    }
    char path[] = "/tmp/orx_ent_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    FILE* f = fdopen(fd, "wb");
    fwrite(sample.data(), 1, sample.size(), f);
    fclose(f);
    std::string command = std::string("ent ") + path;
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[256];
    double ent_chi = -1;
    while (fgets(line, sizeof line, p))
        if (std::sscanf(line, "Chi square distribution for %*u samples is %lf", &ent_chi) == 1)
            break;
    pclose(p);
    std::remove(path);
    uint32_t counts[256];
    orx_count_bytes(sample.data(), ORX_SELF_TEST_BYTES, counts);
    char ours[32], theirs[32];
    std::snprintf(ours, sizeof ours, "%.2f", orx_chi_square(counts, ORX_SELF_TEST_BYTES));
    std::snprintf(theirs, sizeof theirs, "%.2f", ent_chi);
    EXPECT_STREQ(ours, theirs);
}
