// The ORVEXA requests as a client sees them: framing, items, transforms, buffer rules.
#include <gtest/gtest.h>

#include "emu_client.h"

namespace {

TEST(ChaCha20, MatchesPublishedBlockVector) {
    uint8_t key[32], out[64];
    for (int i = 0; i < 32; i++)
        key[i] = uint8_t(i);
    const uint32_t nonce[3] = {0x09000000u, 0x4a000000u, 0};
    orvexa_emu_chacha20_block(key, 1, nonce, out);
    const uint8_t head[16] = {0x10, 0xf1, 0xe7, 0xe4, 0xd1, 0x3b, 0x59, 0x15,
                              0x50, 0x0f, 0xdd, 0x1f, 0xa3, 0x20, 0x71, 0xc4};
    const uint8_t tail[4] = {0xa2, 0x50, 0x3c, 0x4e};
    EXPECT_EQ(0, memcmp(out, head, 16));
    EXPECT_EQ(0, memcmp(out + 60, tail, 4));
}

TEST(Info, EmptyDriverRecordAndBufferRules) {
    EmuClient c;
    Answer a = c.fn(F_INFO, framed(0, 0), 80);
    ASSERT_EQ(ORVEXA_EMU_OK, a.rc);
    ASSERT_EQ(80u, a.out.size());
    const uint32_t expect[11] = {ORVEXA_EMU_VERSION, 0, 0, 0, 0, 64, 16, 1, 0, 0, 0};
    for (int w = 0; w < 20; w++)
        EXPECT_EQ(w < 11 ? expect[w] : 0u, a.word(w)) << "word " << w;

    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_INFO, framed(0, 0), 79).rc);
    EXPECT_TRUE(c.guard_intact());
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_INFO, Bytes(15), 80).rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_INFO, framed(0, 1), 80).rc); // selector 1
}

TEST(BlockRead, FramedWithChecksumAndFollowsBlockUnits) {
    EmuClient c;
    Answer a = c.block(), b = c.block();
    ASSERT_EQ(ORVEXA_EMU_OK, a.rc);
    ASSERT_EQ(16u + 512u, a.out.size());
    EXPECT_EQ(0u, a.word(0));
    EXPECT_EQ(512u, a.word(3));
    EXPECT_EQ(xor_of(a.out.data() + 16, 512), a.word(2));
    EXPECT_NE(a.data(), b.data());

    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_BLOCK, {}, 16 + 511).rc);
    EXPECT_TRUE(c.guard_intact());

    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_BLOCK_UNITS, 1));
    EXPECT_EQ(24u, c.block().out.size());
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_BLOCK_UNITS, 0));
    a = c.fn(F_BLOCK, {}, 16);
    ASSERT_EQ(16u, a.out.size());
    EXPECT_EQ(0u, a.word(2));
    EXPECT_EQ(0u, a.word(3));
}

// Key-set code -> key-get code, item length, "not set" and "already set" statuses.
struct ItemCase {
    uint32_t set, get, len, not_set, redefine;
};
const ItemCase kItems[] = {{1, 6, 32, 19, 20},  {2, 7, 32, 18, 22},  {3, 8, 32, 13, 24},
                           {4, 4, 10, 15, 30},  {5, 5, 12, 16, 32},  {6, 9, 64, 17, 27},
                           {7, 10, 33, 14, 34}, {8, 11, 32, 11, 38}, {10, 12, 32, 14, 0},
                           {11, 13, 32, 11, 0}, {12, 14, 36, 12, 0}};

TEST(KeyItems, EachKeySetCodeIsReadBackByItsKeyGetCode) {
    EmuClient c;
    const uint32_t slot = 7;
    for (const ItemCase& t : kItems) {
        SCOPED_TRACE(t.set);
        Answer empty = c.key_get(t.get, slot);
        ASSERT_EQ(16u, empty.out.size());
        EXPECT_EQ(t.not_set, empty.word(0));

        Bytes item = t.set == 4 || t.set == 5 ? Bytes(t.len, '7') : filled(t.len, uint8_t(t.set));
        Answer set = c.key_set(t.set, slot, item);
        ASSERT_EQ(16u, set.out.size());
        ASSERT_EQ(0u, set.word(0));
        EXPECT_EQ(0u, set.word(3));

        Answer got = c.key_get(t.get, slot);
        ASSERT_EQ(16u + t.len, got.out.size());
        EXPECT_EQ(0u, got.word(0));
        EXPECT_EQ(slot, got.word(1));
        EXPECT_EQ(xor_of(item.data(), item.size()), got.word(2));
        EXPECT_EQ(t.len, got.word(3));
        EXPECT_EQ(item, got.data());

        EXPECT_EQ(t.redefine, c.key_set(t.set, slot, item).word(0));
        EXPECT_EQ(t.not_set, c.key_get(t.get, slot + 1).word(0)) << "other slot untouched";
    }
}

