// The main window and the About box's platform for the loader's fuzz target: the window's
// controls are the native tests' recorded ones (tests/host/loader/fake_ui.cpp), which keep
// their state as the Win32 ones would and throw (a finding) when asked for an entry that is
// not there; the About box's version resource, code pages and conversions answer from the
// input, and its dialog fills the component tree the way the Win32 dialog inserts it.
#include <string.h>

#include <string>
#include <vector>

#include "about_box.h"
#include "about_platform.h"
#include "about_texts.h"
#include "component_tree.h"
#include "fake_ui.h"
#include "loader_fuzz_platform.h"
#include "main_window_ui.h"
#include "res/resource_ids.h"

namespace {

std::vector<uint8_t> version_block;
int about_boxes_shown = 0;

} // namespace

void lf_window_open() {
    reset_ui();
    about_boxes_shown = 0;
}

// The recorded window counts the About boxes asked for; each is shown here, as the loader
// shows it: its own resources, no product key.
bool lf_window_ended(int* result) {
    for (; about_boxes_shown < ui().about_boxes; ++about_boxes_shown) {
        static char instance;
        ShowAboutBox(&instance, nullptr, 114, nullptr);
    }
    *result = ui().ended;
    return ui().ended != -1000;
}

void lf_operator_picks_device(uint8_t index) {
    ui_combo_select(IDC_KEY_DEVICE, index);
}

void lf_operator_picks_line(uint8_t index) {
    ui_list_select(IDC_KEY_LIST, index);
}

// --- the About box's platform ---

void ap_enum_installed_code_pages(ap_code_page_visitor visit) {
    static const char* const pages[] = {"1251", "1252", "866", "437"};
    for (int n = lf_byte() % 6; n > 0; --n) {
        uint8_t b = lf_byte();
        std::string page = b < 4 ? pages[b] : std::to_string(lf_u16());
        if (!visit(page.c_str()))
            return;
    }
}

uint32_t ap_ansi_code_page(void) {
    uint8_t b = lf_byte();
    return b == 0 ? 1252 : b == 1 ? 1251 : lf_u16();
}

int ap_ansi_to_utf16(const char* text, uint16_t* out, int room) {
    if (lf_byte() == 1)
        return 0;
    int units = int(strlen(text)) + 1;
    if (room == 0)
        return units;
    if (room < units)
        return 0;
    for (int i = 0; i < units; ++i)
        out[i] = static_cast<unsigned char>(text[i]);
    return units;
}

// GetModuleFileName: a name that does not fit is cut to the room without its NUL.
uint32_t ap_module_file_name(void*, char* name, uint32_t size) {
    uint8_t b = lf_byte();
    if (b == 1)
        return 0;
    std::string file = b == 0 ? "C:\\orx\\orxload.exe" : std::string(size_t(b) * 2, 'F');
    if (file.size() >= size) {
        memcpy(name, file.data(), size);
        return size;
    }
    memcpy(name, file.c_str(), file.size() + 1);
    return uint32_t(file.size());
}

uint32_t ap_version_info_size(const char* file) {
    lf_touch_text(file);
    uint8_t b = lf_byte();
    return b == 1 ? 0 : 64 + b * 4u;
}

int ap_version_info(const char* file, uint32_t size, void* data) {
    lf_touch_text(file);
    if (lf_byte() == 1)
        return 0;
    lf_fill(data, size);
    version_block.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    return 1;
}

// VerQueryValue: a text anywhere inside the block, of any length that stays inside it.
int ap_version_query(const void* data, const char* path, const char** text, uint32_t* length) {
    lf_touch_text(path);
    if (lf_byte() == 1 || version_block.empty())
        return 0;
    uint32_t size = uint32_t(version_block.size());
    uint32_t offset = lf_u16() % size;
    *text = static_cast<const char*>(data) + offset;
    *length = lf_u16() % (size - offset + 1);
    return 1;
}

void ap_message_box(void*, const char* text, const char* caption) {
    lf_touch_text(text);
    lf_touch_text(caption);
}

// The dialog inserts the tree's items in order, each under an item already inserted, then
// expands the items listed.
int ap_run_dialog(void*, const void* dialog_template, uint32_t size, void*, const char* product) {
    lf_touch(dialog_template, size);
    ComponentTree tree = CollectComponents(about_texts(), product);
    for (size_t i = 0; i < tree.items.size(); ++i) {
        const ComponentTreeItem& item = tree.items[i];
        lf_touch_text(item.text.c_str());
        if (item.parent >= int(i) || item.depth < 1 || item.depth > 3)
            lf_fail("tree item out of order");
    }
    for (int index : tree.expand)
        if (index < 0 || size_t(index) >= tree.items.size())
            lf_fail("tree expands an item it does not have");
    return lf_byte() == 1 ? -1 : 1;
}
