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
            user_key(random_key).values["mask"] = {type, bytes(size_t(length), first)};
    }
};

} // namespace

using KeySetTest = LibraryTest;

TEST_F(KeySetTest, HeaderLengthsAndTheLimit) {
    std::vector<uint8_t> data = bytes(2049, 1);
    auto sent = [this] { return *last(ORVEXA_IOCTL_KEY_SET); };
    ASSERT_EQ(orvexa_key_set3(nullptr, 0), 1);
    EXPECT_EQ(sent().in, fake_header(3, 0, 0));
    EXPECT_EQ(sent().out_size, 16u);
    ASSERT_EQ(orvexa_key_set11_slot(data.data(), 2048, 7), 1);
    data.pop_back();
    std::vector<uint8_t> expected = fake_header(11, xor_of(data), 2048, data);
    expected[4] = 7; // the slot word
    EXPECT_EQ(sent().in, expected);
    ASSERT_EQ(orvexa_key_set12_slot(data.data(), 2), 1);
    EXPECT_EQ(fake_word(sent().in, 0), 12u);
    EXPECT_EQ(fake_word(sent().in, 1), 2u);
    EXPECT_EQ(sent().in.size(), 16u + 36);
    EXPECT_EQ(fake_word(sent().in, 3), 36u);
    EXPECT_EQ(orvexa_key_set1(data.data(), 2049), 0);
    EXPECT_EQ(orvexa_key_set2(nullptr, 4), 0);
    EXPECT_EQ(status(), 3u);
    EXPECT_EQ(count(ORVEXA_IOCTL_KEY_SET), 3u);
    EXPECT_EQ(buffers_held(), 1);

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
        uint32_t masked;
        uint8_t first;
    } cases[] = {
        {14, 31, {32, 3, 0xF0}, false, false, 0, 0},
        {14, 33, {32, 3, 0xF0}, false, false, 0, 0},
        {13, 32, {32, 3, 0xF0}, false, false, 0, 0},
        {14, 32, {32, 3, 0xF0}, false, false, 32, 0xF0},
        {14, 32, {10, 3, 0xF0}, false, false, 10, 0xF0},
        {14, 32, {40, 3, 0xF0}, false, false, 32, 0xF0},
        {14, 32, {32, 1, 0xF0}, false, false, 0, 0},
        {14, 32, {4097, 3, 0xF0}, false, false, 0, 0},
        {14, 32, {-1, 3, 0}, false, false, 0, 0},
        {14, 32, {-2, 3, 0}, false, false, 32, 0x10},
        {14, 32, {-2, 3, 0}, true, false, 0, 0},
        {14, 32, {-2, 3, 0}, false, true, 0, 0},
    };
    const std::vector<uint8_t> seed = bytes(33, 0x10);
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " " << c.length << " " << c.stored.length);
        c.stored.store();
        fake().key_create_fails = c.create_fails;
        fake().random_fails = c.random_fails;
        fake().next_random = 0x10;
        ASSERT_EQ(orx_key_set_request(c.code, 0, seed.data(), c.length), 1);
        std::vector<uint8_t> expected(seed.begin(), seed.begin() + c.length);
        for (uint32_t i = 0; i < c.masked; ++i)
            expected[i] = uint8_t(expected[i] + c.first + i);
        EXPECT_EQ(last(ORVEXA_IOCTL_KEY_SET)->in,
                  fake_header(c.code, xor_of(expected), c.length, expected));
        EXPECT_EQ(seed[0], 0x10); // the caller's data is never changed
        EXPECT_EQ(fake().open_keys, 0);
        if (c.stored.length == -2 && !c.create_fails) {
            auto& values = user_key(random_key).values;
            auto stored = values.count("mask") ? values["mask"].bytes : std::vector<uint8_t>();
            EXPECT_EQ(stored, c.random_fails ? std::vector<uint8_t>() : bytes(32, 0x10));
        }
    }
}

