// The stand-in crypto library (wbotho.dll, with rdr.dll) as the loader binds it: loaded by full
// path from the system directory, entry points by name. What the loader journeys leave out: the
// free slots around keys already there, a medium loaded twice, the other kinds of media, the
// items each key stores, and every way ResetKeyEx ends. Needs the emulated driver running and
// testbed/wine/standins.sh install run in the prefix.
#include "wine_harness.h"
#include "outside_api.h"

#include <tuple>

namespace {

// The calls in order: InitKey (I), GetDrvInfo (G: the keys it lists, as "slot:sign/crypt "),
// ResetKeyEx (R; L refused by the library through RefuseResetSlots, D by the driver); the status
// each answers and the driver's loaded slots after it. Slots 0 and 2 are taken before A:\, and
// A: (the same medium again) stops at its first key; a key is reset by its sign or crypt key
// identifier.
const char* const kListed =
    "0:999900000011/9999000000 1:111122222233/1111222222 2:999900000012/9999000001 "
    "3:/2222333333 4:333344444455/3333444444 5:555566666677/5555666666 6:444455555566/ ";
const std::tuple<char, const char*, int, uint32_t> kCalls[] = {
    {'I', "A:\\", 0, 0xF},          {'I', "A:", 37, 0xF},          {'I', "E:\\", 0, 0x1F},
    {'I', "Keyreg1", 0, 0x3F},      {'I', "TM:COM1", 0, 0x7F},     {'G', kListed, 0, 0x7F},
    {'R', "111122222233", 0, 0x7D}, {'R', "2222333333", 0, 0x75},  {'R', "2222333333", 6, 0x75},
    {'R', "xxxxssssssyy", 6, 0x75}, {'R', "33334444", 6, 0x75},    {'L', "3333444444", 40, 0x75},
    {'D', "3333444444", 40, 0x75},  {'R', "333344444455", 0, 0x65}};

template <typename Fn> Fn entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

TEST_F(LoaderTest, CryptoLibraryLoadsListsAndResetsKeys) {
    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_SET_WORD, {2, 1}})); // seed accepted
    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_LOAD_KEY, {0}}, "9999000000999900000011"));
    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_LOAD_KEY, {2}}, "9999000001999900000012"));
    HMODULE module = LoadLibraryA("C:\\windows\\system32\\wbotho.dll");
    ASSERT_NE(module, nullptr) << "run testbed/wine/standins.sh install first";
    for (auto [kind, argument, status, slots] : kCalls) {
        set_user_value(crypto_key, "RefuseResetSlots", DWORD(kind == 'L' ? 1u << 4 : 0));
        ASSERT_TRUE(kind != 'D' || testctl({ORVEXA_TESTCTL_ARM_FAULT,
                                            {0x9C402414u, ORVEXA_TESTCTL_FAULT_FAIL, 0, 0, 1}}));
        DrvKeyInfo keys[ORX_DRV_KEY_INFO_MAX] = {};
        uint32_t count = 0;
        std::string listed;
        int answer = kind == 'I'   ? entry<InitKey_fn>(module, "InitKey")(argument, "")
                     : kind == 'G' ? entry<GetDrvInfo_fn>(module, "GetDrvInfo")(keys, &count)
                                   : entry<ResetKeyEx_fn>(module, "ResetKeyEx")(argument, 1);
        for (uint32_t i = 0; i < count && i < ORX_DRV_KEY_INFO_MAX; ++i)
            listed +=
                std::to_string(keys[i].slot) + ":" + keys[i].sign_id + "/" + keys[i].crypt_id + " ";
        EXPECT_EQ(answer, status) << kind << argument;
        orvexa_testctl_state state = driver_state();
        EXPECT_EQ(state.loaded_slots, slots) << kind << argument;
        if (kind == 'G') { // items key-set 3 (GKEY), 4 (NUM), 5 (NUMP): a whole key, a crypt key
            EXPECT_EQ(listed, argument);
            EXPECT_EQ(state.item_mask[1], 1u << 3 | 1u << 4 | 1u << 5);
            EXPECT_EQ(state.item_mask[3], 1u << 3 | 1u << 4);
        }
    }
}
