#include "rng_collection.h"

#include "key_device_list.h"
#include "loaded_keys_list.h"
#include "loader_state.h"
#include "main_window_logic.h"
#include "main_window_state.h"
#include "main_window_ui.h"
#include "res/resource_ids.h"
#include "seed_mask.h"

namespace {

const int mask_offset = 8;

void take_sample() {
    ui_progress_step(IDC_RNG_PROGRESS);
    window_state.last_performance_counter = lp_performance_counter();
    uint8_t* sample = &window_state.samples[loader.rng_progress];
    if (!orvexa_rndm_get_byte(sample))
        return;
    uint32_t timing = window_state.last_message_time +
                      uint32_t(window_state.last_performance_counter & 0xFFFFFFFFu);
    *sample = uint8_t(*sample + (timing & 0xFF));
    ++loader.rng_progress;
    orvexa_rndm_step();
}

} // namespace

void rng_press_event(uint32_t message_time) {
    if (rng_ready())
        return;
    window_state.rng_event_counter = window_state.rng_event_counter / 10 * 10 + 10;
    window_state.last_message_time = message_time;
    ui_send_command(ID_RNG_SAMPLE);
}

void rng_move_event(uint32_t message_time) {
    if (rng_ready())
        return;
    ++window_state.rng_event_counter;
    window_state.last_message_time = message_time;
    ui_send_command(ID_RNG_SAMPLE);
}

void rng_collection_step() {
    if (rng_ready() || loader.rng_progress == RNG_FINISHED ||
        window_state.rng_event_counter % 10 != 0)
        return;
    // The sample that reaches 40 does not complete by itself: the next event does.
    if (loader.rng_progress != RNG_SAMPLES)
        take_sample();
    else
        rng_completion_step();
}

// When the key view already stands (start-up's Akkord initialisation reached 40 but the
// driver was not ready), its device list is kept as it is rather than filled twice.
void rng_completion_step() {
    loader.rng_progress = RNG_FINISHED;
    orx_user_mask_merge(window_state.samples + mask_offset);
    reread_drv_info();
    ui_set(IDC_RNG_GROUP, UI_VISIBLE, 0);
    ui_set(IDC_RNG_PROMPT, UI_VISIBLE, 0);
    ui_set(IDC_RNG_PROGRESS, UI_VISIBLE, 0);
    switch (loader.command_mode) {
    case 0:
        if (!window_state.device_list_filled)
            FillKeyDeviceList();
        RefreshLoadedKeyList();
        break;
    case 'I':
    case 'U': {
        int16_t status = loader.crypto.InitKey(loader.settings.DefaultKeyDev, "");
        loader.window.keys_loaded = status == 0;
        end_main_window(status);
        break;
    }
    case 'S':
        end_main_window(0);
        break;
    default:
        break;
    }
}
