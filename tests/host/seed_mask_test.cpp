// The user's seed mask: what a merge writes back and what a seed is masked with, for every
// shape the stored value can have.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "platform.h"
#include "registry.h"
#include "seed_mask.h"

namespace {

std::vector<uint8_t> counting(size_t n, uint8_t from = 0) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(from + i);
    return v;
}

struct StoredCase {
    const char* what;
    bool key_exists;
    uint32_t type;
    std::vector<uint8_t> stored;
    std::vector<uint8_t> after_merge; // empty: the value as it was (or still absent)
    std::vector<uint8_t> loaded;      // the 32 bytes a seed is masked with
};

std::vector<uint8_t> merged(std::vector<uint8_t> v) {
    for (size_t i = 0; i < v.size() && i < ORX_MASK_SIZE; ++i)
        v[i] = uint8_t(v[i] + 0xF0 + i);
    return v;
}

std::vector<uint8_t> padded(std::vector<uint8_t> v) {
    v.resize(ORX_MASK_SIZE);
    return v;
}

std::vector<StoredCase> stored_cases() {
    auto big = counting(ORX_MASK_MAX_STORED, 7);
    return {
        {"32 binary bytes", true, ORX_REG_BINARY, counting(32), merged(counting(32)), counting(32)},
        {"10 binary bytes", true, ORX_REG_BINARY, counting(10), merged(counting(10)),
         padded(counting(10))},
        {"the longest value", true, ORX_REG_BINARY, big, merged(big), counting(32, 7)},
        {"one byte too long",
         true,
         ORX_REG_BINARY,
         counting(ORX_MASK_MAX_STORED + 1),
         {},
         padded({})},
        {"a string", true, ORX_REG_SZ, counting(32, 1), {}, padded({})},
        {"no value", true, 0, {}, {}, padded({})},
    };
}

class SeedMaskTest : public ::testing::Test {
  protected:
    void store(const StoredCase& c) {
        fake_reset();
        if (c.key_exists)
            user_key(ORX_RANDOM_KEY);
        if (c.type)
            user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE] = {c.type, c.stored};
    }
    const FakeValue* value() {
        auto& values = user_key(ORX_RANDOM_KEY).values;
        auto it = values.find(ORX_MASK_VALUE);
        return it == values.end() ? nullptr : &it->second;
    }
};

int fresh_fails(void*, uint32_t) {
    return 0;
}

} // namespace

TEST_F(SeedMaskTest, MergeAddsToTheFirst32BytesOfAUsableValueAndLeavesOthersAlone) {
    uint8_t add[ORX_MASK_SIZE];
    for (uint32_t i = 0; i < ORX_MASK_SIZE; ++i)
        add[i] = uint8_t(0xF0 + i);
    for (const StoredCase& c : stored_cases()) {
        SCOPED_TRACE(c.what);
        store(c);
        orx_user_mask_merge(add);
        const FakeValue* v = value();
        if (!c.type) {
            EXPECT_EQ(v, nullptr); // a merge never makes a mask
            continue;
        }
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->type, c.after_merge.empty() ? c.type : uint32_t(ORX_REG_BINARY));
        EXPECT_EQ(v->bytes, c.after_merge.empty() ? c.stored : c.after_merge);
    }
    fake_reset(); // no RANDOM key: created, and left without a mask
    orx_user_mask_merge(add);
    EXPECT_TRUE(user_key_exists(ORX_RANDOM_KEY));
    EXPECT_EQ(value(), nullptr);
    EXPECT_EQ(fake().open_keys, 0);
}

TEST_F(SeedMaskTest, LoadGivesTheStoredBytesOrZerosAndANewUserAFreshStoredMask) {
    uint8_t mask[ORX_MASK_SIZE];
    for (const StoredCase& c : stored_cases()) {
        SCOPED_TRACE(c.what);
        store(c);
        ASSERT_EQ(orx_user_mask_load(mask, plat_random), 1);
        EXPECT_EQ(std::vector<uint8_t>(mask, mask + ORX_MASK_SIZE), c.loaded);
    }
    fake_reset();
    ASSERT_EQ(orx_user_mask_load(mask, plat_random), 1);
    EXPECT_EQ(std::vector<uint8_t>(mask, mask + ORX_MASK_SIZE), counting(32, 0x10));
    ASSERT_NE(value(), nullptr);
    EXPECT_EQ(value()->bytes, counting(32, 0x10));
    fake_reset(); // the system generator fails: no mask to use, none stored
    EXPECT_EQ(orx_user_mask_load(mask, fresh_fails), 0);
    EXPECT_EQ(value(), nullptr);
    fake_reset();
    fake().key_create_fails = true;
    EXPECT_EQ(orx_user_mask_load(mask, plat_random), 0);
    EXPECT_EQ(fake().open_keys, 0);
}
