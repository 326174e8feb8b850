// The stand-ins of the outside libraries (wbotho.dll, rdr.dll, tmdrv32.dll), loaded as the
// loader loads them: the crypto library by full path from the system directory, entry
// points by name. Needs the emulated driver running and testbed/wine/standins.sh install
// run in the prefix (sample media on A: and E:, defaults under HKCU\Software\ORX\Testbed).
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "driver_control.h"
#include "loader_harness.h"
#include "outside_api.h"

namespace {

const char kCrypto[] = "Software\\ORX\\Testbed\\Crypto";
const char kDevices[] = "Software\\ORX\\Testbed\\Crypto\\Devices";
const char kAkkord[] = "Software\\ORX\\Testbed\\Akkord";
const char kScratchMedium[] = "Software\\ORX\\Testbed\\ScratchMedium";

// Items key-set 3 (GKEY), 4 (NUM) and 5 (NUMP), as the driver's state reports them.
const uint32_t kGkeyNumNump = 1u << 3 | 1u << 4 | 1u << 5;
const uint32_t kGkeyNum = 1u << 3 | 1u << 4;

// Control codes of the driver requests a fault is armed for.
const uint32_t kKeySet = 0x9C402408u;
const uint32_t kKeyGet = 0x9C402410u;
const uint32_t kKeyReset = 0x9C402414u;

void clear_crypto_switches() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kCrypto, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (const char* name : {"Log", "DrvInfoStatus", "DrvInfoCount", "DrvInfoUnterminated",
                             "RefuseResetSlots", "LokeyGetRequest", "LokeyFreeRequest"})
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// An entry point by name, as the binding's function type.
template <typename Fn> Fn entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string system_path(const char* name) {
    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir, n) + "\\" + name;
}

struct Listed {
    std::string crypt, sign;
    uint32_t slot;
    bool operator==(const Listed& o) const {
        return crypt == o.crypt && sign == o.sign && slot == o.slot;
    }
};

std::ostream& operator<<(std::ostream& out, const Listed& l) {
    return out << l.slot << ":" << l.sign << "/" << l.crypt;
}

// wbotho.dll loaded for one test and released after it, with rdr.dll and orxlink.dll.
class CryptoLibrary : public ::testing::Test {
  protected:
    HMODULE module = nullptr;
    InitKey_fn init_key = nullptr;
    GetDrvInfo_fn get_drv_info = nullptr;
    ResetKeyEx_fn reset_key = nullptr;
    lokey_get_fn lokey_get = nullptr;
    lokey_free_fn lokey_free = nullptr;

    void SetUp() override {
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "emulated driver not running";
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1)); // seed accepted
        clear_crypto_switches();
        delete_user_tree(kScratchMedium);
        ASSERT_EQ(GetModuleHandleA("rdr.dll"), nullptr);
        module = LoadLibraryA(system_path("wbotho.dll").c_str());
        ASSERT_NE(module, nullptr) << "run testbed/wine/standins.sh install first";
        init_key = entry<InitKey_fn>(module, "InitKey");
        get_drv_info = entry<GetDrvInfo_fn>(module, "GetDrvInfo");
        reset_key = entry<ResetKeyEx_fn>(module, "ResetKeyEx");
        lokey_get = entry<lokey_get_fn>(module, "lokey_get");
        lokey_free = entry<lokey_free_fn>(module, "lokey_free");
        ASSERT_TRUE(init_key && get_drv_info && reset_key && lokey_get && lokey_free);
    }

    void TearDown() override {
        if (module)
            FreeLibrary(module);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDevices, "SC:GSR4");
        delete_user_tree(kScratchMedium);
        clear_crypto_switches();
    }

    // Maps the device "SC:GSR4" to a medium (a folder of the sample media, or "HKCU\...").
    int16_t init_from(const char* medium) {
        set_user_string(kDevices, "SC:GSR4", medium);
        return init_key("SC:GSR4", "");
    }

    std::vector<Listed> listed() {
        DrvKeyInfo entries[ORX_DRV_KEY_INFO_MAX] = {};
        uint32_t count = 0;
        EXPECT_EQ(get_drv_info(entries, &count), 0);
        std::vector<Listed> result;
        for (uint32_t i = 0; i < count && i < ORX_DRV_KEY_INFO_MAX; ++i)
            result.push_back({entries[i].crypt_id, entries[i].sign_id, entries[i].slot});
        return result;
    }
};

