#include <algorithm>

#include "fake_ui.h"
#include "loader_fixture.h"
#include "main_window_logic.h"
#include "res/resource_ids.h"

TEST(CommandMode, OnlyTheWholeLineAfterUpperCasingSelectsAMode) {
    struct {
        const char* line;
        int mode;
    } cases[] = {{"i", 'I'}, {"I", 'I'}, {"u", 'U'}, {"r", 'R'}, {"S", 'S'},
                 {"I ", 0},  {"/I", 0},  {"IR", 0},  {"", 0},    {"x", 0}};
    for (auto& c : cases) {
        std::string line = c.line;
        EXPECT_EQ(parse_command_mode(&line[0]), c.mode) << c.line;
    }
    char name[16];
    language_module_name(0x0419, name);
    EXPECT_STREQ(name, "res419.dll");
    language_module_name(0x0409, name);
    EXPECT_STREQ(name, "res409.dll");
}

TEST_F(LoaderTest, ASecondLoaderEndsAtOnceWithoutTouchingAnything) {
    world().other_window = true;
    EXPECT_EQ(run(""), 1);
    EXPECT_EQ(world().queries, 0);
    EXPECT_TRUE(world().loads.empty());
    EXPECT_TRUE(world().boxes.empty());
}

TEST_F(LoaderTest, StartUpSecuresTheDllSearchAndUsesTheLanguageModuleWhenPresent) {
    world().language = 0x0419;
    world().modules["res419.dll"];
    world().strings[{"res419.dll", 506}] = "Zagruzka...";
    world().info.word[ORVEXA_INFO_OPERATIONAL] = 0;
    EXPECT_EQ(run(""), 501);
    EXPECT_TRUE(world().dll_search_secured);
    EXPECT_TRUE(world().critical_errors_off);
    EXPECT_EQ(world().loads.front(), "res419.dll");
    EXPECT_STREQ(loader.loading_text, "Zagruzka...");
    EXPECT_EQ(loader.resource_module, lp_load_library("res419.dll"));
}

TEST_F(LoaderTest, DriverAbsentIsReportedOnlyInteractively) {
    world().query_fails = true;
    EXPECT_EQ(run(""), 501);
    ASSERT_EQ(world().boxes.size(), 1u);
    EXPECT_EQ(world().boxes[0].text, "Error driver ORVEXA (3 )");
    EXPECT_EQ(world().boxes[0].caption, "Error");
    EXPECT_EQ(world().boxes[0].flags, 0x2010u);

    for (const char* mode : {"R", "I", "U", "S"}) {
        SetUp();
        world().info.word[ORVEXA_INFO_OPERATIONAL] = 0;
        EXPECT_EQ(run(mode), 501) << mode;
        EXPECT_TRUE(world().boxes.empty());
        EXPECT_TRUE(world().resets.empty());
    }
}

TEST_F(LoaderTest, MissingLibrariesBeepAndEndWith503) {
    world().modules.erase(system_path("wbotho.dll"));
    EXPECT_EQ(run(""), 503);
    EXPECT_EQ(world().beeps, (std::vector<std::pair<uint32_t, uint32_t>>{{440, 300}}));
    ASSERT_EQ(world().boxes.size(), 1u);
    EXPECT_EQ(world().boxes[0].text, "Loading library failed or Verba not installed (503 )");

    SetUp();
    world().already_loaded.clear(); // the reader library is not loaded
    EXPECT_EQ(run("S"), 503);
    EXPECT_TRUE(world().boxes.empty());
    EXPECT_TRUE(world().frees.empty()); // the bound crypto library stays

    SetUp();
    world().modules["rdr.dll"].entries.clear();
    EXPECT_EQ(run("I"), 503);
}

TEST_F(LoaderTest, ModeIRetriesAFailingMediumSevenTimes) {
    set_rng_ready();
    world().init_key_results = {36};
    EXPECT_EQ(run("I"), 502);
    EXPECT_EQ(world().init_key_devices, std::vector<std::string>(7, "A:\\"));
    EXPECT_EQ(attention_signals(), 7);
    std::vector<uint32_t> pauses;
    for (int i = 0; i < 7; ++i)
        pauses.insert(pauses.end(), {200, 2000});
    EXPECT_EQ(world().sleeps, pauses);
    EXPECT_TRUE(world().resets.empty());
    EXPECT_EQ(world().selectors, std::vector<uint32_t>{0});

    SetUp();
    set_rng_ready();
    world().init_key_results = {36, 36, 0};
    EXPECT_EQ(run("i"), 0);
    EXPECT_EQ(world().init_key_devices.size(), 3u);
}

TEST_F(LoaderTest, ModeRResetsSlotZeroOnly) {
    EXPECT_EQ(run("R"), 0);
    EXPECT_EQ(world().resets, std::vector<uint32_t>{0});
    EXPECT_TRUE(world().init_key_devices.empty());
    SetUp();
    world().refused_reset_slots = 1;
    EXPECT_EQ(run("R"), 501);
}

TEST_F(LoaderTest, ModeSWithAReadyGeneratorTouchesNeitherAkkordNorKeys) {
    set_rng_ready();
    configure_auto_rng();
    EXPECT_EQ(run("S"), 0);
    EXPECT_EQ(world().akkord_calls, 0);
    EXPECT_TRUE(world().init_key_devices.empty());
    EXPECT_EQ(world().main_window_runs, 0);
}

