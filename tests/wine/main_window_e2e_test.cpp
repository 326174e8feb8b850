// The real orxload.exe main window driven by messages from this test, under Wine, against
// the emulated driver and the stand-in crypto library (floppy A: with two keys).
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <string>

#include "driver_control.h"
#include "loader_harness.h"

namespace {

const int load_key = 1008, unload_key = 1009, unload_all = 1000, exit_button = 1014;
const int key_device = 1003, key_list = 1017, load_hint = 1024;
const int rng_group = 1021, rng_prompt = 1011, rng_progress = 1010;
const char* const settings_key = "SOFTWARE\\DEZURE\\Cryptography\\orxload";

bool russian() {
    return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_RUSSIAN;
}
const char* error_caption() {
    return russian() ? "\xCE\xF8\xE8\xE1\xEA\xE0" : "Error";
}
const char* loading_text() {
    return russian() ? "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0..." : "Loading...";
}

void screenshot(const char* name) {
    const char* dir = getenv("ORX_SCREENSHOT_DIR");
    if (!dir || !*dir)
        return;
    std::string path = std::string(dir) + "\\" + name + (russian() ? "-ru" : "-en") + ".bmp";
    save_screenshot(path.c_str());
}

class MainWindowE2E : public ::testing::Test {
  protected:
    HANDLE process = nullptr;
    HWND window = nullptr;
    void SetUp() override {
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "driver not running";
        reset_loader_registry();
        set_user_string(settings_key, "DefaultKeyDev", "A:\\");
        set_user_string(settings_key, "RNGAutoDev", "");
        set_user_string("SOFTWARE\\DEZURE\\Cryptography\\RANDOM", "placeholder", "");
    }
    void TearDown() override { end_started_loaders(); }
    void open(const char* arguments = "") {
        process = start_orxload(arguments);
        ASSERT_NE(process, nullptr);
        window = wait_dialog("orxload", 15000);
        ASSERT_NE(window, nullptr);
    }
    void key_releases(int n) {
        for (int i = 0; i < n; ++i)
            PostMessageA(window, WM_KEYUP, 'A', 0xC0000001);
    }
    // Waits for the key view, picks the device entry with this text and presses Load Key.
    bool load_from(const char* device) {
        if (!wait_until([&] { return control_visible(window, key_device); }))
            return false;
        std::vector<std::string> devices = combo_texts(window, key_device);
        auto entry = std::find(devices.begin(), devices.end(), device);
        if (entry == devices.end())
            return false;
        select_combo(window, key_device, int(entry - devices.begin()));
        post_command(window, load_key);
        return true;
    }
    int close_with_exit() {
        post_command(window, exit_button);
        int code = wait_exit(process, 15000);
        process = nullptr;
        return code;
    }
};

} // namespace

TEST_F(MainWindowE2E, AnEmptyDriverAsksForInputThenTheKeyViewComes) {
    open();
    ASSERT_TRUE(wait_until([&] { return control_visible(window, rng_progress); }));
    EXPECT_TRUE(control_visible(window, rng_group));
    EXPECT_TRUE(control_visible(window, rng_prompt));
    EXPECT_FALSE(control_visible(window, key_device));
    screenshot("rng-view");
    key_releases(40);
    ASSERT_TRUE(wait_until([&] { return driver_state().steps == 40; }));
    EXPECT_TRUE(control_visible(window, rng_group)); // the 41st event completes
    key_releases(1);
    ASSERT_TRUE(wait_until([&] { return control_visible(window, key_device); }));
    EXPECT_FALSE(control_visible(window, rng_group));
    EXPECT_EQ(combo_texts(window, key_device).at(0), "Floppy  (A:)");
    EXPECT_TRUE(control_visible(window, load_hint)); // seeded, but no key loaded yet
    EXPECT_NE(driver_state().info[2], 0u);
    EXPECT_EQ(close_with_exit(), 0);
}

