// The key-device combo box: floppies, removable drives and registered key media.
#ifndef ORX_LOADER_KEY_DEVICE_LIST_H
#define ORX_LOADER_KEY_DEVICE_LIST_H

#include <stdint.h>

struct KeyDeviceVariant {
    const char* text;
    const char* code;
};

struct KeyDeviceRow {
    const char* registry_name;
    const char* text;
    const char* code;
    KeyDeviceVariant variants[2];
};

extern const KeyDeviceRow KeyDeviceTable[];
extern const int KeyDeviceTableSize;

void FillKeyDeviceList();
const char* SelectedKeyDevice(); // null when nothing is selected or the entry has no code
void AddRemovableDrive(uint32_t unit_mask);
void RemoveRemovableDrive(uint32_t unit_mask);

#endif
