// The real orxload.exe main window driven by messages from this test, under Wine, against
// the emulated driver and the stand-in crypto library (floppy A: with two keys).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "loader_harness.h"

namespace {

const int kLoadKey = 1008, kUnloadKey = 1009, kUnloadAll = 1000, kExit = 1014, kAbout = 40006;
const int kKeyDevice = 1003, kKeyList = 1017, kLoadHint = 1024;
const int kRngGroup = 1021, kRngPrompt = 1011, kRngProgress = 1010;

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
    void open(const char* arguments = "", bool seeded = false) {
        ASSERT_TRUE(!seeded || testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
        process = start_orxload(arguments);
        window = wait_dialog(L"orxload");
        ASSERT_NE(window, nullptr);
    }
    // The registered device "eToken", mapped to a sample medium of the crypto library.
    void offer_etoken(const char* medium) {
        set_user_value("Software\\ORX\\Testbed\\Crypto\\Devices", "eToken", medium);
        HKEY key = nullptr;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices\\eTok", &key);
        RegCloseKey(key);
    }
    bool visible(int id) { return IsWindowVisible(GetDlgItem(window, id)); }
    bool shows(int id) {
        return wait_until([&] { return visible(id); });
    }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(window, id)); }
    void key_releases(int n) {
        for (int i = 0; i < n; ++i)
            PostMessageW(window, WM_KEYUP, 'A', 0xC0000001);
    }
    bool keys_listed(size_t n) {
        return wait_until([&] { return item_texts(window, kKeyList).size() == n; });
    }
    // Picks the device entry with this text in the key view and presses Load Key.
    void load_from(const wchar_t* device) {
        ASSERT_TRUE(shows(kKeyDevice));
        std::vector<std::wstring> devices = item_texts(window, kKeyDevice, true);
        WPARAM entry = WPARAM(std::find(devices.begin(), devices.end(), device) - devices.begin());
        ASSERT_LT(entry, devices.size());
        SendDlgItemMessageW(window, kKeyDevice, CB_SETCURSEL, entry, 0);
        PostMessageW(window, WM_COMMAND, kLoadKey, 0);
    }
    void select_key_and(int command) {
        ASSERT_TRUE(shows(kKeyDevice));
        SendDlgItemMessageW(window, kKeyList, LB_SETCURSEL, 0, 0);
        PostMessageW(window, WM_COMMAND, command, 0);
    }
    int exit_window() {
        PostMessageW(window, WM_COMMAND, kExit, 0);
        return wait_exit(process);
    }
};

} // namespace

// The operator seeds an empty driver with 41 key releases (the 41st completes), gets the key
// view with the floppy offered, and leaves: now that the generator is ready the settings are
// saved, the selected entry (floppy A:, the fallback for a device not offered) among them.
TEST_F(MainWindow, AnEmptyDriverAsksForInputThenTheKeyViewComes) {
    RegDeleteTreeA(HKEY_CURRENT_USER, settings_key);
    set_user_value(settings_key, "DefaultKeyDev", "E:");
    open();
    ASSERT_TRUE(shows(kRngProgress));
    EXPECT_TRUE(shows(kRngGroup) && shows(kRngPrompt) && !visible(kKeyDevice));
    screenshot("rng-view");
    key_releases(40);
    ASSERT_TRUE(wait_until([&] { return driver_state().steps == 40; }));
    EXPECT_TRUE(visible(kRngGroup));
    key_releases(1);
    ASSERT_TRUE(shows(kKeyDevice));
    EXPECT_FALSE(visible(kRngGroup));
    EXPECT_EQ(item_texts(window, kKeyDevice, true).at(0), L"Floppy  (A:)");
    EXPECT_TRUE(shows(kLoadHint)); // seeded, but no key loaded yet
    EXPECT_NE(driver_state().info[2], 0u);
    EXPECT_EQ(exit_window(), 0);
    EXPECT_EQ(user_text(settings_key, "DefaultKeyDev") + "|" +
                  user_text(settings_key, "RNGAutoDev"),
              "A:\\|");
}

