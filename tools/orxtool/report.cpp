#include "report.h"

#include <stdio.h>

#include "orxlink.h"

std::string status_name(uint32_t status) {
    // The library names the current last status only, and only codes from 1 to 51.
    if (status == 0 || status != orvexa_drv_last_status())
        return "";
    char name[64] = "";
    orvexa_drv_status_name(name, int32_t(sizeof name - 1));
    return name;
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

namespace {

int finish(const Context& ctx, JsonWriter& j, int exit_code) {
    if (ctx.json) {
        j.close_to(1);
        j.field("ok", exit_code == ORXTOOL_OK);
        j.field("exit_code", exit_code);
        j.close_all();
        puts(j.text().c_str());
    }
    fflush(stdout);
    return exit_code;
}

} // namespace

int report_end(const Context& ctx, JsonWriter& j, int exit_code) {
    return finish(ctx, j, exit_code);
}

int report_failure(const Context& ctx, JsonWriter& j, int exit_code, const std::string& message) {
    fflush(stdout);
    fprintf(stderr, "orxtool%s%s: %s\n", *ctx.command ? " " : "", ctx.command, message.c_str());
    fflush(stderr);
    if (ctx.json) {
        j.close_to(1);
        j.field("error", message);
        add_status(j, "status", orvexa_drv_last_status());
    }
    return finish(ctx, j, exit_code);
}

int report_driver_failure(const Context& ctx, JsonWriter& j, const std::string& what) {
    uint32_t status = orvexa_drv_last_status();
    std::string message = what + " (status " + status_text(status) + ")";
    if (status == DRIVER_OPEN_ERROR) {
        message =
            what + ": the ORVEXA driver is not available (status " + status_text(status) + ")";
        return report_failure(ctx, j, ORXTOOL_DRIVER_ABSENT, message);
    }
    return report_failure(ctx, j, ORXTOOL_REFUSED, message);
}