TEST(KeyItems, RefusalsCarryDriverStatuses) {
    EmuClient c;
    EXPECT_EQ(45u, c.key_set(4, 0, text("12345678x0")).word(0));
    EXPECT_EQ(31u, c.key_set(4, 0, text("12345678901")).word(0));
    EXPECT_EQ(47u, c.key_set(5, 0, text("12345678901 ")).word(0));
    EXPECT_EQ(26u, c.key_set(3, 0, Bytes(32, 0)).word(0));
    EXPECT_EQ(36u, c.key_set(7, 0, filled(33)).word(0)); // NUM first
    EXPECT_EQ(40u, c.key_set(8, 0, filled(32)).word(0)); // NUMP first
    EXPECT_EQ(9u, c.key_set(1, 16, filled(32)).word(0));
    EXPECT_EQ(10u, c.key_set(15, 0, filled(32)).word(0));

    Bytes bad_sum = framed(1, 0, filled(32));
    bad_sum[8] ^= 1;
    EXPECT_EQ(9u, c.fn(F_KEY_SET, bad_sum, 16).word(0));
    Bytes cut = framed(1, 0, filled(32));
    cut.resize(40);
    EXPECT_EQ(8u, c.fn(F_KEY_SET, cut, 16).word(0));
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_KEY_SET, framed(1, 0, filled(32)), 15).rc);

    EXPECT_EQ(7u, c.key_get(0, 0).word(0));
    EXPECT_EQ(5u, c.key_get(4, 0, filled(1)).word(0));
    EXPECT_EQ(5u, c.key_get(1, 0, filled(31)).word(0));
    EXPECT_EQ(6u, c.key_get(4, 16).word(0));
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_KEY_GET, framed(9, 0), 16 + 63).rc);
}

TEST(KeyReset, EmptiesOnlyThatSlot) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(2, "0123456789", "012345678901"));
    ASSERT_EQ(0, c.load_key(3, "1111111111", "222222222222"));
    Answer r = c.fn(F_RESET, framed(0, 2), 0);
    EXPECT_EQ(ORVEXA_EMU_OK, r.rc);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(15u, c.key_get(4, 2).word(0));
    EXPECT_EQ(text("1111111111"), c.key_get(4, 3).data());
    EXPECT_EQ(1u << 3, c.info(4));
    EXPECT_EQ(0u, c.key_set(4, 2, text("5555555555")).word(0)) << "slot reusable";
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_RESET, framed(0, 16), 0).rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_RESET, Bytes(8), 0).rc);
}

TEST(LoadKey, FillsEveryItemFromTheKeyNumbers) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(5, "0000012345", "000000067890"));
    EXPECT_EQ(text("0000012345"), c.key_get(4, 5).data());
    EXPECT_EQ(text("000000067890"), c.key_get(5, 5).data());
    for (uint32_t get = 1; get <= 14; get++)
        EXPECT_EQ(0u, c.key_get(get, 5, get <= 3 ? filled(32) : Bytes{}).word(0)) << get;
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.load_key(16, "0000012345", "000000067890"));
}

TEST(Transforms, KeystreamRequestsRoundTrip) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(1, "0123456789", "012345678901"));
    ASSERT_EQ(0, c.load_key(2, "0123456789", "012345678901"));
    const Bytes plain = filled(32, 0x40);

    Bytes once = c.key_get(1, 1, plain).data();
    EXPECT_NE(plain, once);
    EXPECT_EQ(plain, c.key_get(1, 1, once).data());
    EXPECT_NE(once, c.key_get(2, 1, plain).data()) << "code matters";
    EXPECT_NE(once, c.key_get(1, 2, plain).data()) << "slot matters";
    EXPECT_EQ(13u, c.key_get(1, 0, plain).word(0));

    const Bytes data = filled(2096, 3);
    Answer s9 = c.key_set(9, 1, data);
    ASSERT_EQ(16u + 2096u, s9.out.size());
    EXPECT_EQ(2096u, s9.word(3));
    EXPECT_EQ(xor_of(s9.out.data() + 16, 2096), s9.word(2));
    EXPECT_EQ(data, c.key_set(9, 1, s9.data()).data());
    EXPECT_EQ(13u, c.key_set(9, 0, data).word(0));
    Answer s9_empty = c.key_set(9, 1, {});
    EXPECT_EQ(0u, s9_empty.word(0));
    EXPECT_EQ(0u, s9_empty.word(3));
}

