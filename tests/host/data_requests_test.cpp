#include "library_fixture.h"

namespace {
Bytes record_list(uint32_t header, uint32_t count, uint32_t payload) {
    Bytes list(12 + (count < 40 ? count : 0) * 62, 0x11);
    uint32_t words[3] = {header, count, payload};
    std::memcpy(list.data(), words, 12);
    return list;
}
} // namespace

using DataRequestsTest = LibraryTest;

// The driver answers with the data inverted, as a request returning it whole.
TEST_F(DataRequestsTest, KeySet9AndRecordListsReturnTheirDataInPlace) {
    fake().handler = [](const FakeRequest& r) {
        Bytes data(r.in.size() > 16 ? r.in.begin() + 16 : r.in.end(), r.in.end());
        for (uint8_t& b : data)
            b ^= 0xFF;
        return ok(r.code == ORVEXA_IOCTL_QUERY_INFO
                      ? Bytes(80)
                      : frame(0, 0, xor_of(data), uint32_t(data.size()), data));
    };
    Bytes data(2097, 0x0F), list = record_list(12, 32, 32 * 62);
    ASSERT_EQ(orvexa_key_set9(data.data(), nullptr, 2096), 1);
    EXPECT_EQ(last_request().in, frame(9, 0, 0, 2096, Bytes(2096, 0x0F)));
    EXPECT_EQ(std::make_tuple(last_request().out_size, data[0], data[2096]),
              std::make_tuple(2112u, 0xF0, 0x0F));
    ASSERT_EQ(orvexa_key_set9_slot(nullptr, nullptr, 0, 5), 1);
    EXPECT_EQ(last_request().in, frame(9, 5));
    ASSERT_EQ(orvexa_data_records(list.data()), 1);
    EXPECT_EQ(
        std::make_tuple(last_request().in.size(), word(last_request().in, 1), list[12], held()),
        std::make_tuple(size_t(16 + 1996), ~0u, 0xEE, 1L));
    const struct {
        Bytes list; // empty: a null list
        int result;
    } refused[] = {
        {record_list(12, 33, 33 * 62), 0},
        {record_list(12, 1, 61), 54},
        {record_list(11, 1, 62), 54},
        {{}, 54},
        {record_list(12, 0x46318C63, 0xFFFFFFFA), 0}, // count * 62 wraps to this payload
    };
    for (auto& c : refused) {
        Bytes list = c.list;
        EXPECT_EQ(fresh([&] { return orvexa_data_records(list.empty() ? nullptr : list.data()); }),
                  c.result);
        EXPECT_EQ(std::make_tuple(status(), fake().requests.size()),
                  std::make_tuple(c.result ? 0u : 3u, size_t(0)));
    }
    EXPECT_EQ(fresh([&] {
                  return orvexa_key_set9_slot(data.data(), nullptr, 2097, 3) +
                         orvexa_key_set9(nullptr, nullptr, 1);
              }),
              0);
    EXPECT_EQ(std::make_tuple(status(), fake().requests.size()), std::make_tuple(3u, size_t(0)));
}

// Layouts: initial vector at 0, key at 8, length at 104, data at 108 of 628 bytes; keyed:
// key at 0, length at 96, data at 100 of 1,124; text: 32 bytes. Oversize or missing data
// is refused with 7 and nothing sent; no data needs no pointers.
TEST_F(DataRequestsTest, KeyedBlocks) {
    uint8_t iv[8] = {1, 2, 3, 4, 5, 6, 7, 8}, key[32];
    std::memset(key, 0xCC, sizeof key);
    Bytes data(1100, 0xDD), out(1100), iv_block(628), keyed_block(1124), text(32);
    std::copy(iv, iv + 8, iv_block.begin());
    std::fill(iv_block.begin() + 8, iv_block.begin() + 40, 0xCC);
    std::fill(keyed_block.begin(), keyed_block.begin() + 32, 0xCC);
    std::fill(iv_block.begin() + 108, iv_block.begin() + 124, 0xDD);
    std::fill(keyed_block.begin() + 100, keyed_block.begin() + 116, 0xDD);
    iv_block[104] = keyed_block[96] = 16;
    ASSERT_EQ(orvexa_drv_open(), 1);
    const struct {
        int (*call)(const uint8_t*, const uint8_t*, uint32_t, const uint8_t*, uint8_t*);
        uint32_t code, limit;
        Bytes block;
    } requests[] = {
        {orvexa_data_keyed_iv_a, 0x9C40242C, 520, iv_block},
        {orvexa_data_keyed_iv_b, 0x9C402430, 520, iv_block},
        {[](const uint8_t*, const uint8_t* k, uint32_t n, const uint8_t* d, uint8_t* o) {
             return orvexa_data_keyed(k, n, d, o);
         },
         0x9C402434, 1024, keyed_block},
    };
    for (auto& r : requests) {
        const struct {
            const uint8_t *iv, *key;
            uint32_t length;
            const uint8_t* data;
            uint8_t* out;
            int result;
        } cases[] = {
            {iv, key, 16, data.data(), out.data(), 0},
            {iv, key, r.limit + 1, data.data(), out.data(), 7},
            {iv, key, r.limit, data.data(), out.data(), 0},
            {iv, nullptr, 1, data.data(), out.data(), 7},
            {iv, key, 1, nullptr, out.data(), 7},
            {iv, key, 1, data.data(), nullptr, 7},
            {iv, key, 0, nullptr, nullptr, 0},
        };
        for (auto& c : cases) {
            EXPECT_EQ(fresh([&] { return r.call(c.iv, c.key, c.length, c.data, c.out); }),
                      c.result);
            EXPECT_EQ(std::make_tuple(status(), fake().requests.size()),
                      std::make_tuple(c.result ? 3u : 0u, size_t(!c.result)));
            if (c.length == 16) {
                EXPECT_EQ(std::make_tuple(last_request().code, last_request().in,
                                          last_request().out_size),
                          std::make_tuple(r.code, r.block, 16u));
            }
        }
    }
    EXPECT_EQ(orvexa_data_keyed_iv_a(nullptr, key, 1, data.data(), out.data()) +
                  orvexa_data_keyed_iv_b(nullptr, key, 1, data.data(), out.data()),
              14);
    std::string abc = "abc", long_text(32, 'x');
    EXPECT_EQ(orvexa_data_from_text(long_text.c_str(), nullptr, out.data()) +
                  orvexa_data_from_text(nullptr, nullptr, out.data()) +
                  orvexa_data_from_text("x", nullptr, nullptr),
              21);
    EXPECT_EQ(orvexa_data_from_text(long_text.c_str() + 1, nullptr, out.data()), 0);
    ASSERT_EQ(orvexa_data_from_text("abc", nullptr, out.data()), 0);
    std::copy(abc.begin(), abc.end(), text.begin());
    EXPECT_EQ(std::make_tuple(last_request().in, last_request().out_size),
              std::make_tuple(text, 32u));
    fake().handler = [](const FakeRequest&) { return fails(31); };
    EXPECT_EQ(orvexa_data_keyed(key, 1024, data.data(), out.data()), 7);
    EXPECT_EQ(status(), 1u);
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(orvexa_data_keyed(key, 16, data.data(), out.data()), 0);
    EXPECT_EQ(status(), 51u);
}
