#include <cstring>

#include "binding.h"
#include "loader_fixture.h"

namespace {

const char* const random_key = "SOFTWARE\\DEZURE\\Cryptography\\RANDOM";

} // namespace

using BindingTest = LoaderTest;

TEST_F(BindingTest, TheLastCandidateBindsAfterSixFailedLoads) {
    world().modules.erase(system_path("wbotho.dll"));
    add_crypto_library(system_path("wsigno.dll"));
    ASSERT_EQ(bind_crypto_library(), 1);
    std::vector<std::string> expected;
    for (const char* n : {"scrypt.dll", "wboth.dll", "wbotho.dll", "wcrypt.dll", "wcrypto.dll",
                          "wsign.dll", "wsigno.dll"})
        expected.push_back(system_path(n));
    EXPECT_EQ(world().loads, expected);
    EXPECT_NE(loader.crypto.InitKey, nullptr);
}

TEST_F(BindingTest, ACandidateWithoutResetKeyExIsUnloadedAndSkipped) {
    add_crypto_library(system_path("wboth.dll"), false);
    ASSERT_EQ(bind_crypto_library(), 1);
    EXPECT_EQ(world().frees, std::vector<std::string>{system_path("wboth.dll")});
    EXPECT_EQ(loader.crypto.module, lp_load_library(system_path("wbotho.dll").c_str()));
}

TEST_F(BindingTest, ASystemDirectoryThatDoesNotFitFailsTheBinding) {
    world().system_directory = std::string(260, 'x');
    EXPECT_EQ(bind_crypto_library(), 0);
    EXPECT_TRUE(world().loads.empty());
}

TEST_F(BindingTest, AkkordInformationWordsMustReachFourAnd320) {
    struct {
        uint16_t w0, w1;
        int used;
    } cases[] = {{4, 319, 0}, {3, 320, 0}, {4, 320, 1}, {5, 400, 1}};
    for (auto& c : cases) {
        SetUp();
        world().akkord_word0 = c.w0;
        world().akkord_word1 = c.w1;
        EXPECT_EQ(akkord_auto_init(), c.used);
        EXPECT_EQ(world().put_bytes.size(), c.used ? 8u : 0u);
        EXPECT_EQ(loader.rng_progress, c.used ? 40 : 0);
        EXPECT_EQ(loader.akkord_unavailable, 0); // a device failure may be retried
        EXPECT_EQ(world().frees, std::vector<std::string>{"tmdrv32.dll"});
    }
}

TEST_F(BindingTest, AMissingAkkordLibraryIsNeverLookedForAgain) {
    world().modules.erase("tmdrv32.dll");
    EXPECT_EQ(akkord_auto_init(), 0);
    EXPECT_EQ(akkord_auto_init(), 0);
    EXPECT_EQ(world().loads, std::vector<std::string>{"tmdrv32.dll"});
    SetUp();
    world().modules.erase("tmdrv32.dll");
    add_akkord_library(false); // no TmGetRandomBytes
    EXPECT_EQ(akkord_auto_init(), 0);
    EXPECT_EQ(loader.akkord_unavailable, 1);
    EXPECT_EQ(world().frees, std::vector<std::string>{"tmdrv32.dll"});
}

TEST_F(BindingTest, AkkordBytesAreAddedToTheStoredMaskOnly) {
    user_key(random_key).values["mask"] = {3, std::vector<uint8_t>(32, 0x01)};
    std::memset(world().akkord_bytes + 8, 0xFF, 32);
    world().akkord_bytes[40] = 0x77;
    ASSERT_EQ(akkord_auto_init(), 1);
    EXPECT_EQ(user_key(random_key).values["mask"].bytes, std::vector<uint8_t>(32, 0x00));

    SetUp(); // no RANDOM key: created, no mask written, still a success
    ASSERT_EQ(akkord_auto_init(), 1);
    EXPECT_TRUE(user_key_exists(random_key));
    EXPECT_EQ(user_key(random_key).values.count("mask"), 0u);

    SetUp(); // a mask longer than 32 bytes keeps its tail and its length
    std::vector<uint8_t> long_mask(40, 0x10);
    user_key(random_key).values["mask"] = {3, long_mask};
    std::memset(world().akkord_bytes + 8, 0x01, 32);
    ASSERT_EQ(akkord_auto_init(), 1);
    std::vector<uint8_t> expected(32, 0x11);
    expected.resize(40, 0x10);
    EXPECT_EQ(user_key(random_key).values["mask"].bytes, expected);
    EXPECT_EQ(fake().open_keys, 0);
}

TEST_F(BindingTest, KeyMediumRequestLayout) {
    loader.program_instance = reinterpret_cast<lp_module>(uintptr_t(0x00400000));
    LokeyRequest r;
    std::memset(&r, 0xEE, sizeof r);
    build_lokey_request(&r);
    auto word = [&](size_t at) {
        uint32_t w;
        std::memcpy(&w, r.bytes + at, 4);
        return w;
    };
    EXPECT_EQ(word(0), 2880u);
    EXPECT_EQ(word(4), 0u);
    EXPECT_EQ(word(8), 0x00400000u);
    EXPECT_EQ(word(12), 4u);
    EXPECT_EQ(word(16), 4u);
    EXPECT_EQ(word(28), 8u);
    EXPECT_EQ(word(36), 6753u);
    EXPECT_STREQ(reinterpret_cast<char*>(r.bytes + 40), "000290000001");
    EXPECT_STREQ(reinterpret_cast<char*>(r.bytes + 56), "000100000101");
    EXPECT_STREQ(reinterpret_cast<char*>(r.bytes + 72), "000190000101");
    EXPECT_STREQ(reinterpret_cast<char*>(r.bytes + 828), "c:\\keys\\hd");
    EXPECT_STREQ(reinterpret_cast<char*>(r.bytes + 1852), "wbotho.dll");
    for (size_t i : {52u, 88u, 211u, 212u, 827u, 838u, 1851u, 1862u, 2875u, 2879u})
        EXPECT_EQ(r.bytes[i], 0) << i;
}
