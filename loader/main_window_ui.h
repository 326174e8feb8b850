// What the main window's logic asks of its dialog: controls by id, the combo box and list,
// the menu, cursors and the end of the dialog. The Win32 dialog implements it
// (main_window_win32.cpp); the native tests record it.
#ifndef ORX_LOADER_MAIN_WINDOW_UI_H
#define ORX_LOADER_MAIN_WINDOW_UI_H

#include <stdint.h>

void ui_show(int id, int visible);
void ui_enable(int id, int enabled);
void ui_focus(int id); // 0: the dialog window itself
void ui_set_title(const char* title);
void ui_end_dialog(int result);
// Sends a command to the dialog's own procedure and returns after it was handled.
void ui_send_command(int id);
void ui_wait_cursor(int waiting);

// Buttons.
void ui_button_pushed(int id, int pushed);
void ui_button_drop_default(int id); // removes the default-push-button style only

// Menu items by command id.
void ui_menu_check(int id, int checked);
void ui_menu_enable(int id, int enabled);

// Progress bar.
void ui_progress_setup(int id, int low, int high, int step);
void ui_progress_step(int id);

// Combo box entries carry a pointer to their device code (may be null).
int ui_combo_add(int id, const char* text, const char* code); // index of the new entry
int ui_combo_count(int id);
int ui_combo_selection(int id); // -1 when none
void ui_combo_select(int id, int index);
const char* ui_combo_code(int id, int index);
void ui_combo_set_code(int id, int index, const char* code);
int ui_combo_text(int id, int index, char* text, int size);
void ui_combo_delete(int id, int index);

// List box lines.
int ui_list_add(int id, const char* line); // index of the new line
void ui_list_clear(int id);
int ui_list_count(int id);
void ui_list_select(int id, int index);
void ui_list_delete(int id, int index);
// Copies the selected line into `text` (size bytes); leaves it untouched when none.
void ui_list_selected_text(int id, char* text, int size);
// Width of `text` in the list's device context, and the horizontal scroll extent.
int ui_list_text_width(int id, const char* text);
void ui_list_set_extent(int id, int extent);

// The About box for the menu command.
void ui_show_about();

#endif