Bytes record_list(uint32_t count) {
    Bytes list(12 + 62 * count);
    put32(list, 0, 12);
    put32(list, 4, count);
    put32(list, 8, 62 * count);
    for (size_t i = 12; i < list.size(); i++)
        list[i] = uint8_t(i * 7);
    return list;
}

TEST(Transforms, RecordListKeepsHeaderAndRoundTrips) {
    EmuClient c;
    const Bytes list = record_list(32);
    Answer a = c.fn(F_RECORDS, framed(0, 0xFFFFFFFF, list), 16 + 1996);
    ASSERT_EQ(16u + 1996u, a.out.size());
    EXPECT_EQ(1996u, a.word(3));
    EXPECT_EQ(xor_of(a.out.data() + 16, 1996), a.word(2));
    Bytes back = a.data();
    EXPECT_TRUE(std::equal(list.begin(), list.begin() + 12, back.begin()));
    EXPECT_NE(list, back);
    EXPECT_EQ(list, c.fn(F_RECORDS, framed(0, 0xFFFFFFFF, back), 16 + 1996).data());

    Bytes bad = record_list(1);
    put32(bad, 8, 61);
    EXPECT_EQ(9u, c.fn(F_RECORDS, framed(0, 0xFFFFFFFF, bad), 16 + 74).word(0));
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_RECORDS, framed(0, 0, record_list(1)), 16 + 73).rc);
}

Bytes iv_block(const Bytes& iv, const Bytes& key, const Bytes& data) {
    Bytes b(628, 0);
    std::copy(iv.begin(), iv.end(), b.begin());
    std::copy(key.begin(), key.end(), b.begin() + 8);
    put32(b, 104, uint32_t(data.size()));
    std::copy(data.begin(), data.end(), b.begin() + 108);
    return b;
}

TEST(Transforms, DataRequestsAreKeystreamXorsOfTheirBlocks) {
    EmuClient c;
    const Bytes iv = filled(8, 0x90), key = filled(32, 0x20), data = filled(520, 5);
    Bytes a = c.fn(F_IV_A, iv_block(iv, key, data), 520).out;
    Bytes b = c.fn(F_IV_B, iv_block(iv, key, data), 520).out;
    ASSERT_EQ(520u, a.size());
    EXPECT_NE(a, b);
    EXPECT_NE(a, c.fn(F_IV_A, iv_block(filled(8, 0x91), key, data), 520).out) << "IV matters";
    EXPECT_EQ(data, c.fn(F_IV_A, iv_block(iv, key, a), 520).out);
    EXPECT_EQ(data, c.fn(F_IV_B, iv_block(iv, key, b), 520).out);
    Bytes too_long = iv_block(iv, key, data);
    put32(too_long, 104, 521);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_IV_A, too_long, 521).rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_IV_A, iv_block(iv, key, data), 519).rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_IV_A, Bytes(627), 0).rc);

    Bytes keyed(1124, 0);
    std::copy(key.begin(), key.end(), keyed.begin());
    put32(keyed, 96, 1024);
    const Bytes kd = filled(1024, 9);
    std::copy(kd.begin(), kd.end(), keyed.begin() + 100);
    Bytes once = c.fn(F_KEYED, keyed, 1024).out;
    ASSERT_EQ(1024u, once.size());
    std::copy(once.begin(), once.end(), keyed.begin() + 100);
    EXPECT_EQ(kd, c.fn(F_KEYED, keyed, 1024).out);

    Bytes abc(32, 0), abd(32, 0);
    memcpy(abc.data(), "abc", 3);
    memcpy(abd.data(), "abd", 3);
    Bytes t1 = c.fn(F_TEXT, abc, 32).out;
    ASSERT_EQ(32u, t1.size());
    EXPECT_EQ(t1, c.fn(F_TEXT, abc, 32).out);
    EXPECT_NE(t1, c.fn(F_TEXT, abd, 32).out);
}

