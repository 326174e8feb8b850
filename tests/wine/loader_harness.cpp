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

namespace {

std::vector<HANDLE> tracked;

} // namespace

void track_loader(HANDLE process) {
    HANDLE copy = nullptr;
    if (process && DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &copy, 0,
                                   FALSE, DUPLICATE_SAME_ACCESS))
        tracked.push_back(copy);
}

void end_started_loaders() {
    for (HANDLE process : tracked) {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
            TerminateProcess(process, 998);
        CloseHandle(process);
    }
    tracked.clear();
}

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
    track_loader(pi.hProcess);
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

namespace {

BOOL CALLBACK collect_title(HWND window, LPARAM data) {
    char cls[64] = "", title[256] = "";
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(window))
        *reinterpret_cast<std::string*>(data) += std::string("[") + title + "]";
    return TRUE;
}

} // namespace

std::string visible_dialog_titles() {
    std::string titles;
    EnumWindows(collect_title, reinterpret_cast<LPARAM>(&titles));
    return titles;
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

bool control_visible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != 0;
}

bool control_enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

namespace {

// Across processes Wine answers the text messages in UTF-16: ask for that and convert.
std::string ansi_of(const wchar_t* text) {
    char out[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

std::vector<std::string> item_texts(HWND control, UINT count_message, UINT length_message,
                                    UINT text_message) {
    std::vector<std::string> texts;
    LRESULT count = SendMessageW(control, count_message, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(control, length_message, WPARAM(i), 0);
        std::vector<wchar_t> text(size_t(length > 0 ? length : 0) + 1, 0);
        SendMessageW(control, text_message, WPARAM(i), LPARAM(text.data()));
        texts.push_back(ansi_of(text.data()));
    }
    return texts;
}

} // namespace

std::vector<std::string> list_lines(HWND dialog, int id) {
    return item_texts(GetDlgItem(dialog, id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> combo_texts(HWND dialog, int id) {
    return item_texts(GetDlgItem(dialog, id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int combo_selection(HWND dialog, int id) {
    return int(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void select_combo(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, WPARAM(index), 0);
}

void post_command(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, WPARAM(id), 0);
}

bool save_screenshot(const char* path) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    DWORD row = DWORD((w * 3 + 3) & ~3);
    std::vector<BYTE> pixels(size_t(row) * size_t(h));
    GetDIBits(memory, bitmap, 0, UINT(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + DWORD(pixels.size());
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info, sizeof info, &written, nullptr);
    WriteFile(out, pixels.data(), DWORD(pixels.size()), &written, nullptr);
    CloseHandle(out);
    return true;
}
