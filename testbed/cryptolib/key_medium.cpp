#include "key_medium.h"

#include <windows.h>

#include <algorithm>
#include <stdlib.h>
#include <string.h>

#include "crypto_status.h"
#include "testbed_registry.h"

namespace {

const char registry_prefix[] = "HKCU\\";

// No "insert a disk" box while a medium is probed; the previous mode comes back after.
struct QuietErrors {
    UINT previous;
    QuietErrors() : previous(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(previous); }
};

bool is_drive(const std::string& text) {
    return text.size() >= 2 && text[1] == ':' &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

bool starts_with_ignoring_case(const std::string& text, const char* prefix) {
    size_t n = strlen(prefix);
    return text.size() >= n && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                                              int(n), prefix, int(n)) == CSTR_EQUAL;
}

Medium folder(std::string path) {
    Medium m;
    m.kind = Medium::FOLDER;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    m.path = path;
    return m;
}

Medium registry(const std::string& path) {
    Medium m;
    m.kind = Medium::REGISTRY;
    m.path = path;
    return m;
}

Medium configured(const std::string& value) {
    if (value.empty())
        return Medium();
    if (starts_with_ignoring_case(value, registry_prefix))
        return registry(value.substr(strlen(registry_prefix)));
    if (is_drive(value) || value.compare(0, 2, "\\\\") == 0)
        return folder(value);
    std::string base;
    if (!tb_read_string(ORX_TESTBED_KEY, "MediaDir", &base) || base.empty())
        return Medium();
    if (base.back() != '\\')
        base += '\\';
    return folder(base + value);
}

// A whole decimal number, optionally signed and surrounded by blanks, within 16 bits.
bool parse_status(const std::string& text, int* status) {
    const char* begin = text.c_str();
    char* end = nullptr;
    long value = strtol(begin, &end, 10);
    if (end == begin)
        return false;
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
        ++end;
    if (*end != '\0' || value < -32768 || value > 65535)
        return false;
    *status = int(int16_t(value));
    return true;
}

bool file_exists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Reads up to `limit` bytes; a longer file comes back cut at limit + 1 bytes, so that the
// caller sees it is too long.
bool read_file(const std::string& path, size_t limit, std::string* text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    text->assign(limit + 1, '\0');
    size_t total = 0;
    bool ok = true;
    while (total < text->size()) {
        DWORD got = 0;
        if (!ReadFile(file, &(*text)[total], DWORD(text->size() - total), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    CloseHandle(file);
    text->resize(total);
    return ok;
}

bool has_key_extension(const char* name) {
    size_t n = strlen(name);
    return n > 4 && lstrcmpiA(name + n - 4, ".key") == 0;
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

int read_folder(const std::string& root, std::vector<KeyRecord>* keys) {
    QuietErrors quiet;
    DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CRYPTO_HOARDER_ERROR;

    std::string status_path = root + "status.txt";
    if (file_exists(status_path)) {
        std::string text;
        int status = 0;
        if (!read_file(status_path, 64, &text) || !parse_status(text, &status))
            return CRYPTO_HOARDER_ERROR;
        return status;
    }

    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "*.key").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // the pattern also matches longer extensions through their short names
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                has_key_extension(found.cFileName))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end(), less_ignoring_case);

    for (const std::string& name : names) {
        std::string text;
        if (!read_file(root + name, KEY_FILE_MAX, &text))
            return CRYPTO_DISKETTE_IO;
        KeyRecord key;
        int status = parse_key_file(text, &key);
        if (status != CRYPTO_OK)
            return status;
        keys->push_back(key);
    }
    return CRYPTO_OK;
}

int read_registry(const std::string& path, std::vector<KeyRecord>* keys) {
    std::vector<std::string> names;
    if (!tb_subkeys(path.c_str(), &names))
        return CRYPTO_HOARDER_ERROR;
    uint32_t forced = 0;
    if (tb_read_dword(path.c_str(), "Status", &forced))
        return int(int16_t(forced));
    for (const std::string& name : names) {
        std::string subkey = path + "\\" + name;
        std::string text, value;
        for (const char* item : {"num", "nump", "gkey"})
            if (tb_read_string(subkey.c_str(), item, &value))
                text += std::string(item) + "=" + value + "\n";
        KeyRecord key;
        int status = parse_key_file(text, &key);
        if (status != CRYPTO_OK)
            return status;
        keys->push_back(key);
    }
    return CRYPTO_OK;
}

} // namespace

Medium resolve_medium(const char* device) {
    if (!device || !*device)
        return Medium();
    std::string text(device);
    std::string mapped;
    if (tb_read_string(CRYPTO_DEVICES_KEY, device, &mapped))
        return configured(mapped);
    if (is_drive(text))
        return folder(text);
    if (lstrcmpiA(device, "Keyreg1") == 0)
        return registry(KEYREG_KEY);
    return Medium();
}

int read_medium(const Medium& medium, std::vector<KeyRecord>* keys) {
    keys->clear();
    switch (medium.kind) {
    case Medium::FOLDER:
        return read_folder(medium.path, keys);
    case Medium::REGISTRY:
        return read_registry(medium.path, keys);
    default:
        return CRYPTO_HOARDER_ERROR;
    }
}