TEST_F(MainWindow, LoadUnloadAndUnloadAll) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 1, 1));
    open("", true);
    ASSERT_TRUE(shows(kKeyDevice));
    EXPECT_TRUE(keys_listed(0) && !enabled(kUnloadAll));
    PostMessageW(window, WM_COMMAND, kLoadKey, 0);
    ASSERT_TRUE(keys_listed(2));
    EXPECT_EQ(item_texts(window, kKeyList),
              (std::vector<std::wstring>{L"0 : 111122222233   1111222222",
                                         L"1 : ____________   2222333333"}));
    EXPECT_TRUE(shows(kKeyList) && enabled(kUnloadAll));
    screenshot("key-view");
    select_key_and(kUnloadKey);
    ASSERT_TRUE(keys_listed(1));
    EXPECT_EQ(driver_state().loaded_slots, 2u);
    PostMessageW(window, WM_COMMAND, kUnloadAll, 0);
    ASSERT_TRUE(keys_listed(0));
    EXPECT_EQ(driver_state().loaded_slots, 0u);
    EXPECT_FALSE(enabled(kUnloadKey));
    EXPECT_EQ(exit_window(), 0);
}

// The box of a failing load stands over the list's "Loading..." line; then the list is
// rebuilt. A full driver (in the loader's words), then a reader error (in the reader's).
TEST_F(MainWindow, AFailingLoadShowsItsBoxWhileLoadingStands) {
    for (uint32_t slot = 0; slot < 16; ++slot) {
        std::string num = std::to_string(8000000000u + slot);
        ASSERT_TRUE(testctl_load_key(slot, num.c_str(), (num + "00").c_str()));
    }
    offer_etoken("status4017");
    const std::wstring loads[][3] = {{L"Floppy  (A:)", L"No free slots in driver ORVEXA (38 )",
                                      L"В драйвере ORVEXA нет больше свободных слотов (38 )"},
                                     {L"eToken", L"Reader error 4017: card not present (4017 )",
                                      L"Reader error 4017: card not present (4017 )"}};
    open("", true);
    for (const auto& load : loads) {
        load_from(load[0].c_str());
        ASSERT_NE(wait_dialog(russian() ? L"Ошибка" : L"Error"), nullptr);
        std::vector<std::wstring> lines = item_texts(window, kKeyList);
        EXPECT_EQ(lines.empty() ? L"" : lines.back(), russian() ? L"Загрузка..." : L"Loading...");
        screenshot("load-error");
        expect_error_box(load[1], load[2]);
        EXPECT_TRUE(keys_listed(16));
    }
    EXPECT_EQ(exit_window(), 0);
}

TEST_F(MainWindow, AnUnloadThatTheCryptoLibraryRefusesIsReported) {
    ASSERT_TRUE(testctl_load_key(0, "1111222222", "111122222233"));
    set_user_value(crypto_key, "RefuseResetSlots", DWORD(1));
    open("", true);
    select_key_and(kUnloadKey);
    expect_error_box(L"Can`t  reset key (3 )", L"Ошибка при выгрузке ключа. (3 )");
    EXPECT_EQ(driver_state().loaded_slots, 1u);
    EXPECT_EQ(exit_window(), 0);
}

// Status 4101 of a load saves the settings and asks the crypto library for the medium
// (InitKey, then lokey_get and lokey_free); no box.
TEST_F(MainWindow, Status4101SavesTheSettingsAndAsksTheCryptoLibraryForTheMedium) {
    offer_etoken("status4101");
    open("", true);
    load_from(L"eToken");
    std::string calls; // the calls' names, InitKey with its device
    ASSERT_TRUE(wait_until([&] {
        calls.clear();
        for (const std::string& line : crypto_log())
            calls += line.substr(0, line.find(' ', 8)) + ";";
        return calls.find("lokey_free") != std::string::npos;
    }));
    EXPECT_LT(calls.find("InitKey eToken;"), calls.find("lokey_get;lokey_free;")) << calls;
    EXPECT_EQ(user_text(settings_key, "DefaultKeyDev"), "eToken");
    EXPECT_EQ(wait_dialog(russian() ? L"Ошибка" : L"Error", 500), nullptr);
    EXPECT_EQ(exit_window(), 0);
}

