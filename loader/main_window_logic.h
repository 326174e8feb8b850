// The main window's decisions: initialisation, command dispatch and input events. The
// Win32 dialog procedure only translates messages into these calls.
#ifndef ORX_LOADER_MAIN_WINDOW_LOGIC_H
#define ORX_LOADER_MAIN_WINDOW_LOGIC_H

#include <stdint.h>

enum MainWindowEvent { EVENT_PRESS, EVENT_MOVE };
enum { DEVICE_ARRIVAL = 0x8000, DEVICE_REMOVE_COMPLETE = 0x8004, DEVICE_TYPE_VOLUME = 2 };

void main_window_init();
// Ends the dialog with `result`, noting that the window ended itself.
void end_main_window(int result);
// The whole first parameter of WM_COMMAND.
void main_window_command(uint32_t command);
void main_window_event(MainWindowEvent event, uint32_t message_time);
// A device change: volume arrivals and removals change the list; every change is a press.
void main_window_device_change(uint32_t event, int is_volume, uint32_t unit_mask,
                               uint32_t message_time);

// The confirmation asked before compression is switched on (same text in every language).
extern const char* const compress_confirm_caption;
extern const char* const compress_confirm_text;

#endif
