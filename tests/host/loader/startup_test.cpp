#include "fake_world.h"
#include "loader_fixture.h"
#include "main_window_logic.h"
#include "res/resource_ids.h"

#define STARTED "secure dll search|load res409.dll|no critical-error boxes"
#define BOUND STARTED "|load C:\\sys\\scrypt.dll"
#define AKKORD_TRIED "load tmdrv32.dll|free tmdrv32.dll"

TEST(CommandMode, OnlyTheWholeLineAfterUpperCasingSelectsAMode) {
    const std::pair<const char*, int> cases[] = {{"i", 'I'}, {"u", 'U'}, {"r", 'R'}, {"S", 'S'},
                                                 {"I ", 0},  {"/I", 0},  {"IR", 0},  {"", 0}};
    for (auto& c : cases) {
        std::string line = c.first;
        EXPECT_EQ(parse_command_mode(&line[0]), c.second) << c.first;
    }
}

// One row per journey through start-up and the unattended modes: the machine, the command
// line, the exit code and everything the loader did outside.
TEST_F(LoaderTest, Journeys) {
    auto repeat = [](std::string s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += "|" + s;
        return out;
    };
    struct {
        const char *line, *machine; // the machine's conditions, named below
        int exit_code;
        std::string log;
    } rows[] = {
        {"", "other-window", EXIT_ALREADY_RUNNING, ""},
        {"", "russian off", EXIT_DRIVER,
         "secure dll search|load res419.dll|no critical-error boxes|box Oshibka (3 )"},
        {"", "driver-absent", EXIT_DRIVER, STARTED "|box Error driver ORVEXA (3 )"},
        {"R", "off", EXIT_DRIVER, STARTED},
        {"I", "off", EXIT_DRIVER, STARTED},
        {"U", "off", EXIT_DRIVER, STARTED},
        {"S", "off", EXIT_DRIVER, STARTED},
        {"", "long-system-dir", EXIT_LIBRARIES, STARTED "|beep 440/300|box No library (503 )"},
        {"S", "no-rdr", EXIT_LIBRARIES, BOUND "|beep 440/300"},
        {"I", "bare-rdr", EXIT_LIBRARIES, BOUND "|beep 440/300"},
        {"I", "seeded bad-medium", EXIT_RNG_OR_KEYS, BOUND + repeat("init A:\\|" SIGNAL, 7)},
        {"i", "seeded third-try", EXIT_DONE, BOUND + repeat("init A:\\|" SIGNAL, 2) + "|init A:\\"},
        {"R", "", EXIT_DONE, BOUND "|reset 0"},
        {"R", "refuses-reset", EXIT_DRIVER, BOUND "|refused reset 0"},
        {"S", "seeded auto", EXIT_DONE, BOUND},
        {"I", "auto", EXIT_DONE, BOUND "|" AKKORD_TRIED "|init A:\\"},
        {"U", "auto unseeded-by-akkord", EXIT_DONE, BOUND "|" AKKORD_TRIED "|init A:\\"},
        {"U", "auto", EXIT_DONE, BOUND "|" AKKORD_TRIED "|reset 0|init A:\\"},
        {"U", "seeded", EXIT_DONE, BOUND "|reset 0|init A:\\"},
        {"S", "auto no-akkord-library", EXIT_RNG_OR_KEYS,
         BOUND "|load tmdrv32.dll|" SIGNAL "|" SIGNAL},
        {"I", "auto no-akkord-device", EXIT_RNG_OR_KEYS,
         BOUND "|" AKKORD_TRIED "|" SIGNAL "|" AKKORD_TRIED "|" SIGNAL},
        {"S", "auto driver-leaves", EXIT_DRIVER, BOUND "|" AKKORD_TRIED "|" SIGNAL},
    };
    for (auto& row : rows) {
        SetUp();
        World& w = world();
        auto is = [&](const char* condition) {
            return (" " + std::string(row.machine) + " ")
                       .find(std::string(" ") + condition + " ") != std::string::npos;
        };
        w.other_window = is("other-window");
        if (is("russian")) {
            w.language = 0x0419;
            w.modules["res419.dll"];
            w.strings[{"res419.dll", IDS_ERR_DRIVER}] = "Oshibka";
        }
        w.info.word[ORVEXA_INFO_OPERATIONAL] = !is("off");
        w.info.word[ORVEXA_INFO_SEED_ACCEPTED] = is("seeded");
        w.queries_that_answer = is("driver-absent") ? 0 : is("driver-leaves") ? 1 : -1;
        if (is("long-system-dir"))
            w.system_directory = std::string(260, 'x');
        if (is("no-rdr"))
            w.loaded.clear();
        if (is("bare-rdr"))
            w.modules["rdr.dll"].clear();
        if (is("bad-medium") || is("third-try"))
            w.init_key_results = {ORX_KEY_HOARDER_ERROR, ORX_KEY_HOARDER_ERROR};
        if (is("third-try"))
            w.init_key_results.push_back(0);
        w.refused_slots = is("refuses-reset");
        if (is("auto"))
            configure_auto_rng();
        w.seed_bytes_make_ready = !is("unseeded-by-akkord");
        if (is("no-akkord-library"))
            w.modules.erase("tmdrv32.dll");
        w.akkord_present = !is("no-akkord-device");
        EXPECT_EQ(run(row.line), row.exit_code) << row.machine;
        EXPECT_EQ(log_text(), row.log) << row.machine;
    }
}

