// The main window. For now it only opens and ends on Exit; its views come with the key
// list and the random-generator collection.
#include "main_window.h"

#include "res/resource_ids.h"

INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM first, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(window, "orxload");
        return 0;
    case WM_COMMAND:
        if (first == IDCANCEL || first == IDC_EXIT || first == IDM_EXIT)
            EndDialog(window, 0);
        return 0;
    default:
        return 0;
    }
}
