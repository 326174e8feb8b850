#include "fake_world.h"
#include "loader_fixture.h"
#include "res/resource_ids.h"

#define STARTED "secure dll search|load res409.dll|no critical-error boxes"
#define BOUND STARTED "|load C:\\sys\\scrypt.dll"
#define AKKORD_TRIED "load tmdrv32.dll|free tmdrv32.dll"
#define INIT_FAILED "|init A:\\|" SIGNAL

// One row per journey through start-up and the unattended modes: the machine, the command
// line, the exit code and everything the loader did outside.
TEST_F(LoaderTest, Journeys) {
    struct {
        const char *line, *machine; // the machine's conditions, named below
        int exit_code;
        std::string log;
    } rows[] = {
        {"", "other-window", EXIT_ALREADY_RUNNING, ""},
        {"", "russian off", EXIT_DRIVER,
         "secure dll search|load res419.dll|no critical-error boxes|box Oshibka (3 )"},
        {"", "driver-absent", EXIT_DRIVER, STARTED "|box Error driver ORVEXA (3 )"},
        {"R", "off", EXIT_DRIVER, STARTED}, // every unattended mode alike: no box
        {"rI", "off", EXIT_DRIVER, STARTED "|box Error driver ORVEXA (3 )"}, // no mode
        {"", "long-system-dir", EXIT_LIBRARIES, STARTED "|beep 440/300|box No library (503 )"},
        {"S", "no-rdr", EXIT_LIBRARIES, BOUND "|beep 440/300"},
        {"I", "bare-rdr", EXIT_LIBRARIES, BOUND "|beep 440/300"},
        {"I", "seeded bad-medium", EXIT_RNG_OR_KEYS,
         BOUND INIT_FAILED INIT_FAILED INIT_FAILED INIT_FAILED INIT_FAILED INIT_FAILED INIT_FAILED},
        {"i", "seeded third-try", EXIT_DONE, BOUND INIT_FAILED INIT_FAILED "|init A:\\"},
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
        auto text = [](const char* s) { return FakeValue{ORX_REG_SZ, {s, s + strlen(s) + 1}}; };
        if (is("auto"))
            user_key(ORX_SETTINGS_KEY).values = {{"RNGAutoDev", text(ORX_ACCORD_DEVICE)},
                                                 {"DefaultKeyDev", text("A:\\")}};
        w.seed_bytes_make_ready = !is("unseeded-by-akkord");
        if (is("no-akkord-library"))
            w.modules.erase("tmdrv32.dll");
        w.akkord_present = !is("no-akkord-device");
        EXPECT_EQ(run(row.line), row.exit_code) << row.machine;
        EXPECT_EQ(log_text(), row.log) << row.machine;
    }
}
