// The engine's paths that no Wine suite reaches: every key item (the stand-ins load only the
// numbers and the GKEY, and nothing redefines them), the refusals, the transforms, the
// buffer rules, a longer-length fault and the refusing policy. The Wine suites drive the
// rest (information, seeding and readiness, key numbers, faults, counters, bias).
#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <vector>

#include "orvexa_emu.h"
#include "orvexa_testctl.h"

namespace {

using Bytes = std::vector<uint8_t>;
enum : uint32_t { kSet = ORVEXA_EMU_FN_KEY_SET, kGet = ORVEXA_EMU_FN_KEY_GET };

struct Engine {
    orvexa_emu e;
    bool guard_intact = true;
    Engine() { orvexa_emu_init(&e); }

    // Words are little-endian, as on the x86 hosts that run this suite.
    static uint32_t le32(const Bytes& b, size_t at) {
        uint32_t v;
        memcpy(&v, &b[at], 4);
        return v;
    }
    static void put32(Bytes& b, size_t at, uint32_t v) { memcpy(&b[at], &v, 4); }
    static uint32_t xor_of(const Bytes& b, size_t from = 0) {
        uint8_t x = 0;
        for (size_t i = from; i < b.size(); i++)
            x ^= b[i];
        return x;
    }
    // The header (code, slot, checksum, length), then the data.
    static Bytes framed(uint32_t code, uint32_t slot, const Bytes& data = {}) {
        Bytes b(16);
        const uint32_t words[] = {code, slot, xor_of(data), uint32_t(data.size())};
        memcpy(b.data(), words, 16);
        b.insert(b.end(), data.begin(), data.end());
        return b;
    }
    // The answer (empty on failure, *rc the result); a guard byte past the room tells
    // whether anything was written beyond it.
    Bytes call(uint32_t k, const Bytes& in, uint32_t room, int* rc = nullptr) {
        Bytes out(room + 1, 0xEE);
        uint32_t n = 0;
        int r = orvexa_emu_control(&e, ORVEXA_EMU_CODE(k), in.data(), uint32_t(in.size()),
                                   out.data(), room, &n);
        guard_intact = out[room] == 0xEE;
        if (rc)
            *rc = r;
        out.resize(r == ORVEXA_EMU_OK ? n : 0);
        return out;
    }
    uint32_t status(uint32_t k, const Bytes& in, uint32_t room = 80) {
        Bytes a = call(k, in, room);
        return a.size() >= 16 ? le32(a, 0) : 0xBAD;
    }
    int ctl(uint32_t op, uint32_t a0 = 0, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a4 = 0) {
        Bytes in(24 + 22, '1'); // LOAD_KEY reads the 22 digits after the arguments
        const uint32_t words[] = {op, a0, a1, a2, 0, a4};
        memcpy(in.data(), words, 24);
        uint32_t n;
        return orvexa_emu_control(&e, ORVEXA_TESTCTL_CODE, in.data(), uint32_t(in.size()), nullptr,
                                  0, &n);
    }
};

Bytes filled(size_t n, uint8_t start = 1) {
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(start + i);
    return b;
}
Bytes framed(uint32_t code, uint32_t slot, const Bytes& data = {}) {
    return Engine::framed(code, slot, data);
}

// Key-set code -> key-get code, item length, "not set" and "already set" statuses.
const struct {
    uint32_t set, get, len, not_set, redefine;
} kItems[] = {{1, 6, 32, 19, 20},  {2, 7, 32, 18, 22},  {3, 8, 32, 13, 24},  {4, 4, 10, 15, 30},
              {5, 5, 12, 16, 32},  {6, 9, 64, 17, 27},  {7, 10, 33, 14, 34}, {8, 11, 32, 11, 38},
              {10, 12, 32, 14, 0}, {11, 13, 32, 11, 0}, {12, 14, 36, 12, 0}};

TEST(KeyItems, EachKeySetCodeIsReadBackByItsKeyGetCode) {
    Engine c;
    for (const auto& t : kItems) {
        SCOPED_TRACE(t.set);
        EXPECT_EQ(t.not_set, c.status(kGet, framed(t.get, 7)));
        Bytes item = t.set == 4 || t.set == 5 ? Bytes(t.len, '7') : filled(t.len, uint8_t(t.set));
        ASSERT_EQ(0u, c.status(kSet, framed(t.set, 7, item)));
        EXPECT_EQ(framed(0, 7, item), c.call(kGet, framed(t.get, 7), 80));
        EXPECT_EQ(t.redefine, c.status(kSet, framed(t.set, 7, item)));
        EXPECT_EQ(t.not_set, c.status(kGet, framed(t.get, 8)));
    }
}

Bytes record_list(uint32_t count, uint32_t size = 62) {
    Bytes list = filled(12 + 62 * count, 3);
    const uint32_t header[] = {12, count, size * count};
    memcpy(list.data(), header, 12);
    return list;
}
// An IV block (functions 11 and 12) or, without an IV, a keyed block (13) holding `data`.
Bytes data_block(bool iv, const Bytes& data, uint8_t iv_byte = 0x90, uint32_t extra = 0) {
    const size_t key_at = iv ? 8 : 0, len_at = iv ? 104 : 96;
    Bytes b(iv ? 628 : 1124, 0);
    std::fill(b.begin(), b.begin() + key_at, iv_byte);
    std::fill(b.begin() + key_at, b.begin() + key_at + 32, 0x20);
    Engine::put32(b, len_at, uint32_t(data.size()) + extra);
    std::copy(data.begin(), data.end(), b.begin() + len_at + 4);
    return b;
}

// Refusals answered with a driver status (or a failed call), in a slot without a GKEY;
// malformed blocks, unknown functions and the refusing policy.
TEST(Requests, RefusalsCarryDriverStatuses) {
    Engine c;
    Bytes bad_sum = framed(1, 0, filled(32)), cut = framed(1, 0, filled(32)), digits(10, '1');
    bad_sum[8] ^= 1;
    cut.resize(40);
    digits[8] = 'x';
    const uint32_t fail = ~0u; // the call fails with ORVEXA_EMU_BAD_PARAM
    const struct {
        uint32_t k;
        Bytes in;
        uint32_t status;
    } cases[] = {
        {kSet, framed(4, 0, digits), 45},
        {kSet, framed(4, 0, Bytes(11, '1')), 31},
        {kSet, framed(5, 0, Bytes(12, ' ')), 47},
        {kSet, framed(3, 0, Bytes(32, 0)), 26},
        {kSet, framed(6, 0, Bytes(64, 0)), 29},
        {kSet, framed(7, 0, filled(33)), 36}, // NUM first
        {kSet, framed(8, 0, filled(32)), 40}, // NUMP first
        {kSet, framed(10, 0, filled(31)), 8},
        {kSet, framed(1, 16, filled(32)), 9},
        {kSet, framed(15, 0, filled(32)), 10},
        {kSet, framed(9, 0, filled(8)), 13}, // no GKEY in the slot
        {kSet, framed(14, 0, filled(31)), 8},
        {kSet, framed(13, 0, filled(63)), 8},
        {kSet, framed(13, 0, filled(2049)), 8},
        {kSet, bad_sum, 9},
        {kSet, cut, 8},
        {kGet, framed(0, 0), 7},
        {kGet, framed(4, 0, filled(1)), 5},
        {kGet, framed(1, 0, filled(31)), 5},
        {kGet, framed(1, 0, filled(32)), 13}, // no GKEY in the slot
        {kGet, framed(4, 16), 6},
        {ORVEXA_EMU_FN_RECORDS, framed(0, 0, record_list(1, 61)), 9},
        {ORVEXA_EMU_FN_DATA_IV_A, data_block(true, filled(520), 0x90, 1), fail},
        {ORVEXA_EMU_FN_DATA_IV_A, Bytes(627), fail},
    };
    int rc;
    for (const auto& t : cases) {
        const Bytes answer = c.call(t.k, t.in, 600, &rc);
        const uint32_t status = answer.size() < 16 ? 0xBAD : Engine::le32(answer, 0);
        EXPECT_EQ(t.status, rc == ORVEXA_EMU_BAD_PARAM ? fail : status)
            << t.k << " " << Engine::le32(t.in, 0) << " " << t.in.size();
    }
    for (uint32_t k : {9u, 10u, 15u, 16u}) {
        c.call(k, framed(0, 0), 80, &rc);
        EXPECT_EQ(ORVEXA_EMU_BAD_CODE, rc) << k;
    }
    // Refusing policy: block reads answer status 50 until the generator is ready; single
    // bytes stay available.
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_POLICY,
                       ORVEXA_TESTCTL_POLICY_DEFAULT | ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY));
    EXPECT_EQ(50u, c.status(ORVEXA_EMU_FN_BLOCK_READ, {}, 528));
    EXPECT_EQ(1u, c.call(ORVEXA_EMU_FN_BYTE_READ, {}, 1).size());
    ASSERT_EQ(0u, c.status(kSet, framed(13, 0, filled(64))));
    EXPECT_EQ(528u, c.call(ORVEXA_EMU_FN_BLOCK_READ, {}, 528).size());
}

