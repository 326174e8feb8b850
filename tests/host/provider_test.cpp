#include <cstring>
#include <thread>

#include "generator.h"
#include "library_fixture.h"
#include "orxlink.h"
#include "scripted_driver.h"

class ProviderTest : public LibraryTest {
  protected:
    ScriptedDriver driver;
    const rndm_handle* table = orvexa_rndm_get_handle();
    void SetUp() override {
        LibraryTest::SetUp();
        orx_set_rndm_checked(1);
        driver.install();
    }
};

TEST_F(ProviderTest, TableIsConstantWithTwoEmptyEntries) {
    EXPECT_EQ(table, orvexa_rndm_get_handle());
    EXPECT_EQ(table->size, sizeof(rndm_handle));
    EXPECT_EQ(table->reserved1, nullptr);
    EXPECT_EQ(table->reserved2, nullptr);
    EXPECT_EQ(table->get_type(), 2);
    EXPECT_TRUE(fake().requests.empty());
}

TEST_F(ProviderTest, SeedNeedFollowsTheWordsFirstMatchWins) {
    struct {
        uint32_t w1, w2, w3, w8;
        int checked;
        int result, kind, size;
    } cases[] = {
        {1, 1, 1, 0, 1, 0, 0, 0},   {1, 1, 1, 0, 0, 0, 1, 40}, {0, 0, 0, 1, 1, 0, 1, 40},
        {0, 1, 1, 0, 0, 0, 1, 40},  {0, 1, 0, 0, 1, 0, 1, 8},  {0, 0, 1, 0, 1, 0, 1, 32},
        {0, 1, 1, 1, 1, 3, -1, -1}, {0, 1, 1, 0, 1, 0, 2, 64},
    };
    for (auto& c : cases) {
        driver.words[1] = c.w1;
        driver.words[2] = c.w2;
        driver.words[3] = c.w3;
        driver.words[8] = c.w8;
        orx_set_rndm_checked(c.checked);
        int kind = -1, size = -1;
        EXPECT_EQ(table->get_seed_need(&kind, &size), c.result);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(size, c.size);
    }
    for (const FakeRequest& r : fake().requests) { // the record, never another selector
        if (r.code == ORVEXA_IOCTL_QUERY_INFO) {
            EXPECT_EQ(fake_word(r.in, 1), 0u);
        }
    }
    fake().open_fails = true;
    orvexa_drv_close();
    int kind = -1, size = -1;
    EXPECT_EQ(table->get_seed_need(&kind, &size), 3);
    EXPECT_EQ(kind, -1);
    EXPECT_EQ(table->get_seed_need(nullptr, &size), 3);
}

TEST_F(ProviderTest, PutSeedPairs) {
    uint8_t data[4096] = {};
    EXPECT_EQ(table->put_seed(0, 0, data), 2);
    EXPECT_EQ(table->put_seed(1, 41, data), 2);
    EXPECT_EQ(table->put_seed(2, 32, data), 2);
    EXPECT_TRUE(fake().requests.empty());

    EXPECT_EQ(table->put_seed(2, 4096, data), 3);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_EQ(count(ORVEXA_IOCTL_KEY_SET), 0u);

    driver.on_key_set = [](ScriptedDriver& d, uint32_t) { d.words[2] = 1; };
    EXPECT_EQ(table->put_seed(1, 8, data), 0);
    EXPECT_EQ(count(ORVEXA_IOCTL_SEED_BYTE), 8u);
    EXPECT_EQ(table->put_seed(1, 32, data), 0);
    EXPECT_EQ(fake_word(fake().requests.back().in, 0), 0u); // the final query
    driver.words[3] = 0;                                    // a seed block needs only word 2
    EXPECT_EQ(table->put_seed(2, 64, data), 0);
}

