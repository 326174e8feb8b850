// orxtool random, seed and selftest against the scripted provider table: the bytes that
// reach the output, the seed rounds, the library's five-sample rule, and that a failing
// driver or disk leaves no output behind.
#include <gtest/gtest.h>

#include "scripted_tool.h"

namespace {

std::string hex(const std::string& bytes) {
    std::string s;
    char digits[3];
    for (unsigned char b : bytes) {
        snprintf(digits, sizeof digits, "%02x", b);
        s += digits;
    }
    return s;
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class GeneratorCommands : public ::testing::Test {
  protected:
    void SetUp() override { world = ScriptedWorld(); }
};

} // namespace

TEST_F(GeneratorCommands, RandomDeliversTheBytesWhereAsked) {
    const std::string bytes = expected_random(100);
    EXPECT_EQ(run_tool({"random", "100", "--hex"}), 0);
    EXPECT_EQ(world.out, hex(bytes.substr(0, 32)) + "\n" + hex(bytes.substr(32, 32)) + "\n" +
                             hex(bytes.substr(64, 32)) + "\n" + hex(bytes.substr(96)) + "\n");
    EXPECT_EQ(run_tool({"random", "64", "--hex"}), 0); // whole lines only
    EXPECT_EQ(std::count(world.out.begin(), world.out.end(), '\n'), 2);

    world = ScriptedWorld();
    EXPECT_EQ(run_tool({"random", "1000"}), 0); // standard output is not a console
    EXPECT_EQ(world.out, expected_random(1000));

    world = ScriptedWorld();
    EXPECT_EQ(run_tool({"--json", "random", "5"}), 0);
    EXPECT_EQ(world.out, "{\"command\":\"random\",\"bytes\":5,\"hex\":\"" +
                             hex(expected_random(5)) + "\",\"ok\":true,\"exit_code\":0}\n");

    world = ScriptedWorld();
    world.console = true;
    EXPECT_EQ(run_tool({"random", "513", "--out", "r.bin"}), 0);
    EXPECT_EQ(world.files["r.bin"], expected_random(513));
    EXPECT_EQ(world.out, "wrote 513 random bytes to r.bin\n");
    EXPECT_EQ(run_tool({"random", "3", "--out", "r.bin", "--json"}), 0);
    EXPECT_EQ(world.out, "{\"command\":\"random\",\"bytes\":3,\"file\":\"r.bin\",\"ok\":true,"
                         "\"exit_code\":0}\n");
    EXPECT_EQ(world.files["r.bin"].size(), 3u);

    EXPECT_EQ(run_tool({"random", "131072", "--out", "r.bin"}), 0);
    EXPECT_EQ(world.reads, (std::vector<uint32_t>{65536, 65536}));
    EXPECT_EQ(run_tool({"random", "70000", "--out", "r.bin"}), 0);
    EXPECT_EQ(world.reads, (std::vector<uint32_t>{65536, 4464}));
}

TEST_F(GeneratorCommands, RandomWritesNothingUnlessEveryByteCameAndWent) {
    struct Case {
        std::vector<const char*> args;
        std::vector<std::pair<int, int>> needs;
        std::map<int, uint32_t> failing;
        uint32_t cannot_complete;
        int code;
        const char* err;
    };
    // clang-format off
    const Case cases[] = {
        {{"random", "9", "--out", "keep"}, {{1, 40}}, {}, 0, 3,
            "the generator is not ready (it asks for seed material (1, 40)); run 'orxtool seed' "
            "first\n"},
        {{"random", "9", "--out", "keep"}, {{0, 8}}, {}, 0, 3, "seed material (0, 8)"},
        {{"random", "9", "--out", "keep"}, {{2, 0}}, {}, 0, 3, "seed material (2, 0)"},
        {{"random", "9", "--out", "keep"}, {}, {{1, 1}}, 1, 3,
            "orxtool random: the driver reports that its generator cannot be completed\n"},
        {{"random", "9", "--out", "keep"}, {}, {{1, 1}}, 0, 3,
            "cannot ask the generator what it needs (status 1 ORX_DRIVER_ERROR)\n"},
        {{"random", "9", "--out", "keep"}, {}, {{2, 50}}, 0, 3,
            "orxtool random: cannot read the generator; nothing was written (status 50)\n"},
        {{"random", "70000", "--out", "keep"}, {}, {{3, 2}}, 0, 3, "nothing was written"},
        {{"random", "9", "--out", "locked"}, {}, {}, 0, 1,
            "orxtool random: cannot write 'locked'\n"},
        {{"random", "9", "--out", "full"}, {}, {}, 0, 1, "cannot write 'full'"},
        {{"random", "9"}, {}, {}, 0, 1, "cannot write to standard output"},
    };
    // clang-format on
    for (const Case& c : cases) {
        world = ScriptedWorld();
        world.files["keep"] = "keep";
        world.needs = c.needs;
        world.failing = c.failing;
        world.info.word[ORVEXA_INFO_CANNOT_COMPLETE] = c.cannot_complete;
        world.uncreatable = {"locked"};
        world.short_disk = {"full"};
        world.out_fails = true;
        EXPECT_EQ(run_tool(c.args), c.code) << c.err;
        EXPECT_NE(world.err.find(c.err), std::string::npos) << world.err;
        EXPECT_EQ(world.out, "");
        EXPECT_EQ(world.files, (std::map<std::string, std::string>{{"keep", "keep"}})) << c.err;
        if (!c.needs.empty()) {
            EXPECT_TRUE(world.reads.empty());
        }
    }
    world.failing = {{2, 50}};
    EXPECT_EQ(run_tool({"random", "9", "--json"}), 3);
    EXPECT_EQ(world.out, "{\"command\":\"random\",\"bytes\":9,\"error\":\"cannot read the "
                         "generator; nothing was written (status 50)\",\"status\":{\"code\":50,"
                         "\"name\":\"\"},\"ok\":false,\"exit_code\":3}\n");
}

TEST_F(GeneratorCommands, SeedAnswersEachNeedUntilReady) {
    struct Case {
        std::vector<std::pair<int, int>> needs;
        const char* out;
    };
    // clang-format off
    const Case cases[] = {
        {{}, "step 1: need (0, 0): the generator is ready and tested; nothing to do\n"},
        {{{1, 40}, {2, 64}, {0, 0}},
            "step 1: need (1, 40): sending 8 single seed bytes and a 32-byte seed from the "
            "system's random source\nstep 1: accepted\nstep 2: need (2, 64): sending a seed block "
            "from the system's random source\nstep 2: accepted\nstep 3: need (0, 0): the "
            "generator is ready and tested\n"},
        {{{0, 8}, {0, 0}}, "step 1: need (0, 8): sending a seed block from the system's random "
            "source\nstep 1: accepted\nstep 2: need (0, 0): the generator is ready and tested\n"},
        {{{1, 8}, {1, 32}, {1, 16}, {0, 0}},
            "step 1: need (1, 8): sending 8 single seed bytes from the system's random "
            "source\nstep 1: accepted\nstep 2: need (1, 32): sending a 32-byte seed from the "
            "system's random source\nstep 2: accepted\nstep 3: need (1, 16): sending a seed block "
            "from the system's random source\nstep 3: accepted\nstep 4: need (0, 0): the "
            "generator is ready and tested\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        world = ScriptedWorld();
        world.needs = c.needs;
        EXPECT_EQ(run_tool({"seed"}), 0);
        EXPECT_EQ(world.out, c.out);
        std::vector<std::pair<int, int>> sent(c.needs.begin(),
                                              c.needs.empty() ? c.needs.end() : c.needs.end() - 1);
        EXPECT_EQ(world.seeds, sent);
    }
    EXPECT_EQ(run_tool({"seed", "--json"}), 0);
    EXPECT_EQ(world.out,
              "{\"command\":\"seed\",\"steps\":[{\"need\":\"(1, 8)\",\"kind\":1,\"size\":8,"
              "\"result\":\"accepted\"},{\"need\":\"(1, 32)\",\"kind\":1,\"size\":32,\"result\":"
              "\"accepted\"},{\"need\":\"(1, 16)\",\"kind\":1,\"size\":16,\"result\":\"accepted\"},"
              "{\"need\":\"(0, 0)\",\"kind\":0,\"size\":0,\"result\":\"ready\"}],\"ready\":true,"
              "\"seeds_sent\":3,\"ok\":true,\"exit_code\":0}\n");

    world.needs = std::vector<std::pair<int, int>>(8, {2, 64}); // ready after the last seed
    world.needs.push_back({0, 0});
    EXPECT_EQ(run_tool({"seed", "--json"}), 0);
    EXPECT_NE(world.out.find("\"seeds_sent\":8,\"ok\":true"), std::string::npos);
}

TEST_F(GeneratorCommands, SeedFailuresSayWhy) {
    struct Case {
        std::vector<std::pair<int, int>> needs;
        std::map<int, uint32_t> failing; // calls: need 1, put 2, (need 3, put 4, ...)
        uint32_t ready_word;
        uint32_t cannot_complete;
        bool system_random;
        int code;
        const char* err;
    };
    // clang-format off
    const Case cases[] = {
        {{{1, 40}}, {{2, 9}}, 0, 0, true, 3,
            "orxtool seed: the generator refused seed material (1, 40) (answer 1), status 9 "
            "ERROR_SET_KEY_INPUT_CHECK\n"},
        {{{1, 40}}, {{2, 9}}, 1, 0, true, 3,
            "(answer 1), status 9 ERROR_SET_KEY_INPUT_CHECK; the generator is up but its output "
            "failed the library's self-test or could not be read\n"},
        {{{1, 40}}, {{2, 9}, {3, 1}}, 1, 0, true, 3,
            "the generator refused seed material (1, 40) (answer 1) (status 1 ORX_DRIVER_ERROR)\n"},
        {{{1, 40}}, {{2, 51}}, 0, 0, true, 2,
            "(answer 1): the ORVEXA driver is not available (status 51 DRIVER_OPEN_ERROR)\n"},
        {{{1, 40}, {0, 0}}, {{3, 1}}, 0, 1, true, 3,
            "orxtool seed: the driver reports that its generator cannot be completed\n"},
        {{{1, 40}}, {}, 0, 0, false, 3, "orxtool seed: the system's random source gave no bytes\n"},
        {{{2, 64}}, {}, 0, 0, true, 3,
            "orxtool seed: the generator is still not ready after 8 seeds\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        world = ScriptedWorld();
        world.needs = c.needs;
        world.failing = c.failing;
        world.info.word[ORVEXA_INFO_RNDM_READY] = c.ready_word;
        world.info.word[ORVEXA_INFO_CANNOT_COMPLETE] = c.cannot_complete;
        world.system_random = c.system_random;
        EXPECT_EQ(run_tool({"seed"}), c.code) << c.err;
        EXPECT_TRUE(ends_with(world.err, c.err)) << world.err;
    }
    EXPECT_EQ(world.seeds.size(), 8u);

    world = ScriptedWorld();
    world.needs = {{1, 40}};
    world.put_answers = {3};
    EXPECT_EQ(run_tool({"seed", "--json"}), 3);
    EXPECT_EQ(world.out, "{\"command\":\"seed\",\"steps\":[{\"need\":\"(1, 40)\",\"kind\":1,"
                         "\"size\":40,\"result\":\"refused\"}],\"error\":\"the generator refused "
                         "seed material (1, 40) (answer 3), status 0\",\"status\":{\"code\":0,"
                         "\"name\":\"\"},\"ok\":false,\"exit_code\":3}\n");
}

TEST_F(GeneratorCommands, SelftestOfAHealthySource) {
    EXPECT_EQ(run_tool({"selftest", "--save", "s.bin"}), 0);
    EXPECT_EQ(world.reads, std::vector<uint32_t>{25600});
    EXPECT_EQ(world.files["s.bin"], expected_random(25600));
    EXPECT_EQ(world.out,
              "sample: 25600 bytes through the provider table\n"
              "chi-square, the library's test (205.33 <= X <= 310.57, up to 5 samples):\n"
              "  sample 1  X = 223.50 pass\n"
              "FIPS 140-2, first 20000 bits of the first sample:\n"
              "  monobit   ones = 10092 (9725 < X < 10275) pass\n"
              "  poker     X = 27.78 (2.16 < X < 46.17) pass\n"
              "  runs      pass\n"
              "            length  zeros  ones   interval\n"
              "            1       2578   2481   2315..2685\n"
              "            2       1231   1244   1114..1386\n"
              "            3       599    663    527..723\n"
              "            4       305    312    240..384\n"
              "            5       152    170    103..209\n"
              "            6+      155    150    103..209\n"
              "  long run  longest = 17 (< 26) pass\n"
              "SP 800-90B health tests, first sample as bytes (H = 8 bits, alpha = 2^-20):\n"
              "  repetition count     longest run = 2 (cut-off 4) pass\n"
              "  adaptive proportion  highest count = 6 in 50 windows of 512 (cut-off 13) pass\n"
              "selftest: pass\n");

    world = ScriptedWorld();
    EXPECT_EQ(run_tool({"--json", "selftest", "--save", "s.bin"}), 0);
    EXPECT_EQ(world.out,
              "{\"command\":\"selftest\",\"sample_bytes\":25600,\"chi_square\":{\"low\":205.33,"
              "\"high\":310.57,\"attempts\":[223.500000],\"pass\":true},\"fips140_2\":{\"bits\":"
              "20000,\"monobit\":{\"ones\":10092,\"pass\":true},\"poker\":{\"statistic\":"
              "27.782400,\"pass\":true},\"runs\":{\"zeros\":[2578,1231,599,305,152,155],\"ones\":"
              "[2481,1244,663,312,170,150],\"pass\":true},\"long_run\":{\"longest\":17,\"limit\":"
              "26,\"pass\":true},\"pass\":true},\"sp800_90b\":{\"entropy_bits\":8.0,"
              "\"alpha_log2\":-20,\"repetition_count\":{\"longest\":2,\"cutoff\":4,\"pass\":"
              "true},\"adaptive_proportion\":{\"window\":512,\"windows\":50,\"highest\":6,"
              "\"cutoff\":13,\"pass\":true}},\"pass\":true,\"saved\":\"s.bin\",\"ok\":true,"
              "\"exit_code\":0}\n");
}

TEST_F(GeneratorCommands, SelftestFailures) {
    struct Case {
        int biased_reads;
        std::map<int, uint32_t> failing; // calls: need 1, then one read per sample
        const char* save;
        int code;
        size_t reads;
        const char* err;
    };
    // clang-format off
    const Case cases[] = {
        // all five samples out of bounds
        {5, {}, "s.bin", 5, 5, "orxtool selftest: the generator's output failed a test\n"},
        // the second sample passes the library's test; the first still fails monobit
        {1, {}, "s.bin", 5, 2, "failed a test"},
        {1, {{3, 1}}, "s.bin", 3, 2,
            "orxtool selftest: cannot read a sample of the generator (status 1 "
            "ORX_DRIVER_ERROR)\n"},
        {1, {}, "locked", 1, 2, "orxtool selftest: cannot write 'locked'\n"},
        {0, {{1, 1}}, "s.bin", 3, 0, "cannot ask the generator what it needs"},
    };
    // clang-format on
    std::string biased = expected_random(25600);
    for (char& b : biased)
        b &= 0x7F;
    for (const Case& c : cases) {
        world = ScriptedWorld();
        world.biased_reads = c.biased_reads;
        world.failing = c.failing;
        world.uncreatable = {"locked"};
        EXPECT_EQ(run_tool({"selftest", "--save", c.save}), c.code) << c.err;
        EXPECT_EQ(world.reads.size(), c.reads) << c.err;
        EXPECT_NE(world.err.find(c.err), std::string::npos) << world.err;
        const bool saved = c.code == 5;
        EXPECT_EQ(world.files.count("s.bin"), saved ? 1u : 0u) << c.err;
        if (saved) {
            EXPECT_EQ(world.files["s.bin"], biased) << "the first sample is the one saved";
        }
    }
}
