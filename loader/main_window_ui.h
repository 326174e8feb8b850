// What the main window's logic asks of its dialog: controls by id, the combo box and list,
// the menu, cursors and the end of the dialog. The Win32 dialog implements it
// (main_window_win32.cpp); the native tests record it.
#ifndef ORX_LOADER_MAIN_WINDOW_UI_H
#define ORX_LOADER_MAIN_WINDOW_UI_H

#include <stdint.h>

// An on/off property of a control, a menu item (by command id) or the dialog (id 0).
enum UiProperty {
    UI_VISIBLE,
    UI_ENABLED,
    UI_PUSHED,         // a button shown pressed
    UI_DEFAULT_BUTTON, // only switched off: a default push button becomes a plain one
    UI_MENU_CHECKED,
    UI_MENU_ENABLED, // off: grayed
    UI_WAIT_CURSOR   // id 0
};
void ui_set(int id, UiProperty property, int on);

void ui_focus(int id); // 0: the dialog window itself
void ui_set_title(const char* title);
void ui_end_dialog(int result);
// Sends a command to the dialog's own procedure and returns after it was handled.
void ui_send_command(int id);

// Progress bar.
void ui_progress_setup(int id, int low, int high, int step);
void ui_progress_step(int id);

// The items of the combo box (each carries a pointer to its device code, may be null) and
// of the list box alike.
int ui_item_add(int id, const char* text, const char* code); // index of the new item
int ui_item_count(int id);
int ui_item_selection(int id); // -1 when none
void ui_item_select(int id, int index);
void ui_item_delete(int id, int index);
void ui_items_clear(int id);
const char* ui_item_code(int id, int index);
void ui_item_set_code(int id, int index, const char* code);
// Copies item `index` into `text` (size bytes); leaves it untouched when there is no such
// item or it does not fit.
void ui_item_text(int id, int index, char* text, int size);

// Width of `text` in the list's device context, and the horizontal scroll extent.
int ui_list_text_width(int id, const char* text);
void ui_list_set_extent(int id, int extent);

// The About box for the menu command.
void ui_show_about();

#endif
