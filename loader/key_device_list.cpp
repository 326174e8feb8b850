#include "key_device_list.h"

#include <ctype.h>
#include <string.h>

#include "registry.h"
#include "loader_state.h"
#include "main_window_state.h"
#include "main_window_ui.h"
#include "res/resource_ids.h"
#include "settings.h"

const KeyDeviceRow KeyDeviceTable[] = {
    {"Dallas",
     "TM reader Dallas COM0:",
     "TM:COM0",
     {{"TM reader Dallas COM1:", "TM:COM1"}, {"TM reader Dallas COM2:", "TM:COM2"}}},
    {"Accord", "TM reader Accord ", ORX_ACCORD_DEVICE, {}},
    {"GCR410", "SC reader GCR410", "SC:GSR4", {}},
    {"Towitoko", "SC reader Towiotko", "SC:TOWT", {}},
    {"iKey", "iKey 1000 (USB)", "iKey", {}},
    {"iKey3k", "iKey 3000 (USB)", "iKey3k", {}},
    {"eTok", "eToken", "eToken", {}},
    {"FLOP_B", "Floppy  (B:)", "B:\\", {}},
    {"Keyreg", "Key in user registry", "Keyreg1", {}},
    {"SHIPKA", "SHIPKA", "shipka", {}},
    {"ruToken", "ruToken", "rutoken", {}},
    {"iKey2032", "iKey2032", "ikey2032", {}},
};
const int KeyDeviceTableSize = sizeof KeyDeviceTable / sizeof KeyDeviceTable[0];

namespace {

const char* const floppy_a_code = "A:\\";
const char* const floppy_b_code = "B:\\";
const uint32_t max_registered = 32;
const int label_letter = 15; // "Removable disk A:": the A
const int drive_count = 26;  // A: to Z:

// A `b` shorter than `a` differs at its NUL, where the loop stops.
int case_equal(const char* a, const char* b) {
    for (; *a; ++a, ++b)
        if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b)))
            return 0;
    return *b == '\0';
}

const KeyDeviceRow* row_named(const char* name) {
    for (int i = 0; i < KeyDeviceTableSize; ++i)
        if (case_equal(KeyDeviceTable[i].registry_name, name))
            return &KeyDeviceTable[i];
    return nullptr;
}

// One registered pair: it may become the default entry and may offer the Akkord reader.
void add_registered(const char* text, const char* code, int* default_entry) {
    if (strcmp(code, loader.settings.DefaultKeyDev) == 0)
        *default_entry = ui_item_count(IDC_KEY_DEVICE);
    if (strcmp(code, ORX_ACCORD_DEVICE) == 0) {
        ui_set(IDM_AUTO_RNG, UI_MENU_ENABLED, 1);
        strcpy(loader.settings.RNGAutoDev, ORX_ACCORD_DEVICE);
    }
    ui_item_add(IDC_KEY_DEVICE, text, code);
}

void add_drive_entries() {
    int skip = 0;
    if (lp_drive_removable(floppy_a_code)) {
        ui_item_add(IDC_KEY_DEVICE, "Floppy  (A:)", floppy_a_code);
        skip = 1;
    }
    if (lp_drive_removable(floppy_b_code)) {
        ui_item_add(IDC_KEY_DEVICE, "Floppy  (B:)", floppy_b_code);
        ++skip;
    }
    char* strings = window_state.drive_strings;
    uint32_t length = lp_logical_drive_strings(strings, sizeof window_state.drive_strings);
    if (length == 0 || length >= sizeof window_state.drive_strings)
        strings[0] = '\0'; // nothing sound to walk
    for (const char* root = strings; *root; root += strlen(root) + 1) {
        if (skip > 0) {
            --skip;
            continue;
        }
        if (!lp_drive_removable(root))
            continue;
        window_state.label_template[label_letter] = root[0];
        ui_item_add(IDC_KEY_DEVICE, window_state.label_template, root);
    }
}

