// orxtool random N [--hex | --out FILE]: N bytes from the driver's generator.
//
// All N bytes are read before anything is written, so a failing driver leaves no partial
// output behind; a file that cannot be written completely is removed again.
#include <string>
#include <vector>

#include "commands.h"
#include "generator.h"
#include "output_file.h"
#include "report.h"
#include "tool_platform.h"

namespace {

constexpr uint32_t kMaxBytes = 64u << 20;
constexpr size_t kHexLineBytes = 32;

std::string to_hex(const uint8_t* data, size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < length; ++i) {
        s += digits[data[i] >> 4];
        s += digits[data[i] & 0xF];
    }
    return s;
}

// The arguments' own errors, before the driver is asked anything; "" when they are good.
std::string argument_error(const Context& ctx, const ParsedArgs& args, uint32_t* count) {
    if (!parse_decimal(args.positional[0], 1, kMaxBytes, count))
        return "N must be a number of bytes from 1 to " + std::to_string(kMaxBytes) + " (got '" +
               args.positional[0] + "')";
    const bool hex = args.has("--hex");
    const bool file = args.has("--out");
    if (hex && file)
        return "--hex and --out cannot be used together";
    if (!hex && !file && !ctx.json && tool_out_is_console())
        return "will not write binary bytes to the console; use --hex, --out FILE or redirect "
               "the output";
    return "";
}

// Writes the bytes where the arguments say; returns the exit code.
int deliver(const Context& ctx, JsonWriter& j, const ParsedArgs& args,
            const std::vector<uint8_t>& bytes) {
    if (const char* path = args.value("--out")) {
        j.field("file", path);
        if (!write_whole_file(path, bytes.data(), bytes.size()))
            return report_failure(ctx, j, ORXTOOL_OUTPUT_FAILED,
                                  std::string("cannot write '") + path + "'");
        if (!ctx.json)
            print_out("wrote %lu random bytes to %s\n", (unsigned long)bytes.size(), path);
    } else if (ctx.json) {
        j.field("hex", to_hex(bytes.data(), bytes.size()));
    } else if (args.has("--hex")) {
        for (size_t line = 0; line < bytes.size(); line += kHexLineBytes) {
            const size_t n =
                bytes.size() - line < kHexLineBytes ? bytes.size() - line : kHexLineBytes;
            tool_out(to_hex(bytes.data() + line, n) + "\n");
        }
    } else if (!tool_out_binary(bytes.data(), bytes.size())) {
        return report_failure(ctx, j, ORXTOOL_OUTPUT_FAILED, "cannot write to standard output");
    }
    return report_end(ctx, j, ORXTOOL_OK);
}

} // namespace

int run_random(const Context& ctx, const ParsedArgs& args) {
    JsonWriter j;
    report_begin(ctx, j);
    uint32_t count = 0;
    const std::string error = argument_error(ctx, args, &count);
    if (!error.empty())
        return report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS, error);
    j.field("bytes", count);

    const int ready = require_ready_generator(ctx, j);
    if (ready != ORXTOOL_OK)
        return ready;
    std::vector<uint8_t> bytes(count);
    if (!read_generator(bytes.data(), bytes.size()))
        return report_driver_failure(ctx, j, "cannot read the generator; nothing was written");
    return deliver(ctx, j, args, bytes);
}
