#include <cstring>

#include "generator.h"
#include "key_set.h"
#include "library_fixture.h"
#include "orxlink.h"
#include "scripted_driver.h"

namespace {

const char* const random_key = "SOFTWARE\\DEZURE\\Cryptography\\RANDOM";

std::vector<uint8_t> bytes(size_t n, uint8_t first, uint8_t step = 1) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = uint8_t(first + step * i);
    return out;
}

uint8_t xor_of(const uint8_t* p, size_t n) {
    uint8_t x = 0;
    for (size_t i = 0; i < n; ++i)
        x ^= p[i];
    return x;
}

} // namespace

class KeySetTest : public LibraryTest {
  protected:
    ScriptedDriver driver;
    void SetUp() override {
        LibraryTest::SetUp();
        orx_set_rndm_checked(1);
        driver.install();
    }
    void store_mask(std::vector<uint8_t> value, uint32_t type = 3) {
        user_key(random_key).values["mask"] = {type, std::move(value)};
    }
    std::vector<uint8_t> stored_mask() { return user_key(random_key).values["mask"].bytes; }
    const FakeRequest& last_key_set() {
        for (auto it = fake().requests.rbegin(); it != fake().requests.rend(); ++it)
            if (it->code == ORVEXA_IOCTL_KEY_SET)
                return *it;
        throw std::runtime_error("no key-set request");
    }
    size_t key_sets() { return count(ORVEXA_IOCTL_KEY_SET); }
};

TEST_F(KeySetTest, HeaderLengthsAndTheLimit) {
    ASSERT_EQ(orvexa_key_set3(nullptr, 0), 1);
    EXPECT_EQ(last_key_set().in, fake_header(3, 0, 0));
    EXPECT_EQ(last_key_set().out_size, 16u);

    std::vector<uint8_t> data = bytes(2049, 1);
    ASSERT_EQ(orvexa_key_set11_slot(data.data(), 2048, 7), 1);
    EXPECT_EQ(last_key_set().in.size(), 2064u);
    EXPECT_EQ(fake_word(last_key_set().in, 0), 11u);
    EXPECT_EQ(fake_word(last_key_set().in, 1), 7u);
    EXPECT_EQ(fake_word(last_key_set().in, 2), xor_of(data.data(), 2048));

    EXPECT_EQ(orvexa_key_set1(data.data(), 2049), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_EQ(key_sets(), 2u);

    ASSERT_EQ(orvexa_key_set12_slot(data.data(), 2), 1);
    EXPECT_EQ(fake_word(last_key_set().in, 0), 12u);
    EXPECT_EQ(fake_word(last_key_set().in, 1), 2u);
    EXPECT_EQ(last_key_set().in.size(), 16u + 36);
    EXPECT_EQ(fake_word(last_key_set().in, 3), 36u);
}

TEST_F(KeySetTest, FailuresLeaveTheirStatusAndNoBuffer) {
    fake().open_fails = true;
    uint8_t data[4] = {};
    EXPECT_EQ(orvexa_key_set2(data, 4), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u); // not 51: the query failed
    fake().open_fails = false;
    driver.key_set_status = 0x00020021;
    EXPECT_EQ(orvexa_key_set2(data, 4), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 0x21u);
    fake().fail_allocation = 0;
    EXPECT_EQ(orvexa_key_set2(data, 4), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_EQ(buffers_held(), 1);
    EXPECT_EQ(orvexa_key_set2(nullptr, 4), 0);
}

TEST_F(KeySetTest, OnlyA32ByteCode14SeedIsMasked) {
    store_mask(bytes(32, 0xF0));
    std::vector<uint8_t> seed = bytes(33, 0x10);
    for (uint32_t length : {31u, 33u}) {
        ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), length), 1);
        EXPECT_EQ(std::vector<uint8_t>(last_key_set().in.begin() + 16, last_key_set().in.end()),
                  std::vector<uint8_t>(seed.begin(), seed.begin() + length));
    }
    ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), 32), 1);
    const std::vector<uint8_t>& sent = last_key_set().in;
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(sent[16 + i], uint8_t(0x10 + i + 0xF0 + i));
    EXPECT_EQ(fake_word(sent, 2), xor_of(sent.data() + 16, 32));
    EXPECT_EQ(seed[0], 0x10); // the caller's data is never changed
    ASSERT_EQ(orx_key_set_request(13, 0, seed.data(), 32), 1);
    EXPECT_EQ(last_key_set().in[16], 0x10);
}

TEST_F(KeySetTest, AnAbsentRandomKeyGetsANewMaskThatTheSeedUses) {
    std::vector<uint8_t> seed(32, 0);
    ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), 32), 1);
    std::vector<uint8_t> created = bytes(32, 0x10); // the fake system generator's bytes
    EXPECT_EQ(stored_mask(), created);
    EXPECT_EQ(std::vector<uint8_t>(last_key_set().in.begin() + 16, last_key_set().in.end()),
              created);
    EXPECT_EQ(fake().open_keys, 0);
}

