// orxtool against the scripted library, console and disk, one row per run: the exit code,
// what the operator reads, the JSON a script parses, the resets, seeds and reads asked of
// the library, and the disk afterwards (a failure leaves no file behind).
#include <gtest/gtest.h>

#include <functional>

#include "scripted_tool.h"

namespace {

struct Row {
    std::vector<const char*> args;
    std::function<void()> scene; // on top of a fresh world: a ready generator, a working disk
    int code;
    std::string out, err;                // the whole text, or "~" and a part of it
    const char* log = nullptr;           // nullptr: not checked
    std::vector<std::string> saved = {}; // the bytes written to "f", if any
};

void expect_text(const std::string& actual, const std::string& expected, const std::string& run) {
    if (expected.compare(0, 1, "~") == 0)
        EXPECT_NE(actual.find(expected.substr(1)), std::string::npos) << run << actual;
    else
        EXPECT_EQ(actual, expected) << run;
}

void run_rows(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        world = ScriptedWorld();
        if (r.scene)
            r.scene();
        std::string run;
        for (const char* a : r.args)
            run += std::string(a) + " ";
        EXPECT_EQ(run_tool(r.args), r.code) << run;
        expect_text(world.out, r.out, run);
        expect_text(world.err, r.err, run);
        EXPECT_EQ(world.log, r.log ? r.log : world.log) << run;
        EXPECT_EQ(world.calls, r.code == 4 ? 0 : world.calls) << run << "arguments come first";
        auto disk = ScriptedWorld().files;
        for (const std::string& bytes : r.saved)
            disk["f"] = bytes;
        EXPECT_EQ(world.files, disk) << run;
    }
}

std::string hex(const std::string& bytes) {
    std::string s;
    char digits[3];
    for (unsigned char b : bytes) {
        snprintf(digits, sizeof digits, "%02x", b);
        s += digits;
    }
    return s;
}

const auto no_driver = [] { world.driver = false; };
const auto needs = [](std::vector<std::pair<int, int>> n) { return [n] { world.needs = n; }; };
const auto failing = [](std::map<int, uint32_t> f) { return [f] { world.failing = f; }; };
const auto biased = [](int reads, std::map<int, uint32_t> f = {}) {
    return [=] { world.biased_reads = reads, world.failing = f; };
};

} // namespace

TEST(Orxtool, HelpAndArgumentErrors) {
    // clang-format off
    run_rows({
        {{"--help"}, nullptr, 0, "~  selftest [--save FILE]\n\nEvery command", ""},
        {{"-h"}, nullptr, 0, "~5  selftest: the generator's output failed a test\n", ""},
        {{"random", "--help"}, nullptr, 0,
         "~usage: orxtool random N [--hex | --out FILE] [--json]\n\nReads N", ""},
        {{"reset", "-h", "--bogus"}, nullptr, 4, "", "~unknown option '--bogus'"},
        {{}, nullptr, 4, "", "~usage: orxtool [--json] COMMAND"},
        {{"--json"}, nullptr, 4, "~\"command\":null,\"error\":\"no command given\"",
         "~run 'orxtool --help'"},
        {{"--verbose", "info"}, nullptr, 4, "",
         "orxtool: unknown option '--verbose'\nrun 'orxtool --help' for the commands\n"},
        {{"frobnicate"}, nullptr, 4, "", "~orxtool: unknown command 'frobnicate'"},
        {{"info", "extra"}, nullptr, 4, "",
         "orxtool info: unexpected argument 'extra'\nusage: orxtool info [--json]\n"},
        {{"info", "--hex"}, nullptr, 4, "", "~unknown option '--hex'"},
        {{"reset"}, nullptr, 4, "",
         "~orxtool reset: missing argument\nusage: orxtool reset SLOT|all [--json]"},
        {{"reset", "16"}, nullptr, 4, "",
         "~SLOT must be a number from 0 to 15, or 'all' (got '16')"},
        {{"reset", "-1"}, nullptr, 4, "", "~unknown option '-1'"},
        {{"reset", "--", "-1"}, nullptr, 4, "", "~(got '-1')"},
        {{"reset", "-"}, nullptr, 4, "", "~(got '-')"},
        {{"reset", "+1"}, nullptr, 4, "", "~(got '+1')"},
        {{"reset", "1k"}, nullptr, 4, "", "~(got '1k')"},
        {{"reset", "/"}, nullptr, 4, "", "~(got '/')"},
        {{"reset", ":"}, nullptr, 4, "", "~(got ':')"},
        {{"reset", ""}, nullptr, 4, "", "~(got '')"},
        {{"reset", "00000000001"}, nullptr, 4, "", "~(got '00000000001')"},
        {{"reset", "4294967296"}, nullptr, 4, "", "~(got '4294967296')"},
        {{"random", "0"}, nullptr, 4, "",
         "~N must be a number of bytes from 1 to 67108864 (got '0')"},
        {{"random", "67108865", "--hex"}, nullptr, 4, "", "~(got '67108865')"},
        {{"random", "12", "--hex", "--out", "x"}, nullptr, 4, "",
         "~--hex and --out cannot be used together"},
        {{"random", "12", "--out"}, nullptr, 4, "", "~option '--out' needs a value"},
        {{"random", "12", "--out", ""}, nullptr, 4, "", "~option '--out' needs a value"},
        {{"selftest", "--save", "-o"}, nullptr, 4, "", "~option '--save' needs a value"},
        {{"random", "12", "--hex", "--hex"}, nullptr, 4, "", "~option '--hex' given twice"},
        {{"random", "12"}, [] { world.console = true; }, 4, "",
         "~will not write binary bytes to the console"},
        {{"--json", "reset", "\"\\\n\r\t\x01\x1f\xC0\x7F~"}, nullptr, 4,
         "~(got '\\\"\\\\\\n\\r\\t\\u0001\\u001f\\u00c0\\u007f~')\"", "~(got '"},
        {{"info", "--json", "x"}, nullptr, 4,
         "{\"command\":\"info\",\"error\":\"unexpected argument 'x'\",\"status\":{\"code\":0,"
         "\"name\":\"\"},\"ok\":false,\"exit_code\":4}\n", "~unexpected argument 'x'"},
    });
    // clang-format on
}

