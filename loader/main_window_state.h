// The main window's process-wide state: one window per run.
#ifndef ORX_LOADER_MAIN_WINDOW_STATE_H
#define ORX_LOADER_MAIN_WINDOW_STATE_H

#include <stdint.h>

#include "loader_state.h"

enum { AUTO_RNG_CHECKED = 8 };

struct MainWindowState {
    int auto_rng_checked; // 0, or 8 while "Auto RNG (from Akkord)" is checked
    uint32_t compress_mode;
    int device_list_filled;
    int32_t rng_event_counter;
    uint32_t last_message_time;
    uint64_t last_performance_counter;
    uint8_t samples[RNG_SAMPLES];
    char label_template[18]; // "Removable disk A:", lowered in place by device events
    char drive_strings[128]; // the logical drives' root strings
    char drive_codes[26][3]; // "X:" per drive letter, for arrivals
};

extern MainWindowState window_state;
void reset_main_window_state();

#endif
