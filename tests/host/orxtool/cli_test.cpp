// orxtool's command line: help, the arguments' own errors (exit code 4 before the driver is
// asked anything), and how a document carries any text.
#include <gtest/gtest.h>

#include <stdint.h>

#include "scripted_tool.h"

namespace {

struct CliCase {
    std::vector<const char*> args;
    int code;
    const char* out; // a part of standard output ("" when it must be empty)
    const char* err; // a part of standard error ("" when it must be empty)
};

const CliCase kCliCases[] = {
    {{"--help"}, 0, "  selftest [--save FILE]\n\nEvery command", ""},
    {{"-h"}, 0, "5  selftest: the generator's output failed a test\n", ""},
    {{"random", "--help"},
     0,
     "usage: orxtool random N [--hex | --out FILE] [--json]\n\nReads N",
     ""},
    {{"reset", "-h", "--bogus"}, 4, "", "unknown option '--bogus'"},
    {{}, 4, "", "usage: orxtool [--json] COMMAND"},
    {{"--json"}, 4, "\"command\":null,\"error\":\"no command given\"", "run 'orxtool --help'"},
    {{"--verbose", "info"}, 4, "", "orxtool: unknown option '--verbose'\nrun 'orxtool --help'"},
    {{"frobnicate"}, 4, "", "orxtool: unknown command 'frobnicate'"},
    {{"info", "extra"},
     4,
     "",
     "orxtool info: unexpected argument 'extra'\nusage: orxtool info "
     "[--json]\n"},
    {{"info", "--hex"}, 4, "", "unknown option '--hex'"},
    {{"reset"}, 4, "", "orxtool reset: missing argument\nusage: orxtool reset SLOT|all [--json]"},
    {{"reset", "1", "2"}, 4, "", "unexpected argument '2'"},
    {{"reset", "16"}, 4, "", "SLOT must be a number from 0 to 15, or 'all' (got '16')"},
    {{"reset", "-1"}, 4, "", "unknown option '-1'"},
    {{"reset", "--", "-1"}, 4, "", "(got '-1')"},
    {{"reset", "--", "--json"}, 4, "", "(got '--json')"},
    {{"reset", "-"}, 4, "", "(got '-')"},
    {{"reset", "+1"}, 4, "", "(got '+1')"},
    {{"reset", " 1"}, 4, "", "(got ' 1')"},
    {{"reset", "1k"}, 4, "", "(got '1k')"},
    {{"reset", "/"}, 4, "", "(got '/')"},
    {{"reset", ":"}, 4, "", "(got ':')"},
    {{"reset", ""}, 4, "", "(got '')"},
    {{"reset", "00000000001"}, 4, "", "(got '00000000001')"},
    {{"random", "4294967296"}, 4, "", "(got '4294967296')"},
    {{"random", "0"}, 4, "", "N must be a number of bytes from 1 to 67108864 (got '0')"},
    {{"random", "67108865", "--hex"}, 4, "", "(got '67108865')"},
    {{"random", "12", "--hex", "--out", "x"}, 4, "", "--hex and --out cannot be used together"},
    {{"random", "12", "--out"}, 4, "", "option '--out' needs a value"},
    {{"random", "12", "--out", ""}, 4, "", "option '--out' needs a value"},
    {{"selftest", "--save", "-o"}, 4, "", "option '--save' needs a value"},
    {{"slots", "--hex"}, 4, "", "unknown option '--hex'"},
    {{"seed", "--save"}, 4, "", "unknown option '--save'"},
    {{"random", "12", "--hex", "--hex"}, 4, "", "option '--hex' given twice"},
    {{"random", "12"}, 4, "", "will not write binary bytes to the console"}, // a console
    {{"selftest", "--save"}, 4, "", "option '--save' needs a value"},
    {{"--json", "reset", "\"\\\n\r\t\x01\x1f\xC0\x7F~"},
     4,
     "(got '\\\"\\\\\\n\\r\\t\\u0001\\u001f\\u00c0\\u007f~')\"",
     "(got '"},
    {{"info", "--json", "x"},
     4,
     "{\"command\":\"info\",\"error\":\"unexpected argument 'x'\",\"status\":{\"code\":0,"
     "\"name\":\"\"},\"ok\":false,\"exit_code\":4}\n",
     "unexpected argument 'x'"},
};

} // namespace

TEST(Cli, HelpAndArgumentErrorsNeverTouchTheDriver) {
    for (const CliCase& c : kCliCases) {
        world = ScriptedWorld();
        world.console = true;
        std::string line;
        for (const char* a : c.args)
            line += std::string(a) + " ";
        EXPECT_EQ(run_tool(c.args), c.code) << line;
        if (*c.out)
            EXPECT_NE(world.out.find(c.out), std::string::npos) << line << world.out;
        else
            EXPECT_EQ(world.out, "") << line;
        if (*c.err)
            EXPECT_NE(world.err.find(c.err), std::string::npos) << line << world.err;
        else
            EXPECT_EQ(world.err, "") << line;
        EXPECT_EQ(world.calls, 0) << line;
    }
}
