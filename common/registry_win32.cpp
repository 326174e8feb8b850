// Win32 implementation of the shared registry access.
#include <windows.h>

#include <string.h>

#include "registry.h"

void* plat_user_key_create(const char* path, int* created) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    *created = disposition == REG_CREATED_NEW_KEY;
    return key;
}

namespace {

REGSAM sam_of(int access) {
    REGSAM sam = 0;
    if (access & ORX_KEY_READ)
        sam |= KEY_READ;
    if (access & ORX_KEY_WRITE)
        sam |= KEY_WRITE;
    return sam;
}

void* open_key(HKEY hive, const char* path, int access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path, 0, sam_of(access), &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

void* plat_user_key_open(const char* path, int access) {
    return open_key(HKEY_CURRENT_USER, path, access);
}

void* plat_machine_key_open(const char* path, int access) {
    return open_key(HKEY_LOCAL_MACHINE, path, access);
}

void plat_reg_close(void* key) {
    RegCloseKey(static_cast<HKEY>(key));
}

uint32_t plat_reg_query(void* key, const char* name, uint32_t* type, void* buffer, uint32_t* size) {
    DWORD t = 0, n = *size;
    LONG rc =
        RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &t, static_cast<BYTE*>(buffer), &n);
    *type = t;
    *size = n;
    return uint32_t(rc);
}

uint32_t plat_reg_write_binary(void* key, const char* name, const void* data, uint32_t size) {
    return uint32_t(RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_BINARY,
                                   static_cast<const BYTE*>(data), size));
}

uint32_t plat_reg_write_string(void* key, const char* name, const char* text) {
    return uint32_t(RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text), DWORD(strlen(text) + 1)));
}

uint32_t plat_reg_write_dword(void* key, const char* name, uint32_t value) {
    DWORD v = value;
    return uint32_t(RegSetValueExA(static_cast<HKEY>(key), name, 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&v), sizeof v));
}

int plat_reg_subkey(void* key, uint32_t index, char* name, uint32_t size) {
    DWORD length = size;
    return RegEnumKeyExA(static_cast<HKEY>(key), index, name, &length, nullptr, nullptr, nullptr,
                         nullptr) == ERROR_SUCCESS;
}
