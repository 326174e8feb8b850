// The main window's UI calls on the real dialog.
#include <windows.h>

#include <commctrl.h>

#include "about/about_box.h"
#include "loader_state.h"
#include "main_window_ui.h"
#include "main_window_win32.h"
#include "res/resource_ids.h"

namespace {

HWND dialog = nullptr;
HMENU menu = nullptr;

HWND item(int id) {
    return GetDlgItem(dialog, id);
}

LRESULT send(int id, UINT message, WPARAM w = 0, LPARAM l = 0) {
    return SendDlgItemMessageA(dialog, id, message, w, l);
}

} // namespace

void main_window_attach(HWND window) {
    dialog = window;
    menu = GetMenu(window);
    HICON icon =
        LoadIconA(static_cast<HINSTANCE>(loader.resource_module), MAKEINTRESOURCEA(IDI_ORXLOAD));
    if (icon)
        SetClassLongPtrA(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
}

void ui_show(int id, int visible) {
    ShowWindow(item(id), visible ? SW_SHOW : SW_HIDE);
}
void ui_enable(int id, int enabled) {
    EnableWindow(item(id), enabled);
}
void ui_focus(int id) {
    SetFocus(id ? item(id) : dialog);
}
void ui_set_title(const char* title) {
    SetWindowTextA(dialog, title);
}
void ui_end_dialog(int result) {
    EndDialog(dialog, result);
}
void ui_send_command(int id) {
    SendMessageA(dialog, WM_COMMAND, WPARAM(id), 0);
}
void ui_wait_cursor(int waiting) {
    SetCursor(LoadCursor(nullptr, waiting ? IDC_WAIT : IDC_ARROW));
}

void ui_button_pushed(int id, int pushed) {
    send(id, BM_SETSTATE, pushed ? TRUE : FALSE);
}

void ui_button_drop_default(int id) {
    LONG style = GetWindowLongA(item(id), GWL_STYLE);
    if ((style & 0x0F) == BS_DEFPUSHBUTTON)
        send(id, BM_SETSTYLE, WPARAM((style & ~0x0F) | BS_PUSHBUTTON), TRUE);
}

void ui_menu_check(int id, int checked) {
    CheckMenuItem(menu, UINT(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void ui_menu_enable(int id, int enabled) {
    EnableMenuItem(menu, UINT(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void ui_progress_setup(int id, int low, int high, int step) {
    send(id, PBM_SETRANGE, 0, MAKELPARAM(low, high));
    send(id, PBM_SETSTEP, WPARAM(step));
}

void ui_progress_step(int id) {
    send(id, PBM_STEPIT);
}

int ui_combo_add(int id, const char* text, const char* code) {
    int index = int(send(id, CB_ADDSTRING, 0, LPARAM(text)));
    if (index >= 0)
        send(id, CB_SETITEMDATA, WPARAM(index), LPARAM(code));
    return index;
}

int ui_combo_count(int id) {
    return int(send(id, CB_GETCOUNT));
}
int ui_combo_selection(int id) {
    return int(send(id, CB_GETCURSEL));
}
void ui_combo_select(int id, int index) {
    send(id, CB_SETCURSEL, WPARAM(index));
}

const char* ui_combo_code(int id, int index) {
    LRESULT data = send(id, CB_GETITEMDATA, WPARAM(index));
    return data == CB_ERR ? nullptr : reinterpret_cast<const char*>(data);
}

void ui_combo_set_code(int id, int index, const char* code) {
    send(id, CB_SETITEMDATA, WPARAM(index), LPARAM(code));
}

int ui_combo_text(int id, int index, char* text, int size) {
    LRESULT length = send(id, CB_GETLBTEXTLEN, WPARAM(index));
    if (length == CB_ERR || length >= size) {
        text[0] = '\0';
        return 0;
    }
    return int(send(id, CB_GETLBTEXT, WPARAM(index), LPARAM(text)));
}

void ui_combo_delete(int id, int index) {
    send(id, CB_DELETESTRING, WPARAM(index));
}

int ui_list_add(int id, const char* line) {
    return int(send(id, LB_ADDSTRING, 0, LPARAM(line)));
}
void ui_list_clear(int id) {
    send(id, LB_RESETCONTENT);
}
int ui_list_count(int id) {
    return int(send(id, LB_GETCOUNT));
}
void ui_list_select(int id, int index) {
    send(id, LB_SETCURSEL, WPARAM(index));
}
void ui_list_delete(int id, int index) {
    send(id, LB_DELETESTRING, WPARAM(index));
}

void ui_list_selected_text(int id, char* text, int size) {
    LRESULT index = send(id, LB_GETCURSEL);
    if (index == LB_ERR)
        return;
    LRESULT length = send(id, LB_GETTEXTLEN, WPARAM(index));
    if (length == LB_ERR || length >= size)
        return;
    send(id, LB_GETTEXT, WPARAM(index), LPARAM(text));
}

int ui_list_text_width(int id, const char* text) {
    HWND list = item(id);
    HDC dc = GetDC(list);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    ReleaseDC(list, dc);
    return size.cx;
}

void ui_list_set_extent(int id, int extent) {
    send(id, LB_SETHORIZONTALEXTENT, WPARAM(extent));
}

void ui_show_about() {
    ShowAboutBox(loader.resource_module, dialog, IDI_ORXLOAD, nullptr);
}
