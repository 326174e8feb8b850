// The real orxload.exe under Wine: the unattended modes and their exit codes, the driver
// error of an interactive start and where its text comes from; against the emulated driver
// and the stand-in outside libraries.
#include "wine_harness.h"

namespace {

// What an unattended run finds (`given`): the generator seeded already (kReady), RNGAutoDev
// "TM:A4.P" (kAkkord), slot 0 holding the floppy's first key and slot 1 another key (kKeys),
// the kernel service stopped (kServiceOff), wbotho.dll missing (kNoLibrary). And what it
// leaves: the exit code, the driver's slots (keys loaded from the floppy or emptied) and
// whether its generator is seeded, how often tmdrv32.dll (Akkord) was loaded, and the
// settings.
enum : unsigned { kReady = 1, kAkkord = 2, kKeys = 4, kServiceOff = 8, kNoLibrary = 16 };
struct Mode {
    const char *name, *arguments, *device; // DefaultKeyDev ("" for none)
    unsigned given;
    int exit_code;
    unsigned slots, seeded, akkord_loads;
    int events = -1; // key releases in the window (0: the operator closes it at once)
};

const Mode kModes[] = {
    {"IWithAkkordLoadsTheFloppyKeys", "I", "A:\\", kAkkord, 0, 3, 1, 1},
    {"SFirstRunWritesTheDefaults", "S", "", kReady, 0, 0, 1, 0},
    {"SWithAReadyGeneratorDoesNothing", "S", "A:\\", kReady | kAkkord, 0, 0, 1, 0},
    {"LowerCaseREmptiesSlotZeroOnly", "r", "", kKeys, 0, 2, 0, 0},
    {"IWithoutTheDriver", "I", "", kServiceOff, 501, 0, 0, 0},
    {"UEmptiesSlotZeroThenLoads", "U", "", kReady | kKeys, 0, 7, 1, 0},
    {"SWithoutTheCryptoLibrary", "S", "", kReady | kNoLibrary, 503, 0, 1, 0},
    // Without Akkord, modes I and S need the operator: the exit code says whether the window
    // got its job done.
    {"IInTheWindow", "I", "A:\\", 0, 0, 3, 1, 0, 41},
    {"IWindowClosedAtOnce", "I", "A:\\", 0, 502, 0, 0, 0, 0},
    {"SInTheWindow", "S", "A:\\", 0, 0, 0, 1, 0, 41},
};

class UnattendedModes : public LoaderTest, public ::testing::WithParamInterface<Mode> {};

} // namespace

TEST_P(UnattendedModes, EndWithTheirExitCodeAndTheirWork) {
    const Mode& m = GetParam();
    ASSERT_TRUE(!(m.given & kReady) || testctl({ORVEXA_TESTCTL_SET_WORD, {2, 1}}));
    if (m.given & kAkkord)
        set_user_value(settings_key, "RNGAutoDev", "TM:A4.P");
    if (*m.device)
        set_user_value(settings_key, "DefaultKeyDev", m.device);
    ASSERT_TRUE(!(m.given & kKeys) ||
                (testctl({ORVEXA_TESTCTL_LOAD_KEY, {0}}, "1111222222111122222233") &&
                 testctl({ORVEXA_TESTCTL_LOAD_KEY, {1}}, "8888000000888800000011")));
    ASSERT_TRUE(!(m.given & kServiceOff) || driver_service(false));
    std::string library = "C:\\windows\\system32\\wbotho.dll", hidden = library + ".hidden";
    if (m.given & kNoLibrary)
        MoveFileA(library.c_str(), hidden.c_str());
    HANDLE process = start_orxload(m.arguments);
    HWND window = m.events < 0 ? nullptr : wait_dialog(L"orxload"); // its generator view
    ASSERT_TRUE(!window || wait_until([&] { return IsWindowVisible(GetDlgItem(window, 1010)); }));
    for (int i = 0; i < m.events; ++i)
        PostMessageW(window, WM_KEYUP, 'A', 0xC0000001);
    if (m.events == 0)
        PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wait_exit(process, 60000), m.exit_code);
    MoveFileA(hidden.c_str(), library.c_str());
    ASSERT_TRUE(!(m.given & kServiceOff) || driver_service(true));

    EXPECT_EQ(driver_state().loaded_slots, m.slots);
    EXPECT_EQ(driver_state().info[2] != 0, m.seeded != 0);
    EXPECT_EQ(user_value("Software\\ORX\\Testbed\\Akkord", "Loads"),
              m.akkord_loads ? std::to_string(m.akkord_loads) : "<absent>");
    // A first run (no settings) that ends well leaves the default settings.
    std::string settings =
        user_value(settings_key, "DefaultKeyDev") + "|" + user_value(settings_key, "RNGAutoDev");
    EXPECT_TRUE(m.exit_code || *m.device || settings == "A:\\|") << settings;
}

INSTANTIATE_TEST_SUITE_P(Orxload, UnattendedModes, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<Mode>& info) {
                             return std::string(info.param.name);
                         });

// The interactive start tells a driver that does not answer in a box, in the user's
// language: from the language module beside the program, or without one from the program's
// own tables, never from a module planted in the current directory (there a module of the
// other language under the name of the user's). Both modules load as the loader loads them
// (a module that does not load would leave it on its own tables unseen).
TEST_F(LoaderTest, DriverErrorBoxInTheUsersLanguage) {
    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_SET_WORD, {7, 0}}));
    std::string lone = "C:\\orx-without-language-module\\", planted = "C:\\orx-planted\\";
    CreateDirectoryA(lone.c_str(), nullptr);
    CreateDirectoryA(planted.c_str(), nullptr);
    for (const char* file : {"orxload.exe", "orxlink.dll"})
        CopyFileA((program_folder() + file).c_str(), (lone + file).c_str(), FALSE);
    for (const char* module : {"res409.dll", "res419.dll"})
        EXPECT_NE(LoadLibraryA((program_folder() + module).c_str()), nullptr) << module;
    std::string own = russian ? "res419.dll" : "res409.dll",
                other = russian ? "res409.dll" : "res419.dll";
    ASSERT_TRUE(CopyFileA((program_folder() + other).c_str(), (planted + own).c_str(), FALSE));
    const std::pair<std::string, const char*> starts[] = {{program_folder(), nullptr},
                                                          {lone, planted.c_str()}};
    for (const auto& [folder, current] : starts) {
        SCOPED_TRACE(folder + " in " + (current ? current : "."));
        HANDLE process = start_orxload("", folder, current);
        expect_error_box(L"Error driver ORVEXA (3 )", L"Ошибка драйвера ORVEXA (3 )");
        EXPECT_EQ(wait_exit(process), 501);
    }
}
