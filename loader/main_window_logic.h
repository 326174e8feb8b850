// The main window's decisions: initialisation, command dispatch and input events. The
// Win32 dialog procedure only translates messages into these calls.
#ifndef ORX_LOADER_MAIN_WINDOW_LOGIC_H
#define ORX_LOADER_MAIN_WINDOW_LOGIC_H

#include <stdint.h>

enum MainWindowEvent { EVENT_PRESS, EVENT_MOVE };
// The dialog's Cancel command: Esc or the close box.
enum { COMMAND_CANCEL = 2 };
// A device change as the dialog's shell reports it: only volumes that arrived or left
// change the device list.
enum DeviceChange { DEVICE_OTHER, VOLUME_ARRIVED, VOLUME_REMOVED };

void main_window_init();
// Ends the dialog with `result`, noting that the window ended itself.
void end_main_window(int result);
// The whole first parameter of WM_COMMAND.
void main_window_command(uint32_t command);
void main_window_event(MainWindowEvent event, uint32_t message_time);
// A device change; every change counts as a press. `drives`: bit n is drive letter 'A' + n.
void main_window_device_change(DeviceChange change, uint32_t drives, uint32_t message_time);

// The confirmation asked before compression is switched on (same text in every language).
extern const char* const compress_confirm_caption;
extern const char* const compress_confirm_text;

#endif