TEST_F(ProviderTest, A40ByteSeedWhoseSingleBytesFailStillSendsThe32ByteSeed) {
    uint8_t data[40];
    for (int i = 0; i < 40; ++i)
        data[i] = uint8_t(i);
    driver.seed_byte_status = 9;
    driver.on_key_set = [](ScriptedDriver& d, uint32_t) { d.words[2] = 1; };
    EXPECT_EQ(table->put_seed(1, 40, data), 3);
    EXPECT_EQ(count(ORVEXA_IOCTL_SEED_BYTE), 1u); // the first failure ends the loop
    ASSERT_EQ(count(ORVEXA_IOCTL_KEY_SET), 1u);
    for (const FakeRequest& r : fake().requests)
        if (r.code == ORVEXA_IOCTL_KEY_SET) {
            EXPECT_EQ(fake_word(r.in, 0), 14u);
            EXPECT_EQ(r.in.size(), 48u);
        }
    driver.words[3] = 1; // single bytes accepted earlier
    EXPECT_EQ(table->put_seed(1, 40, data), 0);
}

TEST_F(ProviderTest, GetRandomReadsCeilingOfLengthOverBlockLength) {
    driver.stream = {1, 2, 3, 4, 5, 6, 7};
    uint8_t out[100];
    EXPECT_EQ(table->get_random(0, out), 0);
    EXPECT_EQ(orvexa_rndm_get_bytes(out, 0), 1);
    EXPECT_TRUE(fake().requests.empty()); // not even opened

    ASSERT_EQ(table->get_random(64, out), 0);
    EXPECT_EQ(driver.block_reads, 2);
    ASSERT_EQ(orvexa_rndm_get_bytes(out, 33), 1);
    EXPECT_EQ(driver.block_reads, 4);
    EXPECT_EQ(table->get_random(1, nullptr), 3);
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(orvexa_rndm_get_bytes(out, 8), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 51u);
}

TEST_F(ProviderTest, FlowFromAnEmptyGeneratorToReady) {
    driver.on_key_set = [](ScriptedDriver& d, uint32_t code) {
        if (code == 14)
            d.words[2] = 1;
        if (code == 13)
            d.words[1] = 1;
    };
    driver.stream = sample_with_square_sum(25600);
    uint8_t material[64] = {};
    std::vector<std::pair<int, int>> asked;
    for (int round = 0; round < 5; ++round) {
        int kind = -1, size = -1;
        ASSERT_EQ(table->get_seed_need(&kind, &size), 0);
        asked.push_back({kind, size});
        if (kind == 0)
            break;
        ASSERT_EQ(table->put_seed(kind, size, material), 0);
    }
    std::vector<std::pair<int, int>> expected = {{1, 40}, {2, 64}, {0, 0}};
    EXPECT_EQ(asked, expected);
}

// Each block the driver hands out is one value repeated; a block mixed between threads
// would show two values inside one aligned 32-byte run.
TEST_F(ProviderTest, ConcurrentReadersNeverMixInsideABlock) {
    std::atomic<uint8_t> next_value{0};
    FakeHandler base = fake().handler;
    fake().handler = [&, base](const FakeRequest& r) {
        if (r.code != ORVEXA_IOCTL_BLOCK_READ)
            return base(r);
        uint8_t v = next_value++;
        std::vector<uint8_t> block(32, v);
        FakeAnswer a;
        a.out = fake_header(0, 0, 32, block);
        return a;
    };
    std::vector<std::vector<uint8_t>> outputs(8, std::vector<uint8_t>(32 * 50));
    std::vector<std::thread> threads;
    for (auto& out : outputs)
        threads.emplace_back(
            [&out] { EXPECT_EQ(orvexa_rndm_get_bytes(out.data(), out.size()), 1); });
    for (auto& t : threads)
        t.join();
    for (auto& out : outputs)
        for (size_t i = 0; i < out.size(); i += 32)
            for (size_t j = 1; j < 32; ++j)
                ASSERT_EQ(out[i + j], out[i]);
}

