#include "testbed_registry.h"

#include <windows.h>

#include <algorithm>
#include <string.h>

namespace {

// An open registry key, closed when it goes out of scope.
struct Key {
    HKEY handle = nullptr;
    Key(const char* path, REGSAM access, bool create) {
        LONG result = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, access,
                                               nullptr, &handle, nullptr)
                             : RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &handle);
        if (result != ERROR_SUCCESS)
            handle = nullptr;
    }
    ~Key() {
        if (handle)
            RegCloseKey(handle);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
};

bool read_raw(const char* path, const char* name, DWORD wanted, std::vector<uint8_t>* data) {
    Key key(path, KEY_QUERY_VALUE, false);
    if (!key.handle)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.handle, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != wanted)
        return false;
    data->assign(size, 0);
    if (size &&
        RegQueryValueExA(key.handle, name, nullptr, &type, data->data(), &size) != ERROR_SUCCESS)
        return false;
    data->resize(size);
    return true;
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

} // namespace

bool tb_read_dword(const char* path, const char* name, uint32_t* value) {
    std::vector<uint8_t> data;
    if (!read_raw(path, name, REG_DWORD, &data) || data.size() != 4)
        return false;
    memcpy(value, data.data(), 4);
    return true;
}

uint32_t tb_dword_or(const char* path, const char* name, uint32_t fallback) {
    uint32_t value = fallback;
    tb_read_dword(path, name, &value);
    return value;
}

bool tb_read_string(const char* path, const char* name, std::string* value) {
    std::vector<uint8_t> data;
    if (!read_raw(path, name, REG_SZ, &data))
        return false;
    value->assign(data.begin(), data.end());
    value->resize(strnlen(value->c_str(), value->size()));
    return true;
}

bool tb_read_binary(const char* path, const char* name, std::vector<uint8_t>* value) {
    return read_raw(path, name, REG_BINARY, value);
}

void tb_write_dword(const char* path, const char* name, uint32_t value) {
    Key key(path, KEY_SET_VALUE, true);
    if (key.handle)
        RegSetValueExA(key.handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
}

void tb_write_binary(const char* path, const char* name, const void* data, uint32_t size) {
    Key key(path, KEY_SET_VALUE, true);
    if (key.handle)
        RegSetValueExA(key.handle, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

void tb_log(const char* path, const std::string& entry) {
    std::vector<uint8_t> data;
    std::vector<std::string> entries;
    if (read_raw(path, "Log", REG_MULTI_SZ, &data)) {
        size_t start = 0;
        for (size_t i = 0; i < data.size(); ++i) {
            if (data[i] != 0)
                continue;
            if (i > start)
                entries.emplace_back(data.begin() + start, data.begin() + i);
            start = i + 1;
        }
    }
    entries.push_back(entry);
    if (entries.size() > ORX_TESTBED_LOG_MAX)
        entries.erase(entries.begin(), entries.end() - ORX_TESTBED_LOG_MAX);

    std::string joined;
    for (const std::string& e : entries) {
        joined += e;
        joined += '\0';
    }
    joined += '\0';
    Key key(path, KEY_SET_VALUE, true);
    if (key.handle)
        RegSetValueExA(key.handle, "Log", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(joined.data()), DWORD(joined.size()));
}

bool tb_subkeys(const char* path, std::vector<std::string>* names) {
    Key key(path, KEY_ENUMERATE_SUB_KEYS, false);
    if (!key.handle)
        return false;
    names->clear();
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.handle, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names->emplace_back(name, size);
    }
    std::sort(names->begin(), names->end(), less_ignoring_case);
    return true;
}
