// orxtool's window onto orxlink and the operating system. The product implements it in
// platform_win32.cpp (orxlink imported by ordinal, the C runtime's console and files); the
// native tests link a scripted implementation, so every command's decisions run without a
// driver, a console or a disk.
#ifndef ORXTOOL_TOOL_PLATFORM_H
#define ORXTOOL_TOOL_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "orxlink.h"

// orxlink: each call answers as the export of the same name does.
uint32_t tool_library_version();             // GetDLLVersion
uint32_t tool_last_status();                 // orvexa_drv_last_status
std::string tool_last_status_name();         // orvexa_drv_status_name; "" for none
bool tool_query_info(orvexa_drv_info* info); // orvexa_drv_query_info, selector 0
// orvexa_key_get4_slot (the crypt key number, 10 bytes) or orvexa_key_get5_slot (the sign key
// number, 12 bytes).
bool tool_key_get(bool crypt, uint32_t slot, uint8_t* item);
bool tool_key_reset(uint32_t slot); // orvexa_key_reset_slot
// The provider table's entries: 0 for success, as the table answers.
int tool_get_seed_need(int* kind, int* size);
int tool_put_seed(int kind, int size, const uint8_t* data);
int tool_get_random(uint32_t length, uint8_t* buffer);

// The operating system's cryptographic random source.
bool tool_system_random(uint8_t* buffer, size_t length);

// Standard output and standard error. Text goes out as given; an error line is written
// after whatever text is pending on standard output, so the two keep their order.
void tool_out(const std::string& text);
void tool_flush_out(); // shows progress now; at exit the C runtime flushes anyway
void tool_err(const std::string& text);
// Bytes on standard output without newline translation; false unless all were written and
// flushed.
bool tool_out_binary(const uint8_t* data, size_t length);
bool tool_out_is_console();

// Files: `path` created (or truncated) and the bytes written to it. NOT_CREATED when it could
// not be opened; INCOMPLETE when it was, but not every byte reached it (closing included).
enum { TOOL_FILE_WRITTEN, TOOL_FILE_NOT_CREATED, TOOL_FILE_INCOMPLETE };
int tool_file_write(const char* path, const uint8_t* data, size_t length);
void tool_file_remove(const char* path);

#endif
