// Files that orxtool writes (random --out, selftest --save): complete or not at all.
#ifndef ORXTOOL_OUTPUT_FILE_H
#define ORXTOOL_OUTPUT_FILE_H

#include <stddef.h>
#include <stdint.h>

// Writes `length` bytes to `path`; a file that cannot be written completely is removed
// again, so no one takes a truncated file for a good one.
bool write_whole_file(const char* path, const uint8_t* data, size_t length);

#endif