TEST(Orxtool, InfoSlotsAndReset) {
    const auto record = [](std::initializer_list<std::pair<int, uint32_t>> words) {
        return [=] {
            world.status = 15; // left by an earlier failure
            for (auto w : words)
                world.info.word[w.first] = w.second;
        };
    };
    const auto keys = [] {
        world.crypt[0] = "1111111111", world.sign[0] = "222222222222";
        world.sign[3] = "444444444 \x7F\x1F"; // only printable ASCII shown, else '?'
        world.crypt[9] = "3333333333";
    };
    const auto refuse = [](std::map<uint32_t, uint32_t> r) {
        return [r] { world.refuse_reset = r; };
    };
    const char* absent = "~: the ORVEXA driver is not available (status 51 DRIVER_OPEN_ERROR)\n";
    // clang-format off
    run_rows({
        {{"info"}, record({{0, 0x1F}, {1, 1}, {3, 2}, {5, 64}, {7, 1}, {19, 0xABC}}), 0,
         "orxlink version:           1.6\n" "generator ready:           yes\n"
         "seed accepted:             no\n" "single seed bytes:         yes\n"
         "block length:              512 bytes\n" "operational:               yes\n"
         "generator cannot complete: no\n"
         "record words (hex):        1F 1 0 2 0 40 0 1 0 0 0 0 0 0 0 0 0 0 0 ABC\n"
         "last status:               15 ERROR_NUM_NOT_SET\n", ""},
        {{"--json", "info"}, record({{0, 0x1F}, {2, 1}, {5, 64}, {8, 1}, {19, 0xABC}}), 0,
         "{\"command\":\"info\",\"library_version\":\"1.6\",\"driver\":true,\"record\":{"
         "\"generator_ready\":false,\"seed_accepted\":true,\"single_seed_bytes_accepted\":false,"
         "\"block_units\":64,\"block_length\":512,\"operational\":false,\"cannot_complete\":true,"
         "\"words\":[31,0,1,0,0,64,0,0,1,0,0,0,0,0,0,0,0,0,0,2748]},\"last_status\":{\"code\":15,"
         "\"name\":\"ERROR_NUM_NOT_SET\"},\"ok\":true,\"exit_code\":0}\n", ""},
        {{"info"}, no_driver, 2, "",
         "orxtool info: cannot read the driver information record: the ORVEXA driver is not "
         "available (status 51 DRIVER_OPEN_ERROR)\n"},
        {{"info", "--json"}, no_driver, 2,
         "{\"command\":\"info\",\"library_version\":\"1.6\",\"driver\":false,\"error\":\"cannot "
         "read the driver information record: the ORVEXA driver is not available (status 51 "
         "DRIVER_OPEN_ERROR)\",\"status\":{\"code\":51,\"name\":\"DRIVER_OPEN_ERROR\"},\"ok\":"
         "false,\"exit_code\":2}\n", "~"},
        {{"info"}, failing({{1, 1}}), 3, "",
         "orxtool info: cannot read the driver information record (status 1 ORX_DRIVER_ERROR)\n"},
        {{"slots"}, keys, 0,
         "slot  sign key      crypt key\n0     222222222222  1111111111\n1     -             -\n"
         "2     -             -\n3     444444444 ??  -\n4     -             -\n"
         "5     -             -\n6     -             -\n7     -             -\n"
         "8     -             -\n9     -             3333333333\n10    -             -\n"
         "11    -             -\n12    -             -\n13    -             -\n"
         "14    -             -\n15    -             -\n3 of 16 slots hold a key\n", ""},
        {{"slots", "--json"}, keys, 0,
         "~{\"slot\":0,\"sign_key\":\"222222222222\",\"crypt_key\":\"1111111111\"},{\"slot\":1,"
         "\"sign_key\":null,\"crypt_key\":null},{\"slot\":2,\"sign_key\":null,\"crypt_key\":null},"
         "{\"slot\":3,\"sign_key\":\"444444444 ??\",\"crypt_key\":null}", ""},
        {{"slots", "--json"}, keys, 0,
         "~{\"slot\":15,\"sign_key\":null,\"crypt_key\":null}],\"loaded\":3,\"ok\":true,"
         "\"exit_code\":0}\n", ""},
        {{"slots"}, failing({{5, 7}}), 3, "", // slot 2's crypt number
         "orxtool slots: cannot read the key numbers of slot 2 (status 7 ERROR_GET_KEY_COMMAND)\n"},
        {{"slots", "--json"}, failing({{4, 7}}), 3, // slot 1's sign number
         "{\"command\":\"slots\",\"error\":\"cannot read the key numbers of slot 1 (status 7 "
         "ERROR_GET_KEY_COMMAND)\",\"status\":{\"code\":7,\"name\":\"ERROR_GET_KEY_COMMAND\"},"
         "\"ok\":false,\"exit_code\":3}\n", "~"},
        {{"slots"}, no_driver, 2, "", absent},
        {{"reset", "15"}, nullptr, 0, "slot 15 reset\n", "", "r15 "},
        {{"reset", "0000000003"}, nullptr, 0, "slot 3 reset\n", "", "r3 "}, // ten digits at most
        {{"reset", "all"}, nullptr, 0, "all 16 slots reset\n", "",
         "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11 r12 r13 r14 r15 "},
        {{"reset", "0"}, refuse({{0, 1}}), 3, "",
         "orxtool reset: the driver refused to reset slot 0 (status 1 ORX_DRIVER_ERROR)\n"},
        {{"reset", "all"}, refuse({{5, 53}}), 3, "reset: 0 1 2 3 4 6 7 8 9 10 11 12 13 14 15\n",
         "orxtool reset: the driver refused to reset slot 5 (status 53 (system error 53))\n"},
        {{"reset", "all"}, refuse({{0, 53}, {15, 1}}), 3,
         "reset: 1 2 3 4 5 6 7 8 9 10 11 12 13 14\n",
         "orxtool reset: the driver refused to reset slots 0 (status 53 (system error 53)), 15 "
         "(status 1 ORX_DRIVER_ERROR)\n", "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11 r12 r13 r14 r15 "},
        {{"reset", "all", "--json"}, refuse({{5, 53}, {7, 1}}), 3,
         "{\"command\":\"reset\",\"reset\":[0,1,2,3,4,6,8,9,10,11,12,13,14,15],\"refused\":[{"
         "\"slot\":5,\"status\":{\"code\":53,\"name\":\"\"}},{\"slot\":7,\"status\":{\"code\":1,"
         "\"name\":\"ORX_DRIVER_ERROR\"}}],\"error\":\"the driver refused to reset slots 5 "
         "(status 53 (system error 53)), 7 (status 1 ORX_DRIVER_ERROR)\",\"status\":{\"code\":1,"
         "\"name\":\"ORX_DRIVER_ERROR\"},\"ok\":false,\"exit_code\":3}\n", "~"},
        {{"reset", "0"}, no_driver, 2, "", absent, "r0 "},
        {{"reset", "all"}, no_driver, 2, "", absent, "r0 "}, // a missing driver ends it at once
        {{"--json", "reset", "3"}, no_driver, 2, "~{\"command\":\"reset\",\"reset\":[],\"error\":",
         "~"},
    });
    // clang-format on
    world = ScriptedWorld();
    run_tool({"slots"});
    EXPECT_EQ(world.calls, 32) << "two numbers of each slot, read once";
}

