// The About box under Wine: the version-info error box, and the real box opened from the
// menu of the real orxload.exe, its texts, icon and component tree read back from the
// running window, in Russian where the ANSI code page is 1251 and in English elsewhere
// (the suite runs once in each locale).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "about_box.h"
#include "about_texts.h"
#include "driver_control.h"
#include "loader_harness.h"
#include "resource_ids.h"

namespace {

const char* const components_key = "SOFTWARE\\DEZURE\\Cryptography";

std::wstring ansi_to_wide(const char* text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(size_t(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], units);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::wstring text_of(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

std::wstring class_of(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

struct Control {
    std::wstring cls, text;
    int id;
    HWND window;
};

using TreeLine = std::tuple<std::wstring, LPARAM, bool, int>; // text, data, expanded, level

struct Seen {
    bool found = false;
    std::wstring caption;
    HWND owner = nullptr;
    std::vector<Control> controls;
    std::vector<TreeLine> tree;
    bool icon = false;
};

// Reads a tree view's items through a buffer in the memory of the tree's process, so the
// same reader serves this process's box and orxload's.
class TreeReader {
  public:
    explicit TreeReader(HWND tree) : tree_(tree) {
        DWORD id = 0;
        GetWindowThreadProcessId(tree, &id);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        if (process_)
            remote_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~TreeReader() {
        if (remote_)
            VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    std::vector<TreeLine> lines() {
        std::vector<TreeLine> out;
        if (remote_)
            walk(TreeView_GetRoot(tree_), 1, &out);
        return out;
    }

  private:
    static const int text_units = 512;
    static const SIZE_T size = sizeof(TVITEMW) + text_units * sizeof(wchar_t);

    void walk(HTREEITEM item, int level, std::vector<TreeLine>* out) {
        for (; item; item = TreeView_GetNextSibling(tree_, item)) {
            TVITEMW data = {};
            data.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
            data.hItem = item;
            data.pszText = reinterpret_cast<wchar_t*>(remote_ + sizeof data);
            data.cchTextMax = text_units;
            data.stateMask = TVIS_EXPANDED;
            wchar_t text[text_units] = {};
            WriteProcessMemory(process_, remote_, &data, sizeof data, nullptr);
            WriteProcessMemory(process_, remote_ + sizeof data, text, sizeof text, nullptr);
            SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_));
            ReadProcessMemory(process_, remote_, &data, sizeof data, nullptr);
            ReadProcessMemory(process_, remote_ + sizeof data, text, sizeof text, nullptr);
            text[text_units - 1] = L'\0';
            out->emplace_back(text, data.lParam, (data.state & TVIS_EXPANDED) != 0, level);
            walk(TreeView_GetChild(tree_, item), level + 1, out);
        }
    }

    HWND tree_;
    HANDLE process_ = nullptr;
    char* remote_ = nullptr;
};

Seen read_dialog(HWND dialog) {
    Seen seen;
    seen.found = true;
    seen.caption = text_of(dialog);
    seen.owner = GetWindow(dialog, GW_OWNER);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        seen.controls.push_back({class_of(child), text_of(child), GetDlgCtrlID(child), child});
    for (const Control& c : seen.controls) {
        if (c.cls == L"SysTreeView32")
            seen.tree = TreeReader(c.window).lines();
        if (c.cls == L"Static" && (GetWindowLongW(c.window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.icon = SendMessageW(c.window, STM_GETICON, 0, 0) != 0;
    }
    return seen;
}

// Looks for a visible dialog window other than the one `result` holds on entry.
BOOL CALLBACK visible_dialog(HWND window, LPARAM result) {
    HWND* found = reinterpret_cast<HWND*>(result);
    if (window == *found || class_of(window) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    *found = window;
    return FALSE;
}

// A visible dialog window of `thread` (other than `besides`), or null after the time-out.
HWND wait_dialog_of(DWORD thread, DWORD timeout_ms, HWND besides = nullptr) {
    HWND found = nullptr;
    wait_until(
        [&] {
            found = besides;
            EnumThreadWindows(thread, visible_dialog, reinterpret_cast<LPARAM>(&found));
            return found != besides;
        },
        timeout_ms);
    return found != besides ? found : nullptr;
}

// Runs `show` on this thread while an operator thread waits for the dialog it opens, reads
// it and presses `button`. Returns what `show` returned.
int operate(const std::function<int()>& show, WPARAM button, Seen* seen) {
    DWORD thread = GetCurrentThreadId();
    std::thread operator_thread([&] {
        HWND dialog = wait_dialog_of(thread, 10000);
        if (!dialog)
            return;
        *seen = read_dialog(dialog);
        PostMessageW(dialog, WM_COMMAND, button, 0);
    });
    int result = show();
    operator_thread.join();
    return result;
}

void delete_machine_tree(const char* path) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
}

void set_machine_string(const std::string& path, const char* name, const char* value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   DWORD(strlen(value) + 1));
    RegCloseKey(key);
}

// Wine, like Windows, lists code page 1251 as installed, so the ANSI code page alone
// decides the language.
bool russian() {
    return GetACP() == 1251;
}
const AboutTexts& expected_texts() {
    return russian() ? about_russian : about_english;
}

std::wstring label_line(const char* label, const char* value) {
    return ansi_to_wide(label) + ansi_to_wide(value);
}

class AboutBoxWine : public ::testing::Test {
  protected:
    void SetUp() override { delete_machine_tree(components_key); }
    void TearDown() override { delete_machine_tree(components_key); }
};

TEST_F(AboutBoxWine, ModuleWithoutTheRussianVersionBlockGivesTheVersionInfoError) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE other = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(other, nullptr);
    Seen seen;
    int result =
        operate([&] { return ShowAboutBox(other, nullptr, IDI_ORXLOAD, nullptr); }, IDOK, &seen);
    EXPECT_EQ(result, -1);
    ASSERT_TRUE(seen.found) << "no error box appeared";
    EXPECT_EQ(seen.caption, ansi_to_wide(expected_texts().caption));
    std::wstring text;
    for (const Control& c : seen.controls)
        if (c.id == 0xFFFF && c.cls == L"Static" && !c.text.empty())
            text = c.text;
    EXPECT_EQ(text, ansi_to_wide(expected_texts().version_info_error));
}

// The menu item "About program" of the real main window opens the box over it, with the
// version strings of the loader's resource module and the tree of two components (the
// first with a support e-mail of its own, the second with the built-in contacts).
TEST_F(AboutBoxWine, OpensFromTheMenuOfTheRealWindow) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "driver not running";
    reset_loader_registry();
    set_user_string("SOFTWARE\\DEZURE\\Cryptography\\orxload", "RNGAutoDev", "");
    std::string a = std::string(components_key) + "\\A component";
    set_machine_string(a, "DisplayName", "ORX test component A");
    set_machine_string(a + "\\Support", "e-mail", "a@orx-toolkit.example");
    set_machine_string(std::string(components_key) + "\\B component", "DisplayName",
                       "ORX test component B");

    HANDLE process = start_orxload("");
    ASSERT_NE(process, nullptr);
    HWND window = wait_dialog("orxload", 15000);
    if (!window)
        wait_exit(process, 0);
    ASSERT_NE(window, nullptr);
    post_command(window, IDM_ABOUT);
    HWND box = wait_dialog_of(GetWindowThreadProcessId(window, nullptr), 10000, window);
    Seen seen;
    if (box) {
        seen = read_dialog(box);
        const char* dir = getenv("ORX_SCREENSHOT_DIR");
        if (dir && *dir) {
            save_screenshot(
                (std::string(dir) + (russian() ? "\\about-ru.bmp" : "\\about-en.bmp")).c_str());
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    bool closed = box && wait_until([&] { return !IsWindow(box); });
    bool window_stays = IsWindow(window);
    post_command(window, 1014); // Exit
    wait_exit(process, 15000);

    ASSERT_TRUE(seen.found) << "no About box over the main window";
    const AboutTexts& texts = expected_texts();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(window_stays);
    EXPECT_EQ(seen.owner, window);
    EXPECT_EQ(seen.caption, russian() // О программе
                                ? L"\u041E \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0435"
                                : L"About");
    std::vector<std::wstring> classes;
    for (const Control& c : seen.controls)
        classes.push_back(c.cls);
    ASSERT_EQ(classes, (std::vector<std::wstring>{L"Static", L"Static", L"Static", L"SysTreeView32",
                                                  L"Static", L"Button"}));
    EXPECT_TRUE(seen.icon) << "icon 114 not loaded from the resource module";
    EXPECT_EQ(seen.controls[1].text,
              L"ORVEXA key loader\n" + ansi_to_wide(texts.version_label) + L"3.5.259.");
    EXPECT_EQ(seen.controls[2].text, L"Copyright (C) ORX toolkit authors");
    EXPECT_EQ(seen.controls[3].id, 10000);
    EXPECT_EQ(seen.controls[4].text, ansi_to_wide(texts.warning));
    EXPECT_EQ(seen.controls[5].id, IDOK);
    EXPECT_EQ(seen.controls[5].text, L"&OK");

    std::wstring version = label_line(texts.version_label, "3.5.259");
    std::wstring group = ansi_to_wide(texts.support_group);
    std::wstring phone = label_line(texts.phone_label, about_default_phone);
    std::wstring web = label_line(texts.web_label, about_default_web);
    const std::vector<TreeLine> expected = {
        {L"ORX test component A", 1, true, 1},
        {version, 2, false, 2},
        {group, 2, true, 2},
        {label_line(texts.email_label, "a@orx-toolkit.example"), 3, false, 3},
        {phone, 3, false, 3},
        {web, 3, false, 3},
        {L"ORX test component B", 1, false, 1},
        {version, 2, false, 2},
        {group, 2, false, 2},
        {label_line(texts.email_label, about_default_email), 3, false, 3},
        {phone, 3, false, 3},
        {web, 3, false, 3},
    };
    EXPECT_EQ(seen.tree, expected);
}

} // namespace
