#include <cstring>

#include "binding.h"
#include "loader_fixture.h"

using BindingTest = LoaderTest;

// wboth.dll lacks ResetKeyEx, wbotho.dll InitKey: loaded, freed, passed over.
TEST_F(BindingTest, CandidatesInOrderAndOnlyACompleteOneBinds) {
    for (bool last_complete : {true, false}) {
        SetUp();
        world().modules.erase(system_path("scrypt.dll"));
        world().modules[system_path("wboth.dll")] = {"InitKey", "GetDrvInfo", "lokey_get"};
        world().modules[system_path("wbotho.dll")] = {"GetDrvInfo", "ResetKeyEx"};
        if (last_complete)
            world().modules[system_path("wsigno.dll")] = {"InitKey", "GetDrvInfo", "ResetKeyEx"};
        EXPECT_EQ(bind_crypto_library(), last_complete ? 1 : 0);
        std::string expected;
        for (std::string n : {"scrypt", "wboth", "wbotho", "wcrypt", "wcrypto", "wsign", "wsigno"})
            expected += "load C:\\sys\\" + n + ".dll|" +
                        (n == "wboth" || n == "wbotho" ? "free C:\\sys\\" + n + ".dll|" : "");
        EXPECT_EQ(log_text() + "|", expected);
        EXPECT_EQ(loader.crypto.module != nullptr, last_complete);
        EXPECT_EQ(loader.crypto.lokey_get, nullptr); // optional entries stay null
    }
    for (size_t length : {0, 259, 260}) { // the directory's room is 260 with its NUL
        SetUp();
        world().system_directory = std::string(length, 'x');
        world().modules[system_path("scrypt.dll")] = crypto_entries;
        EXPECT_EQ(bind_crypto_library(), length == 259);
        EXPECT_EQ(world().log.size(), length == 259 ? 1u : 0u);
    }
}

// Akkord is used when its information words are at least 4 and 320 and each call succeeds:
// its first 8 bytes seed the driver, the next 32 are added to the stored mask (a longer one
// keeps its tail).
TEST_F(BindingTest, AkkordSeedsTheDriverAndTheMaskOnlyWhenEveryAnswerIsRight) {
    for (int fault = 0; fault < 6; ++fault) { // words 1 and 2 short, each call's status, no entry
        SetUp();
        World& w = world();
        w.modules["tmdrv32.dll"].erase(fault == 5 ? "TmGetInfo" : "");
        user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE] = {3, std::vector<uint8_t>(40, 0x10)};
        for (int i = 0; i < ORX_AKKORD_RANDOM_SIZE; ++i)
            w.akkord_bytes[i] = uint8_t(i);
        w.akkord_words[0] -= fault == 1, w.akkord_words[1] -= fault == 2;
        w.akkord_info_status = fault == 3, w.akkord_random_status = fault == 4;
        EXPECT_EQ(akkord_auto_init(), fault == 0);
        std::vector<uint8_t> seed = {0, 1, 2, 3, 4, 5, 6, 7}, mask(40, 0x10);
        for (int i = 0; !fault && i < 32; ++i)
            mask[size_t(i)] = uint8_t(0x10 + 8 + i);
        EXPECT_EQ(w.put_bytes, fault ? std::vector<uint8_t>() : seed);
        EXPECT_EQ(user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE].bytes, mask);
    }
}

TEST_F(BindingTest, KeyMediumRequestLayout) {
    loader.program_instance = reinterpret_cast<lp_module>(uintptr_t(0x00400000));
    LokeyRequest r;
    std::memset(&r, 0xEE, sizeof r);
    build_lokey_request(&r);
    const std::pair<size_t, uint32_t> words[] = {{0, 2880}, {4, 0},  {8, 0x00400000}, {12, 4},
                                                 {16, 4},   {28, 8}, {36, 6753}};
    for (auto& w : words) {
        uint32_t v;
        std::memcpy(&v, r.bytes + w.first, 4);
        EXPECT_EQ(v, w.second) << w.first;
    }
    const std::pair<size_t, const char*> texts[] = {{40, "000290000001"},  {56, "000100000101"},
                                                    {72, "000190000101"},  {88, ""},
                                                    {828, "c:\\keys\\hd"}, {1852, "wbotho.dll"}};
    for (auto& t : texts)
        EXPECT_STREQ(reinterpret_cast<char*>(r.bytes + t.first), t.second);
    for (size_t i : {52u, 211u, 212u, 827u, 838u, 1851u, 1862u, 2879u})
        EXPECT_EQ(r.bytes[i], 0) << i;
}
