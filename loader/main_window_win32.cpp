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

// Messages to the combo box and to the list box for the same item operation; their error
// results are the same value (-1).
struct ItemMessages {
    UINT add, count, current, select, remove, reset, length, text, data, set_data;
};
const ItemMessages combo_messages = {
    CB_ADDSTRING,    CB_GETCOUNT,     CB_GETCURSEL, CB_SETCURSEL,   CB_DELETESTRING,
    CB_RESETCONTENT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETITEMDATA, CB_SETITEMDATA};
const ItemMessages list_messages = {LB_ADDSTRING,    LB_GETCOUNT,     LB_GETCURSEL,  LB_SETCURSEL,
                                    LB_DELETESTRING, LB_RESETCONTENT, LB_GETTEXTLEN, LB_GETTEXT,
                                    LB_GETITEMDATA,  LB_SETITEMDATA};

const ItemMessages& items(int id) {
    return id == IDC_KEY_DEVICE ? combo_messages : list_messages;
}

void drop_default_style(int id) {
    LONG style = GetWindowLongA(item(id), GWL_STYLE);
    if ((style & 0x0F) == BS_DEFPUSHBUTTON)
        send(id, BM_SETSTYLE, WPARAM((style & ~0x0F) | BS_PUSHBUTTON), TRUE);
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

void ui_set(int id, UiProperty property, int on) {
    switch (property) {
    case UI_VISIBLE:
        ShowWindow(item(id), on ? SW_SHOW : SW_HIDE);
        break;
    case UI_ENABLED:
        EnableWindow(item(id), on);
        break;
    case UI_PUSHED:
        send(id, BM_SETSTATE, on ? TRUE : FALSE);
        break;
    case UI_DEFAULT_BUTTON:
        if (!on)
            drop_default_style(id);
        break;
    case UI_MENU_CHECKED:
        CheckMenuItem(menu, UINT(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
        break;
    case UI_MENU_ENABLED:
        EnableMenuItem(menu, UINT(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        break;
    case UI_WAIT_CURSOR:
        SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
        break;
    }
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

void ui_progress_setup(int id, int low, int high, int step) {
    send(id, PBM_SETRANGE, 0, MAKELPARAM(low, high));
    send(id, PBM_SETSTEP, WPARAM(step));
}

void ui_progress_step(int id) {
    send(id, PBM_STEPIT);
}

int ui_item_add(int id, const char* text, const char* code) {
    int index = int(send(id, items(id).add, 0, LPARAM(text)));
    if (index >= 0)
        send(id, items(id).set_data, WPARAM(index), LPARAM(code));
    return index;
}
int ui_item_count(int id) {
    return int(send(id, items(id).count));
}
int ui_item_selection(int id) {
    return int(send(id, items(id).current));
}
void ui_item_select(int id, int index) {
    send(id, items(id).select, WPARAM(index));
}
void ui_item_delete(int id, int index) {
    send(id, items(id).remove, WPARAM(index));
}
void ui_items_clear(int id) {
    send(id, items(id).reset);
}

const char* ui_item_code(int id, int index) {
    LRESULT data = send(id, items(id).data, WPARAM(index));
    return data == CB_ERR ? nullptr : reinterpret_cast<const char*>(data);
}

void ui_item_set_code(int id, int index, const char* code) {
    send(id, items(id).set_data, WPARAM(index), LPARAM(code));
}

void ui_item_text(int id, int index, char* text, int size) {
    LRESULT length = send(id, items(id).length, WPARAM(index));
    if (length != CB_ERR && length < size)
        send(id, items(id).text, WPARAM(index), LPARAM(text));
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
