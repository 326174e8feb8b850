// orxtool: a console client of orxlink for scripts and operators.
#include <stdio.h>
#include <string.h>

#include <string>

#include "commands.h"
#include "report.h"

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

void usage(FILE* out) {
    fputs("usage: orxtool [--json] COMMAND [ARGUMENTS] [--json]\n"
          "       orxtool COMMAND --help\n\n"
          "Commands:\n",
          out);
    for (const Command& c : kCommands) {
        std::string line = std::string(c.name) + c.usage;
        fprintf(out, "  %-34s\n", line.c_str());
    }
    fputs("\nEvery command takes --json (one JSON document on standard output, also when it\n"
          "fails) and --help.\n\n",
          out);
    fputs(kExitCodes, out);
}

void command_help(const Command& c) {
    printf("usage: orxtool %s%s [--json]\n\n%s\n%s", c.name, c.usage, c.help, kExitCodes);
}

int bad_arguments(const Context& ctx, const std::string& message, const Command* c) {
    JsonWriter j;
    report_begin(ctx, j);
    int code = report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS, message);
    if (c)
        fprintf(stderr, "usage: orxtool %s%s [--json]\n", c->name, c->usage);
    else
        fputs("run 'orxtool --help' for the commands\n", stderr);
    return code;
}

} // namespace

int main(int argc, char** argv) {
    bool json = false;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            usage(stdout);
            return ORXTOOL_OK;
        } else {
            return bad_arguments({"", json}, std::string("unknown option '") + argv[i] + "'",
                                 nullptr);
        }
    }
    if (i >= argc) {
        if (!json) {
            usage(stderr);
            return ORXTOOL_BAD_ARGUMENTS;
        }
        return bad_arguments({"", json}, "no command given", nullptr);
    }

    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (strcmp(argv[i], c.name) == 0)
            command = &c;
    if (!command)
        return bad_arguments({"", json}, std::string("unknown command '") + argv[i] + "'", nullptr);

    ParsedArgs args;
    std::string error;
    bool parsed = parse_args(argc - i - 1, argv + i + 1, command->options, command->option_count,
                             &args, &error);
    Context ctx = {command->name, json || args.json};
    if (parsed && args.help) {
        command_help(*command);
        return ORXTOOL_OK;
    }
    if (!parsed)
        return bad_arguments(ctx, error, command);
    if (args.positional.size() != command->positional)
        return bad_arguments(ctx,
                             args.positional.size() < command->positional
                                 ? "missing argument"
                                 : "unexpected argument '" + args.positional.back() + "'",
                             command);
    return command->run(ctx, args);
}
