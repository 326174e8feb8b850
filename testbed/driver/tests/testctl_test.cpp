// The test-control request: faults, counters, last request, bias, reset.
#include <gtest/gtest.h>

#include "emu_client.h"

namespace {

TEST(Faults, FailedCallsHaveNoEffect) {
    EmuClient c;
    ASSERT_EQ(0, c.arm(F_KEY_SET, ORVEXA_TESTCTL_FAULT_FAIL));
    EXPECT_EQ(ORVEXA_EMU_FAIL, c.key_set(4, 0, text("0123456789")).rc);
    EXPECT_EQ(15u, c.key_get(4, 0).word(0));
    EXPECT_EQ(0u, c.key_set(4, 0, text("0123456789")).word(0)) << "one shot";

    ASSERT_EQ(0, c.arm(F_RESET, ORVEXA_TESTCTL_FAULT_NETPATH));
    EXPECT_EQ(ORVEXA_EMU_FAIL_NETPATH, c.fn(F_RESET, framed(0, 0), 0).rc);
    EXPECT_EQ(0u, c.key_get(4, 0).word(0)) << "slot kept";
    EXPECT_EQ(ORVEXA_EMU_OK, c.fn(F_RESET, framed(0, 0), 0).rc);
}

TEST(Faults, DriverStatusReplacesTheAnswer) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(4, "0123456789", "012345678901"));
    ASSERT_EQ(0, c.arm(F_KEY_GET, ORVEXA_TESTCTL_FAULT_STATUS, 0x00010005));
    Answer a = c.key_get(4, 4);
    ASSERT_EQ(16u, a.out.size());
    EXPECT_EQ(0x00010005u, a.word(0));
    EXPECT_EQ(4u, a.word(1));
    EXPECT_EQ(0u, a.word(3));

    ASSERT_EQ(0, c.arm(F_SEED_BYTE, ORVEXA_TESTCTL_FAULT_STATUS, 42, 0, ORVEXA_TESTCTL_FOREVER));
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(42u, c.seed_byte(1).word(0));
    EXPECT_EQ(0u, c.info(9)) << "refused bytes not taken";

    ASSERT_EQ(0, c.arm(F_INFO, ORVEXA_TESTCTL_FAULT_STATUS, 5));
    EXPECT_EQ(ORVEXA_EMU_FAIL, c.fn(F_INFO, framed(0, 0), 80).rc) << "no header to carry it";
}

TEST(Faults, ChecksumAndLengthDamageOnlyTheirWord) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(0, "0123456789", "012345678901"));
    const Answer good = c.key_get(4, 0);

    ASSERT_EQ(0, c.arm(F_KEY_GET, ORVEXA_TESTCTL_FAULT_CHECKSUM));
    Answer a = c.key_get(4, 0);
    EXPECT_EQ(good.word(2) ^ 1u, a.word(2));
    EXPECT_EQ(good.data(), a.data());
    ASSERT_EQ(0, c.arm(F_KEY_GET, ORVEXA_TESTCTL_FAULT_CHECKSUM, 0x100));
    EXPECT_EQ(good.word(2) | 0x100u, c.key_get(4, 0).word(2));

    ASSERT_EQ(0, c.arm(F_KEY_GET, ORVEXA_TESTCTL_FAULT_LENGTH_DELTA, uint32_t(-1)));
    a = c.key_get(4, 0);
    EXPECT_EQ(9u, a.word(3));
    EXPECT_EQ(xor_of(a.out.data() + 16, 9), a.word(2)) << "checksum stays valid";

    ASSERT_EQ(0, c.arm(F_KEY_GET, ORVEXA_TESTCTL_FAULT_LENGTH_DELTA, 1));
    a = c.fn(F_KEY_GET, framed(4, 0), 16 + 11);
    EXPECT_EQ(11u, a.word(3));
    ASSERT_EQ(27u, a.out.size());
    EXPECT_EQ(0, a.out[26]);
    EXPECT_EQ(xor_of(a.out.data() + 16, 11), a.word(2));
    ASSERT_EQ(0, c.arm(F_KEY_GET, ORVEXA_TESTCTL_FAULT_LENGTH_DELTA, 1));
    EXPECT_EQ(26u, c.key_get(4, 0).out.size()) << "padding stops at the room";

    ASSERT_EQ(0, c.arm(F_BLOCK, ORVEXA_TESTCTL_FAULT_LENGTH, 0x10000));
    a = c.block();
    EXPECT_EQ(0x10000u, a.word(3));
    EXPECT_EQ(528u, a.out.size());

    ASSERT_EQ(0, c.arm(F_BYTE, ORVEXA_TESTCTL_FAULT_LENGTH_DELTA, uint32_t(-1)));
    EXPECT_EQ(0u, c.fn(F_BYTE, {}, 1).out.size());
}

