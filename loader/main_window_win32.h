// The Win32 side of the main window: the dialog's handles behind the UI calls.
#ifndef ORX_LOADER_MAIN_WINDOW_WIN32_H
#define ORX_LOADER_MAIN_WINDOW_WIN32_H

#include <windows.h>

// Remembers the dialog, takes its menu and sets the class icon from the resource module.
void main_window_attach(HWND window);
// The dialog procedure of dialog 101 (main_dialog_win32.cpp): translates window messages,
// device changes included, into the main window's logic.
INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM first, LPARAM second);

#endif