TEST(Orxtool, RandomDeliversAllTheBytesOrNone) {
    const std::string bytes = expected_random(131072);
    const auto at = [&](size_t from, size_t n) { return hex(bytes.substr(from, n)) + "\n"; };
    const char* absent = "~: the ORVEXA driver is not available (status 51 DRIVER_OPEN_ERROR)\n";
    // clang-format off
    run_rows({
        {{"random", "100", "--hex"}, nullptr, 0, at(0, 32) + at(32, 32) + at(64, 32) + at(96, 4),
         "", "g100 "},
        {{"random", "64", "--hex"}, nullptr, 0, at(0, 32) + at(32, 32), ""}, // whole lines only
        {{"random", "1000"}, nullptr, 0, bytes.substr(0, 1000), ""},
        {{"--json", "random", "5"}, nullptr, 0,
         "{\"command\":\"random\",\"bytes\":5,\"hex\":\"" + hex(bytes.substr(0, 5)) +
         "\",\"ok\":true,\"exit_code\":0}\n", ""},
        {{"random", "513", "--out", "f"}, [] { world.console = true; }, 0,
         "wrote 513 random bytes to f\n", "", "g513 ", {bytes.substr(0, 513)}},
        {{"random", "3", "--out", "f", "--json"}, nullptr, 0,
         "{\"command\":\"random\",\"bytes\":3,\"file\":\"f\",\"ok\":true,\"exit_code\":0}\n", "",
         "g3 ", {bytes.substr(0, 3)}},
        {{"random", "131072", "--out", "f"}, nullptr, 0, "~", "", "g65536 g65536 ", {bytes}},
        {{"random", "70000", "--out", "f"}, nullptr, 0, "~", "", "g65536 g4464 ",
         {bytes.substr(0, 70000)}},
        {{"random", "9", "--out", "f"}, needs({{1, 40}}), 3, "",
         "orxtool random: the generator is not ready (it asks for seed material (1, 40)); run "
         "'orxtool seed' first\n", ""},
        {{"random", "9", "--out", "f"}, needs({{0, 8}}), 3, "", "~seed material (0, 8)", ""},
        {{"random", "9", "--out", "f"}, needs({{2, 0}}), 3, "", "~seed material (2, 0)", ""},
        {{"random", "9", "--out", "f"}, [] {
         world.failing = {{1, 1}}, world.info.word[ORVEXA_INFO_CANNOT_COMPLETE] = 1; }, 3, "",
         "orxtool random: the driver reports that its generator cannot be completed\n"},
        {{"random", "9", "--out", "f"}, failing({{1, 1}}), 3, "",
         "~cannot ask the generator what it needs (status 1 ORX_DRIVER_ERROR)\n"},
        {{"random", "9", "--out", "f"}, failing({{2, 50}}), 3, "",
         "orxtool random: cannot read the generator; nothing was written (status 50)\n"},
        {{"random", "70000", "--out", "f"}, failing({{3, 2}}), 3, "", "~nothing was written",
         "g65536 g4464 "},
        {{"random", "9", "--out", "locked"}, nullptr, 1, "",
         "orxtool random: cannot write 'locked'\n"},
        {{"random", "9", "--out", "full"}, nullptr, 1, "", "~cannot write 'full'"},
        {{"random", "9"}, [] { world.out_fails = true; }, 1, "",
         "~cannot write to standard output"},
        {{"random", "9", "--json"}, failing({{2, 50}}), 3,
         "{\"command\":\"random\",\"bytes\":9,\"error\":\"cannot read the generator; nothing was "
         "written (status 50)\",\"status\":{\"code\":50,\"name\":\"\"},\"ok\":false,\"exit_code\":"
         "3}\n", "~"},
        {{"random", "10", "--hex"}, no_driver, 2, "", absent},
    });
    // clang-format on
}

