// What the About box needs from the operating system. The product implements it with
// Win32 (about_platform_win32.cpp, about_dialog_win32.cpp); the native tests link a
// recorded implementation, so every decision of the box runs without Windows.
#ifndef ORX_LOADER_ABOUT_PLATFORM_H
#define ORX_LOADER_ABOUT_PLATFORM_H

#include <stdint.h>

// Calls `visit` with the name of each installed code page ("1251", ...) until it
// returns 0 or the list ends.
typedef int (*ap_code_page_visitor)(const char* code_page);
void ap_enum_installed_code_pages(ap_code_page_visitor visit);

// The system's ANSI code page, through which every text of the box is converted.
uint32_t ap_ansi_code_page(void);

// Converts a NUL-terminated text of the ANSI code page to UTF-16, terminator included.
// With `room` 0 it only counts. Returns the units written (or needed), 0 on failure.
int ap_ansi_to_utf16(const char* text, uint16_t* out, int room);

// The version resource of a module: its file name (0 on failure), the size of its version
// information (0 on failure), the information itself (nonzero on success), and one value
// of it by query path (nonzero when found; `text` then points into `data`, `length`
// characters long).
uint32_t ap_module_file_name(void* module, char* name, uint32_t size);
uint32_t ap_version_info_size(const char* file);
int ap_version_info(const char* file, uint32_t size, void* data);
int ap_version_query(const void* data, const char* path, const char** text, uint32_t* length);

// An exclamation box with an OK button.
void ap_message_box(void* owner, const char* text, const char* caption);

// Copies the in-memory dialog template into movable global memory and runs it modally
// with the About box's dialog procedure; `product` is its creation parameter. Returns the
// dialog's result, or a negative value when the memory or the dialog cannot be had.
int ap_run_dialog(void* instance, const void* dialog_template, uint32_t size, void* owner,
                  const char* product);

#endif
