// The real orxload.exe under Wine: the unattended modes and their exit codes, the driver
// error of an interactive start and where its text comes from, a second start; against the
// emulated driver and the stand-in outside libraries.
#include <algorithm>

#include "loader_harness.h"

namespace {

// What an unattended run finds (`given`), and what it leaves: the exit code, the driver's
// slots and whether its generator is seeded, how often tmdrv32.dll (Akkord) was loaded, the
// InitKey calls in the crypto log (all for DefaultKeyDev), and the settings.
enum : unsigned {
    kReady = 1,          // the generator is seeded already
    kAkkord = 2,         // RNGAutoDev "TM:A4.P"
    kUnusableAkkord = 4, // Akkord information word 1 is 319
    kSlot0 = 8,          // slot 0 holds the floppy's first key
    kSlot1 = 16,         // slot 1 holds another key
    kResetFails = 32,    // the next key reset fails with system error 53
    kDriverOff = 64,     // word 7 (operational) reads 0
    kServiceOff = 128,   // the kernel service is stopped
    kNoLibrary = 256,    // wbotho.dll is missing
};
struct Mode {
    const char* name;
    const char* arguments;
    unsigned given;
    const char* device; // DefaultKeyDev before ("" for none) and after the run
    int exit_code;
    uint32_t slots;
    bool seeded;
    DWORD akkord_loads;
    size_t init_calls;
};

const Mode kModes[] = {
    {"IWithAkkordLoadsTheFloppyKeys", "I", kAkkord, "A:\\", 0, 3, 1, 1, 1},
    {"SFirstRunWritesTheDefaults", "S", kReady, "", 0, 0, 1, 0, 0},
    {"SWithAReadyGeneratorDoesNothing", "S", kReady | kAkkord, "A:\\", 0, 0, 1, 0, 0},
    {"LowerCaseREmptiesSlotZeroOnly", "r", kSlot0 | kSlot1, "", 0, 2, 0, 0, 0},
    {"RRefusedByTheDriver", "R", kSlot0 | kSlot1 | kResetFails, "", 501, 3, 0, 0, 0},
    {"RWithAnUnoperationalDriver", "R", kDriverOff, "", 501, 0, 0, 0, 0},
    {"SWithAnUnoperationalDriver", "S", kDriverOff, "", 501, 0, 0, 0, 0},
    {"IWithoutTheDriver", "I", kServiceOff, "", 501, 0, 0, 0, 0},
    {"IGivesUpAfterSevenFailingCalls", "I", kReady, "Keyreg9", 502, 0, 1, 0, 7},
    {"UEmptiesSlotZeroThenLoads", "U", kReady | kSlot0, "", 0, 3, 1, 0, 1},
    {"SWithAnUnusableAkkord", "S", kAkkord | kUnusableAkkord, "A:\\", 502, 0, 0, 2, 0},
    {"SWithoutTheCryptoLibrary", "S", kReady | kNoLibrary, "", 503, 0, 1, 0, 0},
};

class UnattendedModes : public LoaderTest, public ::testing::WithParamInterface<Mode> {};

} // namespace

