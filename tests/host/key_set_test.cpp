#include "key_set.h"
#include "library_fixture.h"
#include "seed_mask.h"

namespace {
// No RANDOM key (length -2), the key without the value (-1), or `length` bytes first,
// first + 1, ... of `type` (3: binary).
void store_mask(int length, int type = 3, int first = 0) {
    fake().user_keys.clear();
    if (length >= -1)
        user_key(ORX_RANDOM_KEY);
    if (length >= 0)
        user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE] = {
            uint32_t(type), LibraryTest::bytes(size_t(length), uint8_t(first))};
}
Bytes stored_mask() {
    return user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE].bytes;
}
} // namespace

using KeySetTest = LibraryTest;

// Requests carry code, slot, checksum and length; too long or missing data, a driver status,
// no request buffer and an absent driver fail (3: not 51, the query failed first).
TEST_F(KeySetTest, HeaderLengthsLimitsAndFailures) {
    Bytes data = bytes(2048, 1), first36(data.begin(), data.begin() + 36);
    ASSERT_EQ(orvexa_key_set3(nullptr, 0), 1);
    EXPECT_EQ(last(ORVEXA_IOCTL_KEY_SET)->in, frame(3));
    ASSERT_EQ(orvexa_key_set11_slot(data.data(), 2048, 7), 1);
    EXPECT_EQ(last(ORVEXA_IOCTL_KEY_SET)->in, frame(11, 7, xor_of(data), 2048, data));
    ASSERT_EQ(orvexa_key_set12_slot(data.data(), 2), 1);
    EXPECT_EQ(make_tuple(last(ORVEXA_IOCTL_KEY_SET)->in, last(ORVEXA_IOCTL_KEY_SET)->out_size),
              make_tuple(frame(12, 2, xor_of(first36), 36, first36), 16u));
    auto set2 = [&] { return orvexa_key_set2(data.data(), 4); };
    EXPECT_EQ(run([&] { return orvexa_key_set1(data.data(), 2049) + orvexa_key_set2(nullptr, 4); }),
              make_tuple(0, 3u));
    EXPECT_EQ(count(ORVEXA_IOCTL_KEY_SET), 0u);
    fixed[ORVEXA_IOCTL_KEY_SET] = ok(frame(0x00020021));
    EXPECT_EQ(run(set2), make_tuple(0, 0x21u));
    fixed.clear();
    fake().fail_allocation = 0;
    EXPECT_EQ(run(set2), make_tuple(0, 3u));
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(run(set2), make_tuple(0, 3u)); // not 51: the query failed
    auto base = fake().handler;
    fake().handler = [base](const FakeRequest& r) { // gone between the query and the request
        if (fake().requests.size() == 2) {          // the query after the open's own
            orvexa_drv_close();
            fake().open_fails = true;
        }
        return base(r);
    };
    fake().open_fails = false;
    EXPECT_EQ(run(set2), make_tuple(0, 51u));
    EXPECT_EQ(held(), 0);
}

