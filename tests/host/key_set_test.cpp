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
    key_set_status = 0x00020021;
    EXPECT_EQ(run(set2), make_tuple(0, 0x21u));
    fake().fail_allocation = 0;
    EXPECT_EQ(run(set2), make_tuple(0, 3u));
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(run(set2), make_tuple(0, 3u)); // not 51: the query failed
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
    const int cases[][13] = {
        // ready before, checked before, becomes ready, the sample passes, the first block read
        // fails, the second query fails, the stored mask (length, type); the result, block
        // reads, the mask refreshed, checked after, the status after (9 kept)
        {0, 1, 1, 1, 0, 0, 32, 3, 1, 801, 1, 1, 9},  {1, 1, 1, 1, 0, 0, 32, 3, 1, 0, 0, 1, 9},
        {1, 0, 1, 1, 0, 0, 32, 3, 1, 801, 0, 1, 9},  {0, 1, 0, 1, 0, 0, 32, 3, 1, 0, 0, 1, 9},
        {0, 1, 1, 0, 0, 0, 32, 3, 0, 4001, 1, 0, 1}, {0, 1, 1, 1, 1, 0, 32, 3, 1, 801, 0, 1, 0x33},
        {0, 1, 1, 1, 0, 1, 32, 3, 1, 0, 0, 1, 9},    {0, 1, 1, 1, 0, 0, -2, 3, 1, 801, 0, 1, 9},
        {0, 1, 1, 1, 0, 0, -1, 3, 1, 801, 0, 1, 9},  {0, 1, 1, 1, 0, 0, 10, 3, 1, 801, 1, 1, 9},
        {0, 1, 1, 1, 0, 0, 32, 1, 1, 801, 0, 1, 9},
    };
    uint8_t data[4] = {};
    ASSERT_EQ(orvexa_drv_open(), 1);
    for (auto& c : cases) {
        store_mask(c[6], c[7]);
        std::tie(fake().registry_writes, words[1], position) = make_tuple(0, c[0], 0);
        orx_set_rndm_checked(c[1]);
        on_key_set = [&](uint32_t) { words[1] = c[2]; };
        stream = c[4] ? Bytes() : bytes(32, 0x80);
        stream.insert(stream.end(), (c[3] ? good : even).begin(), (c[3] ? good : even).end());
        int reads = 0, queries = 0;
        auto base = fake().handler;
        fake().handler = [&](const FakeRequest& r) {
            if (r.code == ORVEXA_IOCTL_BLOCK_READ && ++reads == 1 && c[4])
                return ok(frame(0x33));
            bool fail = r.code == ORVEXA_IOCTL_QUERY_INFO && ++queries == 2 && c[5];
            return fail ? fails(31) : base(r);
        };
        orx_set_status(9);
        EXPECT_EQ(orvexa_key_set5(data, 4), c[8]);
        fake().handler = base;
        EXPECT_EQ(make_tuple(reads, orx_rndm_checked(), int(status()),
                             user_key_exists(ORX_RANDOM_KEY), fake().registry_writes),
                  make_tuple(c[9], c[11], c[12], c[6] >= -1 || c[9] > 0, c[10]));
        Bytes expected = bytes(size_t(std::max(c[6], 0)), 0);
        for (int i = 0; c[10] && i < std::min(c[6], 32); ++i)
            expected[i] = uint8_t(expected[i] + 0x80 + i);
        if (c[6] >= 0) {
            EXPECT_EQ(stored_mask(), expected);
        }
    }
}
