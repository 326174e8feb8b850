#include "loader_harness.h"

#include <string.h>

namespace {

std::string program_folder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

struct find_state {
    const char* title;
    HWND found;
};

BOOL CALLBACK match_dialog(HWND window, LPARAM data) {
    find_state* state = reinterpret_cast<find_state*>(data);
    char cls[64] = "", title[256] = "";
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    if (strcmp(cls, "#32770") == 0 && strcmp(title, state->title) == 0 && IsWindowVisible(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HANDLE start_orxload(const char* arguments) {
    std::string exe = program_folder() + "orxload.exe";
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int wait_exit(HANDLE process, DWORD timeout_ms) {
    if (!process)
        return -2;
    if (WaitForSingleObject(process, timeout_ms) != WAIT_OBJECT_0) {
        TerminateProcess(process, 999);
        CloseHandle(process);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return int(code);
}

int run_orxload(const char* arguments, DWORD timeout_ms) {
    return wait_exit(start_orxload(arguments), timeout_ms);
}

HWND wait_dialog(const char* title, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    do {
        find_state state = {title, nullptr};
        EnumWindows(match_dialog, reinterpret_cast<LPARAM>(&state));
        if (state.found)
            return state.found;
        Sleep(50);
    } while (GetTickCount() - start < timeout_ms);
    return nullptr;
}

std::string window_text(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string box_text(HWND box) {
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void delete_user_tree(const char* path) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path);
}

void set_user_string(const char* path, const char* name, const char* value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   DWORD(strlen(value) + 1));
    RegCloseKey(key);
}

void set_user_dword(const char* path, const char* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

bool read_user_string(const char* path, const char* name, std::string* value) {
    char buffer[512] = "";
    DWORD size = sizeof buffer - 1, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &type, buffer, &size) !=
        ERROR_SUCCESS)
        return false;
    *value = buffer;
    return true;
}

std::vector<std::string> crypto_log() {
    std::vector<char> buffer(65536);
    DWORD size = DWORD(buffer.size()), type = 0;
    std::vector<std::string> lines;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\ORX\\Testbed\\Crypto", "Log", RRF_RT_ANY, &type,
                     buffer.data(), &size) != ERROR_SUCCESS)
        return lines;
    for (const char* p = buffer.data(); *p && p < buffer.data() + size; p += strlen(p) + 1)
        lines.push_back(p);
    return lines;
}

DWORD akkord_loads() {
    DWORD value = 0, size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\ORX\\Testbed\\Akkord", "Loads", RRF_RT_REG_DWORD,
                 nullptr, &value, &size);
    return value;
}

void reset_loader_registry() {
    delete_user_tree("SOFTWARE\\DEZURE\\Cryptography\\orxload");
    delete_user_tree("SOFTWARE\\DEZURE\\Cryptography\\RANDOM");
    delete_user_tree("SOFTWARE\\DEZURE\\Cryptography\\KeyDevices");
    delete_user_tree("Software\\ORX\\Testbed\\Akkord");
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ORX\\Testbed\\Crypto", 0, KEY_WRITE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, "Log");
        RegCloseKey(key);
    }
}
