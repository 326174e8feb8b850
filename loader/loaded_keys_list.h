// The list of keys loaded in the driver, one line per slot.
#ifndef ORX_LOADER_LOADED_KEYS_LIST_H
#define ORX_LOADER_LOADED_KEYS_LIST_H

#include <stdint.h>

#include "outside_api.h"

enum { ORX_KEY_LINE = 31 };
#define ORX_WIDTH_SAMPLE "0 : 111122222233   1111222222"
#define ORX_LINE_PLACEHOLDER "sX:_xxxxssssssyy___xxxxssssss___"

// "%-2u: " + sign id or 12 underscores + "   " + crypt id or 10 underscores. Identifiers
// are taken at most 12 and 10 characters long, whatever the entry holds.
void format_key_line(const DrvKeyInfo& entry, char line[ORX_KEY_LINE]);
// The first position whose slot number exceeds it, or the number of entries.
uint32_t first_gap(const DrvKeyInfo* entries, uint32_t count);

// Rebuilds the list and the key view's buttons; returns the position P.
uint32_t RefreshLoadedKeyList();
// Turns a list line into the key identifier that unloading needs, in place.
void KeyIdFromListLine(char* line);

#endif