TEST_F(MainWindowE2E, LoadUnloadAndUnloadAll) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 1, 1));
    open();
    ASSERT_TRUE(wait_until([&] { return control_visible(window, key_device); }));
    EXPECT_TRUE(list_lines(window, key_list).empty());
    EXPECT_FALSE(control_enabled(window, unload_all));
    post_command(window, load_key);
    ASSERT_TRUE(wait_until([&] { return list_lines(window, key_list).size() == 2; }));
    std::vector<std::string> lines = list_lines(window, key_list);
    EXPECT_EQ(lines[0], "0 : 111122222233   1111222222");
    EXPECT_EQ(lines[1], "1 : ____________   2222333333");
    EXPECT_TRUE(control_visible(window, key_list));
    EXPECT_TRUE(control_enabled(window, unload_all));
    screenshot("key-view");

    SendDlgItemMessageA(window, key_list, LB_SETCURSEL, 0, 0);
    post_command(window, unload_key);
    ASSERT_TRUE(wait_until([&] { return list_lines(window, key_list).size() == 1; }));
    EXPECT_EQ(driver_state().loaded_slots, 2u);
    post_command(window, unload_all);
    ASSERT_TRUE(wait_until([&] { return list_lines(window, key_list).empty(); }));
    EXPECT_EQ(driver_state().loaded_slots, 0u);
    EXPECT_FALSE(control_enabled(window, unload_key));
    EXPECT_EQ(close_with_exit(), 0);
}

TEST_F(MainWindowE2E, AFailingLoadShowsItsBoxWhileLoadingStands) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    ASSERT_TRUE(testctl_load_key(0, "9999999999", "999999999999"));
    for (int slot = 1; slot < 16; ++slot) {
        char num[11], nump[13];
        snprintf(num, sizeof num, "%010d", slot);
        snprintf(nump, sizeof nump, "%012d", slot);
        ASSERT_TRUE(testctl_load_key(uint32_t(slot), num, nump));
    }
    open();
    ASSERT_TRUE(wait_until([&] { return control_visible(window, key_device); }));
    post_command(window, load_key);
    HWND box = wait_dialog(error_caption(), 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(box_text(box).find("(38 )"), std::string::npos) << box_text(box);
    if (!russian()) {
        EXPECT_EQ(box_text(box), "No free slots in driver ORVEXA (38 )");
    }
    std::vector<std::string> lines = list_lines(window, key_list);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), loading_text());
    screenshot("load-error");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(wait_until([&] { return list_lines(window, key_list).size() == 16; }));
    EXPECT_EQ(close_with_exit(), 0);
}

// Without Akkord, modes "I" and "S" need the operator; the exit code says whether the
// window got its job done. Events 0 means the operator closes the window at once.
TEST_F(MainWindowE2E, UnattendedModesInTheWindowExitWithWhatTheyGotDone) {
    struct {
        const char* mode;
        const char* device;
        int events, exit_code;
        unsigned loaded_slots;
    } journeys[] = {
        {"I", "A:\\", 0, 502, 0}, {"I", "A:\\", 41, 0, 3}, {"I", "Keyreg9", 41, 502, 0},
        {"S", "A:\\", 0, 502, 0}, {"S", "A:\\", 41, 0, 0},
    };
    for (auto& j : journeys) {
        SetUp();
        SCOPED_TRACE(testing::Message() << j.mode << " " << j.device << " " << j.events);
        set_user_string(settings_key, "DefaultKeyDev", j.device);
        open(j.mode);
        ASSERT_TRUE(wait_until([&] { return control_visible(window, rng_progress); }));
        if (j.events == 0)
            PostMessageA(window, WM_CLOSE, 0, 0);
        key_releases(j.events);
        EXPECT_EQ(wait_exit(process, 20000), j.exit_code);
        process = nullptr;
        orvexa_testctl_state state = driver_state();
        EXPECT_EQ(state.info[2] != 0, j.events == 41);
        EXPECT_EQ(state.loaded_slots, j.loaded_slots);
    }
}

TEST_F(MainWindowE2E, ExitSavesTheSettingsOnlyWhenTheGeneratorIsReady) {
    delete_user_tree(settings_key);
    set_user_string(settings_key, "DefaultKeyDev", "E:");
    open();
    ASSERT_TRUE(wait_until([&] { return control_visible(window, rng_progress); }));
    EXPECT_EQ(close_with_exit(), 0);
    std::string value;
    ASSERT_TRUE(read_user_string(settings_key, "DefaultKeyDev", &value));
    EXPECT_EQ(value, "E:");
    EXPECT_FALSE(read_user_string(settings_key, "RNGAutoDev", &value));

    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    open();
    ASSERT_TRUE(wait_until([&] { return control_visible(window, key_device); }));
    EXPECT_EQ(close_with_exit(), 0);
    ASSERT_TRUE(read_user_string(settings_key, "DefaultKeyDev", &value));
    EXPECT_EQ(value, "A:\\"); // the selected entry: floppy A:, the fallback
    EXPECT_TRUE(read_user_string(settings_key, "RNGAutoDev", &value));
}

