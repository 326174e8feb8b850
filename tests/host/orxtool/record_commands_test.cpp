// orxtool info, slots and reset against the scripted library: what an operator reads, the
// JSON a script parses, and the exit code of each failure.
#include <gtest/gtest.h>

#include "scripted_tool.h"

namespace {

class RecordCommands : public ::testing::Test {
  protected:
    void SetUp() override { world = ScriptedWorld(); }

    // Asserts that standard output holds each of `parts`.
    static void out_has(std::initializer_list<const char*> parts) {
        for (const char* part : parts)
            EXPECT_NE(world.out.find(part), std::string::npos) << part << "\n" << world.out;
    }
};

} // namespace

TEST_F(RecordCommands, EveryCommandTellsAnAbsentDriverWithCode2) {
    const std::vector<std::vector<const char*>> commands = {
        {"info"}, {"slots"},   {"reset", "0"}, {"reset", "all"}, {"random", "10", "--hex"},
        {"seed"}, {"selftest"}};
    for (const auto& args : commands) {
        world = ScriptedWorld();
        world.driver = false;
        EXPECT_EQ(run_tool(args), 2) << args[0];
        EXPECT_EQ(world.out, "") << args[0];
        EXPECT_NE(world.err.find(std::string("orxtool ") + args[0] + ": "), std::string::npos);
        EXPECT_NE(world.err.find(": the ORVEXA driver is not available (status 51 "
                                 "DRIVER_OPEN_ERROR)\n"),
                  std::string::npos)
            << world.err;
        if (args[0] == std::string("reset")) {
            EXPECT_EQ(world.resets.size(), 1u) << "a missing driver ends reset at once";
        }
    }
    // A document whose open containers are empty still parses.
    EXPECT_EQ(run_tool({"--json", "seed"}), 2);
    EXPECT_EQ(world.out.find("{\"command\":\"seed\",\"steps\":[],\"error\":"), 0u) << world.out;
}

TEST_F(RecordCommands, InfoDecodesTheRecord) {
    uint32_t* w = world.info.word;
    w[0] = 0x1F, w[1] = 1, w[3] = 2, w[5] = 64, w[7] = 1, w[19] = 0xABC;
    world.status = 15; // left by an earlier failure
    EXPECT_EQ(run_tool({"info"}), 0);
    EXPECT_EQ(world.out, "orxlink version:           1.6\n"
                         "generator ready:           yes\n"
                         "seed accepted:             no\n"
                         "single seed bytes:         yes\n"
                         "block length:              512 bytes\n"
                         "operational:               yes\n"
                         "generator cannot complete: no\n"
                         "record words (hex):        1F 1 0 2 0 40 0 1 0 0 0 0 0 0 0 0 0 0 0 ABC\n"
                         "last status:               15 ERROR_NUM_NOT_SET\n");

    w[1] = 0, w[2] = 1, w[3] = 0, w[7] = 0, w[8] = 1;
    EXPECT_EQ(run_tool({"--json", "info"}), 0);
    EXPECT_EQ(world.out, "{\"command\":\"info\",\"library_version\":\"1.6\",\"driver\":true,"
                         "\"record\":{\"generator_ready\":false,\"seed_accepted\":true,"
                         "\"single_seed_bytes_accepted\":false,\"block_units\":64,"
                         "\"block_length\":512,\"operational\":false,\"cannot_complete\":true,"
                         "\"words\":[31,0,1,0,0,64,0,0,1,0,0,0,0,0,0,0,0,0,0,2748]},"
                         "\"last_status\":{\"code\":15,\"name\":\"ERROR_NUM_NOT_SET\"},"
                         "\"ok\":true,\"exit_code\":0}\n");
    EXPECT_EQ(world.err, "");
}

TEST_F(RecordCommands, InfoFailures) {
    world.driver = false;
    EXPECT_EQ(run_tool({"info", "--json"}), 2);
    EXPECT_EQ(world.out, "{\"command\":\"info\",\"library_version\":\"1.6\",\"driver\":false,"
                         "\"error\":\"cannot read the driver information record: the ORVEXA "
                         "driver is not available (status 51 DRIVER_OPEN_ERROR)\",\"status\":"
                         "{\"code\":51,\"name\":\"DRIVER_OPEN_ERROR\"},\"ok\":false,"
                         "\"exit_code\":2}\n");

    world = ScriptedWorld();
    world.failing = {{1, 1}};
    EXPECT_EQ(run_tool({"info"}), 3);
    EXPECT_EQ(world.out, "");
    EXPECT_EQ(world.err, "orxtool info: cannot read the driver information record (status 1 "
                         "ORX_DRIVER_ERROR)\n");
}

