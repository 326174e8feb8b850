#include <algorithm>
#include <cstring>

#include "library_fixture.h"
#include "orxlink.h"

namespace {

// Answers key-get code 4 with the slot's number from `numbers` ("" = the driver refuses).
FakeHandler numbers_driver(std::vector<std::string> numbers, uint32_t refusal = 15) {
    FakeHandler base = fake().handler;
    return [=](const FakeRequest& r) {
        if (r.code != ORVEXA_IOCTL_KEY_GET)
            return base(r);
        uint32_t code = fake_word(r.in, 0), slot = fake_word(r.in, 1);
        FakeAnswer a;
        if (code == 4 && slot < numbers.size() && !numbers[slot].empty()) {
            std::vector<uint8_t> item(numbers[slot].begin(), numbers[slot].end());
            uint8_t x = 0;
            for (uint8_t b : item)
                x ^= b;
            a.out = fake_header(0, x, 10, item);
        } else if (code != 4) {
            std::vector<uint8_t> item(32, uint8_t(slot));
            a.out = fake_header(0, 0, 32, item);
        } else {
            a.out = fake_header(refusal, 0, 0);
        }
        return a;
    };
}

} // namespace

using KeyGetTest = LibraryTest;

TEST_F(KeyGetTest, RequestsCarryCodeSlotAndInputWithChecksum) {
    uint8_t input[32], out[64];
    for (int i = 0; i < 32; ++i)
        input[i] = uint8_t(i + 1);
    answer(ORVEXA_IOCTL_KEY_GET, replies(fake_header(0, 0, 32, std::vector<uint8_t>(32))));
    ASSERT_EQ(orvexa_key_get2(input, out), 1);
    FakeRequest slot0 = last_request();
    EXPECT_EQ(slot0.in.size(), 48u);
    EXPECT_EQ(fake_word(slot0.in, 0), 2u);
    EXPECT_EQ(fake_word(slot0.in, 1), 0u);
    EXPECT_EQ(fake_word(slot0.in, 2), 0x20u);
    EXPECT_EQ(fake_word(slot0.in, 3), 32u);
    EXPECT_EQ(slot0.out_size, 48u);
    ASSERT_EQ(orvexa_key_get2_slot(input, out, 0), 1);
    EXPECT_EQ(last_request().in, slot0.in);
    ASSERT_EQ(orvexa_key_get2_slot(input, out, 9), 1);
    EXPECT_EQ(fake_word(last_request().in, 1), 9u);

    answer(ORVEXA_IOCTL_KEY_GET, replies(fake_header(0, 0, 12, std::vector<uint8_t>(12))));
    ASSERT_EQ(orvexa_key_get5_slot(out, 3), 1);
    EXPECT_EQ(last_request().in.size(), 16u);
    EXPECT_EQ(fake_word(last_request().in, 3), 0u);
    EXPECT_EQ(last_request().out_size, 28u);
    ASSERT_EQ(orvexa_key_get5(out), 1); // the variant without a slot asks slot 0
    EXPECT_EQ(fake_word(last_request().in, 0), 5u);
    EXPECT_EQ(fake_word(last_request().in, 1), 0u);
}

TEST_F(KeyGetTest, ItemLengthMustMatchExactlyAndOnlyThenIsTheBufferWritten) {
    struct {
        int (*get)(uint8_t*, uint32_t);
        uint32_t length;
    } codes[] = {{orvexa_key_get9_slot, 64},
                 {orvexa_key_get10_slot, 33},
                 {orvexa_key_get14_slot, 36},
                 {orvexa_key_get4_slot, 10}};
    for (auto& c : codes) {
        for (uint32_t length : {c.length - 1, c.length + 1, c.length}) {
            std::vector<uint8_t> item(length, 0x5A);
            // What the checksum covers is what fits the output room: one item at most.
            uint8_t x = std::min(length, c.length) % 2 ? 0x5A : 0;
            answer(ORVEXA_IOCTL_KEY_GET, replies(fake_header(0, x, length, item)));
            uint8_t out[80];
            std::memset(out, 0xEE, sizeof out);
            orx_set_status(0);
            int ok = c.get(out, 2);
            EXPECT_EQ(ok, length == c.length);
            EXPECT_EQ(orvexa_drv_last_status(), ok ? 0u : 4u) << length;
            EXPECT_EQ(out[0], ok ? 0x5A : 0xEE);
            EXPECT_EQ(out[c.length], 0xEE); // never past the item
            EXPECT_EQ(last_request().out_size, 16 + c.length);
        }
    }
    EXPECT_EQ(buffers_held(), 1);
}

TEST_F(KeyGetTest, ByNumberRefusesBadTextsWithoutOpening) {
    uint8_t out[32];
    EXPECT_EQ(orvexa_key_get_by_number("12345678901", 6, out), 7);
    EXPECT_EQ(orvexa_key_get_by_number("", 6, out), 7);
    EXPECT_EQ(orvexa_key_get_by_number(nullptr, 6, out), 7);
    EXPECT_EQ(orvexa_key_get_by_number("1234567890", 6, nullptr), 7);
    EXPECT_TRUE(fake().requests.empty());
}

TEST_F(KeyGetTest, ByNumberSearchesInSlotOrderAndChecksTheCodeOnlyAfterAMatch) {
    fake().handler = numbers_driver({"", "1111111111", "2222222222", "2222222222"});
    uint8_t out[32] = {};
    EXPECT_EQ(orvexa_key_get_by_number("3333333333", 9, out), 6);
    EXPECT_EQ(orvexa_key_get_by_number("2222222222", 9, out), 7);
    fake().requests.clear();
    orx_set_status(0);
    EXPECT_EQ(orvexa_key_get_by_number("2222222222", 7, out), 0);
    EXPECT_EQ(out[0], 2); // slot 2, not the later slot 3
    ASSERT_EQ(fake().requests.size(), 4u);
    for (uint32_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(fake_word(fake().requests[slot].in, 1), slot);
    EXPECT_EQ(fake_word(fake().requests[3].in, 0), 7u);
    EXPECT_EQ(orvexa_drv_last_status(), 15u); // slot 0 had no number
}
