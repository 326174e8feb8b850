// orxtool seed: answers the generator's seed requests from the operating system's random
// source until the provider table reports it ready and tested, printing each step.
#include <stdio.h>

#include <string>
#include <vector>

#include "commands.h"
#include "orxlink.h"
#include "platform.h"
#include "report.h"

namespace {

// A first initialisation takes (1, 40) and then at most a few (2, 64); more rounds than
// this mean the driver does not come up.
constexpr int kMaxRounds = 8;

std::string pair_text(int kind, int size) {
    return "(" + std::to_string(kind) + ", " + std::to_string(size) + ")";
}

const char* material_text(int kind, int size) {
    if (kind == 1 && size == 40)
        return "8 single seed bytes and a 32-byte seed";
    if (kind == 1 && size == 8)
        return "8 single seed bytes";
    if (kind == 1 && size == 32)
        return "a 32-byte seed";
    return "a seed block";
}

} // namespace

int run_seed(const Context& ctx, const ParsedArgs&) {
    JsonWriter j;
    report_begin(ctx, j);
    const rndm_handle* table = orvexa_rndm_get_handle();
    j.begin_array("steps");
    for (int round = 1; round <= kMaxRounds + 1; ++round) {
        int kind = -1, size = -1;
        if (table->get_seed_need(&kind, &size) != 0) {
            orvexa_drv_info info = {};
            if (orvexa_drv_query_info(&info, 0) && info.word[ORVEXA_INFO_CANNOT_COMPLETE])
                return report_failure(ctx, j, ORXTOOL_REFUSED,
                                      "the driver reports that its generator cannot be "
                                      "completed");
            return report_driver_failure(ctx, j, "cannot ask the generator what it needs");
        }
        j.begin_object();
        j.field("need", pair_text(kind, size));
        j.field("kind", kind);
        j.field("size", size);
        if (kind == 0 && size == 0) {
            j.field("result", "ready");
            j.end_object();
            j.end_array();
            j.field("ready", true);
            j.field("seeds_sent", round - 1);
            if (!ctx.json)
                printf("step %d: need (0, 0): the generator is ready and tested%s\n", round,
                       round == 1 ? "; nothing to do" : "");
            return report_end(ctx, j, ORXTOOL_OK);
        }
        if (round > kMaxRounds)
            break;
        if (!ctx.json) {
            printf("step %d: need %s: sending %s from the system's random source\n", round,
                   pair_text(kind, size).c_str(), material_text(kind, size));
            fflush(stdout);
        }
        std::vector<uint8_t> material(size_t(size > 0 ? size : 0));
        if (!system_random(material.data(), material.size()))
            return report_failure(ctx, j, ORXTOOL_REFUSED,
                                  "the system's random source gave no bytes");
        int result = table->put_seed(kind, size, material.data());
        if (result != 0) {
            j.field("result", "refused");
            orvexa_drv_info info = {};
            std::string message = "the generator refused seed material " + pair_text(kind, size) +
                                  " (answer " + std::to_string(result) + ")";
            if (orvexa_drv_last_status() == DRIVER_OPEN_ERROR || !orvexa_drv_query_info(&info, 0))
                return report_driver_failure(ctx, j, message);
            message += ", status " + status_text(orvexa_drv_last_status());
            if (info.word[ORVEXA_INFO_RNDM_READY])
                message += "; the generator is up but its output failed the library's "
                           "self-test or could not be read";
            return report_failure(ctx, j, ORXTOOL_REFUSED, message);
        }
        j.field("result", "accepted");
        j.end_object();
        if (!ctx.json)
            printf("step %d: accepted\n", round);
    }
    return report_failure(ctx, j, ORXTOOL_REFUSED,
                          "the generator is still not ready after " + std::to_string(kMaxRounds) +
                              " seeds");
}
