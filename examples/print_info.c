/* print_info: prints orxlink's version, the ORVEXA driver's information record and the last
 * status.
 *
 *   print_info
 *
 * Exit codes: 0 done, 1 the driver did not answer (the last status says why).
 */
#include <stdio.h>

#include "orxlink.h"

static void print_last_status(void) {
    char name[64];
    /* The name buffer must hold the size passed plus the terminating zero. */
    int32_t length = orvexa_drv_status_name(name, (int32_t)sizeof name - 1);
    printf("last status: %lu %s\n", (unsigned long)orvexa_drv_last_status(),
           length > 0 ? name : "(no name)");
}

static const char* yes_no(uint32_t word) {
    return word ? "yes" : "no";
}

int main(void) {
    orvexa_drv_info info;
    uint32_t version = GetDLLVersion();
    int i;

    printf("orxlink version: %lu.%lu\n", (unsigned long)(version >> 16),
           (unsigned long)(version & 0xFFFFu));
    /* Opens the device on this first call; a failure leaves its reason in the last status. */
    if (!orvexa_drv_get_info(&info)) {
        printf("the driver did not answer\n");
        print_last_status();
        return 1;
    }
    printf("generator ready: %s\n", yes_no(info.word[ORVEXA_INFO_RNDM_READY]));
    printf("seed accepted: %s\n", yes_no(info.word[ORVEXA_INFO_SEED_ACCEPTED]));
    printf("single seed bytes accepted: %s\n", yes_no(info.word[ORVEXA_INFO_BYTES_ACCEPTED]));
    printf("block length: %lu bytes\n", (unsigned long)info.word[ORVEXA_INFO_BLOCK_UNITS] * 8ul);
    printf("operational: %s\n", yes_no(info.word[ORVEXA_INFO_OPERATIONAL]));
    for (i = 0; i < 20; ++i)
        printf("word %2d: 0x%08lX\n", i, (unsigned long)info.word[i]);
    /* Nothing failed, so this is 0, or a failure from before in this process. */
    print_last_status();
    return 0;
}
