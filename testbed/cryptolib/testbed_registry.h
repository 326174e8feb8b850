// Registry access of the testbed's stand-in libraries: switches that tests set under
// HKCU\Software\ORX\Testbed\<Part>, and a call log kept there as a REG_MULTI_SZ value.
// Every key is opened at the moment of use and closed again.
#ifndef ORX_TESTBED_REGISTRY_H
#define ORX_TESTBED_REGISTRY_H

#include <stdint.h>

#include <string>
#include <vector>

#define ORX_TESTBED_KEY "Software\\ORX\\Testbed"

// Values of the current user's key `path`; each returns false (output untouched) when the
// key or the value is missing or has another type.
bool tb_read_dword(const char* path, const char* name, uint32_t* value);
bool tb_read_string(const char* path, const char* name, std::string* value);
bool tb_read_binary(const char* path, const char* name, std::vector<uint8_t>* value);
uint32_t tb_dword_or(const char* path, const char* name, uint32_t fallback);

// Writes a value, creating the key when needed.
void tb_write_dword(const char* path, const char* name, uint32_t value);
void tb_write_binary(const char* path, const char* name, const void* data, uint32_t size);

// Appends one entry to the REG_MULTI_SZ value "Log" of `path`; the oldest entries go once
// the log holds ORX_TESTBED_LOG_MAX of them.
#define ORX_TESTBED_LOG_MAX 512u
void tb_log(const char* path, const std::string& entry);

// Names of the subkeys of `path`, sorted ignoring case; empty when there are none.
// Returns false when the key cannot be opened.
bool tb_subkeys(const char* path, std::vector<std::string>* names);

#endif
