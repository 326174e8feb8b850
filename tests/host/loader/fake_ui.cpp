#include "fake_ui.h"

#include <cstring>

#include "main_window_logic.h"
#include "main_window_ui.h"
#include "res/resource_ids.h"

namespace {

FakeUi the_ui;

// Text width: 6 units per character, like a fixed font.
int width_of(const char* text) {
    return int(std::strlen(text)) * 6;
}

} // namespace

FakeUi& ui() {
    return the_ui;
}

void reset_ui() {
    the_ui = FakeUi();
    for (int id : {IDC_LOAD_KEY, IDC_UNLOAD_KEY, IDC_UNLOAD_ALL, IDC_EXIT})
        the_ui.controls[id].enabled = false;
    the_ui.controls[IDC_UNLOAD_KEY].default_style = true;
    the_ui.controls[IDC_UNLOAD_ALL].default_style = true;
    the_ui.menu_enabled[IDM_AUTO_RNG] = false;
}

void ui_show(int id, int visible) {
    the_ui.controls[id].visible = visible;
}
void ui_enable(int id, int enabled) {
    the_ui.controls[id].enabled = enabled;
}
void ui_focus(int id) {
    the_ui.focus = id;
}
void ui_set_title(const char* title) {
    the_ui.title = title;
}
void ui_end_dialog(int result) {
    the_ui.ended = result;
}
void ui_send_command(int id) {
    the_ui.sent_commands.push_back(id);
    main_window_command(uint32_t(id));
}
void ui_wait_cursor(int waiting) {
    the_ui.wait_cursor = waiting;
}
void ui_button_pushed(int id, int pushed) {
    the_ui.controls[id].pushed = pushed;
}
void ui_button_drop_default(int id) {
    the_ui.controls[id].default_style = false;
}
void ui_menu_check(int id, int checked) {
    the_ui.menu_checked[id] = checked;
}
void ui_menu_enable(int id, int enabled) {
    the_ui.menu_enabled[id] = enabled;
}

void ui_progress_setup(int, int low, int high, int step) {
    the_ui.progress_low = low;
    the_ui.progress_high = high;
    the_ui.progress_step = step;
}

// Like the common control: past the top it starts again from the bottom.
void ui_progress_step(int) {
    the_ui.progress_position += the_ui.progress_step;
    if (the_ui.progress_position > the_ui.progress_high)
        the_ui.progress_position = the_ui.progress_low + the_ui.progress_step;
}

int ui_combo_add(int, const char* text, const char* code) {
    the_ui.combo.push_back({text, code});
    return int(the_ui.combo.size()) - 1;
}
int ui_combo_count(int) {
    return int(the_ui.combo.size());
}
int ui_combo_selection(int) {
    return the_ui.combo_selection;
}
void ui_combo_select(int, int index) {
    the_ui.combo_selection = index >= 0 && index < int(the_ui.combo.size()) ? index : -1;
}
const char* ui_combo_code(int, int index) {
    return the_ui.combo.at(size_t(index)).code;
}
void ui_combo_set_code(int, int index, const char* code) {
    the_ui.combo.at(size_t(index)).code = code;
}
int ui_combo_text(int, int index, char* text, int size) {
    std::strncpy(text, the_ui.combo.at(size_t(index)).text.c_str(), size_t(size) - 1);
    text[size - 1] = '\0';
    return int(std::strlen(text));
}
void ui_combo_delete(int, int index) {
    the_ui.combo.erase(the_ui.combo.begin() + index);
}

int ui_list_add(int, const char* line) {
    the_ui.list.push_back(line);
    return int(the_ui.list.size()) - 1;
}
void ui_list_clear(int) {
    the_ui.list.clear();
    the_ui.list_selection = -1;
}
int ui_list_count(int) {
    return int(the_ui.list.size());
}
void ui_list_select(int, int index) {
    the_ui.list_selection = index >= 0 && index < int(the_ui.list.size()) ? index : -1;
}
void ui_list_delete(int, int index) {
    if (index >= 0 && index < int(the_ui.list.size()))
        the_ui.list.erase(the_ui.list.begin() + index);
}
void ui_list_selected_text(int, char* text, int size) {
    if (the_ui.list_selection < 0)
        return;
    std::strncpy(text, the_ui.list[size_t(the_ui.list_selection)].c_str(), size_t(size) - 1);
    text[size - 1] = '\0';
}
int ui_list_text_width(int, const char* text) {
    return width_of(text);
}
void ui_list_set_extent(int, int extent) {
    the_ui.list_extent = extent;
}
void ui_show_about() {
    ++the_ui.about_boxes;
}
