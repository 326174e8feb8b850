// Generator readiness as the loader, the provider table and Akkord drive it.
#include <gtest/gtest.h>

#include "emu_client.h"

namespace {

struct Words {
    uint32_t ready, seeded, bytes;
};
Words words(EmuClient& c) {
    return {c.info(1), c.info(2), c.info(3)};
}
#define EXPECT_WORDS(c, r, s, b)                                                                   \
    do {                                                                                           \
        Words w_ = words(c);                                                                       \
        EXPECT_EQ(r, w_.ready != 0);                                                               \
        EXPECT_EQ(s, w_.seeded != 0);                                                              \
        EXPECT_EQ(b, w_.bytes != 0);                                                               \
    } while (0)

void put_bytes(EmuClient& c, int n) {
    for (int i = 0; i < n; i++)
        ASSERT_EQ(0u, c.seed_byte(uint8_t(0x30 + i)).word(0));
}

TEST(Readiness, ProviderFeedsFortyBytesThenASeedBlock) {
    EmuClient c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_POLICY, ORVEXA_TESTCTL_POLICY_KEYS_READY));
    EXPECT_WORDS(c, false, false, false); // (1, 40)
    put_bytes(c, 7);
    EXPECT_WORDS(c, false, false, false);
    put_bytes(c, 1);
    EXPECT_WORDS(c, false, false, true); // (1, 32) would be asked now
    ASSERT_EQ(0u, c.key_set(14, 0, filled(32)).word(0));
    EXPECT_WORDS(c, false, true, true); // (2, 64)
    EXPECT_EQ(8u, c.key_set(13, 0, filled(63)).word(0));
    EXPECT_EQ(8u, c.key_set(13, 0, filled(2049)).word(0));
    EXPECT_WORDS(c, false, true, true);
    ASSERT_EQ(0u, c.key_set(13, 0, filled(64)).word(0));
    EXPECT_WORDS(c, true, true, true); // (0, 0)
}

TEST(Readiness, SeedAloneLeavesBytesWanted) {
    EmuClient c;
    EXPECT_EQ(8u, c.key_set(14, 0, filled(31)).word(0));
    EXPECT_WORDS(c, false, false, false);
    ASSERT_EQ(0u, c.key_set(14, 0, filled(32)).word(0));
    EXPECT_WORDS(c, false, true, false); // (1, 8)
}

TEST(Readiness, AkkordBytesSeedByDefaultAndAScenarioCanHoldWordTwo) {
    EmuClient c;
    put_bytes(c, 8);
    EXPECT_WORDS(c, false, true, true);

    EmuClient held;
    ASSERT_EQ(0, held.ctl(ORVEXA_TESTCTL_SET_WORD, 2, 0));
    put_bytes(held, 8);
    EXPECT_WORDS(held, false, false, true); // progress 40, still not RNG ready
    ASSERT_EQ(0, held.ctl(ORVEXA_TESTCTL_UNPIN_WORD, 2));
    EXPECT_WORDS(held, false, true, true);
}

TEST(Readiness, FortyLoaderSamplesSeedAndAKeyMakesItReady) {
    EmuClient c;
    for (int i = 0; i < 40; i++) {
        EXPECT_EQ(0u, c.info(2)) << "after " << i << " samples";
        ASSERT_EQ(ORVEXA_EMU_OK, c.fn(F_BYTE, {}, 1).rc);
        ASSERT_EQ(ORVEXA_EMU_OK, c.step());
    }
    EXPECT_WORDS(c, false, true, false); // "please load key"
    ASSERT_EQ(0u, c.key_set(4, 3, text("0000000001")).word(0));
    EXPECT_WORDS(c, true, true, false);
    EXPECT_EQ(1u << 3, c.info(4));
    ASSERT_EQ(ORVEXA_EMU_OK, c.fn(F_RESET, framed(0, 3), 0).rc);
    EXPECT_WORDS(c, true, true, false); // readiness latches
}

TEST(Readiness, KeysBeforeSeedingWaitForTheSeed) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(0, "0123456789", "012345678901"));
    EXPECT_WORDS(c, false, false, false);
    put_bytes(c, 8);
    EXPECT_WORDS(c, true, true, true);

    EmuClient off;
    ASSERT_EQ(0, off.ctl(ORVEXA_TESTCTL_SET_POLICY, ORVEXA_TESTCTL_POLICY_BYTES_SEED));
    ASSERT_EQ(0, off.load_key(0, "0123456789", "012345678901"));
    put_bytes(off, 8);
    EXPECT_WORDS(off, false, true, true);
}

TEST(Readiness, CannotCompleteBlocksReadinessWhileReported) {
    EmuClient c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_WORD, 8, 1));
    put_bytes(c, 8);
    ASSERT_EQ(0u, c.key_set(13, 0, filled(64)).word(0));
    EXPECT_WORDS(c, false, true, true);
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_UNPIN_WORD, ORVEXA_TESTCTL_ALL));
    EXPECT_WORDS(c, true, true, true);
}

TEST(Readiness, RefusingPolicyAnswersStatusFiftyUntilReady) {
    EmuClient c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_POLICY,
                       ORVEXA_TESTCTL_POLICY_DEFAULT | ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY));
    Answer a = c.block();
    ASSERT_EQ(16u, a.out.size());
    EXPECT_EQ(50u, a.word(0));
    EXPECT_EQ(ORVEXA_EMU_OK, c.fn(F_BYTE, {}, 1).rc) << "single bytes stay available";
    ASSERT_EQ(0u, c.key_set(13, 0, filled(64)).word(0));
    EXPECT_EQ(528u, c.block().out.size());
}

TEST(Generator, OutputFollowsEverythingItIsFed) {
    EmuClient a, b;
    EXPECT_EQ(a.block().data(), b.block().data()) << "same history, same output";
    a.seed_byte(1);
    b.seed_byte(2);
    EXPECT_NE(a.block().data(), b.block().data());

    EmuClient s1, s2;
    s1.step();
    EXPECT_NE(s1.block().data(), s2.block().data());

    EmuClient m1, m2;
    orvexa_emu_mix(m1.emu(), "boot", 4);
    EXPECT_NE(m1.block().data(), m2.block().data());
    EXPECT_EQ(0u, m1.info(2)) << "mixing entropy does not seed";
}

} // namespace
