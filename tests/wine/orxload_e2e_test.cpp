// The real orxload.exe under Wine: start-up, the unattended modes and their exit codes,
// against the emulated driver and the stand-in outside libraries.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>

#include "driver_control.h"
#include "loader_harness.h"

namespace {

const char* const settings_key = "SOFTWARE\\DEZURE\\Cryptography\\orxload";

class OrxloadE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "driver not running";
        reset_loader_registry();
    }
    void TearDown() override { end_started_loaders(); }
    void make_rng_ready() { ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1)); }
    void use_akkord() {
        set_user_string(settings_key, "RNGAutoDev", "TM:A4.P");
        set_user_string(settings_key, "DefaultKeyDev", "A:\\");
    }
    void default_device(const char* device) {
        set_user_string(settings_key, "DefaultKeyDev", device);
    }
    size_t log_count(const std::string& prefix) {
        std::vector<std::string> log = crypto_log();
        return size_t(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
            return line.compare(0, prefix.size(), prefix) == 0;
        }));
    }
};

// Moves the stand-in crypto library out of the loader's sight for one test.
struct HiddenCryptoLibrary {
    std::string from, to;
    HiddenCryptoLibrary() {
        char dir[MAX_PATH];
        GetSystemDirectoryA(dir, MAX_PATH);
        from = std::string(dir) + "\\wbotho.dll";
        to = from + ".hidden";
        MoveFileA(from.c_str(), to.c_str());
    }
    ~HiddenCryptoLibrary() { MoveFileA(to.c_str(), from.c_str()); }
};

} // namespace

TEST_F(OrxloadE2E, ModeIWithAkkordLoadsTheFloppyKeysIntoAnEmptyDriver) {
    use_akkord();
    EXPECT_EQ(run_orxload("I"), 0);
    orvexa_testctl_state state = driver_state();
    EXPECT_NE(state.info[2], 0u);      // seeded from the Akkord bytes
    EXPECT_EQ(state.loaded_slots, 3u); // the floppy's two keys, in slots 0 and 1
    EXPECT_EQ(akkord_loads(), 1u);
    EXPECT_EQ(log_count("InitKey A:\\ -> 0"), 1u);
}

TEST_F(OrxloadE2E, FirstRunWritesTheDefaultSettings) {
    make_rng_ready();
    EXPECT_EQ(run_orxload("S"), 0);
    std::string device, autodev = "unset";
    ASSERT_TRUE(read_user_string(settings_key, "DefaultKeyDev", &device));
    ASSERT_TRUE(read_user_string(settings_key, "RNGAutoDev", &autodev));
    EXPECT_EQ(device, "A:\\");
    EXPECT_EQ(autodev, "");
}

TEST_F(OrxloadE2E, ModeSWithAReadyGeneratorTouchesNeitherAkkordNorKeys) {
    make_rng_ready();
    use_akkord();
    EXPECT_EQ(run_orxload("S"), 0);
    EXPECT_EQ(akkord_loads(), 0u);
    EXPECT_EQ(log_count("InitKey"), 0u);
}

TEST_F(OrxloadE2E, ModeRResetsSlotZeroOnly) {
    ASSERT_TRUE(testctl_load_key(0, "1111111111", "111111111111"));
    ASSERT_TRUE(testctl_load_key(1, "2222222222", "222222222222"));
    EXPECT_EQ(run_orxload("r"), 0);
    EXPECT_EQ(driver_state().loaded_slots, 2u);
    ASSERT_TRUE(arm_fault(0x9C402414, ORVEXA_TESTCTL_FAULT_NETPATH));
    EXPECT_EQ(run_orxload("R"), 501);
}

TEST_F(OrxloadE2E, AnUnoperationalOrAbsentDriverEndsTheModesWith501) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    EXPECT_EQ(run_orxload("R"), 501);
    EXPECT_EQ(run_orxload("S"), 501);
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET));
    ASSERT_TRUE(driver_service_stop());
    int code = run_orxload("I");
    ASSERT_TRUE(driver_service_start());
    EXPECT_EQ(code, 501);
}