TEST_F(CryptoLibrary, BringsRdrInAsItsDependencyAndTheVariantLacksOnlyResetKeyEx) {
    HMODULE rdr = GetModuleHandleA("rdr.dll");
    ASSERT_NE(rdr, nullptr);
    EXPECT_NE(GetProcAddress(rdr, "rdr_error_a"), nullptr);

    HMODULE variant = LoadLibraryA(system_path("wbotho_noreset.dll").c_str());
    ASSERT_NE(variant, nullptr);
    EXPECT_EQ(GetProcAddress(variant, "ResetKeyEx"), nullptr);
    for (const char* name : {"InitKey", "GetDrvInfo", "lokey_get", "lokey_free"})
        EXPECT_NE(GetProcAddress(variant, name), nullptr) << name;
    FreeLibrary(variant);

    FreeLibrary(module);
    module = nullptr;
    EXPECT_EQ(GetModuleHandleA("rdr.dll"), nullptr);
}

TEST_F(CryptoLibrary, FloppyKeysGoIntoFreeSlotsAndAreListed) {
    EXPECT_EQ(GetDriveTypeA("A:\\"), UINT(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("E:\\"), UINT(DRIVE_REMOVABLE));
    ASSERT_TRUE(testctl_load_key(0, "9999000000", "999900000011"));
    ASSERT_TRUE(testctl_load_key(2, "9999000001", "999900000012"));

    ASSERT_EQ(init_key("A:\\", ""), 0);
    std::vector<Listed> expected = {{"9999000000", "999900000011", 0},
                                    {"1111222222", "111122222233", 1},
                                    {"9999000001", "999900000012", 2},
                                    {"2222333333", "", 3}};
    EXPECT_EQ(listed(), expected);
    orvexa_testctl_state state = driver_state();
    EXPECT_EQ(state.loaded_slots, 0xFu);
    EXPECT_EQ(state.item_mask[1], kGkeyNumNump);
    EXPECT_EQ(state.item_mask[3], kGkeyNum);

    // the same medium again: its first key is there already, nothing more is loaded
    EXPECT_EQ(init_key("A:", ""), 37);
    EXPECT_EQ(driver_state().loaded_slots, 0xFu);
}

TEST_F(CryptoLibrary, KeyIdentifierChoosesOneKeyOfTheMedium) {
    ASSERT_EQ(init_key("A:\\", "2222333333"), 0);
    EXPECT_EQ(listed(), (std::vector<Listed>{{"2222333333", "", 0}}));
    EXPECT_EQ(init_key("A:\\", "111122222233"), 0);
    EXPECT_EQ(init_key("A:\\", "5555666666"), 6);
    EXPECT_EQ(driver_state().loaded_slots, 0x3u);
}

TEST_F(CryptoLibrary, OtherMediaAndTheirStatuses) {
    EXPECT_EQ(init_key("E:\\", ""), 0);
    EXPECT_EQ(init_key("Keyreg1", ""), 0);
    EXPECT_EQ(init_key("TM:COM1", ""), 0);
    std::vector<Listed> expected = {{"3333444444", "333344444455", 0},
                                    {"5555666666", "555566666677", 1},
                                    {"", "444455555566", 2}};
    EXPECT_EQ(listed(), expected);

    struct Case {
        const char* medium;
        int16_t status;
    };
    const Case cases[] = {{"empty", 6},          {"badnum", 101},      {"badgkey", 34},
                          {"status39", 39},      {"status127", 127},   {"status504", 504},
                          {"status4017", 4017},  {"status4101", 4101}, {"status_minus2", -2},
                          {"no-such-folder", 36}};
    for (const Case& c : cases)
        EXPECT_EQ(init_from(c.medium), c.status) << c.medium;
    EXPECT_EQ(init_key("eToken", ""), 36); // not configured
    EXPECT_EQ(init_key("Q:\\", ""), 36);   // no such drive
    EXPECT_EQ(init_key("", ""), 36);
    EXPECT_EQ(driver_state().loaded_slots, 0x7u) << "a failing medium loaded something";

    // a registry medium: one subkey per key, a "Status" value overrides the keys
    EXPECT_EQ(init_from("HKCU\\Software\\ORX\\Testbed\\ScratchMedium"), 36); // no such key
    set_user_string("Software\\ORX\\Testbed\\ScratchMedium\\k", "num", "7777888888");
    EXPECT_EQ(init_from("HKCU\\Software\\ORX\\Testbed\\ScratchMedium"), 0);
    set_user_dword(kScratchMedium, "Status", 4017);
    EXPECT_EQ(init_from("HKCU\\Software\\ORX\\Testbed\\ScratchMedium"), 4017);
    EXPECT_EQ(driver_state().loaded_slots, 0xFu);
}

TEST_F(CryptoLibrary, LoadingNeedsASeededGeneratorAndAFreeSlot) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET));
    EXPECT_EQ(init_key("A:\\", ""), 504);
    EXPECT_EQ(driver_state().loaded_slots, 0u);

    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    for (uint32_t slot = 1; slot < 16; ++slot) {
        char num[11], nump[13];
        snprintf(num, sizeof num, "80000000%02u", slot);
        snprintf(nump, sizeof nump, "8000000000%02u", slot);
        ASSERT_TRUE(testctl_load_key(slot, num, nump));
    }
    EXPECT_EQ(init_key("A:\\", ""), 38); // key1 takes slot 0, key2 finds none
    EXPECT_EQ(driver_state().loaded_slots, 0xFFFFu);
    EXPECT_EQ(listed().size(), 16u);
}

