#include "key_get.h"
#include "library_fixture.h"

using KeyGetTest = LibraryTest;

// Codes 1..3 send their 32-byte input with its checksum, the others code and slot only. Each
// code's item has one length: a reply one byte shorter or longer fails with status 4 and
// writes nothing; the exact one is copied and nothing past it.
TEST_F(KeyGetTest, RequestsAndItemLengths) {
    const uint32_t lengths[15] = {0, 32, 32, 32, 10, 12, 32, 32, 32, 64, 33, 32, 32, 32, 36};
    Bytes input = bytes(32, 1);
    for (uint32_t code = 1; code <= 14; ++code) {
        for (uint32_t length : {lengths[code] - 1, lengths[code] + 1, lengths[code]}) {
            // What the checksum covers is what fits the output room: one item at most.
            uint8_t x = std::min(length, lengths[code]) % 2 ? 0x5A : 0;
            fixed[ORVEXA_IOCTL_KEY_GET] = ok(frame(0, 0, x, length, Bytes(length, 0x5A)));
            Bytes out(80, 0xEE);
            bool exact = length == lengths[code];
            EXPECT_EQ(run([&] { return orx_key_get(code, 2, input.data(), out.data()); }),
                      make_tuple(int(exact), exact ? 9u : 4u));
            EXPECT_EQ(
                make_tuple(out[0], out[lengths[code]], last_request().in, last_request().out_size),
                make_tuple(exact ? 0x5A : 0xEE, 0xEE,
                           code <= 3 ? frame(code, 2, xor_of(input), 32, input) : frame(code, 2),
                           16 + lengths[code]))
                << code << " " << length;
        }
    }
    Bytes out(64);
    EXPECT_EQ(run([&] { return orvexa_key_get1(nullptr, out.data()) + orvexa_key_get4(nullptr); }),
              make_tuple(0, 3u)); // codes 1..3 need their input
    EXPECT_EQ(make_tuple(fake().requests.size(), held()), make_tuple(size_t(0), 1L));
}

// The first slot with the number wins (code 4 reads 10-character numbers, code 5 12-character
// ones); the item's code is checked only after a match.
TEST_F(KeyGetTest, ByNumber) {
    const std::string numbers[] = {"", "1111111111", "2222222222", "2222222222", "333333333333"};
    fake().handler = [&](const FakeRequest& r) { // slots without a number refuse with 15
        uint32_t code = word(r.in, 0), slot = word(r.in, 1);
        std::string number = slot < 5 ? numbers[slot] : "";
        if (number.size() == (code == 4 ? 10 : code == 5 ? 12 : 1))
            return ok(frame(0, 0, xor_of(Bytes(number.begin(), number.end())),
                            uint32_t(number.size()), Bytes(number.begin(), number.end())));
        if (code == 4 || code == 5 || code == 13)
            return ok(frame(15));
        return ok(frame(0, 0, 0, 32, Bytes(32, uint8_t(slot))));
    };
    ASSERT_EQ(orvexa_drv_open(), 1);
    const struct {
        const char* number;
        int code, result;
        size_t requests;
        int slot; // the item's slot (first byte), -1: none read
    } cases[] = {
        {"12345678901", 6, 7, 0, -1},  {nullptr, 6, 7, 0, -1},      {"4444444444", 6, 6, 16, -1},
        {"2222222222", 9, 7, 3, -1},   {"2222222222", 7, 0, 4, 2},  {"2222222222", 6, 0, 4, 2},
        {"2222222222", 8, 0, 4, 2},    {"2222222222", 12, 0, 4, 2}, {"2222222222", 13, 6, 4, -1},
        {"333333333333", 12, 0, 6, 4},
    };
    for (auto& c : cases) {
        Bytes out(32, 0xEE);
        int result = std::get<0>(
            run([&] { return orvexa_key_get_by_number(c.number, c.code, out.data()); }));
        EXPECT_EQ(make_tuple(result, fake().requests.size(), out[0]),
                  make_tuple(c.result, c.requests, uint8_t(c.slot < 0 ? 0xEE : c.slot)))
            << c.code;
        EXPECT_TRUE(c.result != 0 || status() == 15u); // slot 0 had no number
    }
    EXPECT_EQ(orvexa_key_get_by_number("1111111111", 6, nullptr), 7);
}
