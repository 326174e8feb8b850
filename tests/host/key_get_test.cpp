#include "key_get.h"
#include "library_fixture.h"

namespace {

// A driver whose slots hold the key numbers `numbers` ("" = none): code 4 answers a
// 10-character number, code 5 a 12-character one, the driver refuses with status 15 where
// a slot has none of that length, and any other code answers 32 bytes of the slot number
// (refused for code 13).
std::function<FakeAnswer(const FakeRequest&)> numbers_driver(std::vector<std::string> numbers) {
    return [=](const FakeRequest& r) {
        uint32_t code = fake_word(r.in, 0), slot = fake_word(r.in, 1);
        std::string number = slot < numbers.size() ? numbers[slot] : "";
        if ((code == 4 && number.size() == 10) || (code == 5 && number.size() == 12)) {
            std::vector<uint8_t> item(number.begin(), number.end());
            return replies(fake_header(0, xor_of(item), uint32_t(item.size()), item));
        }
        if (code == 4 || code == 5 || code == 13)
            return replies(fake_header(15, 0, 0));
        return replies(fake_header(0, 0, 32, std::vector<uint8_t>(32, uint8_t(slot))));
    };
}

} // namespace

using KeyGetTest = LibraryTest;

TEST_F(KeyGetTest, RequestsCarryCodeSlotAndInputWithChecksum) {
    std::vector<uint8_t> input = bytes(32, 1), out(64);
    fixed[ORVEXA_IOCTL_KEY_GET] = replies(fake_header(0, 0, 32, std::vector<uint8_t>(32)));
    ASSERT_EQ(orvexa_key_get2(input.data(), out.data()), 1);
    const FakeRequest slot0 = last_request();
    EXPECT_EQ(slot0.in, fake_header(2, xor_of(input), 32, input));
    EXPECT_EQ(slot0.out_size, 48u);
    ASSERT_EQ(orvexa_key_get2_slot(input.data(), out.data(), 0), 1);
    EXPECT_EQ(last_request().in, slot0.in);
    ASSERT_EQ(orvexa_key_get2_slot(input.data(), out.data(), 9), 1);
    EXPECT_EQ(fake_word(last_request().in, 1), 9u);

    fixed[ORVEXA_IOCTL_KEY_GET] = replies(fake_header(0, 0, 12, std::vector<uint8_t>(12)));
    ASSERT_EQ(orvexa_key_get5_slot(out.data(), 3), 1);
    EXPECT_EQ(last_request().in.size(), 16u);
    EXPECT_EQ(fake_word(last_request().in, 1), 3u);
    EXPECT_EQ(fake_word(last_request().in, 3), 0u);
    EXPECT_EQ(last_request().out_size, 28u);
    ASSERT_EQ(orvexa_key_get5(out.data()), 1); // the variant without a slot asks slot 0
    EXPECT_EQ(last_request().in, fake_header(5, 0, 0));

    size_t sent = fake().requests.size();
    EXPECT_EQ(orvexa_key_get1(nullptr, out.data()), 0); // codes 1..3 need their input
    EXPECT_EQ(orvexa_key_get4(nullptr), 0);
    EXPECT_EQ(status(), 3u);
    EXPECT_EQ(fake().requests.size(), sent);
}

// Each code's item has one length: a reply one byte shorter or longer fails with status 4
// and writes nothing; the exact one is copied and nothing past it.
TEST_F(KeyGetTest, ItemLengthMustMatchExactly) {
    const uint32_t lengths[15] = {0, 32, 32, 32, 10, 12, 32, 32, 32, 64, 33, 32, 32, 32, 36};
    std::vector<uint8_t> input(32);
    for (uint32_t code = 1; code <= 14; ++code) {
        for (uint32_t length : {lengths[code] - 1, lengths[code] + 1, lengths[code]}) {
            std::vector<uint8_t> item(length, 0x5A);
            // What the checksum covers is what fits the output room: one item at most.
            uint8_t x = std::min(length, lengths[code]) % 2 ? 0x5A : 0;
            fixed[ORVEXA_IOCTL_KEY_GET] = replies(fake_header(0, x, length, item));
            std::vector<uint8_t> out(80, 0xEE);
            int ok = fresh([&] { return orx_key_get(code, 2, input.data(), out.data()); });
            EXPECT_EQ(ok, length == lengths[code]) << code << " " << length;
            EXPECT_EQ(status(), ok ? 0u : 4u);
            EXPECT_EQ(out[0], ok ? 0x5A : 0xEE);
            EXPECT_EQ(out[lengths[code]], 0xEE);
            EXPECT_EQ(last_request().out_size, 16 + lengths[code]);
            EXPECT_EQ(last_request().in.size(), code <= 3 ? 48u : 16u);
        }
    }
    EXPECT_EQ(buffers_held(), 1);
}

// The first slot with the number wins; the item's code is checked only after a match.
TEST_F(KeyGetTest, ByNumber) {
    fake().handler = numbers_driver({"", "1111111111", "2222222222", "2222222222", "333333333333"});
    ASSERT_EQ(orvexa_drv_open(), 1);
    const struct {
        const char* number;
        int code;
        int result;
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
        std::vector<uint8_t> out(32, 0xEE);
        EXPECT_EQ(fresh([&] { return orvexa_key_get_by_number(c.number, c.code, out.data()); }),
                  c.result);
        EXPECT_EQ(fake().requests.size(), c.requests) << c.code;
        EXPECT_EQ(out[0], c.slot < 0 ? 0xEE : c.slot);
        for (size_t slot = 0; slot + 1 < c.requests; ++slot)
            EXPECT_EQ(fake_word(fake().requests[slot].in, 1), slot);
        EXPECT_TRUE(c.result != 0 || status() == 15u); // slot 0 had no number
    }
    EXPECT_EQ(orvexa_key_get_by_number("1111111111", 6, nullptr), 7);
}
