// The loader's registry settings and the compression mode.
#ifndef ORX_LOADER_SETTINGS_H
#define ORX_LOADER_SETTINGS_H

#include <stdint.h>

#include "loader_state.h"

#define ORX_SETTINGS_KEY "SOFTWARE\\DEZURE\\Cryptography\\orxload"
#define ORX_KEY_DEVICES_KEY "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices"
#define ORX_COMPRESS_KEY "SOFTWARE\\DEZURE\\CRYPTOGRAPHY\\"
// The Akkord reader: its key-device code, and the device of the automatic initialisation.
#define ORX_ACCORD_DEVICE "TM:A4.P"

void read_settings(LoaderSettings* settings);
// `selected_device` is the key-device list's current entry, or null when none is selected.
void save_settings(LoaderSettings* settings, const char* selected_device, int auto_rng_checked);

// CompressFilesMode: reads into `mode` (kept when the value cannot be read).
void read_compress_mode(uint32_t* mode);
// Flips bit 0 and stores it; a store that fails flips it back. Returns 1 when stored.
int toggle_compress_mode(uint32_t* mode);

#endif
