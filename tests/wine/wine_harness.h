// What the Wine suites share: the emulated ORVEXA driver (its private control request and its
// kernel service), the real orxload.exe (processes, exit codes, windows and message boxes), and
// the registry the loader and the stand-ins use.
#ifndef ORX_TESTS_WINE_HARNESS_H
#define ORX_TESTS_WINE_HARNESS_H

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orvexa_testctl.h"

// Polls `condition` every 50 ms; false when it did not hold within the time.
template <typename F> bool wait_until(F condition, DWORD timeout_ms = 15000) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start > timeout_ms)
            return false;
    return true;
}

// One test-control request on a handle of its own, with `extra` after it (LOAD_KEY: the key's
// numbers, 10 and 12 characters), the driver's state into `state`; false when the call fails.
inline bool testctl(orvexa_testctl_request request, const std::string& extra = "",
                    orvexa_testctl_state* state = nullptr) {
    std::string in = std::string(reinterpret_cast<const char*>(&request), sizeof request) + extra;
    HANDLE device = CreateFileA("\\\\.\\OrvexaDev", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD count = 0, size = state ? sizeof *state : 0;
    BOOL ok = DeviceIoControl(device, ORVEXA_TESTCTL_CODE, &in[0], DWORD(in.size()), state, size,
                              &count, nullptr);
    CloseHandle(device);
    return ok != FALSE;
}

inline orvexa_testctl_state driver_state() {
    orvexa_testctl_state state = {};
    testctl({ORVEXA_TESTCTL_GET_STATE, {}}, "", &state);
    return state;
}

// Stops or starts the "orvexa" kernel service; true once its device is gone or answers.
inline bool driver_service(bool start) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, "orvexa", SERVICE_ALL_ACCESS);
    SERVICE_STATUS status = {};
    start ? StartServiceA(service, 0, nullptr)
          : ControlService(service, SERVICE_CONTROL_STOP, &status);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    orvexa_testctl_state state;
    return wait_until([&] { return testctl({ORVEXA_TESTCTL_GET_STATE, {}}, "", &state) == start; });
}

const char* const settings_key = "SOFTWARE\\DEZURE\\Cryptography\\orxload";
const char* const crypto_key = "Software\\ORX\\Testbed\\Crypto"; // the stand-in's switches

inline std::string program_folder() { // of this test program, with the trailing backslash
    char path[MAX_PATH];
    std::string s(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return s.substr(0, s.find_last_of('\\') + 1);
}

inline std::vector<HANDLE> started_loaders; // ended after each test

// Starts orxload.exe of `folder` in the folder `current` (null: this program's).
inline HANDLE start_orxload(const char* arguments, const std::string& folder = program_folder(),
                            const char* current = nullptr) {
    std::string line = "\"" + folder + "orxload.exe\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, 0, 0, nullptr, current, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    started_loaders.push_back(pi.hProcess);
    return pi.hProcess;
}

// The exit code, or -1 when the process did not end in time.
inline int wait_exit(HANDLE process, DWORD timeout_ms = 30000) {
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process, timeout_ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return int(code);
}

// A visible dialog window (or message box) with this title, or null after the time-out.
inline HWND wait_dialog(const std::wstring& title, DWORD timeout_ms = 15000) {
    HWND found = nullptr;
    auto visible = [&] { return IsWindowVisible(found = FindWindowW(L"#32770", title.c_str())); };
    return wait_until(visible, timeout_ms) ? found : nullptr;
}

inline std::wstring text_of(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

// The suites run once in English and once in Russian.
inline const bool russian = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_RUSSIAN;

// The error box with this text in the user's language, closed by its OK button. Returns once
// the box is gone: a message sent to the loader before that would be handled inside the box's
// loop, ahead of what the loader does when the box closes.
inline void expect_error_box(const std::wstring& english, const std::wstring& russian_text) {
    HWND box = wait_dialog(russian ? L"Ошибка" : L"Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(text_of(GetDlgItem(box, 0xFFFF)), russian ? russian_text : english);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }));
}

// Registry values of the current user: REG_SZ or REG_DWORD.
inline void set_user_value(const char* path, const char* name, const char* text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, path, name, REG_SZ, text, DWORD(strlen(text) + 1));
}
inline void set_user_value(const char* path, const char* name, DWORD number) {
    RegSetKeyValueA(HKEY_CURRENT_USER, path, name, REG_DWORD, &number, sizeof number);
}
// A value of the current user as text: a REG_SZ as it is, a REG_DWORD in decimal, a
// REG_MULTI_SZ one line per string (the stand-in crypto library's call log); or "<absent>".
inline std::string user_value(const char* path, const char* name) {
    std::string data(65536, '\0');
    DWORD size = DWORD(data.size()), type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &type, &data[0], &size))
        return "<absent>";
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD*>(&data[0]));
    data.resize(size ? size - 1 : 0); // without the closing NUL
    std::replace(data.begin(), data.end(), '\0', '\n');
    return data;
}

// A fresh driver and the known registry: no loader settings, no RANDOM key, an empty crypto
// log, the Akkord device present; loaders still running are ended after the test.
class LoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testctl({ORVEXA_TESTCTL_RESET, {}})) << "emulated driver not running";
        for (const char* tree :
             {"SOFTWARE\\DEZURE\\Cryptography\\orxload", "SOFTWARE\\DEZURE\\Cryptography\\RANDOM",
              "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices", "Software\\ORX\\Testbed\\Akkord"})
            RegDeleteTreeA(HKEY_CURRENT_USER, tree);
        for (const char* value : {"Log", "RefuseResetSlots"})
            RegDeleteKeyValueA(HKEY_CURRENT_USER, crypto_key, value);
    }
    void TearDown() override {
        for (HANDLE process : started_loaders) {
            TerminateProcess(process, 998); // a test that failed half-way leaves one waiting
            CloseHandle(process);
        }
        started_loaders.clear();
    }
};

#endif
