// Cost of going through orxlink against calling the driver directly, in one process and
// against the same driver. Interleaved rounds keep drift in the host from favouring a side.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "orxlink.h"

namespace {

double now_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(frequency.QuadPart);
}

HANDLE open_raw() {
    return CreateFileA("\\\\.\\OrvexaDev", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

double library_queries(int n) {
    orvexa_drv_info info;
    double start = now_ms();
    for (int i = 0; i < n; ++i)
        if (!orvexa_drv_query_info(&info, 0))
            exit(2);
    return now_ms() - start;
}

double raw_queries(HANDLE device, int n) {
    uint8_t header[16] = {};
    orvexa_drv_info info;
    DWORD count = 0;
    double start = now_ms();
    for (int i = 0; i < n; ++i)
        if (!DeviceIoControl(device, ORVEXA_IOCTL_QUERY_INFO, header, sizeof header, &info,
                             sizeof info, &count, nullptr))
            exit(2);
    return now_ms() - start;
}

double library_random(std::vector<uint8_t>& out) {
    double start = now_ms();
    if (!orvexa_rndm_get_bytes(out.data(), uint32_t(out.size())))
        exit(3);
    return now_ms() - start;
}

// The same block reads with the same checks, written out by hand.
double raw_random(HANDLE device, std::vector<uint8_t>& out, uint32_t block) {
    std::vector<uint8_t> buffer(block + 16 < 2048 ? 2048 : block + 16);
    DWORD count = 0;
    double start = now_ms();
    for (size_t done = 0; done < out.size(); done += block) {
        if (!DeviceIoControl(device, ORVEXA_IOCTL_BLOCK_READ, nullptr, 0, buffer.data(), block + 16,
                             &count, nullptr))
            exit(3);
        uint32_t words[4];
        memcpy(words, buffer.data(), 16);
        uint8_t x = 0;
        for (uint32_t i = 0; i < block; ++i)
            x ^= buffer[16 + i];
        if (words[0] != 0 || words[3] != block || words[2] != x)
            exit(3);
        size_t take = out.size() - done < block ? out.size() - done : block;
        memcpy(out.data() + done, buffer.data() + 16, take);
    }
    return now_ms() - start;
}

} // namespace

int main(int argc, char** argv) {
    int queries = argc > 1 ? atoi(argv[1]) : 2000;
    int rounds = argc > 2 ? atoi(argv[2]) : 5;
    HANDLE device = open_raw();
    orvexa_drv_info info = {};
    if (device == INVALID_HANDLE_VALUE || !orvexa_drv_get_info(&info)) {
        fprintf(stderr, "bench: the ORVEXA driver is not running\n");
        return 1;
    }
    uint32_t block = info.word[ORVEXA_INFO_BLOCK_UNITS] * 8;
    std::vector<uint8_t> out(1 << 20);
    double lib_q = 0, raw_q = 0, lib_r = 0, raw_r = 0;
    // Each side goes first in every other round, so that neither always runs warm.
    for (int r = 0; r < rounds; ++r) {
        if (r % 2) {
            lib_q += library_queries(queries);
            raw_q += raw_queries(device, queries);
            lib_r += library_random(out);
            raw_r += raw_random(device, out, block);
        } else {
            raw_q += raw_queries(device, queries);
            lib_q += library_queries(queries);
            raw_r += raw_random(device, out, block);
            lib_r += library_random(out);
        }
    }
    int total = queries * rounds;
    printf("information query: library %.4f ms, raw %.4f ms per call, ratio %.3f (%d calls each)\n",
           lib_q / total, raw_q / total, lib_q / raw_q, total);
    printf("1 MiB of random bytes (%u-byte blocks): library %.1f ms, raw %.1f ms, ratio %.3f "
           "(%d rounds)\n",
           block, lib_r / rounds, raw_r / rounds, lib_r / raw_r, rounds);
    CloseHandle(device);
    return 0;
}
