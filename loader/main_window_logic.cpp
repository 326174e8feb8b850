#include "main_window_logic.h"

#include <string.h>

#include "key_commands.h"
#include "key_device_list.h"
#include "loaded_keys_list.h"
#include "loader_state.h"
#include "main_window_state.h"
#include "main_window_ui.h"
#include "messages.h"
#include "res/resource_ids.h"
#include "rng_collection.h"
#include "settings.h"

MainWindowState window_state;

void end_main_window(int result) {
    loader.window.ended = 1;
    ui_end_dialog(result);
}

// Code page 1251.
const char* const compress_confirm_caption =
    "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0 \xF0\xE5\xE6\xE8\xEC\xE0 "
    "\xE0\xE2\xF2\xEE\xEC\xE0\xF2\xE8\xF7\xE5\xF1\xEA\xEE\xE3\xEE "
    "\xF1\xE6\xE0\xF2\xE8\xFF \xF4\xE0\xE9\xEB\xEE\xE2";
const char* const compress_confirm_text =
    "\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5!\n"
    "\n"
    "\xD3\xF1\xF2\xE0\xED\xE0\xE2\xEB\xE8\xE2\xE0\xE5\xF2\xF1\xFF "
    "\xF0\xE5\xE6\xE8\xEC \xE0\xE2\xF2\xEE\xEC\xE0\xF2\xE8\xF7\xE5\xF1\xEA\xEE\xE3\xEE "
    "\xF1\xE6\xE0\xF2\xE8\xFF \xF4\xE0\xE9\xEB\xEE\xE2\n"
    "\xEF\xE5\xF0\xE5\xE4 \xE8\xF5 \xE7\xE0\xF8\xE8\xF4\xF0\xEE\xE2\xE0\xED\xE8\xE5\xEC.\n"
    "\xC8\xF1\xEF\xEE\xEB\xFC\xE7\xEE\xE2\xE0\xF2\xFC \xFD\xF2\xEE\xF2 "
    "\xF0\xE5\xE6\xE8\xEC \xF1\xEB\xE5\xE4\xF3\xE5\xF2 \xF2\xEE\xEB\xFC\xEA\xEE "
    "\xE5\xF1\xEB\xE8 \xF0\xE0\xF1\xF8\xE8\xF4\xF0\xEE\xE2\xE0\xED\xE8\xE5 "
    "\xF4\xE0\xE9\xEB\xEE\xE2\n"
    "\xE1\xF3\xE4\xE5\xF2 \xEF\xF0\xEE\xE8\xE7\xE2\xEE\xE4\xE8\xF2\xFC\xF1\xFF "
    "\xD1\xCA\xC7\xC8 \xC2\xE5\xF0\xE1\xE0-OW \xE2\xE5\xF0\xF1\xE8\xE8 6.1.3 "
    "\xE8 \xE2\xFB\xF8\xE5.\n"
    "\n"
    "\xCF\xF0\xEE\xE4\xEE\xEB\xE6\xE8\xF2\xFC?";

namespace {

const uint32_t yes_no_warning = 0x34; // MB_YESNO | MB_ICONWARNING
const int answer_yes = 6;

const char* selected_device_for_settings() {
    return SelectedKeyDevice();
}
int auto_rng_for_settings() {
    return window_state.auto_rng_checked;
}
const WindowSettingsSource settings_source = {selected_device_for_settings, auto_rng_for_settings};

void exit_window() {
    if (rng_ready())
        save_settings(&loader.settings, SelectedKeyDevice(), window_state.auto_rng_checked);
    end_main_window(0);
}

void toggle_auto_rng() {
    window_state.auto_rng_checked = window_state.auto_rng_checked ? 0 : AUTO_RNG_CHECKED;
    ui_set(IDM_AUTO_RNG, UI_MENU_CHECKED, window_state.auto_rng_checked != 0);
}

void toggle_compression() {
    read_compress_mode(&window_state.compress_mode);
    if (!(window_state.compress_mode & 1u) &&
        lp_message_box(compress_confirm_text, compress_confirm_caption, yes_no_warning) !=
            answer_yes)
        return;
    toggle_compress_mode(&window_state.compress_mode);
    ui_set(IDM_COMPRESS_FILES, UI_MENU_CHECKED, window_state.compress_mode & 1u);
}

void enter_rng_view() {
    ui_set(IDC_RNG_GROUP, UI_VISIBLE, 1);
    ui_set(IDC_RNG_PROMPT, UI_VISIBLE, 1);
    ui_set(IDC_RNG_PROGRESS, UI_VISIBLE, 1);
    ui_progress_setup(IDC_RNG_PROGRESS, 0, RNG_SAMPLES, 1);
    ui_focus(0);
}

} // namespace

void reset_main_window_state() {
    window_state = MainWindowState();
    strcpy(window_state.label_template, "Removable disk A:");
}

void main_window_init() {
    reset_main_window_state();
    loader.window.opened = 1;
    set_window_settings_source(&settings_source);
    ui_set_title("orxload");
    read_compress_mode(&window_state.compress_mode);
    ui_set(IDM_COMPRESS_FILES, UI_MENU_CHECKED, window_state.compress_mode & 1u);
    if (!rng_ready() && loader.rng_progress != RNG_SAMPLES) {
        enter_rng_view();
        return;
    }
    FillKeyDeviceList();
    RefreshLoadedKeyList();
}

void main_window_command(uint32_t command) {
    switch (command) {
    case ID_RNG_SAMPLE:
        rng_collection_step();
        break;
    case COMMAND_CANCEL:
    case IDC_EXIT:
    case IDM_EXIT:
        exit_window();
        break;
    case IDC_LOAD_KEY:
        LoadKeys();
        break;
    case IDC_UNLOAD_KEY:
        UnloadSelectedKey();
        break;
    case IDC_UNLOAD_ALL:
        UnloadAllKeys();
        break;
    case IDM_REFRESH:
        if (loader.drv_info.word[ORVEXA_INFO_SEED_ACCEPTED] == 1)
            RefreshLoadedKeyList();
        break;
    case IDM_AUTO_RNG:
        toggle_auto_rng();
        break;
    case IDM_COMPRESS_FILES:
        toggle_compression();
        break;
    case IDM_ABOUT:
        ui_show_about();
        break;
    default:
        break;
    }
}

void main_window_event(MainWindowEvent event, uint32_t message_time) {
    if (event == EVENT_PRESS)
        rng_press_event(message_time);
    else
        rng_move_event(message_time);
}

void main_window_device_change(DeviceChange change, uint32_t drives, uint32_t message_time) {
    if (change == VOLUME_ARRIVED)
        AddRemovableDrive(drives);
    else if (change == VOLUME_REMOVED)
        RemoveRemovableDrive(drives);
    rng_press_event(message_time);
}