// Only a 32-byte seed of code 14 gets the user's mask added: the stored one (zeros past a
// short one, nothing from one that is not binary or too long to read), or a new one from
// the system generator, stored at once, when the RANDOM key did not exist.
TEST_F(KeySetTest, TheSeedMask) {
    const int cases[][8] = {
        // code, length, the stored mask (length, type), the key cannot be created, the system
        // generator fails; the first `masked` bytes get 0xF0 + i (a new mask: 0x10 + i)
        {14, 31, 32, 3, 0, 0, 0},  {14, 33, 32, 3, 0, 0, 0},   {13, 32, 32, 3, 0, 0, 0},
        {14, 32, 32, 3, 0, 0, 32}, {14, 32, 10, 3, 0, 0, 10},  {14, 32, 4096, 3, 0, 0, 32},
        {14, 32, 32, 1, 0, 0, 0},  {14, 32, 4097, 3, 0, 0, 0}, {14, 32, -1, 3, 0, 0, 0},
        {14, 32, -2, 3, 0, 0, 32}, {14, 32, -2, 3, 1, 0, 0},   {14, 32, -2, 3, 0, 1, 0},
    };
    const Bytes seed = bytes(33, 0x10);
    for (auto& c : cases) {
        store_mask(c[2], c[3], 0xF0);
        std::tie(fake().key_create_fails, fake().random_fails, fake().next_random) =
            make_tuple(c[4], c[5], 0x10);
        ASSERT_EQ(orx_key_set_request(uint16_t(c[0]), 0, seed.data(), uint32_t(c[1])), 1);
        Bytes expected(seed.begin(), seed.begin() + c[1]);
        for (int i = 0; i < c[6]; ++i)
            expected[i] = uint8_t(expected[i] + (c[2] == -2 ? 0x10 : 0xF0) + i);
        EXPECT_EQ(last(ORVEXA_IOCTL_KEY_SET)->in, frame(c[0], 0, xor_of(expected), c[1], expected))
            << c[2];
        EXPECT_EQ(make_tuple(seed[0], fake().open_keys), make_tuple(0x10, 0)); // the caller's data
        if (c[2] == -2 && !c[4]) {
            EXPECT_EQ(stored_mask(), c[5] ? Bytes() : bytes(32, 0x10));
        }
    }
}

// After a key-set request the generator is tested when it is ready and was not before, or
// was not checked; a mask that can be read whole first gets 32 fresh generator bytes added
// (not when its key was only just created, nor when the generator was unchecked).
TEST_F(KeySetTest, TheGeneratorCheckAfterARequest) {
    const Bytes good = sample_with_square_sum(25600), even = sample_with_square_sum(0);
    const int cases[][10] = {
        // ready before, checked before, becomes ready, the sample passes, the stored mask's
        // length; the result, block reads, the mask refreshed, checked after, the status after
        {0, 1, 1, 1, 32, 1, 801, 1, 1, 9},  {1, 1, 1, 1, 32, 1, 0, 0, 1, 9},
        {1, 0, 1, 1, 32, 1, 801, 0, 1, 9},  {0, 1, 0, 1, 32, 1, 0, 0, 1, 9},
        {0, 1, 1, 0, 32, 0, 4001, 1, 0, 1}, {0, 1, 1, 1, -2, 1, 801, 0, 1, 9},
        {0, 1, 1, 1, 10, 1, 801, 1, 1, 9},
    };
    uint8_t data[4] = {};
    ASSERT_EQ(orvexa_drv_open(), 1);
    for (auto& c : cases) {
        store_mask(c[4]);
        std::tie(fake().registry_writes, words[1], position, block_reads) =
            make_tuple(0, c[0], 0, 0);
        orx_set_rndm_checked(c[1]);
        on_key_set = [&] { words[1] = c[2]; };
        stream = bytes(32, 0x80);
        stream.insert(stream.end(), (c[3] ? good : even).begin(), (c[3] ? good : even).end());
        EXPECT_EQ(run([&] { return orvexa_key_set5(data, 4); }), make_tuple(c[5], uint32_t(c[9])));
        EXPECT_EQ(make_tuple(block_reads, orx_rndm_checked(), user_key_exists(ORX_RANDOM_KEY),
                             fake().registry_writes),
                  make_tuple(c[6], c[8], true, c[7]));
        Bytes expected = bytes(size_t(std::max(c[4], 0)), 0);
        for (int i = 0; c[7] && i < std::min(c[4], 32); ++i)
            expected[i] = uint8_t(expected[i] + 0x80 + i);
        if (c[4] >= 0) {
            EXPECT_EQ(stored_mask(), expected);
        }
    }
    store_mask(32); // the same as the first row, but the key cannot be opened: left alone
    std::tie(words[1], position, fake().key_create_fails) = make_tuple(0, 0, true);
    EXPECT_EQ(orvexa_key_set5(data, 4), 1);
    EXPECT_EQ(stored_mask(), bytes(32, 0));
}
