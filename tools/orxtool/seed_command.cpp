// orxtool seed: answers the generator's seed requests from the operating system's random
// source until the provider table reports it ready and tested, printing each step.
#include <algorithm>
#include <string>
#include <vector>

#include "commands.h"
#include "generator.h"
#include "report.h"
#include "tool_platform.h"

namespace {

// A first initialisation takes (1, 40) and then at most a few (2, 64); more rounds than
// this mean the driver does not come up.
constexpr int kMaxRounds = 8;

const char* material_text(int kind, int size) {
    if (kind == 1 && size == 40)
        return "8 single seed bytes and a 32-byte seed";
    if (kind == 1 && size == 8)
        return "8 single seed bytes";
    if (kind == 1 && size == 32)
        return "a 32-byte seed";
    return "a seed block";
}

int report_ready(const Context& ctx, JsonWriter& j, int round) {
    j.field("result", "ready");
    j.end_object();
    j.end_array();
    j.field("ready", true);
    j.field("seeds_sent", round - 1);
    if (!ctx.json)
        print_out("step %d: need (0, 0): the generator is ready and tested%s\n", round,
                  round == 1 ? "; nothing to do" : "");
    return report_end(ctx, j, ORXTOOL_OK);
}

// The table refused the material: says whether the driver is gone, or the generator came
// up but failed the library's self-test.
int report_refused(const Context& ctx, JsonWriter& j, int kind, int size, int result) {
    j.field("result", "refused");
    std::string message = "the generator refused seed material " + seed_pair_text(kind, size) +
                          " (answer " + std::to_string(result) + ")";
    orvexa_drv_info info = {};
    if (tool_last_status() == DRIVER_OPEN_ERROR || !tool_query_info(&info))
        return report_driver_failure(ctx, j, message);
    message += ", status " + status_text(tool_last_status());
    if (info.word[ORVEXA_INFO_RNDM_READY])
        message += "; the generator is up but its output failed the library's self-test or "
                   "could not be read";
    return report_failure(ctx, j, ORXTOOL_REFUSED, message);
}

// Sends one round of material; returns ORXTOOL_OK when the table accepted it.
int send_seed(const Context& ctx, JsonWriter& j, int round, int kind, int size) {
    if (!ctx.json) {
        print_out("step %d: need %s: sending %s from the system's random source\n", round,
                  seed_pair_text(kind, size).c_str(), material_text(kind, size));
        tool_flush_out();
    }
    std::vector<uint8_t> material(size_t(std::max(size, 0)));
    if (!tool_system_random(material.data(), material.size()))
        return report_failure(ctx, j, ORXTOOL_REFUSED, "the system's random source gave no bytes");
    const int result = tool_put_seed(kind, size, material.data());
    if (result != 0)
        return report_refused(ctx, j, kind, size, result);
    j.field("result", "accepted");
    j.end_object();
    if (!ctx.json)
        print_out("step %d: accepted\n", round);
    return ORXTOOL_OK;
}

} // namespace

int run_seed(const Context& ctx, const ParsedArgs&) {
    JsonWriter j;
    report_begin(ctx, j);
    j.begin_array("steps");
    for (int round = 1; round <= kMaxRounds + 1; ++round) {
        int kind = -1, size = -1;
        if (tool_get_seed_need(&kind, &size) != 0)
            return report_seed_need_failure(ctx, j);
        j.begin_object();
        j.field("need", seed_pair_text(kind, size));
        j.field("kind", kind);
        j.field("size", size);
        if (kind == 0 && size == 0)
            return report_ready(ctx, j, round);
        if (round > kMaxRounds)
            break;
        const int sent = send_seed(ctx, j, round, kind, size);
        if (sent != ORXTOOL_OK)
            return sent;
    }
    return report_failure(ctx, j, ORXTOOL_REFUSED,
                          "the generator is still not ready after " + std::to_string(kMaxRounds) +
                              " seeds");
}
