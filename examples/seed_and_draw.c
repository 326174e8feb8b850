/* seed_and_draw: seeds the ORVEXA driver's generator through orxlink's provider table until
 * it needs nothing more, then draws random bytes and prints them in hex.
 *
 *   seed_and_draw [COUNT]      COUNT bytes, 1 to 4096 (32 by default)
 *
 * Exit codes: 0 done, 1 the generator could not be seeded or read, 2 bad arguments.
 * The seed material comes from the system's generator (BCryptGenRandom).
 */
#include <windows.h>

#include <bcrypt.h>
#include <stdio.h>
#include <stdlib.h>

#include "orxlink.h"

#ifdef _MSC_VER
#pragma comment(lib, "bcrypt.lib")
#endif

enum { MAX_COUNT = 4096, MAX_SEED = 4096, MAX_ROUNDS = 8 };

static uint8_t material[MAX_SEED];
static uint8_t random_bytes[MAX_COUNT];

static int report(const char* what, int answer) {
    char name[64];
    int32_t length = orvexa_drv_status_name(name, (int32_t)sizeof name - 1);
    fprintf(stderr, "%s answered %d; last status %lu %s\n", what, answer,
            (unsigned long)orvexa_drv_last_status(), length > 0 ? name : "");
    return 1;
}

/* Asks, feeds and asks again until the generator answers (0, 0). */
static int seed(const rndm_handle* table) {
    int round;
    for (round = 0;; ++round) {
        int kind = -1, size = -1, answer;
        answer = table->get_seed_need(&kind, &size);
        if (answer != 0)
            return report("get_seed_need", answer);
        printf("seed need (%d, %d)\n", kind, size);
        if (kind == 0)
            return 0;
        if (round == MAX_ROUNDS || size <= 0 || size > MAX_SEED) {
            fprintf(stderr, "the generator does not get ready\n");
            return 1;
        }
        if (!BCRYPT_SUCCESS(
                BCryptGenRandom(NULL, material, (ULONG)size, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            fprintf(stderr, "the system's generator failed\n");
            return 1;
        }
        answer = table->put_seed(kind, size, material);
        SecureZeroMemory(material, sizeof material);
        if (answer != 0)
            return report("put_seed", answer);
    }
}

int main(int argc, char** argv) {
    const rndm_handle* table = orvexa_rndm_get_handle();
    unsigned long count = 32;
    int answer;
    unsigned long i;

    if (argc > 2 ||
        (argc == 2 && ((count = strtoul(argv[1], NULL, 10)) == 0 || count > MAX_COUNT))) {
        fprintf(stderr, "usage: seed_and_draw [COUNT]   (1 to %d bytes)\n", MAX_COUNT);
        return 2;
    }
    /* A table of another build (or a header compiled with other packing) does not fit. */
    if (table->size != sizeof(rndm_handle)) {
        fprintf(stderr, "provider table of %lu bytes, expected %lu\n", (unsigned long)table->size,
                (unsigned long)sizeof(rndm_handle));
        return 1;
    }
    if (seed(table) != 0)
        return 1;
    answer = table->get_random((uint32_t)count, random_bytes);
    if (answer != 0)
        return report("get_random", answer);
    for (i = 0; i < count; ++i)
        printf("%02x", random_bytes[i]);
    printf("\n");
    return 0;
}
