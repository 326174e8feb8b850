#include <cstring>

#include "loader_fixture.h"
#include "main_window_state.h"

using SettingsTest = LoaderTest;

// Each row stores DefaultKeyDev (no key: "-", none: ""), with a NUL when its type is SZ.
TEST_F(SettingsTest, ReadingTakesOnlyTextsThatFitAndAFirstRunWritesTheDefaults) {
    const std::string a79(79, 'A');
    struct {
        std::string stored;
        uint32_t type;
        std::string device; // what is read
    } rows[] = {{"-", 0, "A:\\"},
                {"", 0, ""},
                {std::string(80, 'A') + '\0', ORX_REG_SZ, ""},
                {std::string("\1\0\0\0", 4), ORX_REG_DWORD, ""},
                {"TM2", ORX_REG_SZ, "TM2"}, // no NUL
                {std::string(80, 'A'), ORX_REG_SZ, a79},
                {a79 + '\0', ORX_REG_SZ, a79}};
    for (auto& r : rows) {
        SetUp();
        if (r.stored != "-")
            user_key(ORX_SETTINGS_KEY);
        if (r.type)
            user_key(ORX_SETTINGS_KEY).values["DefaultKeyDev"] = {
                r.type, {r.stored.begin(), r.stored.end()}};
        LoaderSettings s = {"old", "old"};
        read_settings(&s);
        EXPECT_EQ(s.DefaultKeyDev, r.device);
        EXPECT_STREQ(s.RNGAutoDev, "");
        EXPECT_EQ(fake().registry_writes, r.stored == "-" ? 2 : 0); // a first run: the defaults
    }
}