TEST_F(CryptoLibrary, RefusedItemLeavesNoHalfLoadedKey) {
    // key-set 4 passes, key-set 5 (the second key-set request) is refused
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_ARM_FAULT, kKeySet, ORVEXA_TESTCTL_FAULT_STATUS, 32, 1, 1));
    EXPECT_EQ(init_key("A:\\", ""), 39);
    EXPECT_EQ(driver_state().loaded_slots, 0u);
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_ARM_FAULT, kKeyGet, ORVEXA_TESTCTL_FAULT_FAIL, 0, 3, 1));
    EXPECT_EQ(init_key("A:\\", ""), 3); // the driver fails while the slots are read
    EXPECT_EQ(driver_state().loaded_slots, 0u);
}

TEST_F(CryptoLibrary, ResetKeyExEmptiesTheSlotOfTheNamedKey) {
    ASSERT_EQ(init_key("A:\\", ""), 0);
    ASSERT_EQ(init_key("E:\\", ""), 0);
    EXPECT_EQ(reset_key("111122222233", 1), 0); // sign key identifier
    EXPECT_EQ(driver_state().loaded_slots, 0x6u);
    EXPECT_EQ(reset_key("2222333333", 1), 0); // crypt key identifier
    EXPECT_EQ(driver_state().loaded_slots, 0x4u);
    EXPECT_EQ(reset_key("2222333333", 1), 6);
    EXPECT_EQ(reset_key("xxxxssssssyy", 1), 6);
    EXPECT_EQ(reset_key("33334444", 1), 6);

    set_user_dword(kCrypto, "RefuseResetSlots", 1u << 2);
    EXPECT_EQ(reset_key("3333444444", 1), 40);
    set_user_dword(kCrypto, "RefuseResetSlots", 0);
    ASSERT_TRUE(arm_fault(kKeyReset, ORVEXA_TESTCTL_FAULT_FAIL));
    EXPECT_EQ(reset_key("3333444444", 1), 40);
    EXPECT_EQ(driver_state().loaded_slots, 0x4u);
    EXPECT_EQ(reset_key("333344444455", 1), 0);
    EXPECT_EQ(driver_state().loaded_slots, 0u);
}

