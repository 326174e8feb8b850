// The fuzz platform of orxload: the operating system, the registry, orxlink and the outside
// libraries answer from the fuzzer's input, byte by byte, in the order the loader asks.
// An exhausted input answers zeros, which mostly means "success, nothing more".
#ifndef ORX_LOADER_FUZZ_PLATFORM_H
#define ORX_LOADER_FUZZ_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

void lf_begin(const uint8_t* data, size_t size);
// Checks what must hold after every run; aborts (a finding) when it does not.
void lf_end();

uint8_t lf_byte();
uint16_t lf_u16();
uint32_t lf_u32();
bool lf_done();
// A status of an outside call: mostly 0, small codes, the codes the loader knows by
// number, or any 16-bit value.
int16_t lf_status();
// Fills `size` bytes: from the input when the next byte is 0, else with that byte (no NUL).
void lf_fill(void* out, size_t size);
// Reads every byte of `data` so that the sanitizers see a read past its end.
void lf_touch(const void* data, size_t size);
void lf_touch_text(const char* text);

[[noreturn]] void lf_fail(const char* what);

// The main window's controls (loader_fuzz_window.cpp): a fresh window, whether it has
// ended and with what result, and the operator picking entries.
void lf_window_open();
bool lf_window_ended(int* result);
void lf_operator_picks_device(uint8_t index);
void lf_operator_picks_line(uint8_t index);

#endif