// Eight single seed bytes can ready the generator on their own (a driver that holds keys):
// the generator must then be tested, for (1, 8) and for (1, 40), whose 32-byte seed
// finds it ready already.
TEST_F(ProviderTest, SingleBytesThatReadyTheGeneratorAreSelfTested) {
    FakeHandler base = fake().handler;
    fake().handler = [&, base](const FakeRequest& r) {
        FakeAnswer a = base(r);
        if (r.code == ORVEXA_IOCTL_SEED_BYTE && driver.seed_bytes >= 8)
            driver.words[1] = 1;
        return a;
    };
    driver.on_key_set = [](ScriptedDriver& d, uint32_t) { d.words[2] = 1; };
    struct {
        int size;
        uint32_t square_sum; // 25,600: a sample that passes; 80,000: one that fails
        int kind_after;
    } cases[] = {{40, 25600, 0}, {8, 25600, 0}, {40, 80000, 1}, {8, 80000, 1}};
    uint8_t data[40] = {};
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " " << c.square_sum);
        orx_set_rndm_checked(1);
        driver.words[1] = driver.words[2] = driver.words[3] = 0;
        driver.seed_bytes = driver.block_reads = 0;
        driver.stream = sample_with_square_sum(c.square_sum);
        driver.position = 0;
        table->put_seed(1, c.size, data);
        EXPECT_GE(driver.block_reads, 800); // at least one 25,600-byte sample
        int kind = -1, size = -1;
        ASSERT_EQ(table->get_seed_need(&kind, &size), 0);
        EXPECT_EQ(kind, c.kind_after);
    }
}

// What each pair sends (code, slot 0, which bytes as the seed) and which words its answer
// needs; also the null arguments the table's functions refuse.
TEST_F(ProviderTest, EachPairSendsItsBytesAndAnswersOnItsWords) {
    user_key("SOFTWARE\\DEZURE\\Cryptography\\RANDOM").values["mask"] = {
        3, std::vector<uint8_t>(32, 0)}; // a zero mask leaves the seed as sent
    uint8_t data[64];
    for (int i = 0; i < 64; ++i)
        data[i] = uint8_t(i);
    struct {
        int kind, size;
        uint32_t w2, w3, byte_status;
        int answer;
        uint32_t code; // 0: no key-set request
        uint8_t first_seed_byte;
    } cases[] = {
        {1, 40, 1, 0, 0, 0, 14, 8}, {1, 40, 0, 0, 0, 3, 14, 8}, {1, 32, 1, 0, 0, 0, 14, 0},
        {1, 32, 0, 1, 0, 3, 14, 0}, {1, 8, 0, 0, 0, 0, 0, 0},   {1, 8, 1, 0, 9, 3, 0, 0},
        {2, 64, 1, 0, 0, 0, 13, 0}, {2, 64, 0, 1, 0, 3, 13, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << "," << c.size << " w2=" << c.w2);
        fake().requests.clear();
        driver.words[2] = c.w2;
        driver.words[3] = c.w3;
        driver.seed_bytes = 0;
        driver.seed_byte_status = c.byte_status;
        EXPECT_EQ(table->put_seed(c.kind, c.size, data), c.answer);
        const FakeRequest* sent = nullptr;
        for (const FakeRequest& r : fake().requests)
            if (r.code == ORVEXA_IOCTL_KEY_SET)
                sent = &r;
        if (!c.code) {
            EXPECT_EQ(sent, nullptr);
            continue;
        }
        ASSERT_NE(sent, nullptr);
        EXPECT_EQ(fake_word(sent->in, 0), c.code);
        EXPECT_EQ(fake_word(sent->in, 1), 0u);
        EXPECT_EQ(sent->in[16], c.first_seed_byte);
    }
    orx_set_status(0);
    EXPECT_EQ(table->put_seed(1, 32, nullptr), 3);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    orx_set_status(0);
    EXPECT_EQ(table->get_random(1, nullptr), 3);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    int size = -1;
    EXPECT_EQ(table->get_seed_need(nullptr, &size), 3);
    EXPECT_EQ(size, -1);
}
