// The main window: dialog 101 and its procedure.
#ifndef ORX_LOADER_MAIN_WINDOW_H
#define ORX_LOADER_MAIN_WINDOW_H

#include <windows.h>

INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM first, LPARAM second);

#endif
