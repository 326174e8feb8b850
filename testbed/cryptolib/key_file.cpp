#include "key_file.h"

#include <string.h>

#include "crypto_status.h"

namespace {

std::string trimmed(const std::string& s) {
    const char* blanks = " \t\r\n";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

bool all_digits(const std::string& s, size_t length) {
    if (s.size() != length)
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parse_gkey(const std::string& s, uint8_t out[KEY_GKEY_LEN]) {
    if (s.size() != 2 * KEY_GKEY_LEN)
        return false;
    uint8_t any = 0;
    for (size_t i = 0; i < KEY_GKEY_LEN; ++i) {
        int high = hex_value(s[2 * i]);
        int low = hex_value(s[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i] = uint8_t(high << 4 | low);
        any |= out[i];
    }
    return any != 0;
}

// A GKEY for keys whose file has none: FNV-1a over the numbers, one round per byte.
void derive_gkey(const KeyRecord& key, uint8_t out[KEY_GKEY_LEN]) {
    std::string seed = key.num + "/" + key.nump;
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < KEY_GKEY_LEN; ++i) {
        for (char c : seed)
            h = (h ^ uint8_t(c)) * 16777619u;
        h = (h ^ uint32_t(i)) * 16777619u;
        out[i] = uint8_t(h >> 24) | 1; // never all zero
    }
}

} // namespace

int parse_key_file(const std::string& text, KeyRecord* key) {
    *key = KeyRecord();
    if (text.size() > KEY_FILE_MAX)
        return CRYPTO_BAD_NUMBER;
    bool have_num = false, have_nump = false, have_gkey = false;
    std::string gkey_text;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            return CRYPTO_BAD_NUMBER;
        std::string name = trimmed(line.substr(0, eq));
        std::string value = trimmed(line.substr(eq + 1));
        bool* seen = name == "num"    ? &have_num
                     : name == "nump" ? &have_nump
                     : name == "gkey" ? &have_gkey
                                      : nullptr;
        if (!seen || *seen)
            return CRYPTO_BAD_NUMBER;
        *seen = true;
        if (name == "num")
            key->num = value;
        else if (name == "nump")
            key->nump = value;
        else
            gkey_text = value;
    }
    if (!have_num && !have_nump)
        return CRYPTO_BAD_NUMBER;
    if ((have_num && !all_digits(key->num, KEY_NUM_LEN)) ||
        (have_nump && !all_digits(key->nump, KEY_NUMP_LEN)))
        return CRYPTO_BAD_NUMBER;
    if (have_gkey) {
        if (!parse_gkey(gkey_text, key->gkey))
            return CRYPTO_BAD_GKEY;
    } else {
        derive_gkey(*key, key->gkey);
    }
    return CRYPTO_OK;
}

bool key_has_id(const KeyRecord& key, const std::string& id) {
    return (!key.num.empty() && id == key.num) || (!key.nump.empty() && id == key.nump);
}
