// orxtool reset SLOT | all: unloads the key of one slot, or of every slot.
#include <string>
#include <vector>

#include "commands.h"
#include "report.h"
#include "tool_platform.h"

namespace {

struct Refusal {
    uint32_t slot;
    uint32_t status;
    std::string name; // taken at once: the library names only the latest status
    std::string text;
};

struct ResetRun {
    std::vector<uint32_t> done;
    std::vector<Refusal> refused;
};

// Every slot is tried even after a refusal, so that as many keys as possible are gone; a
// driver that cannot be opened ends the run at once (false).
bool reset_slots(uint32_t first, uint32_t last, ResetRun* run) {
    for (uint32_t slot = first; slot <= last; ++slot) {
        if (tool_key_reset(slot)) {
            run->done.push_back(slot);
            continue;
        }
        const uint32_t status = tool_last_status();
        if (status == DRIVER_OPEN_ERROR)
            return false;
        run->refused.push_back({slot, status, status_name(status), status_text(status)});
    }
    return true;
}

void add_json(JsonWriter& j, const ResetRun& run) {
    j.begin_array("reset");
    for (uint32_t slot : run.done)
        j.value(slot);
    j.end_array();
    j.begin_array("refused");
    for (const Refusal& r : run.refused) {
        j.begin_object();
        j.field("slot", r.slot);
        j.begin_object("status");
        j.field("code", r.status);
        j.field("name", r.name);
        j.end_object();
        j.end_object();
    }
    j.end_array();
}

void print_text(bool all, const ResetRun& run) {
    if (!all && run.done.size() == 1) {
        print_out("slot %lu reset\n", (unsigned long)run.done[0]);
    } else if (all && run.refused.empty()) {
        print_out("all %d slots reset\n", ORVEXA_SLOT_COUNT);
    } else if (!run.done.empty()) {
        std::string line = "reset:";
        for (uint32_t slot : run.done)
            line += " " + std::to_string(slot);
        tool_out(line + "\n");
    }
}

std::string refusal_message(const std::vector<Refusal>& refused) {
    std::string message = "the driver refused to reset slot";
    message += refused.size() > 1 ? "s" : "";
    for (size_t i = 0; i < refused.size(); ++i)
        message += (i ? ", " : " ") + std::to_string(refused[i].slot) + " (status " +
                   refused[i].text + ")";
    return message;
}

} // namespace

int run_reset(const Context& ctx, const ParsedArgs& args) {
    JsonWriter j;
    report_begin(ctx, j);
    const std::string& which = args.positional[0];
    const bool all = which == "all";
    uint32_t first = 0, last = ORVEXA_SLOT_COUNT - 1;
    if (!all) {
        if (!parse_decimal(which, 0, ORVEXA_SLOT_COUNT - 1, &first))
            return report_failure(ctx, j, ORXTOOL_BAD_ARGUMENTS,
                                  "SLOT must be a number from 0 to 15, or 'all' (got '" + which +
                                      "')");
        last = first;
    }
    ResetRun run;
    if (!reset_slots(first, last, &run)) {
        j.begin_array("reset");
        j.end_array();
        return report_driver_failure(ctx, j, "cannot reset any slot");
    }
    add_json(j, run);
    if (!ctx.json)
        print_text(all, run);
    if (!run.refused.empty())
        return report_failure(ctx, j, ORXTOOL_REFUSED, refusal_message(run.refused));
    return report_end(ctx, j, ORXTOOL_OK);
}
