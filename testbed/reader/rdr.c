/* rdr.dll: the key-media reader library stand-in. One export, rdr_error_a, by plain name
 * with the C calling convention (loader/outside_api.h). */
#include <windows.h>

#include "rdr.h"
#include "reader_texts.h"

int32_t ORX_OUTSIDE_API rdr_error_a(int32_t zero, int32_t code, uint32_t* length, char* text) {
    return rdr_format_error(zero, code, length, text);
}

/* The export has exactly the type the loader binds. */
static const rdr_error_a_fn rdr_error_a_type_check = rdr_error_a;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    (void)rdr_error_a_type_check;
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
