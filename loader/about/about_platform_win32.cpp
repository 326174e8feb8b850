// Win32 implementation of the About box's platform operations, except for the dialog
// itself (about_dialog_win32.cpp).
#include <windows.h>

#include "about_platform.h"

namespace {

ap_code_page_visitor current_visitor; // EnumSystemCodePagesA passes no context

BOOL CALLBACK visit_code_page(LPSTR code_page) {
    return current_visitor(code_page) ? TRUE : FALSE;
}

} // namespace

void ap_enum_installed_code_pages(ap_code_page_visitor visit) {
    current_visitor = visit;
    EnumSystemCodePagesA(visit_code_page, CP_INSTALLED);
    current_visitor = nullptr;
}

uint32_t ap_ansi_code_page(void) {
    return GetACP();
}

int ap_ansi_to_utf16(const char* text, uint16_t* out, int room) {
    return MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(out), room);
}

uint32_t ap_module_file_name(void* module, char* name, uint32_t size) {
    return GetModuleFileNameA(static_cast<HMODULE>(module), name, size);
}

uint32_t ap_version_info_size(const char* file) {
    DWORD unused = 0;
    return GetFileVersionInfoSizeA(file, &unused);
}

int ap_version_info(const char* file, uint32_t size, void* data) {
    return GetFileVersionInfoA(file, 0, size, data) != FALSE;
}

int ap_version_query(const void* data, const char* path, const char** text, uint32_t* length) {
    void* value = nullptr;
    UINT units = 0;
    if (!VerQueryValueA(data, path, &value, &units) || !value)
        return 0;
    *text = static_cast<const char*>(value);
    *length = units;
    return 1;
}

void ap_message_box(void* owner, const char* text, const char* caption) {
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK | MB_ICONEXCLAMATION);
}
