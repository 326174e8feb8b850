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

// Every 4-byte value is read whole, whatever its type; the toggle keeps bits 1 to 31 and
// stores a REG_DWORD. Values of another size, and a missing key, leave the mode alone; a
// store that fails flips it back.
TEST_F(SettingsTest, CompressModeKeepsTheOtherBitsOfAnyFourByteValue) {
    struct {
        uint32_t type;
        std::vector<uint8_t> bytes;
        uint32_t read, toggled; // toggled == read: not stored
        bool read_only;
    } rows[] = {
        {3, {6, 0, 1, 0x80}, 0x80010006u, 0x80010007u, false},
        {3, {7, 0, 0}, 0x55u, 0x54u, false},
        {4, {6, 0, 0, 0}, 6, 6, true},
        {4, {}, 0x55u, 0x55u, false}, // no key at all
    };
    for (auto& r : rows) {
        SetUp();
        if (!r.bytes.empty()) {
            user_key(ORX_COMPRESS_KEY).values["CompressFilesMode"] = {r.type, r.bytes};
            user_key(ORX_COMPRESS_KEY).read_only = r.read_only;
        }
        uint32_t mode = 0x55;
        read_compress_mode(&mode);
        EXPECT_EQ(mode, r.read);
        bool stored = r.toggled != r.read;
        EXPECT_EQ(toggle_compress_mode(&mode), stored ? 1 : 0);
        EXPECT_EQ(mode, r.toggled);
        if (r.bytes.empty())
            continue;
        const FakeValue& value = user_key(ORX_COMPRESS_KEY).values["CompressFilesMode"];
        uint32_t word = 0;
        std::memcpy(&word, value.bytes.data(), std::min<size_t>(4, value.bytes.size()));
        EXPECT_EQ(value.type, stored ? 4u : r.type);
        EXPECT_EQ(word, stored ? r.toggled : r.read);
    }
}