TEST(Faults, SkipCountAnyCodeAndArmingOrder) {
    EmuClient c;
    ASSERT_EQ(0, c.arm(F_STEP, ORVEXA_TESTCTL_FAULT_FAIL, 0, 2, 2));
    std::vector<int> rcs;
    for (int i = 0; i < 5; i++)
        rcs.push_back(c.step());
    EXPECT_EQ(std::vector<int>({0, 0, 1, 1, 0}), rcs);

    ASSERT_EQ(0, c.arm(0xFF, ORVEXA_TESTCTL_FAULT_NETPATH, 0, 1));
    ASSERT_EQ(0, c.arm(0xFF, ORVEXA_TESTCTL_FAULT_FAIL));
    EXPECT_EQ(ORVEXA_EMU_FAIL, c.fn(F_BYTE, {}, 1).rc) << "the due one strikes";
    EXPECT_EQ(ORVEXA_EMU_FAIL_NETPATH, c.fn(F_INFO, framed(0, 0), 80).rc);
    EXPECT_EQ(ORVEXA_EMU_OK, c.fn(F_INFO, framed(0, 0), 80).rc);

    for (int i = 0; i < 4; i++)
        ASSERT_EQ(0, c.arm(F_STEP, ORVEXA_TESTCTL_FAULT_FAIL, 0, 0, ORVEXA_TESTCTL_FOREVER));
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.arm(F_STEP, ORVEXA_TESTCTL_FAULT_FAIL)) << "table full";
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.arm(F_STEP, 7));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_CLEAR_FAULTS));
    EXPECT_EQ(ORVEXA_EMU_OK, c.step());
}

// The statistic of the library's self-test over 25,600 bytes.
double chi_square(EmuClient& c) {
    std::vector<int> n(256);
    for (int got = 0; got < 25600;) {
        Bytes d = c.block().data();
        for (size_t i = 0; i < d.size() && got < 25600; i++, got++)
            n[d[i]]++;
    }
    double chi2 = 0;
    for (int v : n)
        chi2 += (v - 100.0) * (v - 100.0) / 100.0;
    return chi2;
}
bool passes(double chi2) {
    return chi2 >= 205.33 && chi2 <= 310.57;
}

TEST(Observation, BiasModesFailTheChiSquareTestUntilSwitchedOff) {
    EmuClient c;
    int healthy = 0;
    for (int i = 0; i < 5; i++)
        healthy += passes(chi_square(c));
    EXPECT_GE(healthy, 3);

    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_BIAS, ORVEXA_TESTCTL_BIAS_HALF));
    for (int i = 0; i < 5; i++)
        EXPECT_GT(chi_square(c), 310.57);
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_BIAS, ORVEXA_TESTCTL_BIAS_FLAT));
    EXPECT_EQ(0.0, chi_square(c));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_BIAS, ORVEXA_TESTCTL_BIAS_OFF));
    healthy = 0;
    for (int i = 0; i < 5; i++)
        healthy += passes(chi_square(c));
    EXPECT_GE(healthy, 3);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.ctl(ORVEXA_TESTCTL_SET_BIAS, 3));
}

TEST(Scenario, WordsBlockUnitsStateAndReset) {
    EmuClient c;
    const Bytes first = c.block().data();
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_WORD, 1, 0x55));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_WORD, 5, 100));
    EXPECT_EQ(0u, c.info(7));
    EXPECT_EQ(0x55u, c.info(1));
    EXPECT_EQ(100u, c.info(5));
    EXPECT_EQ(816u, c.block().out.size());
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.ctl(ORVEXA_TESTCTL_SET_WORD, 20, 0));
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.ctl(ORVEXA_TESTCTL_SET_BLOCK_UNITS, 4097));
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.call(ORVEXA_TESTCTL_CODE, Bytes(23), 0).rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.ctl(99));

    ASSERT_EQ(0, c.load_key(9, "0123456789", "012345678901"));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_WORD, 8, 1));
    ASSERT_EQ(0, c.arm(F_STEP, ORVEXA_TESTCTL_FAULT_FAIL));
    c.seed_byte(1);
    Answer st = c.ctl_answer(ORVEXA_TESTCTL_GET_STATE, {}, {}, sizeof(orvexa_testctl_state));
    ASSERT_EQ(sizeof(orvexa_testctl_state), st.out.size());
    orvexa_testctl_state s;
    memcpy(&s, st.out.data(), sizeof s);
    EXPECT_EQ(1u, s.seed_bytes);
    EXPECT_EQ(1u << 9, s.loaded_slots);
    EXPECT_EQ(0x1DFEu, s.item_mask[9]); // codes 1-8 and 10-12
    EXPECT_EQ((1u << 1) | (1u << 7) | (1u << 8), s.pinned);
    EXPECT_EQ(1u, s.faults_armed);
    EXPECT_EQ(100u, s.block_units);

    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_RESET));
    EmuClient fresh;
    orvexa_emu* r = c.emu();
    EXPECT_EQ(0, memcmp(&r->slot, &fresh.emu()->slot, sizeof r->slot));
    for (int w = 0; w < 20; w++)
        EXPECT_EQ(fresh.info(w), c.info(w)) << "word " << w;
    EXPECT_EQ(ORVEXA_EMU_OK, c.step()) << "faults cleared";
    EXPECT_NE(first, c.block().data()) << "output does not repeat after a reset";
}

} // namespace
