// Win32 implementation of the loader's platform seam.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "dll_search.h"
#include "loader_platform.h"
#include "main_window_win32.h"
#include "res/resource_ids.h"

namespace {

std::string folder_of_program() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

std::string system_folder(UINT(WINAPI* query)(LPSTR, UINT)) {
    char path[MAX_PATH];
    UINT n = query(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::string path_variable() {
    DWORD n = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (n == 0)
        return std::string();
    std::string value(n, '\0');
    n = GetEnvironmentVariableA("PATH", &value[0], n);
    value.resize(n);
    return value;
}

} // namespace

// A plain name is resolved here, outside the current directory, and loaded by its path.
lp_module lp_load_library(const char* name) {
    for (const std::string& path :
         dll_candidates(name, folder_of_program(), system_folder(GetSystemDirectoryA),
                        system_folder(GetWindowsDirectoryA), path_variable())) {
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH))
            return module;
    }
    return nullptr;
}

void lp_free_library(lp_module module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

void* lp_entry_point(lp_module module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

lp_module lp_loaded_module(const char* name) {
    return GetModuleHandleA(name);
}

uint32_t lp_system_directory(char* buffer, uint32_t size) {
    return GetSystemDirectoryA(buffer, size);
}

// An empty DLL directory takes the current directory out of the system's own search, which
// still finds the dependencies of what the loader loads.
void lp_secure_dll_search(void) {
    SetDllDirectoryA("");
}

lp_module lp_program_instance(void) {
    return GetModuleHandleA(nullptr);
}

// The dialog class is named by its integer atom.
int lp_other_loader_window(void) {
    return FindWindowA(reinterpret_cast<LPCSTR>(MAKEINTATOM(0x8002)), "orxload") != nullptr;
}

uint16_t lp_user_language(void) {
    return GetUserDefaultLangID();
}

void lp_fail_critical_errors(void) {
    SetErrorMode(SEM_FAILCRITICALERRORS);
}

int lp_load_string(lp_module module, uint32_t id, char* buffer, int size) {
    return LoadStringA(static_cast<HINSTANCE>(module), id, buffer, size);
}

int lp_message_box(const char* text, const char* caption, uint32_t flags) {
    return MessageBoxA(nullptr, text, caption, flags);
}

void lp_beep(uint32_t frequency, uint32_t milliseconds) {
    Beep(frequency, milliseconds);
}

void lp_sleep(uint32_t milliseconds) {
    Sleep(milliseconds);
}

int lp_run_main_window(lp_module resources) {
    InitCommonControls();
    return int(DialogBoxParamA(static_cast<HINSTANCE>(resources), MAKEINTRESOURCEA(IDD_MAIN),
                               nullptr, main_dialog_proc, 0));
}

int lp_drive_removable(const char* root) {
    return GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

uint32_t lp_logical_drive_strings(char* buffer, uint32_t size) {
    return GetLogicalDriveStringsA(size, buffer);
}

uint64_t lp_performance_counter(void) {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return uint64_t(counter.QuadPart);
}