TEST_F(LoaderTest, StartUpTakesTheTextsOfTheLanguageModuleAndAkkordSeedsTheDriver) {
    world().language = 0x0419;
    world().modules["res419.dll"];
    world().strings[{"res419.dll", IDS_LOADING}] = "Zagruzka";
    configure_auto_rng();
    for (int i = 0; i < ORX_AKKORD_RANDOM_SIZE; ++i)
        world().akkord_bytes[i] = uint8_t(i);
    EXPECT_EQ(run("I"), EXIT_DONE);
    EXPECT_STREQ(loader.loading_text, "Zagruzka");
    EXPECT_EQ(world().put_bytes, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(loader.rng_progress, RNG_SAMPLES);
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
    } rows[] = {
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
    for (auto& row : rows) {
        SetUp();
        SCOPED_TRACE(testing::Message() << "mode '" << row.mode << "' window " << row.window);
        if (row.window == INIT_KEY_FAILS)
            world().init_key_results = {ORX_KEY_HOARDER_ERROR};
        int runs = 0;
        world().main_window = [&] {
            if (row.window == NOT_CREATED || (row.window == LATE && ++runs < 3))
                return -1;
            main_window_init();
            if (row.window == CLOSED)
                main_window_command(IDC_EXIT);
            if (row.window == CLOSED || row.window == TAKEN_AWAY)
                return 0;
            for (int i = 0; i <= RNG_SAMPLES; ++i) {
                if (i == RNG_SAMPLES && row.window != NOT_READY)
                    world().info.word[ORVEXA_INFO_SEED_ACCEPTED] = 1; // the samples seeded it
                main_window_event(EVENT_PRESS, 1000u + i);
            }
            if (world().ended == -1000) // the key view stands: the operator leaves it
                main_window_command(IDC_EXIT);
            return world().ended;
        };
        int code = run(row.mode);
        EXPECT_EQ(code, row.exit_code);
        bool retried = row.window == NOT_CREATED || row.window == LATE;
        std::string log = log_text();
        std::string tries = retried ? "window orxload.exe|sleep 1000|window orxload.exe|sleep "
                                      "1000|window orxload.exe"
                                    : "window orxload.exe";
        EXPECT_NE(log.find(tries), std::string::npos) << log;
        size_t windows = 0; // never a fourth try
        for (size_t at = log.find("window "); at != std::string::npos;
             at = log.find("window ", at + 1))
            ++windows;
        EXPECT_EQ(windows, retried ? 3u : 1u) << log;
        EXPECT_EQ(world().akkord_calls, 0);
        bool told = row.mode[0] == '\0' && row.window == NOT_CREATED;
        EXPECT_EQ(log.find("box Internal error (502 )") != std::string::npos, told) << log;
    }
}
