// orxtool random N [--hex | --out FILE]: N bytes from the driver's generator.
//
// All N bytes are read before anything is written, so a failing driver leaves no partial
// output behind; a file that cannot be written completely is removed again.
#include <stdio.h>

#include <string>
#include <vector>

#include "commands.h"
#include "generator.h"
#include "orxlink.h"
#include "platform.h"
#include "report.h"

namespace {

constexpr uint32_t kMaxBytes = 64u << 20;

std::string to_hex(const uint8_t* data, size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        s += digits[data[i] >> 4];
        s += digits[data[i] & 0xF];
    }
    return s;
}

bool write_file(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = fclose(file) == 0 && ok;
    if (!ok)
        remove(path);
    return ok;
}

} // namespace

int run_random(const Context& ctx, const ParsedArgs& args) {
    JsonWriter j;
    report_begin(ctx, j);
    uint32_t count = 0;
    if (!parse_decimal(args.positional[0], 1, kMaxBytes, &count))
        return report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS,
                              "N must be a number of bytes from 1 to " + std::to_string(kMaxBytes) +
                                  " (got '" + args.positional[0] + "')");
    const bool hex = args.has("--hex");
    const char* path = args.value("--out");
    if (hex && path)
        return report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS,
                              "--hex and --out cannot be used together");
    const bool raw = !hex && !path && !ctx.json;
    if (raw && stdout_is_console())
        return report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS,
                              "will not write binary bytes to the console; use --hex, --out "
                              "FILE or redirect the output");
    j.field("bytes", count);

    int ready = require_ready_generator(ctx, j);
    if (ready != ORXTOOL_OK)
        return ready;
    std::vector<uint8_t> bytes(count);
    if (!read_generator(bytes.data(), bytes.size()))
        return report_driver_failure(ctx, j, "cannot read the generator; nothing was written");

    if (path) {
        j.field("file", path);
        if (!write_file(path, bytes))
            return report_failure(ctx, j, ORXTOOL_OUTPUT_FAILED,
                                  std::string("cannot write '") + path + "'");
        if (!ctx.json)
            printf("wrote %lu random bytes to %s\n", (unsigned long)count, path);
    } else if (ctx.json) {
        j.field("hex", to_hex(bytes.data(), bytes.size()));
    } else if (hex) {
        for (size_t line = 0; line < bytes.size(); line += 32) {
            size_t n = bytes.size() - line < 32 ? bytes.size() - line : 32;
            printf("%s\n", to_hex(bytes.data() + line, n).c_str());
        }
    } else {
        stdout_binary();
        if (fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || fflush(stdout) != 0)
            return report_failure(ctx, j, ORXTOOL_OUTPUT_FAILED, "cannot write to standard output");
    }
    return report_end(ctx, j, ORXTOOL_OK);
}