TEST_F(KeySetTest, ShortLongOrForeignStoredMasksAreNeverReadPastTheirBytes) {
    std::vector<uint8_t> seed(32, 1);
    store_mask(bytes(10, 1));
    ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), 32), 1);
    EXPECT_EQ(last_key_set().in[16 + 9], 11);
    EXPECT_EQ(last_key_set().in[16 + 10], 1); // zeros beyond a short mask

    store_mask(bytes(40, 1));
    ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), 32), 1);
    EXPECT_EQ(last_key_set().in[16 + 31], 33);

    store_mask(bytes(32, 1), 1); // a string, not binary
    ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), 32), 1);
    EXPECT_EQ(last_key_set().in[16], 1);
    EXPECT_EQ(stored_mask(), bytes(32, 1));

    fake().key_create_fails = true;
    ASSERT_EQ(orx_key_set_request(14, 0, seed.data(), 32), 1);
    EXPECT_EQ(last_key_set().in[16], 1);
}

class GeneratorCheckTest : public KeySetTest {
  protected:
    std::vector<uint8_t> good = sample_with_square_sum(25600);
    std::vector<uint8_t> even = sample_with_square_sum(0);
    void SetUp() override {
        KeySetTest::SetUp();
        driver.on_key_set = [](ScriptedDriver& d, uint32_t) { d.words[1] = 1; };
        // 32 bytes for the mask refresh, then the sample.
        driver.stream = bytes(32, 0x80);
        driver.stream.insert(driver.stream.end(), good.begin(), good.end());
    }
};

TEST_F(GeneratorCheckTest, AGeneratorComingUpRefreshesTheMaskAndIsTested) {
    store_mask(bytes(32, 0));
    uint8_t data[4] = {};
    ASSERT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_EQ(driver.block_reads, 1 + 800);
    EXPECT_EQ(stored_mask(), bytes(32, 0x80, 2)); // i + (0x80 + i)
    EXPECT_EQ(orx_rndm_checked(), 1);

    driver.block_reads = 0; // ready before and checked: nothing more
    ASSERT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_EQ(driver.block_reads, 0);
}

TEST_F(GeneratorCheckTest, ARefreshWritesNothingWhenTheKeyWasJustCreated) {
    uint8_t data[4] = {};
    ASSERT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_TRUE(user_key_exists(random_key));
    EXPECT_EQ(fake().registry_writes, 0);
}

TEST_F(GeneratorCheckTest, AFailedMaskReadLeavesTheMaskAloneAndTheTestStillRuns) {
    store_mask(bytes(32, 0));
    driver.stream = good;
    int block_reads = 0;
    FakeHandler base = fake().handler;
    fake().handler = [&block_reads, base](const FakeRequest& r) {
        if (r.code == ORVEXA_IOCTL_BLOCK_READ && ++block_reads == 1)
            return replies(fake_header(0x33, 0, 0));
        return base(r);
    };
    uint8_t data[4] = {};
    EXPECT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_EQ(stored_mask(), bytes(32, 0));
    EXPECT_EQ(block_reads, 1 + 800);
}

TEST_F(GeneratorCheckTest, AFailedTestFailsTheRequestAndLeavesTheMaskAloneNextTime) {
    store_mask(bytes(32, 0));
    driver.stream = bytes(32, 0x80);
    driver.stream.insert(driver.stream.end(), even.begin(), even.end());
    uint8_t data[4] = {};
    driver.position = 0;
    EXPECT_EQ(orvexa_key_set5(data, 4), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_EQ(orx_rndm_checked(), 0);
    std::vector<uint8_t> after_first = stored_mask();
    EXPECT_EQ(after_first, bytes(32, 0x80, 2)); // refreshed before the test ran

    driver.stream = good;
    driver.position = 0;
    driver.block_reads = 0;
    ASSERT_EQ(orvexa_key_set5(data, 4), 1); // ready before, but not checked: tested again
    EXPECT_EQ(driver.block_reads, 1 + 800);
    EXPECT_EQ(stored_mask(), after_first);
    EXPECT_EQ(orx_rndm_checked(), 1);
}

TEST_F(GeneratorCheckTest, AGeneratorAlreadyReadyAtLoadIsNotTestedFirst) {
    driver.words[1] = 1;
    uint8_t data[4] = {};
    ASSERT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_EQ(driver.block_reads, 0);
}

TEST_F(GeneratorCheckTest, ASecondQueryThatFailsKeepsTheStatusAndTheResult) {
    ASSERT_EQ(orvexa_drv_open(), 1);
    orx_set_status(9);
    int queries = 0;
    FakeHandler base = fake().handler;
    fake().handler = [&queries, base](const FakeRequest& r) {
        if (r.code == ORVEXA_IOCTL_QUERY_INFO && ++queries == 2)
            return fails_with(31);
        return base(r);
    };
    uint8_t data[4] = {};
    EXPECT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_EQ(queries, 2);
    for (const FakeRequest& r : fake().requests)
        if (r.code == ORVEXA_IOCTL_QUERY_INFO) {
            EXPECT_EQ(r.in, std::vector<uint8_t>(16, 0)); // selector 0
        }
    EXPECT_EQ(orvexa_drv_last_status(), 9u);
    EXPECT_EQ(driver.block_reads, 0);
}
