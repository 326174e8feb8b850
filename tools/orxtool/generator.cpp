#include "generator.h"

#include <algorithm>

#include "report.h"
#include "tool_platform.h"

std::string seed_pair_text(int kind, int size) {
    return "(" + std::to_string(kind) + ", " + std::to_string(size) + ")";
}

int report_seed_need_failure(const Context& ctx, JsonWriter& j) {
    // Either the record cannot be read, or the driver says the generator cannot be
    // completed: tell the two apart by reading the record.
    orvexa_drv_info info = {};
    if (tool_query_info(&info) && info.word[ORVEXA_INFO_CANNOT_COMPLETE])
        return report_failure(ctx, j, ORXTOOL_REFUSED,
                              "the driver reports that its generator cannot be completed");
    return report_driver_failure(ctx, j, "cannot ask the generator what it needs");
}

int require_ready_generator(const Context& ctx, JsonWriter& j) {
    int kind = -1, size = -1;
    if (tool_get_seed_need(&kind, &size) != 0)
        return report_seed_need_failure(ctx, j);
    if (kind != 0 || size != 0)
        return report_failure(ctx, j, ORXTOOL_REFUSED,
                              "the generator is not ready (it asks for seed material " +
                                  seed_pair_text(kind, size) + "); run 'orxtool seed' first");
    return ORXTOOL_OK;
}

bool read_generator(uint8_t* buffer, size_t length) {
    const size_t chunk = 65536;
    for (size_t done = 0; done < length; done += chunk) {
        const size_t n = std::min(length - done, chunk);
        if (tool_get_random(uint32_t(n), buffer + done) != 0)
            return false;
    }
    return true;
}
