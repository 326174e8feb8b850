// Drives orxlink's provider table from whatever the generator needs to ready, then writes
// the requested number of random bytes to standard output (for statistical tools).
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "orxlink.h"

extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

int main(int argc, char** argv) {
    uint32_t total = argc > 1 ? uint32_t(strtoul(argv[1], nullptr, 0)) : 1u << 20;
    const rndm_handle* table = orvexa_rndm_get_handle();
    for (int round = 0;; ++round) {
        int kind = -1, size = -1;
        if (table->get_seed_need(&kind, &size) != 0 || round > 8) {
            fprintf(stderr, "random_dump: seeding failed, status %lu\n",
                    (unsigned long)orvexa_drv_last_status());
            return 2;
        }
        fprintf(stderr, "seed need (%d, %d)\n", kind, size);
        if (kind == 0)
            break;
        std::vector<uint8_t> material(static_cast<size_t>(size));
        SystemFunction036(material.data(), ULONG(material.size()));
        if (table->put_seed(kind, size, material.data()) != 0) {
            fprintf(stderr, "random_dump: put_seed failed, status %lu\n",
                    (unsigned long)orvexa_drv_last_status());
            return 3;
        }
    }
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<uint8_t> chunk(65536);
    for (uint32_t done = 0; done < total; done += uint32_t(chunk.size())) {
        uint32_t n = total - done < chunk.size() ? total - done : uint32_t(chunk.size());
        if (table->get_random(n, chunk.data()) != 0)
            return 4;
        fwrite(chunk.data(), 1, n, stdout);
    }
    return 0;
}
