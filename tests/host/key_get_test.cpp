#include "key_get.h"
#include "library_fixture.h"

using KeyGetTest = LibraryTest;

TEST_F(KeyGetTest, RequestsCarryCodeSlotAndInputWithChecksum) {
    Bytes input = bytes(32, 1), out(64);
    fixed[ORVEXA_IOCTL_KEY_GET] = ok(frame(0, 0, 0, 32, Bytes(32)));
    ASSERT_EQ(orvexa_key_get2(input.data(), out.data()) +
                  orvexa_key_get2_slot(input.data(), out.data(), 0),
              2);
    EXPECT_EQ(fake().requests[1].in, fake().requests[2].in);
    EXPECT_EQ(last_request().in, frame(2, 0, xor_of(input), 32, input));
    ASSERT_EQ(orvexa_key_get2_slot(input.data(), out.data(), 9), 1);
    EXPECT_EQ(last_request().in, frame(2, 9, xor_of(input), 32, input));
    fixed[ORVEXA_IOCTL_KEY_GET] = ok(frame(0, 0, 0, 12, Bytes(12)));
    ASSERT_EQ(orvexa_key_get5_slot(out.data(), 3), 1);
    EXPECT_EQ(last_request().in, frame(5, 3));
    ASSERT_EQ(orvexa_key_get5(out.data()), 1); // the variant without a slot asks slot 0
    EXPECT_EQ(last_request().in, frame(5, 0));
    EXPECT_EQ(orvexa_key_get1(nullptr, out.data()) + orvexa_key_get4(nullptr), 0);
    EXPECT_EQ(status(), 3u); // codes 1..3 need their input
    EXPECT_EQ(fake().requests.size(), 6u);
}

// Each code's item has one length: a reply one byte shorter or longer fails with status 4
// and writes nothing; the exact one is copied and nothing past it.
TEST_F(KeyGetTest, ItemLengthMustMatchExactly) {
    const uint32_t lengths[15] = {0, 32, 32, 32, 10, 12, 32, 32, 32, 64, 33, 32, 32, 32, 36};
    Bytes input(32);
    for (uint32_t code = 1; code <= 14; ++code) {
        for (uint32_t length : {lengths[code] - 1, lengths[code] + 1, lengths[code]}) {
            // What the checksum covers is what fits the output room: one item at most.
            uint8_t x = std::min(length, lengths[code]) % 2 ? 0x5A : 0;
            fixed[ORVEXA_IOCTL_KEY_GET] = ok(frame(0, 0, x, length, Bytes(length, 0x5A)));
            Bytes out(80, 0xEE);
            int ok = fresh([&] { return orx_key_get(code, 2, input.data(), out.data()); });
            EXPECT_EQ(ok, length == lengths[code]) << code << " " << length;
            EXPECT_EQ(std::make_tuple(status(), out[0], out[lengths[code]], last_request().out_size,
                                      last_request().in.size()),
                      std::make_tuple(ok ? 0u : 4u, ok ? 0x5A : 0xEE, 0xEE, 16 + lengths[code],
                                      code <= 3 ? 48u : 16u));
        }
    }
    EXPECT_EQ(held(), 1);
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
        {"12345678901", 6, 7, 0, -1},  {"", 6, 7, 0, -1},
        {nullptr, 6, 7, 0, -1},        {"4444444444", 6, 6, 16, -1},
        {"2222222222", 9, 7, 3, -1},   {"2222222222", 7, 0, 4, 2},
        {"2222222222", 6, 0, 4, 2},    {"2222222222", 8, 0, 4, 2},
        {"2222222222", 12, 0, 4, 2},   {"2222222222", 13, 6, 4, -1},
        {"333333333333", 12, 0, 6, 4},
    };
    for (auto& c : cases) {
        Bytes out(32, 0xEE);
        EXPECT_EQ(fresh([&] { return orvexa_key_get_by_number(c.number, c.code, out.data()); }),
                  c.result);
        EXPECT_EQ(std::make_tuple(fake().requests.size(), out[0]),
                  std::make_tuple(c.requests, uint8_t(c.slot < 0 ? 0xEE : c.slot)))
            << c.code;
        for (size_t slot = 0; slot + 1 < c.requests; ++slot)
            EXPECT_EQ(word(fake().requests[slot].in, 1), slot);
        EXPECT_TRUE(c.result != 0 || status() == 15u); // slot 0 had no number
    }
    EXPECT_EQ(orvexa_key_get_by_number("1111111111", 6, nullptr), 7);
}
