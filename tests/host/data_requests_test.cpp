#include "library_fixture.h"

namespace {

// Answers with the request's data inverted and a valid header, like a driver returning it
// whole.
FakeAnswer inverted(const FakeRequest& r) {
    std::vector<uint8_t> data(r.in.begin() + 16, r.in.end());
    for (uint8_t& b : data)
        b ^= 0xFF;
    return replies(fake_header(0, xor_of(data), uint32_t(data.size()), data));
}

std::vector<uint8_t> record_list(uint32_t header, uint32_t count, uint32_t payload) {
    std::vector<uint8_t> list(12 + (count < 40 ? count : 0) * 62, 0x11);
    uint32_t words[3] = {header, count, payload};
    std::memcpy(list.data(), words, 12);
    return list;
}

} // namespace

using DataRequestsTest = LibraryTest;

TEST_F(DataRequestsTest, KeySet9AndRecordListsReturnTheirDataInPlace) {
    fake().handler = [](const FakeRequest& r) {
        return r.code == ORVEXA_IOCTL_QUERY_INFO ? replies(std::vector<uint8_t>(80)) : inverted(r);
    };
    std::vector<uint8_t> data(2097, 0x0F);
    ASSERT_EQ(orvexa_key_set9(data.data(), nullptr, 2096), 1);
    EXPECT_EQ(last_request().in, fake_header(9, 0, 2096, std::vector<uint8_t>(2096, 0x0F)));
    EXPECT_EQ(last_request().out_size, 2112u);
    EXPECT_EQ(data[0], 0xF0);
    EXPECT_EQ(data[2096], 0x0F);
    ASSERT_EQ(orvexa_key_set9_slot(nullptr, nullptr, 0, 5), 1);
    EXPECT_EQ(fake_word(last_request().in, 1), 5u);
    EXPECT_EQ(last_request().in.size(), 16u);
    std::vector<uint8_t> list = record_list(12, 32, 32 * 62);
    ASSERT_EQ(orvexa_data_records(list.data()), 1);
    EXPECT_EQ(last_request().in.size(), 16u + 1996);
    EXPECT_EQ(fake_word(last_request().in, 1), 0xFFFFFFFFu);
    EXPECT_EQ(list[12], 0xEE);
    EXPECT_EQ(buffers_held(), 1);

    const struct {
        std::vector<uint8_t> list; // empty: a null list
        int result;
    } refused[] = {
        {record_list(12, 33, 33 * 62), 0},
        {record_list(12, 1, 61), 54},
        {record_list(11, 1, 62), 54},
        {{}, 54},
        {record_list(12, 0x46318C63, 0xFFFFFFFA), 0}, // count * 62 wraps to this payload
    };
    for (auto& c : refused) {
        std::vector<uint8_t> list = c.list;
        EXPECT_EQ(fresh([&] { return orvexa_data_records(list.empty() ? nullptr : list.data()); }),
                  c.result);
        EXPECT_EQ(status(), c.result ? 0u : 3u);
        EXPECT_TRUE(fake().requests.empty());
    }
    EXPECT_EQ(fresh([&] { return orvexa_key_set9_slot(data.data(), nullptr, 2097, 3); }), 0);
    EXPECT_EQ(fresh([&] { return orvexa_key_set9_slot(nullptr, nullptr, 1, 3); }), 0);
    EXPECT_EQ(status(), 3u);
    EXPECT_TRUE(fake().requests.empty());
}

