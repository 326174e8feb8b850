#include "generator.h"

#include "orxlink.h"
#include "report.h"

int require_ready_generator(const Context& ctx, JsonWriter& j) {
    const rndm_handle* table = orvexa_rndm_get_handle();
    int kind = -1, size = -1;
    if (table->get_seed_need(&kind, &size) != 0) {
        // Either the record cannot be read, or the driver says the generator cannot be
        // completed: tell the two apart by reading the record.
        orvexa_drv_info info = {};
        if (orvexa_drv_query_info(&info, 0) && info.word[ORVEXA_INFO_CANNOT_COMPLETE])
            return report_failure(ctx, j, ORXTOOL_REFUSED,
                                  "the driver reports that its generator cannot be completed");
        return report_driver_failure(ctx, j, "cannot ask the generator what it needs");
    }
    if (kind != 0 || size != 0)
        return report_failure(ctx, j, ORXTOOL_REFUSED,
                              "the generator is not ready (it asks for seed material (" +
                                  std::to_string(kind) + ", " + std::to_string(size) +
                                  ")); run 'orxtool seed' first");
    return ORXTOOL_OK;
}

bool read_generator(uint8_t* buffer, size_t length) {
    const rndm_handle* table = orvexa_rndm_get_handle();
    const size_t chunk = 65536;
    for (size_t done = 0; done < length; done += chunk) {
        size_t n = length - done < chunk ? length - done : chunk;
        if (table->get_random(uint32_t(n), buffer + done) != 0)
            return false;
    }
    return true;
}
