// The real orxload.exe main window driven by messages from this test, under Wine, against
// the emulated driver and the stand-in crypto library (floppy A: with two keys).
#include <windows.h>

#include <commctrl.h>

#include "wine_harness.h"

namespace {

const int kLoadKey = 1008, kUnloadKey = 1009, kUnloadAll = 1000, kExit = 1014, kAbout = 40006;
const int kKeyDevice = 1003, kKeyList = 1017, kLoadHint = 1024, kRngProgress = 1010;

class MainWindow : public LoaderTest {
  protected:
    HANDLE process = nullptr;
    HWND window = nullptr;
    void SetUp() override {
        LoaderTest::SetUp();
        set_user_value(settings_key, "DefaultKeyDev", "A:\\");
        set_user_value(settings_key, "RNGAutoDev", "");
        set_user_value("SOFTWARE\\DEZURE\\Cryptography\\RANDOM", "placeholder", "");
    }
    void open(bool seeded = false) {
        ASSERT_TRUE(!seeded || testctl({ORVEXA_TESTCTL_SET_WORD, {2, 1}}));
        process = start_orxload("");
        window = wait_dialog(L"orxload");
        ASSERT_NE(window, nullptr);
    }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(window, id)); }
    bool shows(int id) {
        return wait_until([&] { return IsWindowVisible(GetDlgItem(window, id)); });
    }
    LRESULT line_of(const wchar_t* text) { // the key list's line with this text, or LB_ERR
        return SendDlgItemMessageW(window, kKeyList, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text));
    }
    bool keys_listed(LRESULT n) {
        return wait_until(
            [&] { return SendDlgItemMessageW(window, kKeyList, LB_GETCOUNT, 0, 0) == n; });
    }
    // Picks the device entry that starts with this text in the key view and presses Load Key.
    void load_from(const wchar_t* device) {
        ASSERT_TRUE(shows(kKeyDevice));
        ASSERT_NE(
            SendDlgItemMessageW(window, kKeyDevice, CB_SELECTSTRING, WPARAM(-1), LPARAM(device)),
            CB_ERR);
        command(kLoadKey);
    }
    void command(int id) { PostMessageW(window, WM_COMMAND, id, 0); }
    int exit_window() {
        command(kExit);
        return wait_exit(process);
    }
};

} // namespace

// While the window is open, a second start of the program ends at once with 1. The operator
// seeds an empty driver with 41 key releases and gets the key view, with a hint
// while no key is loaded; loads the floppy's keys (floppy A:, the fallback for a device not
// offered), unloads one (the crypto library refuses it once: a box, and the key stays), then
// all, and leaves: the settings are saved, the selected entry among them.
TEST_F(MainWindow, SeedThenLoadUnloadAndUnloadAll) {
    RegDeleteTreeA(HKEY_CURRENT_USER, settings_key);
    set_user_value(settings_key, "DefaultKeyDev", "E:");
    open();
    ASSERT_TRUE(shows(kRngProgress));
    EXPECT_EQ(wait_exit(start_orxload("S")), 1);
    for (int i = 0; i < 41; ++i)
        PostMessageW(window, WM_KEYUP, 'A', 0xC0000001);
    ASSERT_TRUE(shows(kKeyDevice));
    EXPECT_TRUE(shows(kLoadHint)); // seeded, but no key loaded yet
    EXPECT_NE(driver_state().info[2], 0u);
    command(kLoadKey);
    ASSERT_TRUE(keys_listed(2));
    EXPECT_TRUE(shows(kKeyList) && enabled(kUnloadAll));
    for (DWORD refused : {1, 0}) {
        set_user_value(crypto_key, "RefuseResetSlots", refused);
        SendDlgItemMessageW(window, kKeyList, LB_SETCURSEL, 0, 0);
        command(kUnloadKey);
        if (refused)
            expect_error_box(L"Can`t  reset key (3 )", L"Ошибка при выгрузке ключа. (3 )");
        EXPECT_TRUE(keys_listed(2 - !refused));
        EXPECT_EQ(driver_state().loaded_slots, refused ? 3u : 2u);
    }
    command(kUnloadAll);
    ASSERT_TRUE(keys_listed(0));
    EXPECT_EQ(driver_state().loaded_slots, 0u);
    EXPECT_FALSE(enabled(kUnloadKey));
    EXPECT_EQ(exit_window(), 0);
    EXPECT_EQ(user_value(settings_key, "DefaultKeyDev") + "|" +
                  user_value(settings_key, "RNGAutoDev"),
              "A:\\|");
}

