// The stand-ins of the outside libraries (wbotho.dll, rdr.dll), loaded as the loader loads
// them: the crypto library by full path from the system directory, entry points by name.
// Needs the emulated driver running and testbed/wine/standins.sh install run in the prefix
// (sample media on A: and E:, defaults under HKCU\Software\ORX\Testbed).
#include "loader_harness.h"
#include "outside_api.h"

namespace {

const char kScratch[] = "Software\\ORX\\Testbed\\ScratchMedium";

// An entry point by name, as the binding's function type.
template <typename Fn> Fn entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string system_path(const char* name) {
    char dir[MAX_PATH] = "";
    GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

// wbotho.dll loaded for one test and released after it, with rdr.dll and orxlink.dll.
class CryptoLibrary : public ::testing::Test {
  protected:
    HMODULE module = nullptr;
    InitKey_fn init_key = nullptr;
    GetDrvInfo_fn get_drv_info = nullptr;
    ResetKeyEx_fn reset_key = nullptr;

    void SetUp() override {
        TearDown();
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "emulated driver not running";
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1)); // seed accepted
        ASSERT_EQ(GetModuleHandleA("rdr.dll"), nullptr);
        module = LoadLibraryA(system_path("wbotho.dll").c_str());
        ASSERT_NE(module, nullptr) << "run testbed/wine/standins.sh install first";
        init_key = entry<InitKey_fn>(module, "InitKey");
        get_drv_info = entry<GetDrvInfo_fn>(module, "GetDrvInfo");
        reset_key = entry<ResetKeyEx_fn>(module, "ResetKeyEx");
    }
    void TearDown() override {
        if (module)
            FreeLibrary(module);
        module = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\ORX\\Testbed\\Crypto\\Devices", "SC:GSR4");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, crypto_key, "RefuseResetSlots");
    }
    // InitKey's status, and the driver's loaded slots after it, for a device or a medium
    // ("=folder" or "=HKCU\\key", offered as the device "SC:GSR4").
    void expect_init(const char* device, const char* id, int status, uint32_t slots) {
        if (device[0] == '=')
            set_user_value("Software\\ORX\\Testbed\\Crypto\\Devices", "SC:GSR4", device + 1);
        EXPECT_EQ(init_key(device[0] == '=' ? "SC:GSR4" : device, id), status) << device << id;
        EXPECT_EQ(driver_state().loaded_slots, slots) << device << id;
    }
    // The keys GetDrvInfo lists, as "slot:sign/crypt".
    std::vector<std::string> listed() {
        DrvKeyInfo entries[ORX_DRV_KEY_INFO_MAX] = {};
        uint32_t count = 0;
        EXPECT_EQ(get_drv_info(entries, &count), 0);
        std::vector<std::string> keys;
        for (uint32_t i = 0; i < count && i < ORX_DRV_KEY_INFO_MAX; ++i)
            keys.push_back(std::to_string(entries[i].slot) + ":" + entries[i].sign_id + "/" +
                           entries[i].crypt_id);
        return keys;
    }
};

using Keys = std::vector<std::string>;

} // namespace