// Each transform undoes itself: its answer, sent again, gives the data back. Framed answers
// carry a valid header; the record list keeps its 12-byte list header.
TEST(Requests, EachTransformIsAKeystreamXorThatUndoesItself) {
    Engine c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 1));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 2));
    const Bytes plain = filled(32, 0x40), iv_data = filled(520, 5);
    const struct {
        uint32_t k, code, slot; // for the data blocks: code is the IV byte
        Bytes data;
    } cases[] = {
        {kGet, 1, 1, plain},
        {kGet, 3, 1, plain},
        {kGet, 1, 2, plain},
        {kSet, 9, 1, filled(2096, 3)},
        {ORVEXA_EMU_FN_RECORDS, 0, 0, record_list(32)},
        {ORVEXA_EMU_FN_DATA_IV_A, 0x90, 0, iv_data},
        {ORVEXA_EMU_FN_DATA_IV_B, 0x90, 0, iv_data},
        {ORVEXA_EMU_FN_DATA_IV_A, 0x91, 0, iv_data},
        {ORVEXA_EMU_FN_DATA_KEYED, 0, 0, filled(1024, 9)},
    };
    std::vector<Bytes> seen;
    for (const auto& t : cases) {
        SCOPED_TRACE(seen.size());
        const size_t header = t.k < ORVEXA_EMU_FN_DATA_IV_A ? 16 : 0;
        const auto request = [&](const Bytes& d) {
            return header ? framed(t.code, t.slot, d)
                          : data_block(t.k != ORVEXA_EMU_FN_DATA_KEYED, d, uint8_t(t.code));
        };
        const uint32_t room = uint32_t(header + t.data.size());
        Bytes once = c.call(t.k, request(t.data), room);
        ASSERT_EQ(room, once.size());
        Bytes body(once.begin() + header, once.end());
        EXPECT_NE(t.data, body);
        if (header) {
            EXPECT_EQ(framed(0, Engine::le32(once, 4), body), once);
        }
        if (t.k == ORVEXA_EMU_FN_RECORDS) {
            EXPECT_TRUE(std::equal(t.data.begin(), t.data.begin() + 12, body.begin()));
        }
        Bytes twice = c.call(t.k, request(body), room);
        EXPECT_EQ(t.data, Bytes(twice.begin() + header, twice.end()));
        seen.push_back(body);
    }
    EXPECT_NE(seen[0], seen[1]) << "the key-get code matters";
    EXPECT_NE(seen[0], seen[2]) << "the slot matters";
    EXPECT_NE(seen[5], seen[6]) << "IV a and b differ";
    EXPECT_NE(seen[5], seen[7]) << "the IV matters";

    Bytes abc(32, 0), abd(32, 0);
    abc[0] = abd[0] = 'a';
    abd[1] = 'b';
    const Bytes t1 = c.call(ORVEXA_EMU_FN_DATA_TEXT, abc, 32);
    ASSERT_EQ(32u, t1.size());
    EXPECT_EQ(t1, c.call(ORVEXA_EMU_FN_DATA_TEXT, abc, 32));
    EXPECT_NE(t1, c.call(ORVEXA_EMU_FN_DATA_TEXT, abd, 32));
}