// A load that fails shows its box over the list's "Loading..." line, then the list is
// rebuilt: a full driver (in the loader's words), a reader error (in the reader's). Status
// 4101 instead saves the settings and asks the crypto library for the medium (InitKey, then
// lokey_get and lokey_free), without a box.
TEST_F(MainWindow, AFailingLoadShowsItsBoxWhileLoadingStands) {
    for (uint32_t slot = 0; slot < 16; ++slot) {
        std::string num = std::to_string(8000000000u + slot);
        ASSERT_TRUE(testctl({ORVEXA_TESTCTL_LOAD_KEY, {slot}}, num + num + "00"));
    }
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices\\eTok", nullptr,
                    REG_SZ, "", 1); // a registered device, offered as "eToken"
    set_user_value("Software\\ORX\\Testbed\\Crypto\\Devices", "eToken", "status4017");
    const std::wstring loads[][3] = {{L"Floppy  (A:)", L"No free slots in driver ORVEXA (38 )",
                                      L"В драйвере ORVEXA нет больше свободных слотов (38 )"},
                                     {L"eToken", L"Reader error 4017: card not present (4017 )",
                                      L"Reader error 4017: card not present (4017 )"}};
    open(true);
    for (const auto& load : loads) {
        load_from(load[0].c_str());
        ASSERT_NE(wait_dialog(russian ? L"Ошибка" : L"Error"), nullptr);
        EXPECT_EQ(line_of(russian ? L"Загрузка..." : L"Loading..."), 16); // after the 16 keys
        expect_error_box(load[1], load[2]);
        EXPECT_TRUE(keys_listed(16));
    }
    set_user_value("Software\\ORX\\Testbed\\Crypto\\Devices", "eToken", "status4101");
    load_from(L"eToken");
    std::string log;
    ASSERT_TRUE(wait_until(
        [&] { return (log = user_value(crypto_key, "Log")).find("lokey_free") != log.npos; }));
    EXPECT_LT(log.find("InitKey eToken -> 4101"), log.find("lokey_get 2880\nlokey_free 2880\n"));
    EXPECT_EQ(user_value(settings_key, "DefaultKeyDev"), "eToken");
    EXPECT_EQ(wait_dialog(russian ? L"Ошибка" : L"Error", 500), nullptr);
    EXPECT_EQ(exit_window(), 0);
}

// "About program" opens the box over the window: the loader's icon and version strings, and
// the tree of the two components registered on the machine; it closes back to the window.
TEST_F(MainWindow, AboutBoxFromTheMenu) {
    const char* const components = "SOFTWARE\\DEZURE\\Cryptography";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, components);
    for (const char* name : {"A", "B"}) // components "A" and "B", of these display names
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, (components + std::string("\\") + name).c_str(),
                        "DisplayName", REG_SZ, name, 2);
    open();
    command(kAbout);
    HWND box = wait_dialog(russian ? L"О программе" : L"About");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    // The text of each control in order (the icon's is its resource, 114), but the legal
    // warning's.
    const std::wstring version = russian ? L"Версия: 3.5.259" : L"Version: 3.5.259";
    std::wstring texts;
    HWND icon = GetWindow(box, GW_CHILD), tree = GetDlgItem(box, 10000), ok = GetDlgItem(box, IDOK);
    for (HWND c = icon; c; c = GetWindow(c, GW_HWNDNEXT))
        texts += (GetWindow(c, GW_HWNDNEXT) == ok ? L"" : text_of(c)) + L"|";
    EXPECT_EQ(texts, L"\xFFFFr|ORVEXA key loader\n" + version +
                         L".|Copyright (C) ORX toolkit authors|||&OK|");
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0) << "icon 114";
    // Both entries reach the tree view, six items each, the first shown expanded (their texts
    // and their order are the component tree's, which the native suite pins).
    HTREEITEM first = TreeView_GetRoot(tree), second = TreeView_GetNextSibling(tree, first);
    EXPECT_EQ(TreeView_GetCount(tree), 12u);
    EXPECT_EQ(TreeView_GetItemState(tree, first, TVIS_EXPANDED), UINT(TVIS_EXPANDED));
    EXPECT_EQ(TreeView_GetItemState(tree, second, TVIS_EXPANDED), 0u);
    // The support line as the tree view holds it (read through a buffer in the loader's
    // memory): the component tree's text, converted from the program's code page.
    auto remote =
        static_cast<TVITEMW*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetNextSibling(tree, TreeView_GetChild(tree, first));
    item.pszText = LPWSTR(remote + 1);
    item.cchTextMax = 256;
    wchar_t text[256] = L"";
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(remote));
    ReadProcessMemory(process, remote + 1, text, sizeof text, nullptr);
    EXPECT_STREQ(text, russian ? L"По вопросам технической поддержки данного продукта обращайтесь:"
                               : L"For technical support contact:");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }) && IsWindow(window));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, components);
    EXPECT_EQ(exit_window(), 0);
}
