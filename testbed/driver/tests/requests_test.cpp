// The engine's paths that no Wine suite reaches: every key item, the transforms, the buffer
// rules, a longer-length fault and the refusing policy. The Wine suites drive the rest
// (information, seeding and readiness, key numbers, faults, counters, bias) through orxlink.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "orvexa_emu.h"
#include "orvexa_testctl.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        b[at + i] = uint8_t(v >> (8 * i));
}
uint32_t xor_of(const Bytes& b, size_t from = 0) {
    uint8_t x = 0;
    for (size_t i = from; i < b.size(); i++)
        x ^= b[i];
    return x;
}
Bytes filled(size_t n, uint8_t start = 1) {
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(start + i);
    return b;
}
// Header (code, slot, checksum, length), then the data.
Bytes framed(uint32_t code, uint32_t slot, const Bytes& data = {}) {
    Bytes b(16);
    put32(b, 0, code);
    put32(b, 4, slot);
    put32(b, 8, xor_of(data));
    put32(b, 12, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

struct Engine {
    std::unique_ptr<orvexa_emu> e{new orvexa_emu};
    bool guard_intact = true;
    Engine() { orvexa_emu_init(e.get()); }

    // The answer (empty on failure, *rc the result); a guard byte past the room shows
    // whether anything was written beyond it.
    Bytes call(uint32_t k, const Bytes& in, uint32_t room, int* rc = nullptr) {
        Bytes out(room + 1, 0xEE);
        uint32_t n = 0;
        int r = orvexa_emu_control(e.get(), ORVEXA_EMU_CODE(k), in.data(), uint32_t(in.size()),
                                   out.data(), room, &n);
        guard_intact = out[room] == 0xEE;
        if (rc)
            *rc = r;
        out.resize(r == ORVEXA_EMU_OK ? n : 0);
        return out;
    }
    uint32_t status(uint32_t k, const Bytes& in, uint32_t room = 80) {
        Bytes a = call(k, in, room);
        return a.size() >= 16 ? le32(a.data()) : 0xBAD;
    }
    int ctl(uint32_t op, uint32_t a0 = 0, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a3 = 0,
            uint32_t a4 = 0) {
        Bytes in(24 + 22, '1'); // LOAD_KEY reads the 22 digits after the arguments
        const uint32_t words[6] = {op, a0, a1, a2, a3, a4};
        for (int i = 0; i < 6; i++)
            put32(in, 4 * i, words[i]);
        uint32_t n;
        return orvexa_emu_control(e.get(), ORVEXA_TESTCTL_CODE, in.data(), uint32_t(in.size()),
                                  nullptr, 0, &n);
    }
};

// Key-set code -> key-get code, item length, "not set" and "already set" statuses.
struct ItemCase {
    uint32_t set, get, len, not_set, redefine;
};
const ItemCase kItems[] = {{1, 6, 32, 19, 20},  {2, 7, 32, 18, 22},  {3, 8, 32, 13, 24},
                           {4, 4, 10, 15, 30},  {5, 5, 12, 16, 32},  {6, 9, 64, 17, 27},
                           {7, 10, 33, 14, 34}, {8, 11, 32, 11, 38}, {10, 12, 32, 14, 0},
                           {11, 13, 32, 11, 0}, {12, 14, 36, 12, 0}};

TEST(KeyItems, EachKeySetCodeIsReadBackByItsKeyGetCode) {
    Engine c;
    const uint32_t slot = 7;
    for (const ItemCase& t : kItems) {
        SCOPED_TRACE(t.set);
        EXPECT_EQ(t.not_set, c.status(ORVEXA_EMU_FN_KEY_GET, framed(t.get, slot)));
        Bytes item = t.set == 4 || t.set == 5 ? Bytes(t.len, '7') : filled(t.len, uint8_t(t.set));
        ASSERT_EQ(0u, c.status(ORVEXA_EMU_FN_KEY_SET, framed(t.set, slot, item)));
        EXPECT_EQ(framed(0, slot, item), c.call(ORVEXA_EMU_FN_KEY_GET, framed(t.get, slot), 80));
        EXPECT_EQ(t.redefine, c.status(ORVEXA_EMU_FN_KEY_SET, framed(t.set, slot, item)));
        EXPECT_EQ(t.not_set, c.status(ORVEXA_EMU_FN_KEY_GET, framed(t.get, slot + 1)));
    }
}

TEST(KeyItems, RefusalsCarryDriverStatuses) {
    Engine c;
    Bytes bad_sum = framed(1, 0, filled(32)), cut = framed(1, 0, filled(32)), digits(10, '1');
    bad_sum[8] ^= 1;
    cut.resize(40);
    digits[8] = 'x';
    const uint32_t set = ORVEXA_EMU_FN_KEY_SET, get = ORVEXA_EMU_FN_KEY_GET;
    const struct {
        uint32_t k;
        Bytes in;
        uint32_t status;
    } cases[] = {
        {set, framed(4, 0, digits), 45},
        {set, framed(4, 0, Bytes(11, '1')), 31},
        {set, framed(5, 0, Bytes(12, ' ')), 47},
        {set, framed(3, 0, Bytes(32, 0)), 26},
        {set, framed(6, 0, Bytes(64, 0)), 29},
        {set, framed(7, 0, filled(33)), 36}, // NUM first
        {set, framed(8, 0, filled(32)), 40}, // NUMP first
        {set, framed(10, 0, filled(31)), 8},
        {set, framed(1, 16, filled(32)), 9},
        {set, framed(15, 0, filled(32)), 10},
        {set, framed(9, 0, filled(8)), 13}, // no GKEY in the slot
        {set, framed(14, 0, filled(31)), 8},
        {set, framed(13, 0, filled(63)), 8},
        {set, framed(13, 0, filled(2049)), 8},
        {set, bad_sum, 9},
        {set, cut, 8},
        {get, framed(0, 0), 7},
        {get, framed(4, 0, filled(1)), 5},
        {get, framed(1, 0, filled(31)), 5},
        {get, framed(1, 0, filled(32)), 13}, // no GKEY in the slot
        {get, framed(4, 16), 6},
    };
    for (const auto& t : cases)
        EXPECT_EQ(t.status, c.status(t.k, t.in, 80)) << le32(t.in.data()) << " " << t.in.size();
}

Bytes record_list(uint32_t count) {
    Bytes list = filled(12 + 62 * count, 3);
    put32(list, 0, 12);
    put32(list, 4, count);
    put32(list, 8, 62 * count);
    return list;
}
// An IV block (functions 11 and 12) or, without an IV, a keyed block (13) holding `data`.
Bytes data_block(bool iv, const Bytes& data, uint8_t iv_byte = 0x90) {
    const size_t key_at = iv ? 8 : 0, len_at = iv ? 104 : 96;
    Bytes b(iv ? 628 : 1124, 0);
    if (iv)
        std::fill(b.begin(), b.begin() + 8, iv_byte);
    std::fill(b.begin() + key_at, b.begin() + key_at + 32, 0x20);
    put32(b, len_at, uint32_t(data.size()));
    std::copy(data.begin(), data.end(), b.begin() + len_at + 4);
    return b;
}

// Each transform undoes itself: its answer, sent again, gives the data back. Framed answers
// carry a valid header; the record list keeps its 12-byte list header.
TEST(Transforms, EachIsAKeystreamXorThatUndoesItself) {
    Engine c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 1));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 2));
    using Request = std::function<Bytes(const Bytes&)>;
    const auto frame = [](uint32_t code, uint32_t slot) -> Request {
        return [=](const Bytes& d) { return framed(code, slot, d); };
    };
    const Request iv = [](const Bytes& d) { return data_block(true, d); };
    const Request iv2 = [](const Bytes& d) { return data_block(true, d, 0x91); };
    const Request keyed = [](const Bytes& d) { return data_block(false, d); };
    const Bytes plain = filled(32, 0x40), iv_data = filled(520, 5);
    const struct {
        uint32_t k;
        Request request;
        Bytes data;
        size_t header; // answer bytes before the data
    } cases[] = {
        {ORVEXA_EMU_FN_KEY_GET, frame(1, 1), plain, 16},
        {ORVEXA_EMU_FN_KEY_GET, frame(3, 1), plain, 16},
        {ORVEXA_EMU_FN_KEY_GET, frame(1, 2), plain, 16},
        {ORVEXA_EMU_FN_KEY_SET, frame(9, 1), filled(2096, 3), 16},
        {ORVEXA_EMU_FN_RECORDS, frame(0, 0), record_list(32), 16},
        {ORVEXA_EMU_FN_DATA_IV_A, iv, iv_data, 0},
        {ORVEXA_EMU_FN_DATA_IV_B, iv, iv_data, 0},
        {ORVEXA_EMU_FN_DATA_IV_A, iv2, iv_data, 0},
        {ORVEXA_EMU_FN_DATA_KEYED, keyed, filled(1024, 9), 0},
    };
    std::vector<Bytes> seen;
    for (const auto& t : cases) {
        SCOPED_TRACE(seen.size());
        const uint32_t room = uint32_t(t.header + t.data.size());
        Bytes once = c.call(t.k, t.request(t.data), room);
        ASSERT_EQ(room, once.size());
        Bytes body(once.begin() + t.header, once.end());
        EXPECT_NE(t.data, body);
        if (t.header) {
            EXPECT_EQ(0u, le32(once.data()));
            EXPECT_EQ(xor_of(body), le32(once.data() + 8));
            EXPECT_EQ(t.data.size(), le32(once.data() + 12));
        }
        if (t.k == ORVEXA_EMU_FN_RECORDS) {
            EXPECT_TRUE(std::equal(t.data.begin(), t.data.begin() + 12, body.begin()));
        }
        Bytes twice = c.call(t.k, t.request(body), room);
        EXPECT_EQ(t.data, Bytes(twice.begin() + t.header, twice.end()));
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
// same request succeeds. Malformed blocks and unknown functions are refused too.
TEST(Buffers, TooLittleRoomIsRefusedWithoutWriting) {
    Engine c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 0));
    const struct {
        uint32_t k;
        Bytes in;
        uint32_t need;
    } cases[] = {
        {ORVEXA_EMU_FN_INFO, framed(0, 0), 80},
        {ORVEXA_EMU_FN_BLOCK_READ, {}, 528},
        {ORVEXA_EMU_FN_KEY_SET, framed(1, 1, filled(32)), 16},
        {ORVEXA_EMU_FN_KEY_SET, framed(9, 0, filled(40)), 56},
        {ORVEXA_EMU_FN_KEY_GET, framed(10, 0), 49},
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

    Bytes bad_list = record_list(1), long_iv = data_block(true, filled(520));
    put32(bad_list, 8, 61);
    put32(long_iv, 104, 521);
    EXPECT_EQ(9u, c.status(ORVEXA_EMU_FN_RECORDS, framed(0, 0, bad_list), 80));
    c.call(ORVEXA_EMU_FN_DATA_IV_A, long_iv, 600, &rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, rc);
    c.call(ORVEXA_EMU_FN_DATA_IV_A, Bytes(627), 600, &rc);
    EXPECT_EQ(ORVEXA_EMU_BAD_PARAM, rc);
    for (uint32_t k : {9u, 10u, 15u, 16u}) {
        c.call(k, framed(0, 0), 80, &rc);
        EXPECT_EQ(ORVEXA_EMU_BAD_CODE, rc) << k;
    }
}