TEST_F(RecordCommands, SlotsListsBothNumbersOfEverySlot) {
    world.crypt[0] = "1111111111", world.sign[0] = "222222222222";
    world.sign[3] = "444444444 \x7F\x1F"; // only printable ASCII shown, else '?'
    world.crypt[9] = "3333333333";
    EXPECT_EQ(run_tool({"slots"}), 0);
    out_has({"slot  sign key      crypt key\n0     222222222222  1111111111\n1     -     ",
             "\n3     444444444 ??  -\n", "\n9     -             3333333333\n",
             "\n15    -             -\n3 of 16 slots hold a key\n"});
    EXPECT_EQ(world.calls, 32);

    EXPECT_EQ(run_tool({"slots", "--json"}), 0);
    out_has({"{\"command\":\"slots\",\"slots\":[{\"slot\":0,\"sign_key\":\"222222222222\","
             "\"crypt_key\":\"1111111111\"},{\"slot\":1,\"sign_key\":null,\"crypt_key\":null}",
             "{\"slot\":3,\"sign_key\":\"444444444 ??\",\"crypt_key\":null}",
             "{\"slot\":9,\"sign_key\":null,\"crypt_key\":\"3333333333\"}",
             "{\"slot\":15,\"sign_key\":null,\"crypt_key\":null}],\"loaded\":3,\"ok\":true,"
             "\"exit_code\":0}\n"});
}

TEST_F(RecordCommands, SlotsPrintsNoPartialTable) {
    world.failing = {{5, 7}}; // slot 2's crypt number
    EXPECT_EQ(run_tool({"slots"}), 3);
    EXPECT_EQ(world.out, "");
    EXPECT_EQ(world.err, "orxtool slots: cannot read the key numbers of slot 2 (status 7 "
                         "ERROR_GET_KEY_COMMAND)\n");
    world.failing = {{4, 7}}; // slot 1's sign number
    EXPECT_EQ(run_tool({"slots", "--json"}), 3);
    EXPECT_EQ(world.out, "{\"command\":\"slots\",\"error\":\"cannot read the key numbers of slot 1 "
                         "(status 7 ERROR_GET_KEY_COMMAND)\",\"status\":{\"code\":7,\"name\":"
                         "\"ERROR_GET_KEY_COMMAND\"},\"ok\":false,\"exit_code\":3}\n");
}

TEST_F(RecordCommands, ResetTriesEverySlotAndListsTheRefused) {
    struct Case {
        std::vector<const char*> args;
        std::map<uint32_t, uint32_t> refuse;
        int code;
        const char* out;
        const char* err;
    };
    // clang-format off
    const Case cases[] = {
        {{"reset", "15"}, {}, 0, "slot 15 reset\n", ""},
        {{"reset", "0000000003"}, {}, 0, "slot 3 reset\n", ""}, // ten digits at most
        {{"reset", "all"}, {}, 0, "all 16 slots reset\n", ""},
        {{"reset", "0"}, {{0, 1}}, 3, "",
            "orxtool reset: the driver refused to reset slot 0 (status 1 ORX_DRIVER_ERROR)\n"},
        {{"reset", "all"}, {{5, 53}}, 3, "reset: 0 1 2 3 4 6 7 8 9 10 11 12 13 14 15\n",
            "orxtool reset: the driver refused to reset slot 5 (status 53 (system error 53))\n"},
        {{"reset", "all"}, {{0, 53}, {15, 1}}, 3, "reset: 1 2 3 4 5 6 7 8 9 10 11 12 13 14\n",
            "orxtool reset: the driver refused to reset slots 0 (status 53 (system error 53)), 15 "
            "(status 1 ORX_DRIVER_ERROR)\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        world = ScriptedWorld();
        world.refuse_reset = c.refuse;
        EXPECT_EQ(run_tool(c.args), c.code) << c.out;
        EXPECT_EQ(world.out, c.out);
        EXPECT_EQ(world.err, c.err);
        EXPECT_EQ(world.resets.size(), c.args[1] == std::string("all") ? 16u : 1u);
    }

    world = ScriptedWorld();
    world.refuse_reset = {{5, 53}, {7, 1}};
    EXPECT_EQ(run_tool({"reset", "all", "--json"}), 3);
    EXPECT_EQ(world.out,
              "{\"command\":\"reset\",\"reset\":[0,1,2,3,4,6,8,9,10,11,12,13,14,15],\"refused\":"
              "[{\"slot\":5,\"status\":{\"code\":53,\"name\":\"\"}},{\"slot\":7,\"status\":"
              "{\"code\":1,\"name\":\"ORX_DRIVER_ERROR\"}}],\"error\":\"the driver refused to "
              "reset slots 5 (status 53 (system error 53)), 7 (status 1 ORX_DRIVER_ERROR)\","
              "\"status\":{\"code\":1,\"name\":\"ORX_DRIVER_ERROR\"},\"ok\":false,"
              "\"exit_code\":3}\n");
    world.driver = false;
    EXPECT_EQ(run_tool({"--json", "reset", "3"}), 2);
    EXPECT_EQ(world.out.find("{\"command\":\"reset\",\"reset\":[],\"error\":"), 0u) << world.out;
}