TEST_F(OrxloadE2E, AMediumThatFailsEveryTimeEndsModeIAfterSevenCalls) {
    make_rng_ready();
    default_device("Keyreg9"); // not a medium the crypto library knows: 36 every time
    EXPECT_EQ(run_orxload("I", 60000), 502);
    EXPECT_EQ(log_count("InitKey Keyreg9"), 7u);
}

TEST_F(OrxloadE2E, ModeUResetsSlotZeroThenLoads) {
    make_rng_ready();
    ASSERT_TRUE(testctl_load_key(0, "1111222222", "111122222233"));
    EXPECT_EQ(run_orxload("U"), 0);
    EXPECT_EQ(driver_state().loaded_slots, 3u); // slot 0 emptied, then both keys loaded
}

TEST_F(OrxloadE2E, AkkordThatCannotBeUsedEndsModeSWith502) {
    use_akkord();
    set_user_dword("Software\\ORX\\Testbed\\Akkord", "InfoWord1", 319);
    EXPECT_EQ(run_orxload("S", 60000), 502);
    EXPECT_EQ(akkord_loads(), 2u); // at start-up and again in the mode's own step
}

TEST_F(OrxloadE2E, MissingCryptoLibraryEndsWith503) {
    make_rng_ready();
    HiddenCryptoLibrary hidden;
    EXPECT_EQ(run_orxload("S"), 503);
}

namespace {

bool russian() {
    return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_RUSSIAN;
}

// The driver error box of an interactive start, in the user's language.
void expect_driver_error_box(HANDLE process) {
    const char* caption = russian() ? "\xCE\xF8\xE8\xE1\xEA\xE0" : "Error";
    const char* text = russian() ? "\xCE\xF8\xE8\xE1\xEA\xE0 \xE4\xF0\xE0\xE9\xE2\xE5\xF0\xE0 "
                                   "ORVEXA (3 )"
                                 : "Error driver ORVEXA (3 )";
    HWND box = wait_dialog(caption, 15000);
    ASSERT_NE(box, nullptr) << "windows open: " << visible_dialog_titles();
    EXPECT_EQ(box_text(box), text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(wait_exit(process, 15000), 501);
}

} // namespace

TEST_F(OrxloadE2E, DriverErrorIsShownInInteractiveMode) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    expect_driver_error_box(start_orxload(""));
}

namespace {

// orxload.exe and orxlink.dll alone in a folder of their own; returns its path.
std::string lone_loader_folder() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string from(exe);
    from = from.substr(0, from.find_last_of('\\') + 1);
    std::string folder = "C:\\orx-without-language-module";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* file : {"orxload.exe", "orxlink.dll"})
        CopyFileA((from + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
    return folder;
}

HANDLE start_in(const std::string& program_folder, const std::string& current_folder) {
    std::string line = "\"" + program_folder + "\\orxload.exe\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        current_folder.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    track_loader(pi.hProcess);
    return pi.hProcess;
}

} // namespace

// Without res4xx.dll beside it the program's own English and Russian tables answer.
TEST_F(OrxloadE2E, TheProgramsOwnTextsServeWithoutALanguageModule) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    std::string folder = lone_loader_folder();
    expect_driver_error_box(start_in(folder, folder));
}

// A language module planted in the current directory is not loaded: here a Russian
// module under the English name would turn the English box Russian.
TEST_F(OrxloadE2E, ALanguageModulePlantedInTheCurrentDirectoryIsIgnored) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string bin(exe);
    bin = bin.substr(0, bin.find_last_of('\\') + 1);
    std::string planted = "C:\\orx-planted";
    CreateDirectoryA(planted.c_str(), nullptr);
    char name[16];
    snprintf(name, sizeof name, "res%x.dll", unsigned(GetUserDefaultLangID()));
    const char* other = russian() ? "res409.dll" : "res419.dll";
    ASSERT_TRUE(CopyFileA((bin + other).c_str(), (planted + "\\" + name).c_str(), FALSE));
    expect_driver_error_box(start_in(lone_loader_folder(), planted));
}

TEST_F(OrxloadE2E, ASecondStartWhileTheWindowIsOpenEndsWith1) {
    make_rng_ready();
    HANDLE first = start_orxload("");
    HWND window = wait_dialog("orxload", 15000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(run_orxload("S"), 1);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(wait_exit(first, 15000), 0);
}