// A request sent both ways, from a copy of the same state: in a buffer shared with the
// answer (as buffered I/O does) and in separate buffers. The answers must agree.
TEST(Buffers, SharedInputAndOutputGiveTheSameAnswers) {
    EmuClient setup;
    ASSERT_EQ(0, setup.load_key(0, "0123456789", "012345678901"));
    struct Case {
        uint32_t k;
        Bytes in;
        uint32_t room;
    };
    Bytes keyed(1124, 0);
    put32(keyed, 96, 1024);
    const Case cases[] = {
        {F_INFO, framed(0, 0), 80},
        {F_BLOCK, {}, 528},
        {F_KEY_SET, framed(9, 0, filled(300)), 316},
        {F_KEY_SET, framed(14, 0, filled(32)), 16},
        {F_KEY_GET, framed(1, 0, filled(32)), 48},
        {F_KEY_GET, framed(9, 0), 80},
        {F_RECORDS, framed(0, 0xFFFFFFFF, record_list(3)), 16 + 198},
        {F_SEED_BYTE, framed(0, 0xFFFFFFFF, {0xA5}), 16},
        {F_BYTE, {}, 1},
        {F_IV_A, iv_block(filled(8), filled(32), filled(520)), 520},
        {F_KEYED, keyed, 1024},
        {F_TEXT, filled(32), 32},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.k);
        orvexa_emu apart = *setup.emu(), shared = *setup.emu();
        Bytes out(t.room), buf(std::max<size_t>(t.in.size(), t.room));
        std::copy(t.in.begin(), t.in.end(), buf.begin());
        uint32_t n1 = 0, n2 = 0;
        ASSERT_EQ(ORVEXA_EMU_OK,
                  orvexa_emu_control(&apart, ORVEXA_EMU_CODE(t.k), t.in.data(),
                                     uint32_t(t.in.size()), out.data(), t.room, &n1));
        ASSERT_EQ(ORVEXA_EMU_OK,
                  orvexa_emu_control(&shared, ORVEXA_EMU_CODE(t.k), buf.data(),
                                     uint32_t(t.in.size()), buf.data(), t.room, &n2));
        ASSERT_EQ(n1, n2);
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + n1, buf.begin()));
    }
}

TEST(Buffers, OneByteTooLittleRoomIsRefusedWithoutWriting) {
    EmuClient c;
    ASSERT_EQ(0, c.load_key(0, "0123456789", "012345678901"));
    const struct {
        uint32_t k;
        Bytes in;
        uint32_t need;
    } cases[] = {
        {F_INFO, framed(0, 0), 80},
        {F_BLOCK, {}, 528},
        {F_KEY_SET, framed(1, 1, filled(32)), 16},
        {F_KEY_SET, framed(9, 0, filled(40)), 56},
        {F_KEY_GET, framed(10, 0), 49},
        {F_RECORDS, framed(0, 0, record_list(2)), 16 + 136},
        {F_SEED_BYTE, framed(0, 0, {1}), 16},
        {F_BYTE, {}, 1},
        {F_TEXT, Bytes(32), 32},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.k);
        EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(t.k, t.in, t.need - 1).rc);
        EXPECT_TRUE(c.guard_intact());
        EXPECT_EQ(0u, c.last_returned());
        EXPECT_EQ(ORVEXA_EMU_OK, c.fn(t.k, t.in, t.need).rc);
    }
    EXPECT_EQ(1u, c.info(9)) << "only the accepted seed byte counts";
}

TEST(Buffers, UnknownCodesAndOversizeInput) {
    EmuClient c;
    for (uint32_t code : {ORVEXA_EMU_CODE(9), ORVEXA_EMU_CODE(10), ORVEXA_EMU_CODE(15),
                          ORVEXA_EMU_CODE(16), ORVEXA_EMU_CODE_BASE + 1, 0u, 0x9C4027FCu})
        EXPECT_EQ(ORVEXA_EMU_BAD_CODE, c.call(code, framed(0, 0), 80).rc) << std::hex << code;
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, c.fn(F_KEY_SET, framed(13, 0, filled(2185)), 16).rc);
}

} // namespace