TEST_F(CryptoLibrary, BringsRdrInAsItsDependencyAndTheVariantLacksOnlyResetKeyEx) {
    EXPECT_NE(GetProcAddress(GetModuleHandleA("rdr.dll"), "rdr_error_a"), nullptr);
    HMODULE variant = LoadLibraryA(system_path("wbotho_noreset.dll").c_str());
    ASSERT_NE(variant, nullptr);
    EXPECT_EQ(GetProcAddress(variant, "ResetKeyEx"), nullptr);
    for (const char* name : {"InitKey", "GetDrvInfo", "lokey_get", "lokey_free"}) {
        EXPECT_NE(GetProcAddress(variant, name), nullptr) << name;
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    FreeLibrary(variant);
    TearDown();
    EXPECT_EQ(GetModuleHandleA("rdr.dll"), nullptr);
}

// Keys go into free slots in medium order; the same medium again stops at its first key.
TEST_F(CryptoLibrary, FloppyKeysGoIntoFreeSlotsAndAreListed) {
    EXPECT_EQ(GetDriveTypeA("A:\\"), UINT(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("E:\\"), UINT(DRIVE_REMOVABLE));
    ASSERT_TRUE(testctl_load_key(0, "9999000000", "999900000011"));
    ASSERT_TRUE(testctl_load_key(2, "9999000001", "999900000012"));
    expect_init("A:\\", "", 0, 0xF);
    EXPECT_EQ(listed(), (Keys{"0:999900000011/9999000000", "1:111122222233/1111222222",
                              "2:999900000012/9999000001", "3:/2222333333"}));
    orvexa_testctl_state state = driver_state(); // items key-set 3 (GKEY), 4 (NUM), 5 (NUMP)
    EXPECT_EQ(state.item_mask[1], 1u << 3 | 1u << 4 | 1u << 5);
    EXPECT_EQ(state.item_mask[3], 1u << 3 | 1u << 4);
    expect_init("A:", "", 37, 0xF);
}

// A key identifier (NUM or NUMP) chooses one key of the medium.
TEST_F(CryptoLibrary, KeyIdentifierChoosesOneKeyOfTheMedium) {
    expect_init("A:\\", "2222333333", 0, 0x1);
    expect_init("A:\\", "111122222233", 0, 0x3);
    expect_init("A:\\", "5555666666", 6, 0x3);
    EXPECT_EQ(listed(), (Keys{"0:/2222333333", "1:111122222233/1111222222"}));
}

// Other kinds of media, and the statuses of media that fail: they load nothing.
TEST_F(CryptoLibrary, OtherMediaAndTheirStatuses) {
    expect_init("E:\\", "", 0, 0x1);
    expect_init("Keyreg1", "", 0, 0x3);
    expect_init("TM:COM1", "", 0, 0x7);
    EXPECT_EQ(listed(),
              (Keys{"0:333344444455/3333444444", "1:555566666677/5555666666", "2:444455555566/"}));
    const std::pair<const char*, int> failing[] = {
        {"=empty", 6},
        {"=badnum", 101},
        {"=badgkey", 34},
        {"=status39", 39},
        {"=status127", 127},
        {"=status504", 504},
        {"=status4017", 4017},
        {"=status4101", 4101},
        {"=status_minus2", -2},
        {"=no-such-folder", 36},
        {"eToken", 36},
        {"Q:\\", 36},
        {"", 36},
        {"=HKCU\\Software\\ORX\\Testbed\\ScratchMedium", 36}};
    for (const auto& f : failing)
        expect_init(f.first, "", f.second, 0x7);
    // a registry medium: one subkey per key, a "Status" value overrides the keys
    set_user_value("Software\\ORX\\Testbed\\ScratchMedium\\k", "num", "7777888888");
    expect_init("=HKCU\\Software\\ORX\\Testbed\\ScratchMedium", "", 0, 0xF);
    set_user_value(kScratch, "Status", DWORD(4017));
    expect_init("=HKCU\\Software\\ORX\\Testbed\\ScratchMedium", "", 4017, 0xF);
}

// Loading needs a seeded generator and a free slot; a refused item (the second key-set)
// or a failing slot read leave no half-loaded key.
TEST_F(CryptoLibrary, LoadingFailuresLeaveNoHalfLoadedKey) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 0));
    expect_init("A:\\", "", 504, 0);
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1));
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_ARM_FAULT, 0x9C402408u, ORVEXA_TESTCTL_FAULT_STATUS, 32, 1));
    expect_init("A:\\", "", 39, 0);
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_ARM_FAULT, 0x9C402410u, ORVEXA_TESTCTL_FAULT_FAIL, 0, 3));
    expect_init("A:\\", "", 3, 0);
    for (uint32_t slot = 1; slot < 16; ++slot) {
        std::string num = std::to_string(8000000000u + slot);
        ASSERT_TRUE(testctl_load_key(slot, num.c_str(), (num + "00").c_str()));
    }
    expect_init("A:\\", "", 38, 0xFFFF); // key1 takes slot 0, key2 finds none
    EXPECT_EQ(listed().size(), 16u);
}

