// The stand-ins of the outside libraries (wbotho.dll, rdr.dll), loaded as the loader loads
// them: the crypto library by full path from the system directory, entry points by name.
// Needs the emulated driver running and testbed/wine/standins.sh install run in the prefix
// (sample media on A: and E:, defaults under HKCU\Software\ORX\Testbed).
#include "loader_harness.h"
#include "outside_api.h"

namespace {

// An entry point by name, as the binding's function type.
template <typename Fn> Fn entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// wbotho.dll loaded for the test from the (32-bit) system folder (with rdr.dll and orxlink.dll)
// into a fresh, seeded driver.
class CryptoLibrary : public LoaderTest {
  protected:
    HMODULE module = nullptr;
    void SetUp() override {
        LoaderTest::SetUp();
        ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 2, 1)); // seed accepted
        ASSERT_EQ(GetModuleHandleA("rdr.dll"), nullptr);
        module = LoadLibraryA("C:\\windows\\system32\\wbotho.dll");
        ASSERT_NE(module, nullptr) << "run testbed/wine/standins.sh install first";
    }
    // InitKey's status, and the driver's loaded slots after it.
    void expect_init(const char* device, int status, uint32_t slots) {
        EXPECT_EQ(entry<InitKey_fn>(module, "InitKey")(device, ""), status) << device;
        EXPECT_EQ(driver_state().loaded_slots, slots) << device;
    }
    // The keys GetDrvInfo lists, as "slot:sign/crypt ".
    std::string listed() {
        DrvKeyInfo entries[ORX_DRV_KEY_INFO_MAX] = {};
        uint32_t count = 0;
        EXPECT_EQ(entry<GetDrvInfo_fn>(module, "GetDrvInfo")(entries, &count), 0);
        std::string keys;
        for (uint32_t i = 0; i < count && i < ORX_DRV_KEY_INFO_MAX; ++i)
            keys += std::to_string(entries[i].slot) + ":" + entries[i].sign_id + "/" +
                    entries[i].crypt_id + " ";
        return keys;
    }
};

} // namespace

TEST_F(CryptoLibrary, BringsRdrInAsItsDependencyAndReleasesIt) {
    for (const char* name : {"InitKey", "GetDrvInfo", "ResetKeyEx", "lokey_get", "lokey_free"})
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    EXPECT_NE(GetProcAddress(GetModuleHandleA("rdr.dll"), "rdr_error_a"), nullptr);
    FreeLibrary(module);
    EXPECT_EQ(GetModuleHandleA("rdr.dll"), nullptr);
}

// Keys go into free slots in medium order, listed by slot; the same medium again stops at
// its first key.
TEST_F(CryptoLibrary, FloppyKeysGoIntoFreeSlotsAndAreListed) {
    EXPECT_EQ(GetDriveTypeA("A:\\"), UINT(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("E:\\"), UINT(DRIVE_REMOVABLE));
    ASSERT_TRUE(testctl_load_key(0, "9999000000", "999900000011"));
    ASSERT_TRUE(testctl_load_key(2, "9999000001", "999900000012"));
    expect_init("A:\\", 0, 0xF);
    EXPECT_EQ(listed(), "0:999900000011/9999000000 1:111122222233/1111222222 "
                        "2:999900000012/9999000001 3:/2222333333 ");
    orvexa_testctl_state state = driver_state(); // items key-set 3 (GKEY), 4 (NUM), 5 (NUMP)
    EXPECT_EQ(state.item_mask[1], 1u << 3 | 1u << 4 | 1u << 5);
    EXPECT_EQ(state.item_mask[3], 1u << 3 | 1u << 4);
    expect_init("A:", 37, 0xF);
}

// The other kinds of media the loader offers: a removable disk, the user's registry, a
// TouchMemory reader.
TEST_F(CryptoLibrary, OtherMediaLoadTheirKeys) {
    expect_init("E:\\", 0, 0x1);
    expect_init("Keyreg1", 0, 0x3);
    expect_init("TM:COM1", 0, 0x7);
    EXPECT_EQ(listed(), "0:333344444455/3333444444 1:555566666677/5555666666 2:444455555566/ ");
}

// ResetKeyEx empties the slot whose sign or crypt key identifier it names, unless the
// library (RefuseResetSlots) or the driver refuses.
TEST_F(CryptoLibrary, ResetKeyExEmptiesTheSlotOfTheNamedKey) {
    expect_init("A:\\", 0, 0x3);
    expect_init("E:\\", 0, 0x7);
    const char* const ids[] = {"111122222233", "2222333333", "2222333333", "xxxxssssssyy",
                               "33334444",     "3333444444", "3333444444", "333344444455"};
    const int statuses[] = {0, 0, 6, 6, 6, 40, 40, 0};
    const uint32_t slots[] = {0x6, 0x4, 0x4, 0x4, 0x4, 0x4, 0x4, 0};
    // The sixth reset is refused by the library (RefuseResetSlots: slot 2), the seventh by the
    // driver (a failing key reset).
    for (int i = 0; i < 8; ++i) {
        set_user_value(crypto_key, "RefuseResetSlots", DWORD(i == 5 ? 1u << 2 : 0));
        ASSERT_TRUE(i != 6 || testctl(ORVEXA_TESTCTL_ARM_FAULT, 0x9C402414u,
                                      ORVEXA_TESTCTL_FAULT_FAIL, 0, 0, 1));
        EXPECT_EQ(entry<ResetKeyEx_fn>(module, "ResetKeyEx")(ids[i], 1), statuses[i]) << i;
        EXPECT_EQ(driver_state().loaded_slots, slots[i]) << i;
    }
}
