#include <cstring>

#include "library_fixture.h"
#include "orxlink.h"

namespace {

// Echoes the request's data back with a valid header, like a driver returning it whole.
FakeAnswer echo(const FakeRequest& r) {
    std::vector<uint8_t> data(r.in.begin() + 16, r.in.end());
    for (uint8_t& b : data)
        b ^= 0xFF;
    uint8_t x = 0;
    for (uint8_t b : data)
        x ^= b;
    FakeAnswer a;
    a.out = fake_header(0, x, uint32_t(data.size()), data);
    return a;
}

std::vector<uint8_t> record_list(uint32_t count, uint32_t payload) {
    std::vector<uint8_t> list(12 + count * 62, 0x11);
    uint32_t header[3] = {12, count, payload};
    std::memcpy(list.data(), header, 12);
    return list;
}

} // namespace

using DataRequestsTest = LibraryTest;

TEST_F(DataRequestsTest, KeySet9ReturnsTheDataInPlaceUpTo2096Bytes) {
    FakeHandler base = fake().handler;
    fake().handler = [base](const FakeRequest& r) {
        return r.code == ORVEXA_IOCTL_KEY_SET ? echo(r) : base(r);
    };
    std::vector<uint8_t> data(2097, 0x0F);
    ASSERT_EQ(orvexa_key_set9(data.data(), nullptr, 2096), 1);
    EXPECT_EQ(last_request().in.size(), 2112u);
    EXPECT_EQ(last_request().out_size, 2112u);
    EXPECT_EQ(fake_word(last_request().in, 0), 9u);
    EXPECT_EQ(data[0], 0xF0);
    EXPECT_EQ(data[2096], 0x0F);

    size_t sent = fake().requests.size();
    EXPECT_EQ(orvexa_key_set9_slot(data.data(), nullptr, 2097, 3), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_EQ(fake().requests.size(), sent);

    ASSERT_EQ(orvexa_key_set9_slot(nullptr, nullptr, 0, 5), 1);
    std::vector<uint8_t> bare = fake_header(9, 0, 0);
    bare[4] = 5; // slot word
    EXPECT_EQ(last_request().in, bare);
    EXPECT_EQ(buffers_held(), 1);
}

TEST_F(DataRequestsTest, RecordListsAreCheckedBeforeAnythingIsSent) {
    FakeHandler base = fake().handler;
    fake().handler = [base](const FakeRequest& r) {
        return r.code == ORVEXA_IOCTL_RECORDS ? echo(r) : base(r);
    };
    std::vector<uint8_t> list = record_list(32, 32 * 62);
    ASSERT_EQ(orvexa_data_records(list.data()), 1);
    EXPECT_EQ(last_request().in.size(), 16u + 1996);
    EXPECT_EQ(fake_word(last_request().in, 1), 0xFFFFFFFFu);
    EXPECT_EQ(list[12], 0xEE);

    size_t sent = fake().requests.size();
    orx_set_status(0);
    std::vector<uint8_t> too_long = record_list(33, 33 * 62);
    EXPECT_EQ(orvexa_data_records(too_long.data()), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    std::vector<uint8_t> short_payload = record_list(1, 61);
    EXPECT_EQ(orvexa_data_records(short_payload.data()), 54);
    std::vector<uint8_t> bad_header = record_list(1, 62);
    bad_header[0] = 11;
    EXPECT_EQ(orvexa_data_records(bad_header.data()), 54);
    EXPECT_EQ(orvexa_data_records(nullptr), 54);
    std::vector<uint8_t> wrapping = record_list(0, 0);
    uint32_t header[3] = {12, 0x46318C63, 0xFFFFFFFA}; // count * 62 wraps to this payload
    std::memcpy(wrapping.data(), header, 12);
    EXPECT_EQ(orvexa_data_records(wrapping.data()), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_EQ(fake().requests.size(), sent);
}

TEST_F(DataRequestsTest, KeyedBlocksHaveTheirFixedLayout) {
    uint8_t iv[8] = {1, 2, 3, 4, 5, 6, 7, 8}, key[32], data[16], out[16];
    std::memset(key, 0xCC, sizeof key);
    std::memset(data, 0xDD, sizeof data);
    ASSERT_EQ(orvexa_data_keyed_iv_a(iv, key, 16, data, out), 0);
    const FakeRequest& r = last_request();
    EXPECT_EQ(r.code, 0x9C40242Cu);
    ASSERT_EQ(r.in.size(), 628u);
    EXPECT_EQ(r.out_size, 16u);
    EXPECT_EQ(std::vector<uint8_t>(r.in.begin(), r.in.begin() + 8),
              std::vector<uint8_t>(iv, iv + 8));
    EXPECT_EQ(r.in[8], 0xCC);
    EXPECT_EQ(r.in[39], 0xCC);
    for (size_t i = 40; i < 104; ++i)
        EXPECT_EQ(r.in[i], 0) << i;
    EXPECT_EQ(fake_word(r.in, 26), 16u);
    EXPECT_EQ(r.in[108], 0xDD);
    EXPECT_EQ(r.in[123], 0xDD);
    for (size_t i = 124; i < 628; ++i)
        ASSERT_EQ(r.in[i], 0) << i;

    ASSERT_EQ(orvexa_data_keyed_iv_b(iv, key, 16, data, out), 0);
    EXPECT_EQ(last_request().code, 0x9C402430u);
    ASSERT_EQ(orvexa_data_keyed(key, 16, data, out), 0);
    EXPECT_EQ(last_request().in.size(), 1124u);
    EXPECT_EQ(fake_word(last_request().in, 24), 16u);
    EXPECT_EQ(last_request().in[100], 0xDD);
    EXPECT_EQ(last_request().in[116], 0);

    ASSERT_EQ(orvexa_data_from_text("abc", nullptr, out), 0);
    std::vector<uint8_t> text = {'a', 'b', 'c'};
    text.resize(32, 0);
    EXPECT_EQ(last_request().in, text);
    EXPECT_EQ(last_request().out_size, 32u);
}

TEST_F(DataRequestsTest, OversizeOrMissingDataIsRefusedWithNothingSent) {
    std::vector<uint8_t> big(1100), out(1100);
    uint8_t iv[8] = {}, key[32] = {};
    std::string text32(32, 'x');
    EXPECT_EQ(orvexa_data_keyed_iv_a(iv, key, 521, big.data(), out.data()), 7);
    EXPECT_EQ(orvexa_data_keyed_iv_b(iv, key, 521, big.data(), out.data()), 7);
    EXPECT_EQ(orvexa_data_keyed(key, 1025, big.data(), out.data()), 7);
    EXPECT_EQ(orvexa_data_from_text(text32.c_str(), nullptr, out.data()), 7);
    EXPECT_EQ(orvexa_data_keyed(nullptr, 16, big.data(), out.data()), 7);
    EXPECT_EQ(orvexa_data_keyed_iv_a(iv, key, 16, big.data(), nullptr), 7);
    EXPECT_EQ(orvexa_data_from_text(nullptr, nullptr, out.data()), 7);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_TRUE(fake().requests.empty());

    EXPECT_EQ(orvexa_data_keyed_iv_a(iv, key, 520, big.data(), out.data()), 0);
    EXPECT_EQ(orvexa_data_from_text(text32.c_str() + 1, nullptr, out.data()), 0);
    fake().handler = [](const FakeRequest&) { return fails_with(31); };
    EXPECT_EQ(orvexa_data_keyed(key, 1024, big.data(), out.data()), 7);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
}
