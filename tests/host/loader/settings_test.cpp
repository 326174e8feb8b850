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

TEST_F(SettingsTest, CompressModeTogglesBitZeroAndUndoesAFailedStore) {
    user_key(compress_key).values["CompressFilesMode"] = {4, {6, 0, 0, 0}};
    uint32_t mode = 0;
    read_compress_mode(&mode);
    EXPECT_EQ(mode, 6u);
    EXPECT_EQ(toggle_compress_mode(&mode), 1);
    EXPECT_EQ(mode, 7u);
    EXPECT_EQ(user_key(compress_key).values["CompressFilesMode"].bytes,
              (std::vector<uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(toggle_compress_mode(&mode), 1);
    EXPECT_EQ(mode, 6u);

    user_key(compress_key).read_only = true;
    read_compress_mode(&mode);
    EXPECT_EQ(mode, 6u);
    EXPECT_EQ(toggle_compress_mode(&mode), 0);
    EXPECT_EQ(mode, 6u);

    SetUp(); // no key at all: the mode keeps what it held
    mode = 0;
    read_compress_mode(&mode);
    EXPECT_EQ(toggle_compress_mode(&mode), 0);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(fake().open_keys, 0);
}
