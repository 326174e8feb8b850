// Running the real orxload.exe from a test under Wine: processes, exit codes, its windows
// and message boxes, and the registry the loader and the stand-ins use.
#ifndef ORX_TESTS_WINE_LOADER_HARNESS_H
#define ORX_TESTS_WINE_LOADER_HARNESS_H

#include <windows.h>

#include <string>
#include <vector>

// Starts orxload.exe (beside this test program) with `arguments`; null on failure.
HANDLE start_orxload(const char* arguments);
// Remembers a loader process so that end_started_loaders() can stop it after a test.
void track_loader(HANDLE process);
// Terminates every tracked loader that still runs (a test that failed half-way leaves one
// waiting with a message box).
void end_started_loaders();
// Waits for the process and returns its exit code, or -1 on a time-out (it is killed).
int wait_exit(HANDLE process, DWORD timeout_ms);
int run_orxload(const char* arguments, DWORD timeout_ms = 30000);

// A visible top-level dialog window with this title, or null after the time-out.
HWND wait_dialog(const char* title, DWORD timeout_ms);
std::string window_text(HWND window);
// The titles of the visible dialog windows, for failure messages.
std::string visible_dialog_titles();
std::string box_text(HWND box); // the text of a message box (control 0xFFFF)

// Controls of another process's dialog.
bool control_visible(HWND dialog, int id);
bool control_enabled(HWND dialog, int id);
std::vector<std::string> list_lines(HWND dialog, int id);  // list box, ANSI code page
std::vector<std::string> combo_texts(HWND dialog, int id); // combo box, ANSI code page
int combo_selection(HWND dialog, int id);
void select_combo(HWND dialog, int id, int index);
void post_command(HWND dialog, int id);
// Polls `condition` every 50 ms; false when it did not hold within the time.
template <typename F> bool wait_until(F condition, DWORD timeout_ms = 10000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout_ms)
            return false;
        Sleep(50);
    }
    return true;
}
// Saves a screenshot of the screen as a BMP file (for a person to look at).
bool save_screenshot(const char* path);

// Registry, current user.
void delete_user_tree(const char* path);
void set_user_string(const char* path, const char* name, const char* value);
void set_user_dword(const char* path, const char* name, DWORD value);
bool read_user_string(const char* path, const char* name, std::string* value);
std::vector<std::string> crypto_log(); // the stand-in crypto library's call log
DWORD akkord_loads();

// Brings the loader's and the stand-ins' settings back to a known state: no loader
// settings, no RANDOM key, an empty crypto log, the Akkord device present.
void reset_loader_registry();

#endif
