#include "library_fixture.h"

using DataRequestsTest = LibraryTest;

// The driver answers with the data inverted, as a request returning it whole. Refused
// lists and data send nothing.
TEST_F(DataRequestsTest, KeySet9AndRecordListsReturnTheirDataInPlace) {
    fake().handler = [](const FakeRequest& r) {
        Bytes data(r.in.size() > 16 ? r.in.begin() + 16 : r.in.end(), r.in.end());
        for (uint8_t& b : data)
            b ^= 0xFF;
        return ok(r.code == ORVEXA_IOCTL_QUERY_INFO
                      ? Bytes(80)
                      : frame(0, 0, xor_of(data), uint32_t(data.size()), data));
    };
    auto list = [](uint32_t header, uint32_t count, uint32_t payload) {
        Bytes list = frame(header, count, payload);
        list.resize(12);
        list.resize(12 + (count < 40 ? count : 0) * 62, 0x11);
        return list;
    };
    Bytes data(2097, 0x0F), records = list(12, 32, 32 * 62);
    ASSERT_EQ(orvexa_key_set9(data.data(), nullptr, 2096), 1);
    EXPECT_EQ(make_tuple(last_request().in, last_request().out_size, fake().last_allocation,
                         data[0], data[2096]),
              make_tuple(frame(9, 0, 0, 2096, Bytes(2096, 0x0F)), 2112u, size_t(2112), 0xF0, 0x0F));
    ASSERT_EQ(orvexa_key_set9_slot(nullptr, nullptr, 0, 5), 1);
    EXPECT_EQ(last_request().in, frame(9, 5));
    ASSERT_EQ(orvexa_data_records(records.data()), 1);
    EXPECT_EQ(make_tuple(last_request().in.size(), word(last_request().in, 0),
                         word(last_request().in, 1), records[12], held()),
              make_tuple(size_t(16 + 1996), 0u, ~0u, 0xEE, 1L));
    const uint32_t refused[][4] = {
        // header (0: no list), count, payload, result
        {12, 33, 33 * 62, 0},
        {12, 1, 61, 54},
        {11, 1, 62, 54},
        {0, 0, 0, 54},
        {12, 0x46318C63, 0xFFFFFFFA, 0}, // count * 62 wraps to this payload
    };
    for (auto& c : refused) {
        Bytes bad = list(c[0], c[1], c[2]);
        EXPECT_EQ(run([&] { return orvexa_data_records(c[0] ? bad.data() : nullptr); }),
                  make_tuple(int(c[3]), c[3] ? 9u : 3u));
        EXPECT_EQ(fake().requests.size(), 0u);
    }
    EXPECT_EQ(run([&] {
                  return orvexa_key_set9_slot(data.data(), nullptr, 2097, 3) +
                         orvexa_key_set9(nullptr, nullptr, 1);
              }),
              make_tuple(0, 3u));
    EXPECT_EQ(fake().requests.size(), 0u);
    fake().handler = [](const FakeRequest&) { return ok(frame(0, 0, 0xF0, 3)); }; // one short
    EXPECT_EQ(run([&] { return orvexa_key_set9(data.data(), nullptr, 4); }),
              make_tuple(0, ERROR_OUTPUT_SIZE));
}

// Layouts: initial vector at 0, key at 8, length at 104, data at 108 of 628 bytes; keyed:
// key at 0, length at 96, data at 100 of 1,124; text: 32 bytes. Oversize or missing data
// is refused with 7 and nothing sent; no data needs no pointers.
TEST_F(DataRequestsTest, KeyedBlocks) {
    Bytes iv = bytes(8, 1), key(32, 0xCC), data(1100, 0xDD), out(1100);
    auto block = [&](size_t size, size_t key_at) {
        Bytes b(size);
        std::copy_n(iv.begin(), key_at, b.begin());
        std::fill_n(b.begin() + key_at, 32, 0xCC);
        b[key_at + 96] = 16;
        std::fill_n(b.begin() + key_at + 100, 16, 0xDD);
        return b;
    };
    using Call = int (*)(const uint8_t*, const uint8_t*, uint32_t, const uint8_t*, uint8_t*);
    const struct {
        Call call;
        uint32_t code, limit;
        Bytes block;
    } requests[] = {
        {orvexa_data_keyed_iv_a, 0x9C40242C, 520, block(628, 8)},
        {orvexa_data_keyed_iv_b, 0x9C402430, 520, block(628, 8)},
        {[](const uint8_t*, const uint8_t* k, uint32_t n, const uint8_t* d, uint8_t* o) {
             return orvexa_data_keyed(k, n, d, o);
         },
         0x9C402434, 1024, block(1124, 0)},
    };
    ASSERT_EQ(orvexa_drv_open(), 1);
    for (auto& r : requests) {
        const uint32_t cases[][5] = {
            // length (1000: the limit, 1001: one more), key, data, out given; result
            {16, 1, 1, 1, 0}, {1001, 1, 1, 1, 7}, {1000, 1, 1, 1, 0}, {1, 0, 1, 1, 7},
            {1, 1, 0, 1, 7},  {1, 1, 1, 0, 7},    {0, 1, 0, 0, 0},
        };
        for (auto& c : cases) {
            uint32_t length = c[0] >= 1000 ? r.limit + c[0] - 1000 : c[0];
            EXPECT_EQ(run([&] {
                          return r.call(iv.data(), c[1] ? key.data() : nullptr, length,
                                        c[2] ? data.data() : nullptr, c[3] ? out.data() : nullptr);
                      }),
                      make_tuple(int(c[4]), c[4] ? 3u : 9u));
            EXPECT_EQ(fake().requests.size(), size_t(!c[4]));
            if (length == 16) {
                EXPECT_EQ(
                    make_tuple(last_request().code, last_request().in, last_request().out_size),
                    make_tuple(r.code, r.block, 16u));
            }
        }
    }
    EXPECT_EQ(orvexa_data_keyed_iv_a(nullptr, key.data(), 1, data.data(), out.data()) +
                  orvexa_data_keyed_iv_b(nullptr, key.data(), 1, data.data(), out.data()),
              14);
    std::string long_text(32, 'x');
    EXPECT_EQ(orvexa_data_from_text(long_text.c_str(), nullptr, out.data()) +
                  orvexa_data_from_text(nullptr, nullptr, out.data()) +
                  orvexa_data_from_text("x", nullptr, nullptr),
              21);
    ASSERT_EQ(orvexa_data_from_text(long_text.c_str() + 1, nullptr, out.data()), 0);
    Bytes text(32, 'x');
    text[31] = 0;
    EXPECT_EQ(make_tuple(last_request().in, last_request().out_size), make_tuple(text, 32u));
    fake().handler = [](const FakeRequest&) { return fails(31); };
    EXPECT_EQ(run([&] { return orvexa_data_keyed(key.data(), 1024, data.data(), out.data()); }),
              make_tuple(7, 1u));
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(run([&] { // failed, with the absent driver's status
                  return orvexa_data_keyed(key.data(), 16, data.data(), out.data()) +
                         orvexa_data_keyed_iv_b(iv.data(), key.data(), 16, data.data(),
                                                out.data()) +
                         orvexa_data_from_text("abc", nullptr, out.data()) +
                         orvexa_key_set9(data.data(), nullptr, 16) + orvexa_data_records(nullptr);
              }),
              make_tuple(21, 51u));
}
