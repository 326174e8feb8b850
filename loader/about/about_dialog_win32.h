// The About box's dialog procedure and its tree view filler.
#ifndef ORX_LOADER_ABOUT_DIALOG_WIN32_H
#define ORX_LOADER_ABOUT_DIALOG_WIN32_H

#include <windows.h>

// Fills the tree view with the registered components (see component_tree.h).
void FillComponentTree(HWND tree, const char* product);

// Fills the tree on initialisation (the product string is the creation parameter) and
// ends the dialog with 1 on OK, Cancel, Esc or the close box.
INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM first, LPARAM second);

#endif
