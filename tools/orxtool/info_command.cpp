// orxtool info: the driver information record, decoded, and the library's state.
#include <stdio.h>

#include "commands.h"
#include "report.h"
#include "tool_platform.h"

namespace {

const char* yes_no(uint32_t word) {
    return word ? "yes" : "no";
}

} // namespace

int run_info(const Context& ctx, const ParsedArgs&) {
    JsonWriter j;
    report_begin(ctx, j);
    uint32_t version = tool_library_version();
    char version_text[32];
    snprintf(version_text, sizeof version_text, "%lu.%lu", (unsigned long)(version >> 16),
             (unsigned long)(version & 0xFFFF));
    j.field("library_version", version_text);

    orvexa_drv_info info = {};
    if (!tool_query_info(&info)) {
        j.field("driver", false);
        return report_driver_failure(ctx, j, "cannot read the driver information record");
    }
    const uint32_t* w = info.word;
    const uint32_t block_length = w[ORVEXA_INFO_BLOCK_UNITS] * 8;
    j.field("driver", true);
    j.begin_object("record");
    j.field("generator_ready", w[ORVEXA_INFO_RNDM_READY] != 0);
    j.field("seed_accepted", w[ORVEXA_INFO_SEED_ACCEPTED] != 0);
    j.field("single_seed_bytes_accepted", w[ORVEXA_INFO_BYTES_ACCEPTED] != 0);
    j.field("block_units", w[ORVEXA_INFO_BLOCK_UNITS]);
    j.field("block_length", block_length);
    j.field("operational", w[ORVEXA_INFO_OPERATIONAL] != 0);
    j.field("cannot_complete", w[ORVEXA_INFO_CANNOT_COMPLETE] != 0);
    j.begin_array("words");
    for (uint32_t word : info.word)
        j.value(word);
    j.end_array();
    j.end_object();
    add_status(j, "last_status", tool_last_status());

    if (!ctx.json) {
        print_out("orxlink version:           %s\n", version_text);
        print_out("generator ready:           %s\n", yes_no(w[ORVEXA_INFO_RNDM_READY]));
        print_out("seed accepted:             %s\n", yes_no(w[ORVEXA_INFO_SEED_ACCEPTED]));
        print_out("single seed bytes:         %s\n", yes_no(w[ORVEXA_INFO_BYTES_ACCEPTED]));
        print_out("block length:              %lu bytes\n", (unsigned long)block_length);
        print_out("operational:               %s\n", yes_no(w[ORVEXA_INFO_OPERATIONAL]));
        print_out("generator cannot complete: %s\n", yes_no(w[ORVEXA_INFO_CANNOT_COMPLETE]));
        print_out("record words (hex):       ");
        for (uint32_t word : info.word)
            print_out(" %lX", (unsigned long)word);
        print_out("\n");
        print_out("last status:               %s\n", status_text(tool_last_status()).c_str());
    }
    return report_end(ctx, j, ORXTOOL_OK);
}
