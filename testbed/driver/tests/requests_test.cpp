// The engine as an oracle: it must refuse what the library must never send (a wrong
// checksum, length, code, slot or block, too little room), or a library fault would pass
// unseen through the Wine suites, which drive every path the library uses.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "orvexa_emu.h"
#include "orvexa_testctl.h"

namespace {

using Bytes = std::vector<uint8_t>;
enum : uint32_t { kSet = ORVEXA_EMU_FN_KEY_SET, kGet = ORVEXA_EMU_FN_KEY_GET };
const uint32_t kBadParam = 0x1000 + ORVEXA_EMU_BAD_PARAM, kBadCode = 0x1000 + ORVEXA_EMU_BAD_CODE;

// The header (code, slot, checksum, length), then the data.
Bytes framed(uint32_t code, uint32_t slot, const Bytes& data = {}) {
    uint8_t sum = 0;
    for (uint8_t b : data)
        sum ^= b;
    const uint32_t words[] = {code, slot, sum, uint32_t(data.size())};
    Bytes b((const uint8_t*)words, (const uint8_t*)words + 16);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}
// A record list of `count` records of 62 bytes whose header claims `payload` bytes.
Bytes records(uint32_t count, uint32_t payload) {
    Bytes list(12 + 62 * count, 1);
    const uint32_t header[] = {12, count, payload};
    memcpy(list.data(), header, 12);
    return framed(0, 0, list);
}
// An IV block (628 bytes, length at 104) or a keyed block (1,124, length at 96).
Bytes data_block(bool iv, uint32_t length) {
    Bytes b(iv ? 628 : 1124, 0x20);
    memcpy(&b[iv ? 104 : 96], &length, 4);
    return b;
}

// The answer's status word (its low 12 bits), or 0x1000 + the engine's result when the call
// fails; plus 0x10000 when anything was written past the room. Slot 0 holds a loaded key, slot 1
// none.
uint32_t call(uint32_t k, const Bytes& in, uint32_t room) {
    orvexa_emu e;
    orvexa_emu_init(&e);
    Bytes load(24 + 22, '1'); // the 22 digits of the key numbers follow the arguments
    const uint32_t op[] = {ORVEXA_TESTCTL_LOAD_KEY, 0, 0, 0, 0, 0};
    memcpy(load.data(), op, 24);
    orvexa_emu_control(&e, ORVEXA_TESTCTL_CODE, load.data(), 46, nullptr, 0, nullptr);
    Bytes out(room + 1, 0xEE);
    uint32_t n = 0, status = 0;
    int rc = orvexa_emu_control(&e, ORVEXA_EMU_CODE(k), in.data(), uint32_t(in.size()), out.data(),
                                room, &n);
    if (n >= 16)
        memcpy(&status, out.data(), 4);
    uint32_t spilled = out[room] != 0xEE ? 0x10000 : 0;
    return (rc == ORVEXA_EMU_OK ? status & 0xFFF : 0x1000 + uint32_t(rc)) | spilled;
}

struct Case {
    uint32_t k; // the function
    Bytes in;
    uint32_t value; // the status answered, or the room needed
};

TEST(Oracle, MalformedRequestsAreRefused) {
    Bytes bad_sum = framed(1, 0, Bytes(32, 1)), cut = bad_sum;
    bad_sum[8] ^= 1;
    cut.resize(40);
    const Case cases[] = {
        {kSet, bad_sum, 9},
        {kSet, cut, 8},                         // the length runs past the input
        {kSet, framed(1, 0, Bytes(31, 1)), 21}, // an item one byte short
        {kSet, framed(0, 0, Bytes(32, 1)), 10},
        {kSet, framed(15, 0, Bytes(32, 1)), 10},
        {kSet, framed(1, 16, Bytes(32, 1)), 9},
        {kSet, framed(9, 1, Bytes(8, 1)), 13}, // no GKEY in the slot
        {kSet, framed(14, 0, Bytes(31, 1)), 8},
        {kSet, framed(13, 0, Bytes(63, 1)), 8},
        {kSet, framed(13, 0, Bytes(2049, 1)), 8},
        {kGet, framed(0, 0), 7},
        {kGet, framed(4, 0, Bytes(1, 1)), 5},
        {kGet, framed(1, 0, Bytes(31, 1)), 5},
        {kGet, framed(4, 16), 6},
        {ORVEXA_EMU_FN_RECORDS, records(1, 61), 9},
        {ORVEXA_EMU_FN_DATA_IV_A, data_block(true, 521), kBadParam},
        {ORVEXA_EMU_FN_DATA_KEYED, data_block(false, 1025), kBadParam},
        {ORVEXA_EMU_FN_DATA_IV_A, Bytes(627), kBadParam},
        {9, framed(0, 0), kBadCode},
        {15, framed(0, 0), kBadCode},
    };
    for (const auto& c : cases)
        EXPECT_EQ(call(c.k, c.in, 2200), c.value) << c.k << " " << c.in.size();
}

// One byte too little room is refused and nothing is written; the room needed succeeds.
TEST(Oracle, TooLittleRoomIsRefusedWithoutWriting) {
    const Case cases[] = {
        {ORVEXA_EMU_FN_INFO, framed(0, 0), 80},
        {ORVEXA_EMU_FN_BLOCK_READ, {}, 528},
        {kSet, framed(14, 0, Bytes(32, 1)), 16},
        {kGet, framed(10, 0), 49},
        {ORVEXA_EMU_FN_RECORDS, records(2, 124), 16 + 136},
        {ORVEXA_EMU_FN_SEED_BYTE, framed(0, 0, {1}), 16},
        {ORVEXA_EMU_FN_BYTE_READ, {}, 1},
        {ORVEXA_EMU_FN_DATA_IV_A, data_block(true, 520), 520},
        {ORVEXA_EMU_FN_DATA_KEYED, data_block(false, 1024), 1024},
        {ORVEXA_EMU_FN_DATA_TEXT, Bytes(32), 32},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(call(c.k, c.in, c.value - 1), kBadParam) << c.k;
        EXPECT_LT(call(c.k, c.in, c.value), 0x1000u) << c.k;
    }
}

} // namespace
