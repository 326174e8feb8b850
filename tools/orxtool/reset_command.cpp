// orxtool reset SLOT | all: unloads the key of one slot, or of every slot.
#include <stdio.h>

#include <string>
#include <vector>

#include "commands.h"
#include "orxlink.h"
#include "report.h"

namespace {

struct Refusal {
    uint32_t slot;
    uint32_t status;
    std::string name; // taken at once: the library names only the latest status
    std::string text;
};

} // namespace

int run_reset(const Context& ctx, const ParsedArgs& args) {
    JsonWriter j;
    report_begin(ctx, j);
    const std::string& which = args.positional[0];
    uint32_t first = 0, last = ORVEXA_SLOT_COUNT - 1;
    if (which != "all") {
        if (!parse_decimal(which, 0, ORVEXA_SLOT_COUNT - 1, &first))
            return report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS,
                                  "SLOT must be a number from 0 to 15, or 'all' (got '" + which +
                                      "')");
        last = first;
    }

    // Every slot is tried even after a refusal, so that as many keys as possible are gone;
    // a driver that cannot be opened ends the run at once.
    std::vector<uint32_t> done;
    std::vector<Refusal> refused;
    for (uint32_t slot = first; slot <= last; ++slot) {
        if (orvexa_key_reset_slot(slot)) {
            done.push_back(slot);
            continue;
        }
        if (orvexa_drv_last_status() == DRIVER_OPEN_ERROR) {
            j.begin_array("reset");
            j.end_array();
            return report_driver_failure(ctx, j, "cannot reset any slot");
        }
        uint32_t status = orvexa_drv_last_status();
        refused.push_back({slot, status, status_name(status), status_text(status)});
    }

    j.begin_array("reset");
    for (uint32_t slot : done)
        j.value(slot);
    j.end_array();
    j.begin_array("refused");
    for (const Refusal& r : refused) {
        j.begin_object();
        j.field("slot", r.slot);
        j.begin_object("status");
        j.field("code", r.status);
        j.field("name", r.name);
        j.end_object();
        j.end_object();
    }
    j.end_array();

    if (!ctx.json) {
        if (first == last && done.size() == 1)
            printf("slot %lu reset\n", (unsigned long)first);
        else if (first != last && refused.empty())
            printf("all %d slots reset\n", ORVEXA_SLOT_COUNT);
        else if (!done.empty()) {
            printf("reset:");
            for (uint32_t slot : done)
                printf(" %lu", (unsigned long)slot);
            printf("\n");
        }
    }
    if (refused.empty())
        return report_end(ctx, j, ORXTOOL_OK);

    std::string message = "the driver refused to reset slot";
    message += refused.size() > 1 ? "s" : "";
    for (size_t i = 0; i < refused.size(); ++i)
        message += (i ? ", " : " ") + std::to_string(refused[i].slot) + " (status " +
                   refused[i].text + ")";
    return report_failure(ctx, j, ORXTOOL_REFUSED, message);
}
