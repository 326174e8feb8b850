// The main window's controls and the About box's platform for the loader's fuzz target:
// the controls keep their state as the Win32 ones would; the About box's version resource,
// code pages and conversions answer from the input, and its dialog fills the component tree
// the way the Win32 dialog inserts it.
#include <string.h>

#include <string>
#include <vector>

#include "about_box.h"
#include "about_platform.h"
#include "about_texts.h"
#include "component_tree.h"
#include "loader_fuzz_platform.h"
#include "main_window_logic.h"
#include "main_window_ui.h"

namespace {

struct ComboEntry {
    std::string text;
    const char* code;
};

struct Window {
    std::vector<ComboEntry> combo;
    int combo_selection = -1;
    std::vector<std::string> list;
    int list_selection = -1;
    bool ended = false;
    int result = 0;
} window;

template <typename T> bool valid(const std::vector<T>& v, int index) {
    return index >= 0 && size_t(index) < v.size();
}

std::vector<uint8_t> version_block;

} // namespace

void lf_window_open() {
    window = Window();
}

bool lf_window_ended(int* result) {
    *result = window.result;
    return window.ended;
}

void lf_operator_picks_device(uint8_t index) {
    window.combo_selection = valid(window.combo, index) ? index : -1;
}

void lf_operator_picks_line(uint8_t index) {
    window.list_selection = valid(window.list, index) ? index : -1;
}

// --- the main window's controls ---

void ui_show(int, int) {}
void ui_enable(int, int) {}
void ui_focus(int) {}
void ui_set_title(const char* title) {
    lf_touch_text(title);
}
void ui_end_dialog(int result) {
    if (!window.ended)
        window.result = result;
    window.ended = true;
}
void ui_send_command(int id) {
    main_window_command(uint32_t(id));
}
void ui_wait_cursor(int) {}
void ui_button_pushed(int, int) {}
void ui_button_drop_default(int) {}
void ui_menu_check(int, int) {}
void ui_menu_enable(int, int) {}
void ui_progress_setup(int, int, int, int) {}
void ui_progress_step(int) {}

int ui_combo_add(int, const char* text, const char* code) {
    window.combo.push_back({text, code});
    return int(window.combo.size()) - 1;
}
int ui_combo_count(int) {
    return int(window.combo.size());
}
int ui_combo_selection(int) {
    return window.combo_selection;
}
void ui_combo_select(int, int index) {
    window.combo_selection = valid(window.combo, index) ? index : -1;
}
// The code of an entry is read where it points, as InitKey would read it.
const char* ui_combo_code(int, int index) {
    if (!valid(window.combo, index))
        return nullptr;
    if (window.combo[size_t(index)].code)
        lf_touch_text(window.combo[size_t(index)].code);
    return window.combo[size_t(index)].code;
}
void ui_combo_set_code(int, int index, const char* code) {
    if (valid(window.combo, index))
        window.combo[size_t(index)].code = code;
}
int ui_combo_text(int, int index, char* text, int size) {
    if (!valid(window.combo, index) || window.combo[size_t(index)].text.size() >= size_t(size)) {
        text[0] = '\0';
        return 0;
    }
    strcpy(text, window.combo[size_t(index)].text.c_str());
    return int(strlen(text));
}
void ui_combo_delete(int, int index) {
    if (!valid(window.combo, index))
        return;
    window.combo.erase(window.combo.begin() + index);
    if (window.combo_selection >= int(window.combo.size()))
        window.combo_selection = -1;
}

int ui_list_add(int, const char* line) {
    window.list.push_back(line);
    return int(window.list.size()) - 1;
}
void ui_list_clear(int) {
    window.list.clear();
    window.list_selection = -1;
}
int ui_list_count(int) {
    return int(window.list.size());
}
int ui_list_selection(int) {
    return window.list_selection;
}
void ui_list_select(int, int index) {
    window.list_selection = valid(window.list, index) ? index : -1;
}
void ui_list_delete(int, int index) {
    if (!valid(window.list, index))
        return;
    window.list.erase(window.list.begin() + index);
    if (window.list_selection >= int(window.list.size()))
        window.list_selection = -1;
}
void ui_list_selected_text(int, char* text, int size) {
    if (!valid(window.list, window.list_selection))
        return;
    const std::string& line = window.list[size_t(window.list_selection)];
    if (line.size() < size_t(size))
        strcpy(text, line.c_str());
}
int ui_list_text_width(int, const char* text) {
    return int(strlen(text)) * 6;
}
void ui_list_set_extent(int, int) {}

void ui_show_about() {
    // The loader's own call: its resources, no product key.
    static char instance;
    ShowAboutBox(&instance, nullptr, 114, nullptr);
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