// After a key-set request the generator is tested when it is ready and was not before, or
// was not checked; a mask that can be read whole first gets 32 fresh generator bytes added
// (not when its key was only just created, nor when the generator was unchecked).
TEST_F(KeySetTest, TheGeneratorCheckAfterARequest) {
    const std::vector<uint8_t> good = sample_with_square_sum(25600);
    const std::vector<uint8_t> even = sample_with_square_sum(0);
    const StoredMask zeros{32, 3, 0};
    const struct {
        bool ready_before, checked_before, becomes_ready, passes, read_fails, query_fails;
        StoredMask stored;
        int result;
        size_t reads;
        bool refreshed, checked_after;
        uint32_t status;
    } cases[] = {
        {false, true, true, true, false, false, zeros, 1, 801, true, true, 9},
        {true, true, true, true, false, false, zeros, 1, 0, false, true, 9},
        {true, false, true, true, false, false, zeros, 1, 801, false, true, 9},
        {false, true, false, true, false, false, zeros, 1, 0, false, true, 9},
        {false, true, true, false, false, false, zeros, 0, 4001, true, false, 1},
        {false, true, true, true, true, false, zeros, 1, 801, false, true, 0x33},
        {false, true, true, true, false, true, zeros, 1, 0, false, true, 9},
        {false, true, true, true, false, false, {-2, 3, 0}, 1, 801, false, true, 9},
        {false, true, true, true, false, false, {-1, 3, 0}, 1, 801, false, true, 9},
        {false, true, true, true, false, false, {32, 1, 0}, 1, 801, false, true, 9},
        {false, true, true, true, false, false, {4097, 3, 0}, 1, 801, false, true, 9},
        {false, true, true, true, false, false, {10, 3, 0}, 1, 801, true, true, 9},
        {false, true, true, true, false, false, {40, 3, 0}, 1, 801, true, true, 9},
    };
    uint8_t data[4] = {};
    for (size_t row = 0; row < sizeof cases / sizeof cases[0]; ++row) {
        auto& c = cases[row];
        SCOPED_TRACE(row);
        orvexa_drv_close();
        ASSERT_EQ(orvexa_drv_open(), 1);
        c.stored.store();
        fake().registry_writes = 0;
        words[1] = c.ready_before;
        orx_set_rndm_checked(c.checked_before);
        on_key_set = [&](uint32_t) { words[1] = c.becomes_ready; };
        stream = c.read_fails ? std::vector<uint8_t>() : bytes(32, 0x80);
        stream.insert(stream.end(), (c.passes ? good : even).begin(),
                      (c.passes ? good : even).end());
        position = 0;
        int reads = 0, queries = 0;
        auto base = fake().handler;
        fake().handler = [&](const FakeRequest& r) {
            if (r.code == ORVEXA_IOCTL_BLOCK_READ && ++reads == 1 && c.read_fails)
                return replies(fake_header(0x33, 0, 0));
            if (r.code == ORVEXA_IOCTL_QUERY_INFO && ++queries == 2 && c.query_fails)
                return fails_with(31);
            return base(r);
        };
        orx_set_status(9);
        EXPECT_EQ(orvexa_key_set5(data, 4), c.result);
        fake().handler = base;
        EXPECT_EQ(size_t(reads), c.reads);
        EXPECT_EQ(orx_rndm_checked(), c.checked_after);
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(user_key_exists(random_key), c.stored.length >= -1 || c.reads > 0);
        EXPECT_EQ(fake().registry_writes, c.refreshed);
        if (c.stored.length < 0)
            continue;
        std::vector<uint8_t> expected = bytes(size_t(c.stored.length), c.stored.first);
        for (int i = 0; c.refreshed && i < std::min(c.stored.length, 32); ++i)
            expected[i] = uint8_t(expected[i] + 0x80 + i);
        EXPECT_EQ(user_key(random_key).values["mask"].bytes, expected);
        EXPECT_EQ(user_key(random_key).values["mask"].type, c.stored.type);
    }
}
