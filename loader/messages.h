// ShowError: every error the operator sees, as a message box in the user's language.
#ifndef ORX_LOADER_MESSAGES_H
#define ORX_LOADER_MESSAGES_H

#include <stdint.h>

#include "res/resource_ids.h"

enum { ORX_MESSAGE_TEXT = 260, ORX_CAPTION_TEXT = 80 };
constexpr uint32_t ORX_ERROR_BOX_FLAGS = 0x2010; // OK, stop icon, application-modal

// The selected key device and the Auto RNG mark of the main window, for the settings saved
// before a key-medium request; the window installs it while it exists.
struct WindowSettingsSource {
    const char* (*selected_device)();
    int (*auto_rng_checked)();
};
void set_window_settings_source(const WindowSettingsSource* source);

void ShowError(int32_t msg_id, int32_t code);

#endif
