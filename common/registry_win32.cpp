// Win32 implementation of the shared registry access.
#include <windows.h>

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
