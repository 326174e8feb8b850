// Key files of the crypto-library stand-in: plain text, one "name=value" item per line.
//
//   # a comment
//   num=1111222222          10 digits: the crypt key number (NUM)
//   nump=111122222233       12 digits: the sign key number (NUMP)
//   gkey=<64 hex digits>    optional 32-byte GKEY, not all zero; derived from the
//                           numbers when absent
//
// A key has num, nump or both. Names are lower case; blanks around names and values and
// blank lines are ignored; an unknown name, a line without "=", a repeated name or a file
// over KEY_FILE_MAX bytes makes the file malformed.
#ifndef ORX_TESTBED_KEY_FILE_H
#define ORX_TESTBED_KEY_FILE_H

#include <stdint.h>

#include <string>

#define KEY_NUM_LEN 10u
#define KEY_NUMP_LEN 12u
#define KEY_GKEY_LEN 32u
#define KEY_FILE_MAX 4096u

struct KeyRecord {
    std::string num;  // "" when the key has no crypt key number
    std::string nump; // "" when the key has no sign key number
    uint8_t gkey[KEY_GKEY_LEN];
};

// Parses one key file; returns CRYPTO_OK, CRYPTO_BAD_NUMBER or CRYPTO_BAD_GKEY.
int parse_key_file(const std::string& text, KeyRecord* key);

// True when `id` names the key: its NUM (10 characters) or its NUMP (12 characters).
bool key_has_id(const KeyRecord& key, const std::string& id);

#endif
