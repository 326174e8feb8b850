// The in-memory registry of the native tests. Handles are allocated per open, so a key
// left open shows up as a leak under the sanitizers, and `open_keys` counts them.
#include <cctype>
#include <cstring>

#include "fake_platform.h"
#include "registry.h"

namespace {

using Hive = std::map<std::string, FakeKey>;
struct FakeHandle {
    Hive* hive;
    std::string path;
    int access;
    FakeKey& key() const { return (*hive)[path]; }
};

std::string folded(std::string path) {
    for (char& c : path)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    path.erase(path.find_last_not_of('\\') + 1);
    return path;
}

void* open(Hive& hive, const char* path, int access) {
    auto it = hive.find(folded(path));
    if (it == hive.end() || ((access & ORX_KEY_WRITE) && it->second.read_only))
        return nullptr;
    ++fake().open_keys;
    return new FakeHandle{&hive, it->first, access};
}

uint32_t write(void* key, const char* name, uint32_t type, const void* data, uint32_t size) {
    FakeHandle* h = static_cast<FakeHandle*>(key);
    if (!(h->access & ORX_KEY_WRITE))
        return 5; // access denied
    ++fake().registry_writes;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    h->key().values[name] = {type, {bytes, bytes + size}};
    return 0;
}

} // namespace

FakeKey& user_key(const std::string& path) {
    return fake().user_keys[folded(path)];
}
FakeKey& machine_key(const std::string& path) {
    return fake().machine_keys[folded(path)];
}
bool user_key_exists(const std::string& path) {
    return fake().user_keys.count(folded(path)) != 0;
}

std::string string_value(const FakeKey& key, const std::string& name) {
    auto it = key.values.find(name);
    return it == key.values.end() ? ""
                                  : std::string(it->second.bytes.begin(), it->second.bytes.end());
}

void* plat_user_key_create(const char* path, int* created) {
    *created = !user_key_exists(path);
    return fake().key_create_fails
               ? nullptr
               : (user_key(path), open(fake().user_keys, path, ORX_KEY_READ_WRITE));
}

void* plat_user_key_open(const char* path, int access) {
    return open(fake().user_keys, path, access);
}

void* plat_machine_key_open(const char* path, int access) {
    return open(fake().machine_keys, path, access);
}

void plat_reg_close(void* key) {
    fake().open_keys -= key != nullptr;
    delete static_cast<FakeHandle*>(key);
}

uint32_t plat_reg_query(void* key, const char* name, uint32_t* type, void* buffer, uint32_t* size) {
    FakeHandle* h = static_cast<FakeHandle*>(key);
    if (uint32_t error = fake().query_hook ? fake().query_hook(h->path, name) : 0)
        return error;
    auto& values = h->key().values;
    auto it = values.find(name);
    if (it == values.end())
        return ORX_ERROR_FILE_NOT_FOUND;
    uint32_t room = *size;
    *type = it->second.type;
    *size = uint32_t(it->second.bytes.size());
    if (*size > room && buffer)
        std::memset(buffer, 0xA5, room); // what is left there is undefined
    if (*size > room)
        return ORX_ERROR_MORE_DATA;
    if (buffer && *size)
        std::memcpy(buffer, it->second.bytes.data(), *size);
    return 0;
}

uint32_t plat_reg_write_binary(void* key, const char* name, const void* data, uint32_t size) {
    return write(key, name, ORX_REG_BINARY, data, size);
}

uint32_t plat_reg_write_string(void* key, const char* name, const char* text) {
    return write(key, name, ORX_REG_SZ, text, uint32_t(std::strlen(text) + 1));
}

uint32_t plat_reg_write_dword(void* key, const char* name, uint32_t value) {
    return write(key, name, ORX_REG_DWORD, &value, sizeof value);
}

// Subkeys are the keys whose path continues this one by exactly one more name.
int plat_reg_subkey(void* key, uint32_t index, char* name, uint32_t size) {
    FakeHandle* h = static_cast<FakeHandle*>(key);
    std::string prefix = h->path + "\\";
    for (auto& entry : *h->hive) {
        const std::string& path = entry.first;
        if (path.compare(0, prefix.size(), prefix) != 0 ||
            path.find('\\', prefix.size()) != std::string::npos || index-- > 0)
            continue;
        if (path.size() - prefix.size() + 1 > size)
            return 0;
        std::strcpy(name, path.c_str() + prefix.size());
        return 1;
    }
    return 0;
}
