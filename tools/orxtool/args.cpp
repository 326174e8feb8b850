#include "args.h"

#include <string.h>

const char* ParsedArgs::value(const char* name) const {
    for (const auto& option : options)
        if (option.first == name)
            return option.second.c_str();
    return nullptr;
}

bool parse_args(int argc, const char* const* argv, const OptionDef* options, size_t count,
                ParsedArgs* out, std::string* error) {
    bool options_ended = false;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (options_ended || arg[0] != '-' || arg[1] == '\0') {
            out->positional.push_back(arg);
            continue;
        }
        if (strcmp(arg, "--") == 0) {
            options_ended = true;
        } else if (strcmp(arg, "--json") == 0) {
            out->json = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            out->help = true;
        } else {
            const OptionDef* known = nullptr;
            for (size_t k = 0; k < count; ++k)
                if (strcmp(arg, options[k].name) == 0)
                    known = &options[k];
            if (!known) {
                *error = std::string("unknown option '") + arg + "'";
                return false;
            }
            if (out->has(known->name)) {
                *error = std::string("option '") + arg + "' given twice";
                return false;
            }
            std::string value;
            if (known->takes_value) {
                if (i + 1 >= argc || argv[i + 1][0] == '\0' || argv[i + 1][0] == '-') {
                    *error = std::string("option '") + arg + "' needs a value";
                    return false;
                }
                value = argv[++i];
            }
            out->options.emplace_back(known->name, value);
        }
    }
    return true;
}

bool parse_decimal(const std::string& text, uint32_t min, uint32_t max, uint32_t* value) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + uint64_t(c - '0');
    }
    if (n < min || n > max)
        return false;
    *value = uint32_t(n);
    return true;
}
