#include "loader_fixture.h"
#include "settings.h"

#include <cstring>

namespace {

const char* const settings_key = "SOFTWARE\\DEZURE\\Cryptography\\orxload";
const char* const devices_key = "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices";
const char* const compress_key = "SOFTWARE\\DEZURE\\CRYPTOGRAPHY\\";

std::string text(const char* s) {
    return std::string(s, std::strlen(s) + 1);
}

} // namespace

using SettingsTest = LoaderTest;

TEST_F(SettingsTest, FirstRunWritesTheDefaultsAndAnEmptyKeyStaysEmpty) {
    LoaderSettings s;
    read_settings(&s);
    EXPECT_STREQ(s.DefaultKeyDev, "A:\\");
    EXPECT_STREQ(s.RNGAutoDev, "");
    EXPECT_EQ(string_value(user_key(settings_key), "DefaultKeyDev"), text("A:\\"));
    EXPECT_EQ(string_value(user_key(settings_key), "RNGAutoDev"), text(""));

    SetUp();
    user_key(settings_key);
    read_settings(&s);
    EXPECT_STREQ(s.DefaultKeyDev, "");
    EXPECT_EQ(fake().registry_writes, 0);
    EXPECT_EQ(fake().open_keys, 0);
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeOrSizeReadAsEmpty) {
    FakeKey& key = user_key(settings_key);
    key.values["DefaultKeyDev"] = {1, std::vector<uint8_t>(200, 'A')}; // too long
    key.values["RNGAutoDev"] = {4, {1, 0, 0, 0}};                      // a DWORD
    LoaderSettings s;
    read_settings(&s);
    EXPECT_STREQ(s.DefaultKeyDev, "");
    EXPECT_STREQ(s.RNGAutoDev, "");
    key.values["DefaultKeyDev"] = {1, {'T', 'M', ':', 'C', 'O', 'M', '2'}}; // no NUL
    read_settings(&s);
    EXPECT_STREQ(s.DefaultKeyDev, "TM:COM2");
}

TEST_F(SettingsTest, SaveWritesTheSelectionAndTheAutoRngDevice) {
    user_key(settings_key);
    LoaderSettings s = {"A:\\", "something"};
    save_settings(&s, "TM:COM1", 8);
    EXPECT_EQ(string_value(user_key(settings_key), "DefaultKeyDev"), text("TM:COM1"));
    EXPECT_EQ(string_value(user_key(settings_key), "RNGAutoDev"), text("TM:A4.P"));
    EXPECT_FALSE(user_key_exists(devices_key));

    user_key(devices_key);
    save_settings(&s, nullptr, 0);
    EXPECT_STREQ(s.DefaultKeyDev, "TM:COM1"); // no selection: unchanged
    EXPECT_EQ(string_value(user_key(settings_key), "RNGAutoDev"), text(""));
    EXPECT_EQ(string_value(user_key(devices_key), "default"), text("TM:COM1"));
}

TEST_F(SettingsTest, SaveWithoutTheSettingsKeyWritesNothingAtAll) {
    user_key(devices_key);
    LoaderSettings s = {"A:\\", ""};
    save_settings(&s, "E:", 0);
    EXPECT_EQ(fake().registry_writes, 0);
}

// Every 4-byte value is read whole, whatever its type; the toggle keeps bits 1 to 31 and
// stores a REG_DWORD. Values of another size leave the mode as it was.
TEST_F(SettingsTest, CompressModeKeepsTheOtherBitsOfAnyFourByteValue) {
    struct {
        uint32_t type;
        std::vector<uint8_t> bytes;
        uint32_t read, toggled; // toggled 0: the stored value is left alone
    } cases[] = {
        {4, {6, 0, 0, 0}, 6, 7},
        {3, {6, 0, 1, 0x80}, 0x80010006u, 0x80010007u},
        {1, {'1', '2', '3', 0}, 0x00333231u, 0x00333230u},
        {5, {0, 0, 0, 1}, 0x01000000u, 0x01000001u},
        {0, {0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFFu, 0xFFFFFFFEu},
        {3, {7, 0, 0}, 0x55u, 0},
        {4, {7, 0, 0, 0, 0}, 0x55u, 0},
    };
    for (auto& c : cases) {
        SetUp();
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.bytes.size() << " " << c.read);
        user_key(compress_key).values["CompressFilesMode"] = {c.type, c.bytes};
        uint32_t mode = 0x55;
        read_compress_mode(&mode);
        EXPECT_EQ(mode, c.read);
        if (!c.toggled)
            continue;
        EXPECT_EQ(toggle_compress_mode(&mode), 1);
        EXPECT_EQ(mode, c.toggled);
        const FakeValue& stored = user_key(compress_key).values["CompressFilesMode"];
        EXPECT_EQ(stored.type, 4u);
        uint32_t word = 0;
        ASSERT_EQ(stored.bytes.size(), 4u);
        std::memcpy(&word, stored.bytes.data(), 4);
        EXPECT_EQ(word, c.toggled);
    }
}

TEST_F(SettingsTest, CompressModeUndoesAFailedStore) {
    user_key(compress_key).values["CompressFilesMode"] = {4, {6, 0, 0, 0}};
    user_key(compress_key).read_only = true;
    uint32_t mode = 0;
    read_compress_mode(&mode);
    EXPECT_EQ(mode, 6u);
    EXPECT_EQ(toggle_compress_mode(&mode), 0);
    EXPECT_EQ(mode, 6u);
    EXPECT_EQ(user_key(compress_key).values["CompressFilesMode"].bytes[0], 6);

    SetUp(); // no key at all: the mode keeps what it held
    mode = 0;
    read_compress_mode(&mode);
    EXPECT_EQ(toggle_compress_mode(&mode), 0);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(fake().open_keys, 0);
}