namespace {

// A medium whose crypto-library status is `status`, offered as the registered "eToken".
void etoken_medium_with_status(int status) {
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "C:\\orx-status-%d", status);
    CreateDirectoryA(folder, nullptr);
    std::string file = std::string(folder) + "\\status.txt";
    FILE* f = fopen(file.c_str(), "w");
    fprintf(f, "%d\n", status);
    fclose(f);
    set_user_string("Software\\ORX\\Testbed\\Crypto\\Devices", "eToken", folder);
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices\\eTok", 0,
                    nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegCloseKey(key);
}

} // namespace

TEST_F(MainWindowE2E, LoadErrorsReachTheOperatorAsTheirTexts) {
    struct {
        int status;
        const char* english;
    } cases[] = {{4100, "Reader error 4100: medium type not supported (4100 )"},
                 {-2, "Internal error (-2 )"},
                 {505, "Internal error (505 )"},
                 {3, "Error driver ORVEXA (3 )"}};
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    for (auto& c : cases) {
        etoken_medium_with_status(c.status);
        open();
        ASSERT_TRUE(load_from("eToken"));
        HWND box = wait_dialog(error_caption(), 15000);
        ASSERT_NE(box, nullptr) << c.status;
        std::string suffix = " (" + std::to_string(c.status) + " )";
        std::string text = box_text(box);
        EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
        if (!russian() || c.status == 4100) {
            EXPECT_EQ(text, c.english);
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(close_with_exit(), 0);
    }
}

TEST_F(MainWindowE2E, Status4101SavesTheSettingsAndAsksTheCryptoLibraryForTheMedium) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    etoken_medium_with_status(4101);
    set_user_string(settings_key, "DefaultKeyDev", "A:\\");
    open();
    ASSERT_TRUE(load_from("eToken"));
    // InitKey, then the key-medium request (get, then free) between the list's rebuilds.
    auto position = [](const std::vector<std::string>& log, const char* prefix) {
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i].compare(0, strlen(prefix), prefix) == 0)
                return int(i);
        return -1;
    };
    ASSERT_TRUE(wait_until([&] { return position(crypto_log(), "lokey_free") >= 0; }));
    std::vector<std::string> log = crypto_log();
    EXPECT_LT(position(log, "InitKey eToken"), position(log, "lokey_get"));
    EXPECT_EQ(position(log, "lokey_get") + 1, position(log, "lokey_free"));
    std::string saved;
    ASSERT_TRUE(read_user_string(settings_key, "DefaultKeyDev", &saved));
    EXPECT_EQ(saved, "eToken");
    EXPECT_EQ(wait_dialog(error_caption(), 500), nullptr);
    EXPECT_EQ(close_with_exit(), 0);
}

TEST_F(MainWindowE2E, AResetThatTheCryptoLibraryRefusesIsReported) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    ASSERT_TRUE(testctl_load_key(0, "1111222222", "111122222233"));
    set_user_dword("Software\\ORX\\Testbed\\Crypto", "RefuseResetSlots", 1);
    open();
    ASSERT_TRUE(wait_until([&] { return control_visible(window, key_device); }));
    SendDlgItemMessageA(window, key_list, LB_SETCURSEL, 0, 0);
    post_command(window, unload_key);
    HWND box = wait_dialog(error_caption(), 15000);
    set_user_dword("Software\\ORX\\Testbed\\Crypto", "RefuseResetSlots", 0);
    ASSERT_NE(box, nullptr);
    if (!russian()) {
        EXPECT_EQ(box_text(box), "Can`t  reset key (3 )");
    } else {
        EXPECT_EQ(box_text(box), "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE2\xFB\xE3\xF0\xF3\xE7"
                                 "\xEA\xE5 \xEA\xEB\xFE\xF7\xE0. (3 )");
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(close_with_exit(), 0);
}
