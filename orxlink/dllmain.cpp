#include <windows.h>

#include "channel.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        orx_process_attach();
        break;
    case DLL_PROCESS_DETACH:
        orx_process_detach();
        break;
    default:
        break;
    }
    return TRUE;
}