TEST_F(DataRequestsTest, KeyedBlocksHaveTheirFixedLayout) {
    uint8_t iv[8] = {1, 2, 3, 4, 5, 6, 7, 8}, key[32], data[16], out[16];
    std::memset(key, 0xCC, sizeof key);
    std::memset(data, 0xDD, sizeof data);
    std::vector<uint8_t> block(628, 0);
    std::copy(iv, iv + 8, block.begin());
    std::fill(block.begin() + 8, block.begin() + 40, 0xCC);
    block[104] = 16;
    std::fill(block.begin() + 108, block.begin() + 124, 0xDD);
    ASSERT_EQ(orvexa_data_keyed_iv_a(iv, key, 16, data, out), 0);
    EXPECT_EQ(last_request().code, 0x9C40242Cu);
    EXPECT_EQ(last_request().in, block);
    EXPECT_EQ(last_request().out_size, 16u);
    ASSERT_EQ(orvexa_data_keyed_iv_b(iv, key, 16, data, out), 0);
    EXPECT_EQ(last_request().code, 0x9C402430u);
    EXPECT_EQ(last_request().in, block);

    block.assign(1124, 0);
    std::fill(block.begin(), block.begin() + 32, 0xCC);
    block[96] = 16;
    std::fill(block.begin() + 100, block.begin() + 116, 0xDD);
    ASSERT_EQ(orvexa_data_keyed(key, 16, data, out), 0);
    EXPECT_EQ(last_request().in, block);

    ASSERT_EQ(orvexa_data_from_text("abc", nullptr, out), 0);
    block.assign(32, 0);
    block[0] = 'a', block[1] = 'b', block[2] = 'c';
    EXPECT_EQ(last_request().in, block);
    EXPECT_EQ(last_request().out_size, 32u);
}

// Oversize or missing data is refused with 7 and nothing sent; no data needs no pointers.
TEST_F(DataRequestsTest, KeyedBlockLimitsAndMissingPointers) {
    std::vector<uint8_t> big(1100), out(1100);
    uint8_t iv[8] = {}, key[32] = {};
    const std::string text(32, 'x');
    ASSERT_EQ(orvexa_drv_open(), 1);
    auto a = [&](const uint8_t* v, const uint8_t* k, uint32_t n, const uint8_t* d, uint8_t* o) {
        return orvexa_data_keyed_iv_a(v, k, n, d, o);
    };
    auto b = [&](const uint8_t* v, const uint8_t* k, uint32_t n, const uint8_t* d, uint8_t* o) {
        return orvexa_data_keyed_iv_b(v, k, n, d, o);
    };
    auto keyed = [&](const uint8_t*, const uint8_t* k, uint32_t n, const uint8_t* d, uint8_t* o) {
        return orvexa_data_keyed(k, n, d, o);
    };
    const struct {
        std::function<int(const uint8_t*, const uint8_t*, uint32_t, const uint8_t*, uint8_t*)> call;
        uint32_t limit;
    } requests[] = {{a, 520}, {b, 520}, {keyed, 1024}};
    for (auto& r : requests) {
        const struct {
            const uint8_t *iv, *key;
            uint32_t length;
            const uint8_t* data;
            uint8_t* out;
            int result;
        } cases[] = {
            {iv, key, r.limit + 1, big.data(), out.data(), 7},
            {iv, key, r.limit, big.data(), out.data(), 0},
            {iv, nullptr, 1, big.data(), out.data(), 7},
            {iv, key, 1, nullptr, out.data(), 7},
            {iv, key, 1, big.data(), nullptr, 7},
            {iv, key, 0, nullptr, nullptr, 0},
        };
        for (auto& c : cases) {
            EXPECT_EQ(fresh([&] { return r.call(c.iv, c.key, c.length, c.data, c.out); }),
                      c.result);
            EXPECT_EQ(status(), c.result ? 3u : 0u);
            EXPECT_EQ(fake().requests.size(), c.result ? 0u : 1u);
        }
    }
    EXPECT_EQ(fresh([&] { return a(nullptr, key, 1, big.data(), out.data()); }), 7);
    EXPECT_EQ(fresh([&] { return b(nullptr, key, 1, big.data(), out.data()); }), 7);
    EXPECT_EQ(orvexa_data_from_text(text.c_str(), nullptr, out.data()), 7);
    EXPECT_EQ(orvexa_data_from_text(nullptr, nullptr, out.data()), 7);
    EXPECT_EQ(orvexa_data_from_text("x", nullptr, nullptr), 7);
    EXPECT_EQ(fresh([&] { return orvexa_data_from_text(text.c_str() + 1, nullptr, out.data()); }),
              0);
    fake().handler = [](const FakeRequest&) { return fails_with(31); };
    EXPECT_EQ(keyed(nullptr, key, 1024, big.data(), out.data()), 7);
    EXPECT_EQ(status(), 1u);
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(fresh([&] { return keyed(nullptr, key, 16, big.data(), out.data()); }), 0);
    EXPECT_EQ(status(), 51u);
}
