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
    ui_set(0, UI_WAIT_CURSOR, 1);
    int16_t status = loader.crypto.InitKey(device, "");
    ui_set(0, UI_WAIT_CURSOR, 0);
    uint32_t position = 0;
    if (interactive()) {
        position = RefreshLoadedKeyList();
        ui_focus(IDC_LOAD_KEY);
        ui_item_select(IDC_KEY_LIST, ui_item_add(IDC_KEY_LIST, loader.loading_text, nullptr));
        ui_set(IDC_LOAD_KEY, UI_PUSHED, 1);
    }
    if (status != 0) {
        if (interactive()) {
            ui_set(IDC_LOAD_KEY, UI_PUSHED, 0);
            ShowError(status, status);
        } else {
            end_main_window(status);
        }
    }
    RefreshLoadedKeyList(); // the loading line goes with the others
    if (interactive())
        ui_item_select(IDC_KEY_LIST, int(position));
    ui_set(IDC_LOAD_KEY, UI_PUSHED, 0);
}

void UnloadSelectedKey() {
    ui_focus(IDC_UNLOAD_KEY);
    char line[line_buffer] = ORX_LINE_PLACEHOLDER;
    ui_item_text(IDC_KEY_LIST, ui_item_selection(IDC_KEY_LIST), line, sizeof line);
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
            ui_items_clear(IDC_KEY_LIST);
        } else {
            ShowError(IDS_ERR_RESET_KEY, ORX_CRYPTO_DRIVER_ERROR);
            failed = 1;
        }
    }
    RefreshLoadedKeyList();
    ui_list_set_extent(IDC_KEY_LIST, 0);
    if (failed)
        return;
    ui_set(IDC_UNLOAD_ALL, UI_PUSHED, 0);
    ui_set(IDC_UNLOAD_KEY, UI_ENABLED, 0);
    ui_set(IDC_UNLOAD_ALL, UI_ENABLED, 0);
    ui_set(IDC_UNLOAD_ALL, UI_DEFAULT_BUTTON, 0);
    ui_focus(IDC_LOAD_KEY);
}