TEST(Orxtool, SeedAnswersEachNeedUntilReady) {
    const std::vector<std::pair<int, int>> three = {{1, 8}, {1, 32}, {1, 16}, {0, 0}};
    std::vector<std::pair<int, int>> nine(8, {2, 64}); // ready after the eighth seed
    nine.push_back({0, 0});
    const auto refused = [](std::map<int, uint32_t> failing, uint32_t ready_word) {
        return [=] {
            world.needs = {{1, 40}};
            world.failing = failing; // calls: need 1, put 2, then the record 3
            world.info.word[ORVEXA_INFO_RNDM_READY] = ready_word;
        };
    };
    // clang-format off
    run_rows({
        {{"seed"}, nullptr, 0,
         "step 1: need (0, 0): the generator is ready and tested; nothing to do\n", "", ""},
        {{"seed"}, needs({{1, 40}, {2, 64}, {0, 0}}), 0,
         "step 1: need (1, 40): sending 8 single seed bytes and a 32-byte seed from the system's "
         "random source\nstep 1: accepted\nstep 2: need (2, 64): sending a seed block from the "
         "system's random source\nstep 2: accepted\nstep 3: need (0, 0): the generator is ready "
         "and tested\n", "", "s1,40 s2,64 "},
        {{"seed"}, needs(three), 0,
         "step 1: need (1, 8): sending 8 single seed bytes from the system's random source\nstep "
         "1: accepted\nstep 2: need (1, 32): sending a 32-byte seed from the system's random "
         "source\nstep 2: accepted\nstep 3: need (1, 16): sending a seed block from the system's "
         "random source\nstep 3: accepted\nstep 4: need (0, 0): the generator is ready and "
         "tested\n", "", "s1,8 s1,32 s1,16 "},
        {{"seed", "--json"}, needs(three), 0,
         "{\"command\":\"seed\",\"steps\":[{\"need\":\"(1, 8)\",\"kind\":1,\"size\":8,\"result\":"
         "\"accepted\"},{\"need\":\"(1, 32)\",\"kind\":1,\"size\":32,\"result\":\"accepted\"},{"
         "\"need\":\"(1, 16)\",\"kind\":1,\"size\":16,\"result\":\"accepted\"},{\"need\":\"(0, "
         "0)\",\"kind\":0,\"size\":0,\"result\":\"ready\"}],\"ready\":true,\"seeds_sent\":3,"
         "\"ok\":true,\"exit_code\":0}\n", ""},
        {{"seed", "--json"}, needs(nine), 0, "~\"seeds_sent\":8,\"ok\":true", ""},
        {{"seed"}, needs({{2, 64}}), 3, "~",
         "orxtool seed: the generator is still not ready after 8 seeds\n",
         "s2,64 s2,64 s2,64 s2,64 s2,64 s2,64 s2,64 s2,64 "},
        {{"seed"}, refused({{2, 9}}, 0), 3, "~",
         "orxtool seed: the generator refused seed material (1, 40) (answer 1), status 9 "
         "ERROR_SET_KEY_INPUT_CHECK\n"},
        {{"seed"}, refused({{2, 9}}, 1), 3, "~",
         "~(answer 1), status 9 ERROR_SET_KEY_INPUT_CHECK; the generator is up but its output "
         "failed the library's self-test or could not be read\n"},
        {{"seed"}, refused({{2, 9}, {3, 1}}, 1), 3, "~",
         "~the generator refused seed material (1, 40) (answer 1) (status 1 ORX_DRIVER_ERROR)\n"},
        {{"seed"}, refused({{2, 51}}, 0), 2, "~",
         "~(answer 1): the ORVEXA driver is not available (status 51 DRIVER_OPEN_ERROR)\n"},
        {{"seed"}, [] {
         world.needs = {{1, 40}, {0, 0}}, world.failing = {{3, 1}}, world.info.word[8] = 1; }, 3,
         "~", "orxtool seed: the driver reports that its generator cannot be completed\n"},
        {{"seed"}, [] { world.needs = {{1, 40}}, world.system_random = false; }, 3, "~",
         "orxtool seed: the system's random source gave no bytes\n", ""},
        {{"seed", "--json"}, [] { world.needs = {{1, 40}}, world.put_answer = 3; }, 3,
         "{\"command\":\"seed\",\"steps\":[{\"need\":\"(1, 40)\",\"kind\":1,\"size\":40,"
         "\"result\":\"refused\"}],\"error\":\"the generator refused seed material (1, 40) "
         "(answer 3), status 0\",\"status\":{\"code\":0,\"name\":\"\"},\"ok\":false,\"exit_code\":"
         "3}\n", "~"},
        {{"seed"}, no_driver, 2, "", "~orxtool seed: cannot ask the generator what it needs: the "
         "ORVEXA driver is not available (status 51 DRIVER_OPEN_ERROR)\n"},
        {{"--json", "seed"}, no_driver, 2, "~{\"command\":\"seed\",\"steps\":[],\"error\":", "~"},
    });
    // clang-format on
}

