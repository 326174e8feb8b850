// The loader's window onto the operating system. The product implements it with Win32
// (platform_win32.cpp); the native tests link a recorded implementation, so every rule of
// start-up, binding, settings and messages runs without Windows.
#ifndef ORX_LOADER_PLATFORM_H
#define ORX_LOADER_PLATFORM_H

#include <stdint.h>

#include "scoped.h"

typedef void* lp_module;

// Modules and entry points.
lp_module lp_load_library(const char* name); // a full path, or a plain name searched as usual
void lp_free_library(lp_module module);
using scoped_module = scoped<lp_module, lp_free_library>;
void* lp_entry_point(lp_module module, const char* name);
lp_module lp_loaded_module(const char* name); // only if already loaded; never loads
// Copies the system directory; returns its length, or 0 on failure. A result of `size` or
// more means the buffer was too small.
uint32_t lp_system_directory(char* buffer, uint32_t size);
// Keeps the current directory out of the DLL search for the rest of the run.
void lp_secure_dll_search(void);

// Drives and clocks.
int lp_drive_removable(const char* root); // "A:\" or "E:"; unknown types are not removable
// The logical drives' root strings, each NUL-terminated, ended by an empty string; returns
// the length written, or a larger number when `size` is too small.
uint32_t lp_logical_drive_strings(char* buffer, uint32_t size);
uint64_t lp_performance_counter(void);

// The program.
lp_module lp_program_instance(void);
int lp_other_loader_window(void); // a dialog window titled "orxload" exists
uint16_t lp_user_language(void);
void lp_fail_critical_errors(void);
// Loads string `id` of `module`; an absent string gives "" and 0.
int lp_load_string(lp_module module, uint32_t id, char* buffer, int size);
int lp_message_box(const char* text, const char* caption, uint32_t flags);
void lp_beep(uint32_t frequency, uint32_t milliseconds);
void lp_sleep(uint32_t milliseconds);
// Initialises the common controls and runs dialog 101 of `resources` modally.
int lp_run_main_window(lp_module resources);

#endif
