// Registry access shared by both deliverables. The product implements it with Win32
// (registry_win32.cpp); the native tests link an in-memory registry.
#ifndef ORX_COMMON_REGISTRY_H
#define ORX_COMMON_REGISTRY_H

#include <stdint.h>

#include "scoped.h"

enum { ORX_REG_NONE = 0, ORX_REG_SZ = 1, ORX_REG_BINARY = 3, ORX_REG_DWORD = 4 };
enum { ORX_ERROR_FILE_NOT_FOUND = 2, ORX_ERROR_MORE_DATA = 234 };
enum { ORX_KEY_READ = 1, ORX_KEY_WRITE = 2, ORX_KEY_READ_WRITE = 3 };

// Opens the current user's key with read and write access, creating it when missing;
// *created tells whether it was created now. Null on failure.
void* plat_user_key_create(const char* path, int* created);
// Opens an existing key of the current user's or the machine's hive; null when absent.
void* plat_user_key_open(const char* path, int access);
void* plat_machine_key_open(const char* path, int access);
void plat_reg_close(void* key);
using scoped_registry_key = scoped<void*, plat_reg_close>;
// Reads a value like RegQueryValueEx: 0 on success (type and size filled), otherwise the
// system error (ORX_ERROR_FILE_NOT_FOUND, or ORX_ERROR_MORE_DATA with the size needed).
uint32_t plat_reg_query(void* key, const char* name, uint32_t* type, void* buffer, uint32_t* size);
uint32_t plat_reg_write_binary(void* key, const char* name, const void* data, uint32_t size);
// A REG_SZ with its terminating NUL.
uint32_t plat_reg_write_string(void* key, const char* name, const char* text);
uint32_t plat_reg_write_dword(void* key, const char* name, uint32_t value);
// Name of subkey `index` (0, 1, ...); 0 when there is no such subkey.
int plat_reg_subkey(void* key, uint32_t index, char* name, uint32_t size);

#endif