void add_registered_devices(int* default_entry) {
    scoped_registry_key key(plat_machine_key_open(ORX_KEY_DEVICES_KEY, ORX_KEY_READ));
    if (!key) {
        ui_item_select(IDC_KEY_DEVICE, 0);
        return;
    }
    char name[80];
    for (uint32_t index = 0; index < max_registered; ++index) {
        if (!plat_reg_subkey(key.get(), index, name, sizeof name))
            break;
        const KeyDeviceRow* row = row_named(name);
        if (!row)
            continue;
        add_registered(row->text, row->code, default_entry);
        for (const KeyDeviceVariant& v : row->variants)
            if (v.text)
                add_registered(v.text, v.code, default_entry);
    }
    if (ui_item_count(IDC_KEY_DEVICE) > 0)
        ui_item_select(IDC_KEY_DEVICE, *default_entry);
}

// The highest drive of a volume message's mask, or 0 when the mask names no drive: bits
// above Z are no drive letter and must not index the per-letter codes.
char drive_letter(uint32_t unit_mask) {
    for (int bit = drive_count - 1; bit >= 0; --bit)
        if (unit_mask & (1u << bit))
            return char('A' + bit);
    return 0;
}

// The template lowered, with the upper-case letter in place.
void make_removable_label(char letter) {
    for (char* p = window_state.label_template; *p; ++p)
        *p = char(tolower(static_cast<unsigned char>(*p)));
    window_state.label_template[label_letter] = letter;
}

// From the second entry to the last, then the first; -1 when absent.
int find_label(const char* label) {
    int count = ui_item_count(IDC_KEY_DEVICE);
    for (int step = 0; step < count; ++step) {
        int index = (step + 1) % count;
        char text[80] = "";
        ui_item_text(IDC_KEY_DEVICE, index, text, sizeof text);
        if (case_equal(text, label))
            return index;
    }
    return -1;
}

} // namespace

void FillKeyDeviceList() {
    int checked = loader.settings.RNGAutoDev[0] != '\0';
    ui_set(IDM_AUTO_RNG, UI_MENU_CHECKED, checked);
    window_state.auto_rng_checked = checked ? AUTO_RNG_CHECKED : 0;
    ui_set(IDC_KEY_DEVICE_LABEL, UI_VISIBLE, 1);
    ui_set(IDC_KEY_DEVICE, UI_VISIBLE, 1);
    add_drive_entries();
    int default_entry = 0; // the first entry unless the saved device is listed
    add_registered_devices(&default_entry);
    window_state.device_list_filled = 1;
}

const char* SelectedKeyDevice() {
    int index = ui_item_selection(IDC_KEY_DEVICE);
    return index < 0 ? nullptr : ui_item_code(IDC_KEY_DEVICE, index);
}

// A label already listed gets the drive's code and the selection; no second entry.
void AddRemovableDrive(uint32_t unit_mask) {
    char letter = drive_letter(unit_mask);
    char drive[] = {letter, ':', '\0'};
    if (!letter || !lp_drive_removable(drive))
        return;
    make_removable_label(letter);
    char* code = window_state.drive_codes[letter - 'A'];
    strcpy(code, drive);
    int index = find_label(window_state.label_template);
    if (index < 0)
        index = ui_item_add(IDC_KEY_DEVICE, window_state.label_template, code);
    ui_item_set_code(IDC_KEY_DEVICE, index, code);
    ui_item_select(IDC_KEY_DEVICE, index);
}

void RemoveRemovableDrive(uint32_t unit_mask) {
    char letter = drive_letter(unit_mask);
    if (!letter)
        return;
    make_removable_label(letter);
    int index = find_label(window_state.label_template);
    if (index < 0)
        return;
    ui_item_delete(IDC_KEY_DEVICE, index);
    ui_item_select(IDC_KEY_DEVICE, 0);
}
