#include "key_commands.h"

#include <string.h>

#include "key_device_list.h"
#include "loaded_keys_list.h"
#include "loader_state.h"
#include "main_window_logic.h"
#include "main_window_ui.h"
#include "messages.h"
#include "res/resource_ids.h"

namespace {

const size_t line_buffer = 33;

int interactive() {
    return loader.command_mode == 0;
}

} // namespace

// Without a selected entry that carries a device code there is nothing to hand to
// InitKey: the command leaves the window as it is.
void LoadKeys() {
    const char* device = SelectedKeyDevice();
    if (!device)
        return;
    ui_wait_cursor(1);
    int16_t status = loader.crypto.InitKey(device, "");
    ui_wait_cursor(0);
    uint32_t position = 0;
    int loading_line = -1;
    if (interactive()) {
        position = RefreshLoadedKeyList();
        ui_focus(IDC_LOAD_KEY);
        loading_line = ui_list_add(IDC_KEY_LIST, loader.loading_text);
        ui_list_select(IDC_KEY_LIST, loading_line);
        ui_button_pushed(IDC_LOAD_KEY, 1);
    }
    if (status != 0) {
        if (interactive()) {
            ui_button_pushed(IDC_LOAD_KEY, 0);
            ShowError(status, status);
        } else {
            end_main_window(status);
        }
    }
    if (interactive())
        ui_list_delete(IDC_KEY_LIST, loading_line);
    RefreshLoadedKeyList();
    if (interactive())
        ui_list_select(IDC_KEY_LIST, int(position));
    ui_button_pushed(IDC_LOAD_KEY, 0);
}

void UnloadSelectedKey() {
    ui_focus(IDC_UNLOAD_KEY);
    char line[line_buffer] = ORX_LINE_PLACEHOLDER;
    ui_list_selected_text(IDC_KEY_LIST, line, sizeof line);
    KeyIdFromListLine(line);
    if (loader.crypto.ResetKeyEx(line, 1) != 0)
        ShowError(IDS_ERR_RESET_KEY, ORX_CRYPTO_DRIVER_ERROR);
    RefreshLoadedKeyList();
}

void UnloadAllKeys() {
    ui_focus(IDC_UNLOAD_ALL);
    int failed = 0;
    for (uint32_t slot = 0; slot < ORVEXA_SLOT_COUNT; ++slot) {
        if (orvexa_key_reset_slot(slot)) {
            ui_list_clear(IDC_KEY_LIST);
        } else {
            ShowError(IDS_ERR_RESET_KEY, ORX_CRYPTO_DRIVER_ERROR);
            failed = 1;
        }
    }
    RefreshLoadedKeyList();
    ui_list_set_extent(IDC_KEY_LIST, 0);
    if (failed)
        return;
    ui_button_pushed(IDC_UNLOAD_ALL, 0);
    ui_enable(IDC_UNLOAD_KEY, 0);
    ui_enable(IDC_UNLOAD_ALL, 0);
    ui_button_drop_default(IDC_UNLOAD_ALL);
    ui_focus(IDC_LOAD_KEY);
}
