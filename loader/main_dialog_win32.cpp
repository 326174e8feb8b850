// The main dialog's procedure: translates window messages into the main window's logic.
// Device changes arrive in Windows' terms (DBT_* events, a broadcast header) and leave in
// the loader's own: a volume that arrived or left, and its drives.
#include <windows.h>

#include <dbt.h>

#include "main_window_logic.h"
#include "main_window_win32.h"

namespace {

DeviceChange device_change_of(WPARAM event, const DEV_BROADCAST_HDR* header) {
    if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return DEVICE_OTHER;
    if (event == DBT_DEVICEARRIVAL)
        return VOLUME_ARRIVED;
    return event == DBT_DEVICEREMOVECOMPLETE ? VOLUME_REMOVED : DEVICE_OTHER;
}

} // namespace

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
        DeviceChange change = device_change_of(first, header);
        uint32_t drives =
            change == DEVICE_OTHER
                ? 0
                : reinterpret_cast<const DEV_BROADCAST_VOLUME*>(second)->dbcv_unitmask;
        main_window_device_change(change, drives, GetMessageTime());
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