// One byte too little room is refused and nothing is written; with the room it needs the
// same request succeeds. A longer-length fault pads within the room.
TEST(Requests, TooLittleRoomIsRefusedWithoutWriting) {
    Engine c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 0));
    const struct {
        uint32_t k;
        Bytes in;
        uint32_t need;
    } cases[] = {
        {ORVEXA_EMU_FN_INFO, framed(0, 0), 80},
        {ORVEXA_EMU_FN_BLOCK_READ, {}, 528},
        {kSet, framed(1, 1, filled(32)), 16},
        {kSet, framed(9, 0, filled(40)), 56},
        {kGet, framed(10, 0), 49},
        {ORVEXA_EMU_FN_RECORDS, framed(0, 0, record_list(2)), 16 + 136},
        {ORVEXA_EMU_FN_SEED_BYTE, framed(0, 0, {1}), 16},
        {ORVEXA_EMU_FN_BYTE_READ, {}, 1},
        {ORVEXA_EMU_FN_DATA_IV_A, data_block(true, filled(520)), 520},
        {ORVEXA_EMU_FN_DATA_KEYED, data_block(false, filled(1024)), 1024},
        {ORVEXA_EMU_FN_DATA_TEXT, Bytes(32), 32},
    };
    int rc;
    for (const auto& t : cases) {
        SCOPED_TRACE(t.k);
        EXPECT_TRUE(c.call(t.k, t.in, t.need - 1, &rc).empty());
        EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, rc);
        EXPECT_TRUE(c.guard_intact);
        c.call(t.k, t.in, t.need, &rc);
        EXPECT_EQ(ORVEXA_EMU_OK, rc);
    }

    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_ARM_FAULT, ORVEXA_EMU_CODE(kGet),
                       ORVEXA_TESTCTL_FAULT_LENGTH_DELTA, 1, 2));
    Bytes a = c.call(kGet, framed(4, 0), 27);
    ASSERT_EQ(27u, a.size());
    EXPECT_EQ(11u, Engine::le32(a, 12));
    EXPECT_EQ(0, a[26]);
    EXPECT_EQ(Engine::xor_of(a, 16), Engine::le32(a, 8));
    EXPECT_EQ(26u, c.call(kGet, framed(4, 0), 26).size());
}

} // namespace
