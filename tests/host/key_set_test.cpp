#include "key_set.h"
#include "library_fixture.h"

namespace {

const char* const random_key = "SOFTWARE\\DEZURE\\Cryptography\\RANDOM";

// A stored mask: no RANDOM key (-2), the key without the value (-1), or `length` bytes
// first, first + 1, ... of `type` (3: binary).
struct StoredMask {
    int length;
    uint32_t type;
    uint8_t first;
    void store() const {
        fake().user_keys.clear();
        if (length >= -1)
            user_key(random_key);
        if (length >= 0)
            user_key(random_key).values["mask"] = {type, LibraryTest::bytes(size_t(length), first)};
    }
};

} // namespace

using KeySetTest = LibraryTest;

TEST_F(KeySetTest, HeaderLengthsLimitsAndFailures) {
    Bytes data = bytes(2048, 1);
    auto sent = [this] { return last(ORVEXA_IOCTL_KEY_SET)->in; };
    ASSERT_EQ(orvexa_key_set3(nullptr, 0), 1);
    EXPECT_EQ(std::make_tuple(sent(), last(ORVEXA_IOCTL_KEY_SET)->out_size),
              std::make_tuple(frame(3), 16u));
    ASSERT_EQ(orvexa_key_set11_slot(data.data(), 2048, 7), 1);
    EXPECT_EQ(sent(), frame(11, 7, xor_of(data), 2048, data));
    ASSERT_EQ(orvexa_key_set12_slot(data.data(), 2), 1);
    EXPECT_EQ(sent(), frame(12, 2, xor_of(Bytes(data.begin(), data.begin() + 36)), 36,
                            Bytes(data.begin(), data.begin() + 36)));
    EXPECT_EQ(orvexa_key_set1(data.data(), 2049) + orvexa_key_set2(nullptr, 4), 0);
    EXPECT_EQ(std::make_tuple(status(), count(ORVEXA_IOCTL_KEY_SET), held()),
              std::make_tuple(3u, size_t(3), 1L));
    key_set_status = 0x00020021;
    EXPECT_EQ(orvexa_key_set2(data.data(), 4), 0);
    EXPECT_EQ(status(), 0x21u);
    fake().fail_allocation = 0;
    EXPECT_EQ(fresh([&] { return orvexa_key_set2(data.data(), 4); }), 0);
    EXPECT_EQ(status(), 3u);
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(fresh([&] { return orvexa_key_set2(data.data(), 4); }), 0);
    EXPECT_EQ(status(), 3u); // not 51: the query failed
}

// Only a 32-byte seed of code 14 gets the user's mask added: the stored one (zeros past a
// short one, nothing from one that is not binary or too long to read), or a new one from
// the system generator, stored at once, when the RANDOM key did not exist.
TEST_F(KeySetTest, TheSeedMask) {
    const struct {
        uint16_t code;
        uint32_t length;
        StoredMask stored;
        bool create_fails, random_fails;
        uint32_t masked; // the first `masked` bytes get first, first + 1, ... added
        uint8_t first;
    } cases[] = {
        {14, 31, {32, 3, 0xF0}, 0, 0, 0, 0},     {14, 33, {32, 3, 0xF0}, 0, 0, 0, 0},
        {13, 32, {32, 3, 0xF0}, 0, 0, 0, 0},     {14, 32, {32, 3, 0xF0}, 0, 0, 32, 0xF0},
        {14, 32, {10, 3, 0xF0}, 0, 0, 10, 0xF0}, {14, 32, {4096, 3, 0xF0}, 0, 0, 32, 0xF0},
        {14, 32, {32, 1, 0xF0}, 0, 0, 0, 0},     {14, 32, {4097, 3, 0xF0}, 0, 0, 0, 0},
        {14, 32, {-1, 3, 0}, 0, 0, 0, 0},        {14, 32, {-2, 3, 0}, 0, 0, 32, 0x10},
        {14, 32, {-2, 3, 0}, 1, 0, 0, 0},        {14, 32, {-2, 3, 0}, 0, 1, 0, 0},
    };
    const Bytes seed = bytes(33, 0x10);
    for (auto& c : cases) {
        c.stored.store();
        std::tie(fake().key_create_fails, fake().random_fails, fake().next_random) =
            std::make_tuple(c.create_fails, c.random_fails, 0x10);
        ASSERT_EQ(orx_key_set_request(c.code, 0, seed.data(), c.length), 1);
        Bytes expected(seed.begin(), seed.begin() + c.length);
        for (uint32_t i = 0; i < c.masked; ++i)
            expected[i] = uint8_t(expected[i] + c.first + i);
        EXPECT_EQ(last(ORVEXA_IOCTL_KEY_SET)->in,
                  frame(c.code, 0, xor_of(expected), c.length, expected))
            << c.stored.length;
        EXPECT_EQ(std::make_tuple(seed[0], fake().open_keys),
                  std::make_tuple(0x10, 0)); // the caller's data stays
        auto& values = user_key(random_key).values;
        if (c.stored.length == -2 && !c.create_fails) {
            EXPECT_EQ(values.count("mask") ? values["mask"].bytes : Bytes(),
                      c.random_fails ? Bytes() : bytes(32, 0x10));
        }
    }
}

