// The key view's three buttons.
#ifndef ORX_LOADER_KEY_COMMANDS_H
#define ORX_LOADER_KEY_COMMANDS_H

void LoadKeys();
void UnloadSelectedKey();
void UnloadAllKeys();

#endif
