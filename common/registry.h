// Registry access shared by both deliverables. The product implements it with Win32
// (registry_win32.cpp); the native tests link an in-memory registry.
#ifndef ORX_COMMON_REGISTRY_H
#define ORX_COMMON_REGISTRY_H

#include <stdint.h>

enum { ORX_REG_NONE = 0, ORX_REG_SZ = 1, ORX_REG_BINARY = 3, ORX_REG_DWORD = 4 };
enum { ORX_ERROR_FILE_NOT_FOUND = 2, ORX_ERROR_MORE_DATA = 234 };

// Opens the current user's key with read and write access, creating it when missing;
// *created tells whether it was created now. Null on failure.
void* plat_user_key_create(const char* path, int* created);
void plat_reg_close(void* key);
// Reads a value like RegQueryValueEx: 0 on success (type and size filled), otherwise the
// system error (ORX_ERROR_FILE_NOT_FOUND, or ORX_ERROR_MORE_DATA with the size needed).
uint32_t plat_reg_query(void* key, const char* name, uint32_t* type, void* buffer, uint32_t* size);
uint32_t plat_reg_write_binary(void* key, const char* name, const void* data, uint32_t size);

#endif
