#include "json.h"

#include <math.h>
#include <stdio.h>

std::string json_quote(const char* text) {
    std::string s = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        switch (*p) {
        case '"':
            s += "\\\"";
            break;
        case '\\':
            s += "\\\\";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\t':
            s += "\\t";
            break;
        default:
            if (*p < 0x20 || *p >= 0x7F) {
                char escape[8];
                snprintf(escape, sizeof escape, "\\u%04x", *p);
                s += escape;
            } else {
                s += char(*p);
            }
        }
    }
    return s + "\"";
}

void JsonWriter::member(const char* key) {
    if (!first_.empty()) {
        if (!first_.back())
            out_ += ',';
        first_.back() = false;
    }
    if (key) {
        out_ += json_quote(key);
        out_ += ':';
    }
}

void JsonWriter::begin_object(const char* key) {
    member(key);
    out_ += '{';
    open_.push_back('}');
    first_.push_back(true);
}

void JsonWriter::begin_array(const char* key) {
    member(key);
    out_ += '[';
    open_.push_back(']');
    first_.push_back(true);
}

void JsonWriter::end_object() {
    close_to(open_.size() - 1);
}

void JsonWriter::end_array() {
    close_to(open_.size() - 1);
}

void JsonWriter::close_all() {
    close_to(0);
}

void JsonWriter::close_to(size_t depth) {
    while (open_.size() > depth) {
        out_ += open_.back();
        open_.pop_back();
        first_.pop_back();
    }
}

void JsonWriter::field(const char* key, const char* text) {
    member(key);
    out_ += text ? json_quote(text) : "null";
}

void JsonWriter::field(const char* key, const std::string& text) {
    field(key, text.c_str());
}

void JsonWriter::integer(const char* key, long long number) {
    member(key);
    out_ += std::to_string(number);
}

void JsonWriter::field(const char* key, double number, int decimals) {
    member(key);
    if (!isfinite(number)) {
        out_ += "null";
        return;
    }
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%.*f", decimals, number);
    out_ += buffer;
}

void JsonWriter::field(const char* key, bool flag) {
    member(key);
    out_ += flag ? "true" : "false";
}
