// Command-line parsing shared by orxtool's commands. Portable.
#ifndef ORXTOOL_ARGS_H
#define ORXTOOL_ARGS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct OptionDef {
    const char* name; // "--hex"
    bool takes_value; // "--out FILE"
};

struct ParsedArgs {
    bool json = false;
    bool help = false;
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options; // in the order given
    const char* value(const char* name) const;                // null when not given
    bool has(const char* name) const { return value(name) != nullptr; }
};

// Parses the arguments after the command name. --json and --help (or -h) are known to
// every command; `options` lists the command's own. "--" ends the options. Returns false
// with a one-line reason in `error` for an unknown option, a missing value (a value may not
// begin with "-", so that "--out --json" is caught), or an option
// given twice.
bool parse_args(int argc, const char* const* argv, const OptionDef* options, size_t count,
                ParsedArgs* out, std::string* error);

// A decimal number from `min` to `max`, digits only: no sign, no blanks, no suffix.
bool parse_decimal(const std::string& text, uint32_t min, uint32_t max, uint32_t* value);

#endif