// After a key-set request the generator is tested when it is ready and was not before, or
// was not checked; a mask that can be read whole first gets 32 fresh generator bytes added
// (not when its key was only just created, nor when the generator was unchecked).
TEST_F(KeySetTest, TheGeneratorCheckAfterARequest) {
    const Bytes good = sample_with_square_sum(25600), even = sample_with_square_sum(0);
    const StoredMask mask{32, 3, 0};
    const struct {
        bool ready_before, checked_before, becomes_ready, passes, read_fails, query_fails;
        StoredMask stored;
        int result, reads;
        bool refreshed, checked_after;
        uint32_t status;
    } cases[] = {
        {0, 1, 1, 1, 0, 0, mask, 1, 801, 1, 1, 9},
        {1, 1, 1, 1, 0, 0, mask, 1, 0, 0, 1, 9},
        {1, 0, 1, 1, 0, 0, mask, 1, 801, 0, 1, 9},
        {0, 1, 0, 1, 0, 0, mask, 1, 0, 0, 1, 9},
        {0, 1, 1, 0, 0, 0, mask, 0, 4001, 1, 0, 1},
        {0, 1, 1, 1, 1, 0, mask, 1, 801, 0, 1, 0x33},
        {0, 1, 1, 1, 0, 1, mask, 1, 0, 0, 1, 9},
        {0, 1, 1, 1, 0, 0, {-2, 3, 0}, 1, 801, 0, 1, 9},
        {0, 1, 1, 1, 0, 0, {-1, 3, 0}, 1, 801, 0, 1, 9},
        {0, 1, 1, 1, 0, 0, {32, 1, 0}, 1, 801, 0, 1, 9},
        {0, 1, 1, 1, 0, 0, {4097, 3, 0}, 1, 801, 0, 1, 9},
        {0, 1, 1, 1, 0, 0, {10, 3, 0}, 1, 801, 1, 1, 9},
        {0, 1, 1, 1, 0, 0, {4096, 3, 0}, 1, 801, 1, 1, 9},
    };
    uint8_t data[4] = {};
    for (auto& c : cases) {
        orvexa_drv_close();
        ASSERT_EQ(orvexa_drv_open(), 1);
        c.stored.store();
        fake().registry_writes = 0;
        words[1] = c.ready_before;
        orx_set_rndm_checked(c.checked_before);
        on_key_set = [&](uint32_t) { words[1] = c.becomes_ready; };
        stream = c.read_fails ? Bytes() : bytes(32, 0x80);
        stream.insert(stream.end(), (c.passes ? good : even).begin(),
                      (c.passes ? good : even).end());
        position = 0;
        int reads = 0, queries = 0;
        auto base = fake().handler;
        fake().handler = [&](const FakeRequest& r) {
            if (r.code == ORVEXA_IOCTL_BLOCK_READ && ++reads == 1 && c.read_fails)
                return ok(frame(0x33));
            return r.code == ORVEXA_IOCTL_QUERY_INFO && ++queries == 2 && c.query_fails ? fails(31)
                                                                                        : base(r);
        };
        orx_set_status(9);
        EXPECT_EQ(orvexa_key_set5(data, 4), c.result);
        fake().handler = base;
        EXPECT_EQ(std::make_tuple(reads, orx_rndm_checked(), status(), user_key_exists(random_key),
                                  fake().registry_writes),
                  std::make_tuple(c.reads, int(c.checked_after), c.status,
                                  c.stored.length >= -1 || c.reads > 0, int(c.refreshed)));
        Bytes expected = bytes(size_t(std::max(c.stored.length, 0)), c.stored.first);
        for (int i = 0; c.refreshed && i < std::min(c.stored.length, 32); ++i)
            expected[i] = uint8_t(expected[i] + 0x80 + i);
        if (c.stored.length >= 0) {
            EXPECT_EQ(std::tie(user_key(random_key).values["mask"].bytes,
                               user_key(random_key).values["mask"].type),
                      std::tie(expected, c.stored.type));
        }
    }
}