TEST(Scenario, LongerLengthIsPaddedWithinTheRoom) {
    Engine c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_LOAD_KEY, 0));
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_ARM_FAULT, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_KEY_GET),
                       ORVEXA_TESTCTL_FAULT_LENGTH_DELTA, 1, 0, 2));
    Bytes a = c.call(ORVEXA_EMU_FN_KEY_GET, framed(4, 0), 27);
    ASSERT_EQ(27u, a.size());
    EXPECT_EQ(11u, le32(a.data() + 12));
    EXPECT_EQ(0, a[26]);
    EXPECT_EQ(xor_of(a, 16), le32(a.data() + 8));
    EXPECT_EQ(26u, c.call(ORVEXA_EMU_FN_KEY_GET, framed(4, 0), 26).size());
}

TEST(Scenario, RefusingPolicyAnswersStatusFiftyUntilReady) {
    Engine c;
    ASSERT_EQ(0, c.ctl(ORVEXA_TESTCTL_SET_POLICY,
                       ORVEXA_TESTCTL_POLICY_DEFAULT | ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY));
    EXPECT_EQ(50u, c.status(ORVEXA_EMU_FN_BLOCK_READ, {}, 528));
    EXPECT_EQ(1u, c.call(ORVEXA_EMU_FN_BYTE_READ, {}, 1).size()) << "single bytes stay available";
    ASSERT_EQ(0u, c.status(ORVEXA_EMU_FN_KEY_SET, framed(13, 0, filled(64))));
    EXPECT_EQ(528u, c.call(ORVEXA_EMU_FN_BLOCK_READ, {}, 528).size());
}

} // namespace