// Without Akkord, modes "I" and "S" need the operator; the exit code says whether the
// window got its job done. Events 0 means the operator closes the window at once.
TEST_F(MainWindow, UnattendedModesInTheWindowExitWithWhatTheyGotDone) {
    const struct {
        const char* mode;
        const char* device;
        int events, exit_code;
        unsigned loaded_slots;
    } journeys[] = {
        {"I", "A:\\", 0, 502, 0}, {"I", "A:\\", 41, 0, 3}, {"I", "Keyreg9", 41, 502, 0},
        {"S", "A:\\", 0, 502, 0}, {"S", "A:\\", 41, 0, 0},
    };
    for (auto& j : journeys) {
        SCOPED_TRACE(testing::Message() << j.mode << " " << j.device << " " << j.events);
        SetUp();
        set_user_value(settings_key, "DefaultKeyDev", j.device);
        open(j.mode);
        ASSERT_TRUE(shows(kRngProgress));
        if (j.events == 0)
            PostMessageW(window, WM_CLOSE, 0, 0);
        key_releases(j.events);
        EXPECT_EQ(wait_exit(process), j.exit_code);
        EXPECT_EQ(driver_state().info[2] != 0, j.events == 41);
        EXPECT_EQ(driver_state().loaded_slots, j.loaded_slots);
    }
}

// "About program" opens the box over the window: the loader's icon and version strings, and
// the tree of the components registered on the machine (the first with a support e-mail of
// its own, the second with the built-in contacts); it closes back to the window.
TEST_F(MainWindow, AboutBoxFromTheMenu) {
    const std::string components = "SOFTWARE\\DEZURE\\Cryptography\\";
    auto set_machine_value = [&](const std::string& key, const char* name, const char* value) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, (components + key).c_str(), name, REG_SZ, value,
                        DWORD(strlen(value) + 1));
    };
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, components.c_str());
    set_machine_value("A component", "DisplayName", "ORX test component A");
    set_machine_value("A component\\Support", "e-mail", "a@orx-toolkit.example");
    set_machine_value("B component", "DisplayName", "ORX test component B");
    open();
    PostMessageW(window, WM_COMMAND, kAbout, 0);
    HWND box = wait_dialog(russian() ? L"О программе" : L"About");
    ASSERT_NE(box, nullptr);
    screenshot("about");
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    std::vector<HWND> c; // the controls in order, and their classes
    std::wstring classes;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = L"";
        GetClassNameW(child, cls, 64);
        classes += std::wstring(cls) + L" ";
        c.push_back(child);
    }
    ASSERT_EQ(classes, L"Static Static Static SysTreeView32 Static Button ");
    EXPECT_NE(SendMessageW(c[0], STM_GETICON, 0, 0), 0) << "icon 114";
    std::wstring version = (russian() ? L"Версия: " : L"Version: ") + std::wstring(L"3.5.259");
    EXPECT_EQ(text_of(c[1]) + L"|" + text_of(c[2]) + L"|" + text_of(c[5]),
              L"ORVEXA key loader\n" + version + L".|Copyright (C) ORX toolkit authors|&OK");
    EXPECT_EQ(GetDlgCtrlID(c[3]) * 10 + GetDlgCtrlID(c[5]), 10000 * 10 + IDOK);
    // The tree's items in order, read through a buffer in the loader's memory.
    DWORD id = 0;
    GetWindowThreadProcessId(box, &id);
    HANDLE other = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, 0, id);
    auto remote =
        static_cast<wchar_t*>(VirtualAllocEx(other, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::wstring tree;
    std::vector<HTREEITEM> items = {TreeView_GetRoot(c[3])}; // the items still to visit
    while (!items.empty()) {
        TVITEMW item = {TVIF_TEXT, items.back(), 0, 0, remote + 64, 256, 0, 0, 0, 0};
        items.pop_back();
        if (!item.hItem)
            continue;
        items.push_back(TreeView_GetNextSibling(c[3], item.hItem));
        items.push_back(TreeView_GetChild(c[3], item.hItem));
        wchar_t text[256] = L"";
        WriteProcessMemory(other, remote, &item, sizeof item, nullptr);
        SendMessageW(c[3], TVM_GETITEMW, 0, LPARAM(remote));
        ReadProcessMemory(other, remote + 64, text, sizeof text, nullptr);
        tree += std::wstring(text) + L"|";
    }
    CloseHandle(other);
    std::wstring support =
        version + L"|" +
        (russian() ? L"По вопросам технической поддержки данного продукта обращайтесь:"
                   : L"For technical support contact:") +
        L"|e-mail: ";
    std::wstring contacts =
        (russian() ? L"|Телефон: " : L"|phone: ") +
        std::wstring(L"+1 202 555 0142|web: https://orx-toolkit.example/support|");
    EXPECT_EQ(tree, L"ORX test component A|" + support + L"a@orx-toolkit.example" + contacts +
                        L"ORX test component B|" + support + L"support@orx-toolkit.example" +
                        contacts);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }) && IsWindow(window));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, components.c_str());
    EXPECT_EQ(exit_window(), 0);
}
