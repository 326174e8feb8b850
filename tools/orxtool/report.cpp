#include "report.h"

#include <stdarg.h>
#include <stdio.h>

#include "tool_platform.h"

void print_out(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(size_t(length > 0 ? length : 0) + 1, '\0');
    vsnprintf(&text[0], text.size(), format, again);
    va_end(again);
    text.pop_back();
    tool_out(text);
}

std::string status_name(uint32_t status) {
    // The library names the current last status only (and only codes from 1 to 51).
    if (status != tool_last_status())
        return "";
    return tool_last_status_name();
}

std::string status_text(uint32_t status) {
    std::string text = std::to_string(status);
    std::string name = status_name(status);
    if (!name.empty())
        text += " " + name;
    else if (status == ORX_RESET_NETWORK_PATH)
        text += " (system error 53)";
    return text;
}

void add_status(JsonWriter& j, const char* key, uint32_t status) {
    j.begin_object(key);
    j.field("code", status);
    j.field("name", status_name(status));
    j.end_object();
}

void report_begin(const Context& ctx, JsonWriter& j) {
    j.begin_object();
    j.field("command", *ctx.command ? ctx.command : nullptr);
}

int report_end(const Context& ctx, JsonWriter& j, int exit_code) {
    if (ctx.json) {
        j.close_to(1);
        j.field("ok", exit_code == ORXTOOL_OK);
        j.field("exit_code", exit_code);
        j.close_all();
        tool_out(j.text() + "\n");
    }
    return exit_code; // the C runtime flushes standard output at exit
}

int report_failure(const Context& ctx, JsonWriter& j, int exit_code, const std::string& message) {
    tool_err(std::string("orxtool") + (*ctx.command ? " " : "") + ctx.command + ": " + message +
             "\n");
    if (ctx.json) {
        j.close_to(1);
        j.field("error", message);
        add_status(j, "status", tool_last_status());
    }
    return report_end(ctx, j, exit_code);
}

int report_driver_failure(const Context& ctx, JsonWriter& j, const std::string& what) {
    const uint32_t status = tool_last_status();
    if (status == DRIVER_OPEN_ERROR)
        return report_failure(ctx, j, ORXTOOL_DRIVER_ABSENT,
                              what + ": the ORVEXA driver is not available (status " +
                                  status_text(status) + ")");
    return report_failure(ctx, j, ORXTOOL_REFUSED, what + " (status " + status_text(status) + ")");
}
