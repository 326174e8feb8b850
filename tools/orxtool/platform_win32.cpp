// orxtool's platform in the product: orxlink's exports, the C runtime's streams and files,
// and RtlGenRandom. No decisions here: each function forwards a call or two.
#include "tool_platform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

// RtlGenRandom, exported by advapi32 under this name.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

uint32_t tool_library_version() {
    return GetDLLVersion();
}

uint32_t tool_last_status() {
    return orvexa_drv_last_status();
}

std::string tool_last_status_name() {
    char name[64] = "";
    orvexa_drv_status_name(name, int32_t(sizeof name - 1));
    return name;
}

bool tool_query_info(orvexa_drv_info* info) {
    return orvexa_drv_query_info(info, 0) != 0;
}

bool tool_key_get(bool crypt, uint32_t slot, uint8_t* item) {
    return (crypt ? orvexa_key_get4_slot(item, slot) : orvexa_key_get5_slot(item, slot)) != 0;
}

bool tool_key_reset(uint32_t slot) {
    return orvexa_key_reset_slot(slot) != 0;
}

int tool_get_seed_need(int* kind, int* size) {
    return orvexa_rndm_get_handle()->get_seed_need(kind, size);
}

int tool_put_seed(int kind, int size, const uint8_t* data) {
    return orvexa_rndm_get_handle()->put_seed(kind, size, data);
}

int tool_get_random(uint32_t length, uint8_t* buffer) {
    return orvexa_rndm_get_handle()->get_random(length, buffer);
}

bool tool_system_random(uint8_t* buffer, size_t length) {
    return SystemFunction036(buffer, ULONG(length)) != FALSE;
}

void tool_out(const std::string& text) {
    fwrite(text.data(), 1, text.size(), stdout);
}

void tool_flush_out() {
    fflush(stdout);
}

void tool_err(const std::string& text) {
    fflush(stdout);
    fwrite(text.data(), 1, text.size(), stderr);
    fflush(stderr);
}

bool tool_out_binary(const uint8_t* data, size_t length) {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    return fwrite(data, 1, length, stdout) == length && fflush(stdout) == 0;
}

bool tool_out_is_console() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
}

int tool_file_write(const char* path, const uint8_t* data, size_t length) {
    FILE* file = fopen(path, "wb");
    if (!file)
        return TOOL_FILE_NOT_CREATED;
    const bool written = fwrite(data, 1, length, file) == length;
    return fclose(file) == 0 && written ? TOOL_FILE_WRITTEN : TOOL_FILE_INCOMPLETE;
}

void tool_file_remove(const char* path) {
    remove(path);
}
