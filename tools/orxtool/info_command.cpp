// orxtool info: the driver information record, decoded, and the library's state.
#include <stdio.h>

#include "commands.h"
#include "orxlink.h"

namespace {

void print_last_status() {
    char name[64] = "";
    orvexa_drv_status_name(name, sizeof name - 1);
    printf("last status:              %lu%s%s\n", (unsigned long)orvexa_drv_last_status(),
           name[0] ? " " : "", name);
}

const char* yes_no(uint32_t word) {
    return word ? "yes" : "no";
}

} // namespace

int run_info(int, char**) {
    uint32_t version = GetDLLVersion();
    printf("orxlink version:          %lu.%lu\n", (unsigned long)(version >> 16),
           (unsigned long)(version & 0xFFFF));
    orvexa_drv_info info = {};
    if (!orvexa_drv_query_info(&info, 0)) {
        printf("driver:                   not available\n");
        print_last_status();
        return orvexa_drv_last_status() == DRIVER_OPEN_ERROR ? ORXTOOL_DRIVER_ABSENT
                                                             : ORXTOOL_REFUSED;
    }
    const uint32_t* w = info.word;
    printf("generator ready:          %s\n", yes_no(w[ORVEXA_INFO_RNDM_READY]));
    printf("seed accepted:            %s\n", yes_no(w[ORVEXA_INFO_SEED_ACCEPTED]));
    printf("single seed bytes:        %s\n", yes_no(w[ORVEXA_INFO_BYTES_ACCEPTED]));
    printf("block length:             %lu bytes\n", (unsigned long)w[ORVEXA_INFO_BLOCK_UNITS] * 8);
    printf("operational:              %s\n", yes_no(w[ORVEXA_INFO_OPERATIONAL]));
    printf("generator cannot complete: %s\n", yes_no(w[ORVEXA_INFO_CANNOT_COMPLETE]));
    printf("record words:            ");
    for (int i = 0; i < 20; ++i)
        printf(" %lX", (unsigned long)w[i]);
    printf("\n");
    print_last_status();
    return ORXTOOL_OK;
}