TEST_P(UnattendedModes, EndWithTheirExitCodeAndTheirWork) {
    const Mode& m = GetParam();
    ASSERT_TRUE(!(m.given & kReady) || testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    if (m.given & kAkkord)
        set_user_value(settings_key, "RNGAutoDev", "TM:A4.P");
    if (*m.device)
        set_user_value(settings_key, "DefaultKeyDev", m.device);
    if (m.given & kUnusableAkkord)
        set_user_value("Software\\ORX\\Testbed\\Akkord", "InfoWord1", DWORD(319));
    ASSERT_TRUE(!(m.given & kSlot0) || testctl_load_key(0, "1111222222", "111122222233"));
    ASSERT_TRUE(!(m.given & kSlot1) || testctl_load_key(1, "8888000000", "888800000011"));
    ASSERT_TRUE(!(m.given & kResetFails) || arm_fault(0x9C402414u, ORVEXA_TESTCTL_FAULT_NETPATH));
    ASSERT_TRUE(!(m.given & kDriverOff) || testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    ASSERT_TRUE(!(m.given & kServiceOff) || driver_service(false));
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    std::string library = std::string(system) + "\\wbotho.dll", hidden = library + ".hidden";
    if (m.given & kNoLibrary)
        MoveFileA(library.c_str(), hidden.c_str());
    EXPECT_EQ(run_orxload(m.arguments), m.exit_code);
    MoveFileA(hidden.c_str(), library.c_str());
    ASSERT_TRUE(!(m.given & kServiceOff) || driver_service(true));

    orvexa_testctl_state state = driver_state();
    EXPECT_EQ(state.loaded_slots, m.slots);
    EXPECT_EQ(state.info[2] != 0, m.seeded);
    DWORD akkord_loads = 0, size = sizeof akkord_loads;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\ORX\\Testbed\\Akkord", "Loads", RRF_RT_REG_DWORD,
                 nullptr, &akkord_loads, &size);
    EXPECT_EQ(akkord_loads, m.akkord_loads);
    std::string log = crypto_log(), device = *m.device ? m.device : "A:\\";
    size_t calls = 0, for_device = 0; // InitKey calls, and those for DefaultKeyDev
    for (size_t at = log.find("InitKey "); at != log.npos; at = log.find("InitKey ", at + 1)) {
        ++calls;
        for_device += log.compare(at, 12 + device.size(), "InitKey " + device + " -> ") == 0;
    }
    EXPECT_EQ(calls, m.init_calls);
    EXPECT_EQ(for_device, m.init_calls);
    std::string settings =
        user_text(settings_key, "DefaultKeyDev") + "|" + user_text(settings_key, "RNGAutoDev");
    EXPECT_TRUE(m.exit_code || (m.given & kAkkord) || settings == device + "|") << settings;
}

INSTANTIATE_TEST_SUITE_P(Orxload, UnattendedModes, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<Mode>& info) {
                             return std::string(info.param.name);
                         });

// The interactive start tells a driver that does not answer in a box, in the user's
// language: from the language module beside the program, from the program's own tables
// without one, and never from a module planted in the current directory (there a module
// of the other language under the name of the user's).
TEST_F(LoaderTest, DriverErrorBoxInTheUsersLanguage) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    std::string lone = "C:\\orx-without-language-module\\", planted = "C:\\orx-planted\\";
    CreateDirectoryA(lone.c_str(), nullptr);
    CreateDirectoryA(planted.c_str(), nullptr);
    for (const char* file : {"orxload.exe", "orxlink.dll"})
        CopyFileA((program_folder() + file).c_str(), (lone + file).c_str(), FALSE);
    std::string name = russian() ? "res419.dll" : "res409.dll";
    std::string other = russian() ? "res409.dll" : "res419.dll";
    ASSERT_TRUE(CopyFileA((program_folder() + other).c_str(), (planted + name).c_str(), FALSE));
    const std::pair<std::string, const char*> starts[] = {
        {program_folder(), nullptr}, {lone, lone.c_str()}, {lone, planted.c_str()}};
    for (const auto& start : starts) {
        SCOPED_TRACE(start.first + " in " + (start.second ? start.second : "."));
        HANDLE process = start_orxload("", start.first, start.second);
        expect_error_box(L"Error driver ORVEXA (3 )", L"Ошибка драйвера ORVEXA (3 )");
        EXPECT_EQ(wait_exit(process), 501);
    }
}

TEST_F(LoaderTest, ASecondStartWhileTheWindowIsOpenEndsWith1) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    HANDLE first = start_orxload("");
    HWND window = wait_dialog(L"orxload");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(run_orxload("S"), 1);
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(wait_exit(first), 0);
}
