// The main dialog's procedure: translates window messages into the main window's logic.
#include "main_window.h"

#include <dbt.h>

#include "main_window_logic.h"
#include "main_window_win32.h"

INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
    case WM_INITDIALOG:
        main_window_attach(window);
        main_window_init();
        break;
    case WM_COMMAND:
        main_window_command(uint32_t(first));
        break;
    case WM_DEVICECHANGE: {
        const DEV_BROADCAST_HDR* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(second);
        int is_volume = header && header->dbch_devicetype == DBT_DEVTYP_VOLUME;
        uint32_t mask =
            is_volume ? reinterpret_cast<const DEV_BROADCAST_VOLUME*>(second)->dbcv_unitmask : 0;
        main_window_device_change(uint32_t(first), is_volume, mask, GetMessageTime());
        break;
    }
    case WM_KEYUP:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        main_window_event(EVENT_PRESS, GetMessageTime());
        break;
    case WM_MOUSEMOVE:
        main_window_event(EVENT_MOVE, GetMessageTime());
        break;
    default:
        break;
    }
    return 0;
}
