// orxtool's command line: the command table, --help, and the arguments' own errors.
#include "cli.h"

#include <string.h>

#include <string>

#include "commands.h"
#include "report.h"
#include "tool_platform.h"

namespace {

const OptionDef kRandomOptions[] = {{"--hex", false}, {"--out", true}};
const OptionDef kSelftestOptions[] = {{"--save", true}};

struct Command {
    const char* name;
    const char* usage; // after "orxtool NAME"
    const char* help;
    const OptionDef* options;
    size_t option_count;
    size_t positional; // exact number of positional arguments
    int (*run)(const Context&, const ParsedArgs&);
};

const Command kCommands[] = {
    {"info", "",
     "Shows the ORVEXA driver's information record decoded (generator ready, seed\n"
     "accepted, single seed bytes accepted, block length, operational, generator cannot\n"
     "complete), its twenty words, the orxlink version and the library's last status.\n",
     nullptr, 0, 0, run_info},
    {"slots", "",
     "Lists the sixteen key slots, one row per slot, with the sign key number (12 digits)\n"
     "and the crypt key number (10 digits) the slot holds; \"-\" marks a missing number.\n",
     nullptr, 0, 0, run_slots},
    {"reset", " SLOT|all",
     "Unloads the key in slot SLOT (0 to 15), or in every slot with \"all\". With \"all\"\n"
     "every slot is tried even when the driver refuses one; the refused slots are listed.\n",
     nullptr, 0, 1, run_reset},
    {"random", " N [--hex | --out FILE]",
     "Reads N random bytes (1 to 67108864) from the driver's generator through orxlink's\n"
     "provider table. The generator must be ready (see \"orxtool seed\"). Without an option\n"
     "the bytes go to standard output as they are (redirect it); --hex prints them in\n"
     "hexadecimal, 32 bytes a line; --out writes them to FILE. With --json the bytes are\n"
     "in the \"hex\" member. All N bytes are read before anything is written.\n",
     kRandomOptions, 2, 1, run_random},
    {"seed", "",
     "Seeds the driver's generator until it is ready and tested: asks the provider table\n"
     "what it needs, answers each request with bytes from the system's random source, and\n"
     "prints each step. Does nothing when the generator is ready already.\n",
     nullptr, 0, 0, run_seed},
    {"selftest", " [--save FILE]",
     "Tests the generator's output. Reads 25,600 bytes through the provider table and\n"
     "applies the library's chi-square test (pass when 205.33 <= X <= 310.57; up to five\n"
     "samples, as the library does), then, on the first sample: the FIPS 140-2 monobit,\n"
     "poker, runs and long-run tests on 20,000 bits, and the SP 800-90B repetition count\n"
     "and adaptive proportion tests on its bytes. --save writes the first sample to FILE.\n"
     "Exit code 5 when any test fails.\n",
     kSelftestOptions, 1, 0, run_selftest},
};

const char kExitCodes[] = "Exit codes:\n"
                          "  0  done\n"
                          "  1  the output file could not be written\n"
                          "  2  the ORVEXA driver is not available\n"
                          "  3  the driver or the library refused or failed a request\n"
                          "  4  bad arguments\n"
                          "  5  selftest: the generator's output failed a test\n";

std::string usage() {
    std::string text = "usage: orxtool [--json] COMMAND [ARGUMENTS] [--json]\n"
                       "       orxtool COMMAND --help\n\n"
                       "Commands:\n";
    for (const Command& c : kCommands)
        text += "  " + std::string(c.name) + c.usage + "\n";
    return text +
           "\nEvery command takes --json (one JSON document on standard output, also when it\n"
           "fails) and --help.\n\n" +
           kExitCodes;
}

void command_help(const Command& c) {
    print_out("usage: orxtool %s%s [--json]\n\n%s\n%s", c.name, c.usage, c.help, kExitCodes);
}

int bad_arguments(const Context& ctx, const std::string& message, const Command* c) {
    JsonWriter j;
    report_begin(ctx, j);
    int code = report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS, message);
    if (c)
        tool_err(std::string("usage: orxtool ") + c->name + c->usage + " [--json]\n");
    else
        tool_err("run 'orxtool --help' for the commands\n");
    return code;
}

const Command* find_command(const char* name) {
    for (const Command& c : kCommands)
        if (strcmp(name, c.name) == 0)
            return &c;
    return nullptr;
}

// The command's own arguments: argv[0] is the first one after its name.
int run_command(const Command& command, bool json, int argc, const char* const* argv) {
    ParsedArgs args;
    std::string error;
    const bool parsed =
        parse_args(argc, argv, command.options, command.option_count, &args, &error);
    const Context ctx = {command.name, json || args.json};
    if (parsed && args.help) {
        command_help(command);
        return ORXTOOL_OK;
    }
    if (!parsed)
        return bad_arguments(ctx, error, &command);
    if (args.positional.size() < command.positional)
        return bad_arguments(ctx, "missing argument", &command);
    if (args.positional.size() > command.positional)
        return bad_arguments(ctx, "unexpected argument '" + args.positional.back() + "'", &command);
    return command.run(ctx, args);
}

} // namespace

// Options before the command: --json, or --help alone.
int orxtool_main(int argc, const char* const* argv) {
    bool json = false;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            tool_out(usage());
            return ORXTOOL_OK;
        } else {
            return bad_arguments({"", json}, std::string("unknown option '") + argv[i] + "'",
                                 nullptr);
        }
    }
    if (i >= argc) {
        if (!json) {
            tool_err(usage());
            return ORXTOOL_BAD_ARGUMENTS;
        }
        return bad_arguments({"", json}, "no command given", nullptr);
    }
    const Command* command = find_command(argv[i]);
    if (!command)
        return bad_arguments({"", json}, std::string("unknown command '") + argv[i] + "'", nullptr);
    return run_command(*command, json, argc - i - 1, argv + i + 1);
}
