#include "scripted_driver.h"

#include <cmath>
#include <cstring>

#include "orxlink.h"

namespace {

uint8_t xor_of(const std::vector<uint8_t>& bytes) {
    uint8_t x = 0;
    for (uint8_t b : bytes)
        x ^= b;
    return x;
}

} // namespace

void ScriptedDriver::install() {
    fake().handler = [this](const FakeRequest& r) {
        FakeAnswer a;
        switch (r.code) {
        case ORVEXA_IOCTL_QUERY_INFO:
            words[5] = block_units;
            a.out.resize(80);
            std::memcpy(a.out.data(), words, 80);
            break;
        case ORVEXA_IOCTL_BLOCK_READ: {
            ++block_reads;
            std::vector<uint8_t> block(block_units * 8);
            for (uint8_t& b : block) {
                b = stream.empty() ? 0 : stream[position % stream.size()];
                ++position;
            }
            a.out = fake_header(0, xor_of(block), uint32_t(block.size()), block);
            break;
        }
        case ORVEXA_IOCTL_KEY_SET:
            a.out = fake_header(key_set_status, 0, 0);
            if (key_set_status == 0 && on_key_set)
                on_key_set(*this, fake_word(r.in, 0));
            break;
        case ORVEXA_IOCTL_SEED_BYTE:
            a.out = fake_header(seed_byte_status, 0, 0);
            if (seed_byte_status == 0 && ++seed_bytes >= 8)
                words[3] = 1;
            break;
        default:
            a.out = fake_header(0, 0, 0);
        }
        return a;
    };
}

std::vector<uint8_t> sample_with_square_sum(uint32_t square_sum) {
    // Pairs of values +d and -d around 100 each add 2 d^2 and keep the total at 25,600.
    uint32_t counts[256];
    for (uint32_t& c : counts)
        c = 100;
    uint32_t rest = square_sum / 2;
    for (int pair = 0; rest > 0 && pair < 128; ++pair) {
        uint32_t d = uint32_t(std::sqrt(double(rest)));
        if (d > 100)
            d = 100;
        counts[2 * pair] += d;
        counts[2 * pair + 1] -= d;
        rest -= d * d;
    }
    std::vector<uint8_t> sample;
    for (int v = 0; v < 256; ++v)
        sample.insert(sample.end(), counts[v], uint8_t(v));
    return sample;
}