// ResetKeyEx empties the slot whose sign or crypt key identifier it names.
TEST_F(CryptoLibrary, ResetKeyExEmptiesTheSlotOfTheNamedKey) {
    expect_init("A:\\", "", 0, 0x3);
    expect_init("E:\\", "", 0, 0x7);
    const struct {
        const char* id;
        int status;
        uint32_t slots;
        DWORD refused;  // RefuseResetSlots
        uint32_t fault; // a key reset that fails
    } resets[] = {{"111122222233", 0, 0x6, 0, 0},
                  {"2222333333", 0, 0x4, 0, 0},
                  {"2222333333", 6, 0x4, 0, 0},
                  {"xxxxssssssyy", 6, 0x4, 0, 0},
                  {"33334444", 6, 0x4, 0, 0},
                  {"3333444444", 40, 0x4, 1u << 2, 0},
                  {"3333444444", 40, 0x4, 0, 0x9C402414u},
                  {"333344444455", 0, 0, 0, 0}};
    for (const auto& r : resets) {
        set_user_value(crypto_key, "RefuseResetSlots", r.refused);
        ASSERT_TRUE(!r.fault || arm_fault(r.fault, ORVEXA_TESTCTL_FAULT_FAIL));
        EXPECT_EQ(reset_key(r.id, 1), r.status) << r.id;
        EXPECT_EQ(driver_state().loaded_slots, r.slots) << r.id;
    }
}

// rdr_error_a writes a known code's text within the given room and reports its length;
// unknown codes, language 1 and no room write nothing.
TEST_F(CryptoLibrary, ReaderTextsStayInsideTheirBuffer) {
    auto rdr_error_a = entry<rdr_error_a_fn>(GetModuleHandleA("rdr.dll"), "rdr_error_a");
    const struct {
        int32_t language, code;
        uint32_t room;
        const char* text; // null: refused, nothing written
    } cases[] = {{0, 4017, 260, "Reader error 4017: card not present"},
                 {0, 4100, 260, "Reader error 4100: medium type not supported"},
                 {0, 4055, 260, "Reader error 4055: reader failure"},
                 {0, 4017, 12, "Reader erro"},
                 {0, 4098, 260, nullptr}, // 259 characters
                 {0, 4099, 260, nullptr}, // 260 characters, unterminated
                 {0, 3999, 260, nullptr},
                 {0, 4090, 260, nullptr},
                 {0, 4097, 260, nullptr},
                 {0, 4101, 260, nullptr},
                 {0, 5000, 260, nullptr},
                 {0, -2, 260, nullptr},
                 {0, 4017, 0, nullptr},
                 {1, 4017, 260, nullptr}};
    for (const auto& c : cases) {
        char text[300];
        memset(text, 0x5A, sizeof text);
        uint32_t length = c.room;
        int32_t result = rdr_error_a(c.language, c.code, &length, text);
        SCOPED_TRACE(c.code);
        EXPECT_EQ(text[c.room], 0x5A);
        if (c.code == 4098 || c.code == 4099) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(std::string(text, 260).find('\0'), c.code == 4098 ? 259 : std::string::npos);
        } else if (c.text) {
            EXPECT_EQ(result, 0);
            EXPECT_STREQ(text, c.text);
            EXPECT_EQ(length, strlen(c.text));
        } else {
            EXPECT_NE(result, 0);
            EXPECT_EQ(length, c.room);
            EXPECT_EQ(text[0], 0x5A);
        }
    }
}
