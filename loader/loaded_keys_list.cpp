#include "loaded_keys_list.h"

#include <stdio.h>
#include <string.h>

#include "loader_state.h"
#include "main_window_logic.h"
#include "main_window_ui.h"
#include "messages.h"
#include "res/resource_ids.h"

namespace {

const int sign_column = 4;
const int crypt_column = 19;
const size_t sign_width = 12;
const size_t crypt_width = 10;

// Copies at most `width` characters of a field that may lack its NUL.
void copy_id(char* out, const char* field, size_t field_size, size_t width, char filler) {
    size_t n = strnlen(field, field_size);
    if (n > width)
        n = width;
    if (n == 0) {
        memset(out, filler, width);
        out[width] = '\0';
        return;
    }
    memcpy(out, field, n);
    out[n] = '\0';
}

const int key_view_controls[] = {
    IDC_KEY_LIST_LABEL, IDC_KEY_LIST_HEADER, IDC_KEY_LIST, IDC_LOAD_KEY,
    IDC_UNLOAD_KEY,     IDC_UNLOAD_ALL,      IDC_EXIT};

void fill_lines(const DrvKeyInfo* entries, uint32_t count) {
    int baseline = ui_list_text_width(IDC_KEY_LIST, ORX_WIDTH_SAMPLE);
    int widest = baseline;
    for (uint32_t i = 0; i < count; ++i) {
        char line[ORX_KEY_LINE];
        format_key_line(entries[i], line);
        int index = ui_item_add(IDC_KEY_LIST, line, nullptr);
        int width = ui_list_text_width(IDC_KEY_LIST, line);
        if (width > widest)
            widest = width;
        ui_item_select(IDC_KEY_LIST, index);
    }
    ui_list_set_extent(IDC_KEY_LIST, widest > baseline ? widest : 0);
}

void set_unload_buttons() {
    if (ui_item_count(IDC_KEY_LIST) == 0) {
        ui_set(IDC_UNLOAD_KEY, UI_DEFAULT_BUTTON, 0);
        ui_set(IDC_UNLOAD_KEY, UI_ENABLED, 0);
        ui_set(IDC_UNLOAD_ALL, UI_ENABLED, 0);
        ui_focus(IDC_LOAD_KEY);
    } else {
        ui_set(IDC_UNLOAD_KEY, UI_ENABLED, 1);
        ui_set(IDC_UNLOAD_ALL, UI_ENABLED, 1);
    }
}

} // namespace

void format_key_line(const DrvKeyInfo& entry, char line[ORX_KEY_LINE]) {
    char sign[sign_width + 1], crypt[crypt_width + 1];
    copy_id(sign, entry.sign_id, sizeof entry.sign_id, sign_width, '_');
    copy_id(crypt, entry.crypt_id, sizeof entry.crypt_id, crypt_width, '_');
    snprintf(line, ORX_KEY_LINE, "%-2u: %s   %s", unsigned(entry.slot), sign, crypt);
}

uint32_t first_gap(const DrvKeyInfo* entries, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        if (entries[i].slot > i)
            return i;
    return count;
}

// More than 16 entries reported by the crypto library count as 16.
uint32_t RefreshLoadedKeyList() {
    DrvKeyInfo entries[ORX_DRV_KEY_INFO_MAX];
    memset(entries, 0, sizeof entries);
    uint32_t count = 0;
    if (loader.crypto.GetDrvInfo(entries, &count) != 0) {
        ShowError(IDS_ERR_DRIVER, ORX_CRYPTO_DRIVER_ERROR);
        end_main_window(0);
    }
    if (count > ORX_DRV_KEY_INFO_MAX)
        count = ORX_DRV_KEY_INFO_MAX;
    ui_set(IDC_LOAD_KEY, UI_ENABLED, 1);
    ui_set(IDC_EXIT, UI_ENABLED, 1);
    for (int id : key_view_controls)
        ui_set(id, UI_VISIBLE, 1);
    ui_items_clear(IDC_KEY_LIST);
    fill_lines(entries, count);
    set_unload_buttons();
    if (!reread_drv_info())
        ShowError(IDS_ERR_DRIVER, ORX_CRYPTO_DRIVER_ERROR);
    int rng_ready_for_keys = loader.drv_info.word[ORVEXA_INFO_RNDM_READY] != 0;
    ui_set(IDC_KEY_LIST, UI_VISIBLE, rng_ready_for_keys);
    ui_set(IDC_LOAD_KEY_HINT, UI_VISIBLE, !rng_ready_for_keys);
    return first_gap(entries, count);
}

void KeyIdFromListLine(char* line) {
    int crypt = line[sign_column] == '_';
    const char* from = line + (crypt ? crypt_column : sign_column);
    size_t width = crypt ? crypt_width : sign_width;
    memmove(line, from, width);
    line[width] = '\0';
}
