#include <thread>

#include "library_fixture.h"

class ProviderTest : public LibraryTest {
  protected:
    const rndm_handle* table = orvexa_rndm_get_handle();
};

TEST_F(ProviderTest, TheTableAndTheSeedNeedItReadsFromTheWords) {
    EXPECT_EQ(table->size, sizeof(rndm_handle));
    EXPECT_EQ(table->reserved1, nullptr);
    EXPECT_EQ(table->reserved2, nullptr);
    EXPECT_EQ(table->get_type(), 2);
    const struct {
        uint32_t w1, w2, w3, w8;
        int checked;
        int result, kind, size;
    } cases[] = {
        {1, 1, 1, 0, 1, 0, 0, 0},   {1, 1, 1, 0, 0, 0, 1, 40}, {0, 0, 0, 1, 1, 0, 1, 40},
        {0, 1, 1, 0, 0, 0, 1, 40},  {0, 1, 0, 0, 1, 0, 1, 8},  {0, 0, 1, 0, 1, 0, 1, 32},
        {0, 1, 1, 1, 1, 3, -1, -1}, {0, 1, 1, 0, 1, 0, 2, 64},
    };
    for (auto& c : cases) {
        words[1] = c.w1, words[2] = c.w2, words[3] = c.w3, words[8] = c.w8;
        orx_set_rndm_checked(c.checked);
        int kind = -1, size = -1;
        EXPECT_EQ(fresh([&] { return table->get_seed_need(&kind, &size); }), c.result);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(last_request().in, fake_header(0, 0, 0)); // the record, selector 0
    }
    int size = -1;
    EXPECT_EQ(table->get_seed_need(nullptr, &size), 3);
    EXPECT_EQ(table->get_seed_need(&size, nullptr), 3);
    EXPECT_EQ(size, -1);
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(table->get_seed_need(&size, &size), 3);
}

// What each pair sends (code, slot 0, which bytes as the seed, how many single bytes) and
// which words of the record afterwards its answer needs.
TEST_F(ProviderTest, EachPairSendsItsBytesAndAnswersOnItsWords) {
    user_key("SOFTWARE\\DEZURE\\Cryptography\\RANDOM").values["mask"] = {
        3, std::vector<uint8_t>(32, 0)}; // a zero mask leaves the seed as sent
    const std::vector<uint8_t> data = bytes(64, 0);
    const struct {
        int kind, size;
        uint32_t w2, w3, byte_status;
        int answer;
        uint32_t code; // 0: no key-set request
        uint8_t first_seed_byte;
        size_t seed_bytes;
    } cases[] = {
        {1, 40, 1, 0, 0, 0, 14, 8, 8},  {1, 40, 0, 0, 0, 3, 14, 8, 8},
        {1, 40, 1, 0, 9, 3, 14, 8, 1},  {1, 40, 1, 1, 9, 0, 14, 8, 1},
        {1, 32, 1, 0, 0, 0, 14, 0, 0},  {1, 32, 0, 1, 0, 3, 14, 0, 0},
        {1, 8, 0, 0, 0, 0, 0, 0, 8},    {1, 8, 1, 0, 9, 3, 0, 0, 1},
        {2, 64, 1, 0, 0, 0, 13, 0, 0},  {2, 64, 0, 1, 0, 3, 13, 0, 0},
        {2, 4096, 1, 1, 0, 3, 0, 0, 0}, {0, 0, 1, 1, 0, 2, 0, 0, 0},
        {1, 41, 1, 1, 0, 2, 0, 0, 0},   {2, 32, 1, 1, 0, 2, 0, 0, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << "," << c.size << " w2=" << c.w2);
        on_key_set = [&](uint32_t) { words[2] = c.w2; };
        words[2] = 0;
        words[3] = c.w3;
        seed_bytes = 0;
        seed_byte_status = c.byte_status;
        EXPECT_EQ(fresh([&] { return table->put_seed(c.kind, c.size, data.data()); }), c.answer);
        EXPECT_EQ(count(ORVEXA_IOCTL_SEED_BYTE), c.seed_bytes);
        const FakeRequest* sent = last(ORVEXA_IOCTL_KEY_SET);
        ASSERT_EQ(sent != nullptr, c.code != 0);
        if (!sent)
            continue;
        EXPECT_EQ(fake_word(sent->in, 0), c.code);
        EXPECT_EQ(fake_word(sent->in, 1), 0u);
        EXPECT_EQ(sent->in.size(), 16u + (c.kind == 2 ? 64 : 32));
        EXPECT_EQ(sent->in[16], c.first_seed_byte);
    }
    EXPECT_EQ(fresh([&] { return table->put_seed(1, 32, nullptr); }), 3);
    EXPECT_EQ(status(), 3u);
}

// Eight single seed bytes can ready the generator on their own (a driver that holds keys):
// the generator must then be tested, for (1, 8) and for (1, 40), whose 32-byte seed finds
// it ready already.
TEST_F(ProviderTest, SingleBytesThatReadyTheGeneratorAreSelfTested) {
    auto base = fake().handler;
    fake().handler = [&, base](const FakeRequest& r) {
        FakeAnswer a = base(r);
        if (r.code == ORVEXA_IOCTL_SEED_BYTE && seed_bytes >= 8)
            words[1] = 1;
        return a;
    };
    on_key_set = [&](uint32_t) { words[2] = 1; };
    const struct {
        int size;
        uint32_t square_sum; // 25,600: a sample that passes; 80,000: one that fails
        int kind_after;
    } cases[] = {{40, 25600, 0}, {8, 25600, 0}, {40, 80000, 1}, {8, 80000, 1}};
    uint8_t data[40] = {};
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " " << c.square_sum);
        orx_set_rndm_checked(1);
        words[1] = words[2] = words[3] = 0;
        seed_bytes = block_reads = 0;
        stream = sample_with_square_sum(c.square_sum);
        position = 0;
        table->put_seed(1, c.size, data);
        EXPECT_GE(block_reads, 800); // at least one 25,600-byte sample
        int kind = -1, size = -1;
        ASSERT_EQ(table->get_seed_need(&kind, &size), 0);
        EXPECT_EQ(kind, c.kind_after);
    }
}

// Whole blocks and the first bytes of one more for a remainder; no bytes asks nothing.
TEST_F(ProviderTest, GetRandomReadsTheCeilingOfLengthOverBlockLength) {
    stream = bytes(7, 1);
    std::vector<uint8_t> out(100, 0xEE);
    EXPECT_EQ(table->get_random(0, nullptr), 0);
    EXPECT_EQ(orvexa_rndm_get_bytes(out.data(), 0), 1);
    EXPECT_TRUE(fake().requests.empty()); // not even opened
    ASSERT_EQ(table->get_random(64, out.data()), 0);
    EXPECT_EQ(block_reads, 2);
    out.assign(100, 0xEE);
    ASSERT_EQ(orvexa_rndm_get_bytes(out.data(), 33), 1);
    EXPECT_EQ(block_reads, 4);
    EXPECT_EQ(out[32], 1 + (64 + 32) % 7);
    EXPECT_EQ(out[33], 0xEE);
    EXPECT_EQ(table->get_random(1, nullptr), 3);
    EXPECT_EQ(status(), 3u);
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(orvexa_rndm_get_bytes(out.data(), 8), 0);
    EXPECT_EQ(status(), 51u);
}