// Without Akkord the unattended modes need the operator in the main window; the exit code
// says what the window got done, never merely that it ended.
TEST_F(LoaderTest, TheExitCodeAfterTheMainWindowFollowsWhatItGotDone) {
    // LATE: created at the third try, then done; TAKEN_AWAY: destroyed without ending itself.
    enum Window { CLOSED, DONE, INIT_KEY_FAILS, NOT_READY, TAKEN_AWAY, NOT_CREATED, LATE };
    struct {
        const char* mode;
        Window window;
        int exit_code;
    } cases[] = {
        {"I", CLOSED, 502},
        {"I", DONE, 0},
        {"I", INIT_KEY_FAILS, 502},
        {"I", NOT_CREATED, 502},
        {"U", CLOSED, 502},
        {"U", DONE, 0},
        {"U", INIT_KEY_FAILS, 502},
        {"S", CLOSED, 502},
        {"S", DONE, 0},
        {"S", NOT_READY, 502},
        {"S", NOT_CREATED, 502},
        {"S", LATE, 0},
        {"", CLOSED, 0},
        {"", DONE, 0},
        {"", TAKEN_AWAY, 502},
        {"", NOT_CREATED, 502},
        {"", LATE, 0},
    };
    for (auto& c : cases) {
        SetUp();
        SCOPED_TRACE(testing::Message() << "mode '" << c.mode << "' window " << c.window);
        if (c.window == INIT_KEY_FAILS)
            world().init_key_results = {36};
        world().main_window = [&] {
            if (c.window == NOT_CREATED || (c.window == LATE && world().main_window_runs < 3))
                return -1;
            reset_ui();
            main_window_init();
            if (c.window == CLOSED)
                main_window_command(IDC_EXIT);
            if (c.window == CLOSED || c.window == TAKEN_AWAY)
                return 0;
            for (int i = 0; i < 41; ++i) {
                if (i == 40 && c.window != NOT_READY)
                    set_rng_ready(); // the driver took the samples as its seed
                main_window_event(EVENT_PRESS, 1000u + i);
            }
            if (ui().ended == -1000) // the key view stands: the operator leaves it
                main_window_command(IDC_EXIT);
            return ui().ended;
        };
        EXPECT_EQ(run(c.mode), c.exit_code);
        size_t runs = c.window == NOT_CREATED || c.window == LATE ? 3 : 1;
        EXPECT_EQ(size_t(world().main_window_runs), runs);
        EXPECT_EQ(world().sleeps, std::vector<uint32_t>(runs - 1, 1000)); // 1 s between tries
        EXPECT_EQ(world().akkord_calls, 0);
        bool told = c.mode[0] == '\0' && c.window == NOT_CREATED;
        ASSERT_EQ(world().boxes.size(), told ? 1u : 0u);
        if (told) {
            EXPECT_EQ(world().boxes[0].text, "Internal error (502 )");
        }
    }
}

TEST_F(LoaderTest, AkkordAtStartUpSeedsTheDriverAndModeILoadsTheKeys) {
    configure_auto_rng();
    for (int i = 0; i < 41; ++i)
        world().akkord_bytes[i] = uint8_t(i);
    EXPECT_EQ(run("I"), 0);
    EXPECT_EQ(world().put_bytes, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(loader.rng_progress, 40);
    EXPECT_EQ(world().init_key_devices.size(), 1u);
    EXPECT_EQ(world().frees.back(), "tmdrv32.dll");
}

TEST_F(LoaderTest, ModeUResetsOnlyWhenReadyButLoadsAfterAkkordEitherWay) {
    configure_auto_rng();
    world().seed_bytes_make_ready = false; // Akkord succeeds, the driver still not ready
    EXPECT_EQ(run("U"), 0);
    EXPECT_TRUE(world().resets.empty());
    EXPECT_EQ(world().init_key_devices.size(), 1u);

    SetUp();
    configure_auto_rng();
    EXPECT_EQ(run("U"), 0);
    EXPECT_EQ(world().resets, std::vector<uint32_t>{0});
    EXPECT_EQ(world().init_key_devices.size(), 1u);
}

TEST_F(LoaderTest, AkkordUnavailableEndsTheUnattendedModesWith502) {
    configure_auto_rng();
    world().modules.erase("tmdrv32.dll");
    EXPECT_EQ(run("S"), 502);
    EXPECT_EQ(world().main_window_runs, 0);
    EXPECT_EQ(std::count(world().loads.begin(), world().loads.end(), "tmdrv32.dll"), 1);
    EXPECT_EQ(attention_signals(), 2); // start-up attempt, then the Akkord step

    SetUp();
    configure_auto_rng();
    world().akkord_present = 0; // found, but the device is absent: tried again
    EXPECT_EQ(run("I"), 502);
    EXPECT_EQ(world().main_window_runs, 0);
    EXPECT_EQ(std::count(world().loads.begin(), world().loads.end(), "tmdrv32.dll"), 2);
}

// Akkord succeeds at start-up, then the driver stops answering: the mode's own re-read
// ends the program with 501.
TEST_F(LoaderTest, AFailingReReadAfterAkkordEndsTheModeWith501) {
    configure_auto_rng();
    world().queries_that_answer = 1;
    EXPECT_EQ(run("S"), 501);
    EXPECT_EQ(world().queries, 3);
    EXPECT_EQ(attention_signals(), 1); // the start-up re-read
    EXPECT_EQ(world().main_window_runs, 0);
}
