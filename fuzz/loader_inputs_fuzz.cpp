// Feeds everything orxload takes from outside to its portable code: the command line,
// the driver record, the crypto, reader and Akkord libraries' answers, the registry values
// of the loader and the About box, the drive lists, and what the operator does in the main
// window. The answers come from the input in the order the loader asks for them
// (loader_fuzz_platform.cpp); the operator's actions are taken from it here.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "about_box.h"
#include "about_texts.h"
#include "loader_fuzz_platform.h"
#include "loader_platform.h"
#include "loader_state.h"
#include "main_window_logic.h"
#include "res/resource_ids.h"
#include "startup.h"

namespace {

const int max_actions = 96;

const uint32_t commands[] = {
    ID_RNG_SAMPLE,  2,           IDC_EXIT,     IDM_EXIT,           IDC_LOAD_KEY, IDC_UNLOAD_KEY,
    IDC_UNLOAD_ALL, IDM_REFRESH, IDM_AUTO_RNG, IDM_COMPRESS_FILES, IDM_ABOUT};
const int command_count = sizeof commands / sizeof commands[0];

void operator_action(uint8_t action) {
    switch (action % 8) {
    case 0: {
        uint8_t b = lf_byte();
        main_window_command(b < command_count ? commands[b] : lf_u32());
        break;
    }
    case 1:
        main_window_event(EVENT_PRESS, lf_u32());
        break;
    case 2:
        main_window_event(EVENT_MOVE, lf_u32());
        break;
    case 3: // a run of key presses, as the random-generator view asks for
        for (int n = lf_byte() % 48; n > 0; --n)
            main_window_event(EVENT_PRESS, n);
        break;
    case 4: {
        uint8_t b = lf_byte();
        uint32_t event = b & 1   ? uint32_t(DEVICE_ARRIVAL)
                         : b & 2 ? uint32_t(DEVICE_REMOVE_COMPLETE)
                                 : lf_u32();
        uint32_t mask = b & 4 ? 1u << (lf_byte() % 32) : lf_u32();
        main_window_device_change(event, (b & 8) == 0, mask, lf_u32());
        break;
    }
    case 5:
        lf_operator_picks_device(lf_byte());
        break;
    case 6:
        lf_operator_picks_line(lf_byte());
        break;
    default:
        main_window_command(2);
        break; // the close box
    }
}

} // namespace

// The dialog's run: its initialisation, then the operator's actions until it ends; an
// operator who has nothing more to do closes it.
int lp_run_main_window(lp_module resources) {
    if (!resources)
        lf_fail("main window without resources");
    if (lf_byte() == 1)
        return -1; // the dialog cannot be created
    lf_window_open();
    main_window_init();
    int result = 0;
    for (int n = 0; n < max_actions && !lf_window_ended(&result); ++n)
        operator_action(lf_done() ? 7 : lf_byte());
    if (!lf_window_ended(&result))
        main_window_command(2);
    lf_window_ended(&result);
    return result;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lf_begin(data, size);
    loader = LoaderState();
    Cp1251Installed = 0;
    char command_line[64] = {};
    lf_fill(command_line, lf_byte() % sizeof command_line);
    run_loader(command_line);
    // The About box with a product key of its own, as other programs show it.
    static char instance;
    if (lf_byte() == 1)
        ShowAboutBox(&instance, nullptr, 114, "orxload");
    lf_end();
    return 0;
}