TEST_F(CryptoLibrary, GetDrvInfoMisbehavesOnlyWhenAsked) {
    ASSERT_EQ(init_key("A:\\", ""), 0);
    struct Room {
        DrvKeyInfo entries[ORX_DRV_KEY_INFO_MAX];
        uint8_t guard[32];
    } room;
    memset(&room, 0xA5, sizeof room);
    uint32_t count = 0;
    set_user_dword(kCrypto, "DrvInfoCount", 17);
    ASSERT_EQ(get_drv_info(room.entries, &count), 0);
    EXPECT_EQ(count, 17u);
    EXPECT_EQ(room.guard[0], 0xA5);
    EXPECT_EQ(room.entries[2].slot, 0xA5A5A5A5u) << "only the loaded slots are filled";

    set_user_dword(kCrypto, "DrvInfoCount", 2);
    set_user_dword(kCrypto, "DrvInfoUnterminated", 1);
    ASSERT_EQ(get_drv_info(room.entries, &count), 0);
    EXPECT_EQ(std::string(room.entries[0].crypt_id, 11), "1111222222#");
    EXPECT_EQ(std::string(room.entries[0].sign_id, 17), "111122222233#####");
    EXPECT_EQ(std::string(room.entries[1].sign_id, 17), std::string(17, '\0'));

    set_user_dword(kCrypto, "DrvInfoStatus", 3);
    count = 0;
    EXPECT_EQ(get_drv_info(room.entries, &count), 3);
    EXPECT_EQ(count, 0u);
    set_user_dword(kCrypto, "DrvInfoStatus", 0);
    ASSERT_TRUE(arm_fault(kKeyGet, ORVEXA_TESTCTL_FAULT_FAIL));
    EXPECT_EQ(get_drv_info(room.entries, &count), 3);
}

TEST_F(CryptoLibrary, ReaderTextsStayInsideTheirBuffer) {
    auto rdr_error_a = entry<rdr_error_a_fn>(GetModuleHandleA("rdr.dll"), "rdr_error_a");
    ASSERT_NE(rdr_error_a, nullptr);
    char text[300];
    auto ask = [&](int32_t code, uint32_t capacity, uint32_t* length) {
        memset(text, 0x5A, sizeof text);
        *length = capacity;
        return rdr_error_a(0, code, length, text);
    };
    uint32_t length = 0;
    const struct {
        int32_t code;
        uint32_t capacity;
        const char* text;
    } known[] = {{4017, 260, "Reader error 4017: card not present"},
                 {4100, 260, "Reader error 4100: medium type not supported"},
                 {4055, 260, "Reader error 4055: reader failure"},
                 {4017, 12, "Reader erro"}};
    for (const auto& k : known) {
        ASSERT_EQ(ask(k.code, k.capacity, &length), 0) << k.code;
        EXPECT_STREQ(text, k.text);
        EXPECT_EQ(length, strlen(text));
        EXPECT_EQ(text[k.capacity], 0x5A);
    }
    for (int32_t code : {3999, 4090, 4097, 4101, 5000, -2}) {
        EXPECT_NE(ask(code, 260, &length), 0) << code;
        EXPECT_EQ(length, 260u) << code;
        EXPECT_EQ(text[0], 0x5A) << code;
    }
    EXPECT_NE(ask(4017, 0, &length), 0);
    EXPECT_EQ(text[0], 0x5A);
    length = 260;
    EXPECT_NE(rdr_error_a(1, 4017, &length, text), 0); // only language 0 has texts

    ASSERT_EQ(ask(4098, 260, &length), 0);
    EXPECT_EQ(strlen(text), 259u);
    EXPECT_EQ(text[260], 0x5A);
    ASSERT_EQ(ask(4099, 260, &length), 0);
    EXPECT_EQ(memchr(text, 0, 260), nullptr);
    EXPECT_EQ(text[260], 0x5A);
}

} // namespace
