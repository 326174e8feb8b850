// Test client of the protocol engine: builds requests, calls the engine, reads answers.
#ifndef ORVEXA_EMU_CLIENT_H
#define ORVEXA_EMU_CLIENT_H

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "orvexa_emu.h"
#include "orvexa_testctl.h"

using Bytes = std::vector<uint8_t>;

enum : uint32_t {
    F_INFO = 0,
    F_BLOCK = 1,
    F_KEY_SET = 2,
    F_STEP = 3,
    F_KEY_GET = 4,
    F_RESET = 5,
    F_RECORDS = 6,
    F_SEED_BYTE = 7,
    F_BYTE = 8,
    F_IV_A = 11,
    F_IV_B = 12,
    F_KEYED = 13,
    F_TEXT = 14,
};

inline uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
inline void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        b[at + i] = uint8_t(v >> (8 * i));
}
inline uint32_t xor_of(const uint8_t* p, size_t n) {
    uint8_t x = 0;
    for (size_t i = 0; i < n; i++)
        x ^= p[i];
    return x;
}

// A request with a header: code, slot, checksum of data, data length, data.
inline Bytes framed(uint32_t code, uint32_t slot, const Bytes& data = {}) {
    Bytes b(16 + data.size());
    put32(b, 0, code);
    put32(b, 4, slot);
    put32(b, 8, xor_of(data.data(), data.size()));
    put32(b, 12, uint32_t(data.size()));
    std::copy(data.begin(), data.end(), b.begin() + 16);
    return b;
}

struct Answer {
    int rc = -1;
    Bytes out; // the bytes returned
    uint32_t word(int i) const { return le32(out.data() + 4 * i); }
    Bytes data() const { return Bytes(out.begin() + 16, out.end()); }
};

class EmuClient {
  public:
    EmuClient() : e_(new orvexa_emu) { orvexa_emu_init(e_.get()); }
    orvexa_emu* emu() { return e_.get(); }

    Answer call(uint32_t code, const Bytes& in, uint32_t room) {
        Answer a;
        Bytes out(room + 1, 0xEE); // one guard byte past the room
        uint32_t returned = 0xDEAD;
        a.rc =
            orvexa_emu_control(e_.get(), code, in.empty() ? nullptr : in.data(),
                               uint32_t(in.size()), room ? out.data() : nullptr, room, &returned);
        guard_intact_ = out[room] == 0xEE;
        if (a.rc == ORVEXA_EMU_OK)
            a.out.assign(out.begin(), out.begin() + returned);
        else
            a.out.clear();
        last_returned_ = returned;
        return a;
    }
    Answer fn(uint32_t k, const Bytes& in, uint32_t room) {
        return call(ORVEXA_EMU_CODE(k), in, room);
    }
    bool guard_intact() const { return guard_intact_; }
    uint32_t last_returned() const { return last_returned_; }

    // Information record word w.
    uint32_t info(int w) {
        Answer a = fn(F_INFO, framed(0, 0), 80);
        return a.rc == ORVEXA_EMU_OK ? a.word(w) : 0xBAD;
    }
    Answer key_set(uint32_t code, uint32_t slot, const Bytes& data) {
        return fn(F_KEY_SET, framed(code, slot, data), 16 + (code == 9 ? data.size() : 0));
    }
    Answer key_get(uint32_t code, uint32_t slot, const Bytes& data = {}) {
        static const uint32_t len[15] = {0, 32, 32, 32, 10, 12, 32, 32, 32, 64, 33, 32, 32, 32, 36};
        return fn(F_KEY_GET, framed(code, slot, data), 16 + (code < 15 ? len[code] : 0));
    }
    Answer seed_byte(uint8_t v) { return fn(F_SEED_BYTE, framed(0, 0xFFFFFFFF, Bytes{v}), 16); }
    int step() { return fn(F_STEP, {}, 0).rc; }
    Answer block() { return fn(F_BLOCK, {}, 16 + info(5) * 8); }

    int ctl(uint32_t op, uint32_t a0 = 0, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a3 = 0,
            uint32_t a4 = 0, const Bytes& extra = {}) {
        return ctl_answer(op, {a0, a1, a2, a3, a4}, extra, 0).rc;
    }
    Answer ctl_answer(uint32_t op, std::vector<uint32_t> args, const Bytes& extra, uint32_t room) {
        Bytes in(24 + extra.size());
        put32(in, 0, op);
        args.resize(5);
        for (int i = 0; i < 5; i++)
            put32(in, 4 + 4 * i, args[i]);
        std::copy(extra.begin(), extra.end(), in.begin() + 24);
        return call(ORVEXA_TESTCTL_CODE, in, room);
    }
    int arm(uint32_t k, uint32_t kind, uint32_t param = 0, uint32_t skip = 0, uint32_t count = 0) {
        return ctl(ORVEXA_TESTCTL_ARM_FAULT, k == 0xFF ? 0 : ORVEXA_EMU_CODE(k), kind, param, skip,
                   count);
    }
    int load_key(uint32_t slot, const char* num10, const char* nump12) {
        Bytes n(num10, num10 + 10);
        n.insert(n.end(), nump12, nump12 + 12);
        return ctl(ORVEXA_TESTCTL_LOAD_KEY, slot, 0, 0, 0, 0, n);
    }

  private:
    std::unique_ptr<orvexa_emu> e_;
    bool guard_intact_ = true;
    uint32_t last_returned_ = 0;
};

inline Bytes text(const char* s) {
    return Bytes(s, s + std::strlen(s));
}
inline Bytes filled(size_t n, uint8_t start = 1) {
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = uint8_t(start + i);
    return b;
}

#endif