TEST(Orxtool, SelftestAppliesTheLibrarysRuleAndReportsEachTest) {
    const std::string sample = expected_random(25600);
    std::string low = sample; // the first sample when the first reads are biased
    for (char& b : low)
        b &= 0x7F;
    const char* read = "g25600 ";
    // clang-format off
    run_rows({
        {{"selftest", "--save", "f"}, nullptr, 0, "sample: 25600 bytes through the provider table\n"
         "chi-square, the library's test (205.33 <= X <= 310.57, up to 5 samples):\n"
         "  sample 1  X = 223.50 pass\n" "FIPS 140-2, first 20000 bits of the first sample:\n"
         "  monobit   ones = 10092 (9725 < X < 10275) pass\n"
         "  poker     X = 27.78 (2.16 < X < 46.17) pass\n" "  runs      pass\n"
         "            length  zeros  ones   interval\n"
         "            1       2578   2481   2315..2685\n"
         "            2       1231   1244   1114..1386\n"
         "            3       599    663    527..723\n"
         "            4       305    312    240..384\n"
         "            5       152    170    103..209\n"
         "            6+      155    150    103..209\n" "  long run  longest = 17 (< 26) pass\n"
         "SP 800-90B health tests, first sample as bytes (H = 8 bits, alpha = 2^-20):\n"
         "  repetition count     longest run = 2 (cut-off 4) pass\n"
         "  adaptive proportion  highest count = 6 in 50 windows of 512 (cut-off 13) pass\n"
         "selftest: pass\n", "", read, {sample}},
        {{"--json", "selftest", "--save", "f"}, nullptr, 0,
         "{\"command\":\"selftest\",\"sample_bytes\":25600,\"chi_square\":{\"low\":205.33,"
         "\"high\":310.57,\"attempts\":[223.500000],\"pass\":true},\"fips140_2\":{\"bits\":20000,"
         "\"monobit\":{\"ones\":10092,\"pass\":true},\"poker\":{\"statistic\":27.782400,\"pass\":"
         "true},\"runs\":{\"zeros\":[2578,1231,599,305,152,155],\"ones\":[2481,1244,663,312,170,"
         "150],\"pass\":true},\"long_run\":{\"longest\":17,\"limit\":26,\"pass\":true},\"pass\":"
         "true},\"sp800_90b\":{\"entropy_bits\":8.0,\"alpha_log2\":-20,\"repetition_count\":{"
         "\"longest\":2,\"cutoff\":4,\"pass\":true},\"adaptive_proportion\":{\"window\":512,"
         "\"windows\":50,\"highest\":6,\"cutoff\":13,\"pass\":true}},\"pass\":true,\"saved\":"
         "\"f\",\"ok\":true,\"exit_code\":0}\n", "", read, {sample}},
        // all five samples out of bounds; then the second one passes, but the first one (the
        // one saved and diagnosed) still fails monobit
        {{"selftest", "--save", "f"}, biased(5), 5, "~",
         "orxtool selftest: the generator's output failed a test\n",
         "g25600 g25600 g25600 g25600 g25600 ", {low}},
        {{"selftest", "--save", "f"}, biased(1), 5, "~", "~failed a test", "g25600 g25600 ", {low}},
        {{"selftest", "--save", "f"}, biased(1, {{3, 1}}), 3, "",
         "orxtool selftest: cannot read a sample of the generator (status 1 ORX_DRIVER_ERROR)\n",
         "g25600 g25600 "},
        {{"selftest", "--save", "locked"}, biased(1), 1, "~",
         "orxtool selftest: cannot write 'locked'\n", "g25600 g25600 "},
    });
    // clang-format on
}
