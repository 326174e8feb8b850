/* read_item: finds the driver's slot that carries a key number and prints one item of it in
 * hex.
 *
 *   read_item NUMBER [CODE]
 *
 * NUMBER is a crypt key number (10 characters) or a sign key number (12); CODE is the item,
 * 6, 7, 8, 12 or 13 (6 by default). Exit codes: 0 done, 1 no slot carries the number or its
 * item cannot be read, 2 bad arguments.
 */
#include <stdio.h>
#include <stdlib.h>

#include "orxlink.h"

int main(int argc, char** argv) {
    uint8_t item[32];
    int code = 6;
    int result;
    int i;

    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: read_item NUMBER [CODE]\n");
        return 2;
    }
    if (argc == 3)
        code = atoi(argv[2]);
    /* Its own results, not statuses: 0 done, 6 not found or unreadable, 7 refused. */
    result = orvexa_key_get_by_number(argv[1], code, item);
    if (result == 7) {
        fprintf(stderr, "refused: the number must have 10 or 12 characters and the item code be "
                        "6, 7, 8, 12 or 13\n");
        return 2;
    }
    if (result != 0) {
        /* The last status is what the last slot that failed left, e.g. one without a key. */
        fprintf(stderr,
                "no slot carries key number %s, or its item %d cannot be read "
                "(last status %lu)\n",
                argv[1], code, (unsigned long)orvexa_drv_last_status());
        return 1;
    }
    for (i = 0; i < (int)sizeof item; ++i)
        printf("%02x", item[i]);
    printf("\n");
    return 0;
}
