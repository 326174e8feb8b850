#include "fake_world.h"

#include <algorithm>
#include <cstring>

#include "fake_platform.h"
#include "loader_state.h"
#include "main_window_logic.h"
#include "main_window_ui.h"
#include "messages.h"
#include "res/resource_ids.h"

const char* const program_name = "orxload.exe";
const std::set<std::string> crypto_entries = {"InitKey", "GetDrvInfo", "ResetKeyEx", "lokey_get",
                                              "lokey_free"};
const std::set<std::string> akkord_entries = {"TmDriverPresent", "TmGetInfo", "TmGetRandomBytes"};

namespace {

World w;
std::set<std::string> handles; // a module handle points at its name here

void note(const std::string& what) {
    w.log.push_back(what);
}
std::string name_of(lp_module module) {
    return module ? *static_cast<const std::string*>(module) : "";
}
lp_module handle_of(const std::string& name) {
    return const_cast<std::string*>(&*handles.insert(name).first);
}

// --- the outside libraries ---

int16_t ORX_OUTSIDE_API init_key(const char* device, const char* id) {
    note(std::string("init ") + device + (*id ? " id" : "") +
         (w.ui[{0, UI_WAIT_CURSOR}] ? " waiting" : ""));
    if (w.init_key_results.empty())
        return 0;
    int16_t r = w.init_key_results.front();
    if (w.init_key_results.size() > 1)
        w.init_key_results.pop_front();
    return r;
}

int16_t ORX_OUTSIDE_API get_drv_info(DrvKeyInfo* entries, uint32_t* count) {
    size_t n = std::min<size_t>(w.drv_entries.size(), ORX_DRV_KEY_INFO_MAX);
    std::copy(w.drv_entries.begin(), w.drv_entries.begin() + long(n), entries);
    *count = *count ? 99 : w.drv_count ? w.drv_count : uint32_t(n); // the count starts at 0
    return w.drv_status;
}

int16_t ORX_OUTSIDE_API reset_key_ex(const char* id, int32_t flag) {
    note("unload " + std::string(id) + "/" + std::to_string(flag));
    return w.reset_key_status;
}

// lokey_get and lokey_free.
int32_t ORX_OUTSIDE_API lokey(LokeyRequest* r) {
    uint32_t size;
    std::memcpy(&size, r->bytes, 4);
    note("lokey " + std::to_string(size));
    return 0;
}

int32_t ORX_OUTSIDE_API rdr_error_a(int32_t zero, int32_t code, uint32_t* length, char* text) {
    auto it = w.reader_texts.find(code);
    if (zero != 0 || it == w.reader_texts.end())
        return 1;
    if (w.reader_unterminated)
        std::memset(text, 'R', *length); // the whole buffer, no NUL
    else
        std::strncpy(text, it->second.c_str(), *length);
    return 0;
}

int32_t ORX_OUTSIDE_API tm_present() {
    return w.akkord_present;
}

uint16_t ORX_OUTSIDE_API tm_info(int32_t zero, uint8_t* info, int32_t size, uint32_t*) {
    std::memset(info, 0, size_t(size));
    if (size >= 4)
        std::memcpy(info, w.akkord_words, 4);
    return zero ? 1 : w.akkord_info_status;
}

uint16_t ORX_OUTSIDE_API tm_random(uint8_t* block, int32_t size) {
    std::memcpy(block, w.akkord_bytes, std::min<size_t>(size_t(size), sizeof w.akkord_bytes));
    return w.akkord_random_status;
}

const std::map<std::string, void*> functions = {
    {"InitKey", reinterpret_cast<void*>(init_key)},
    {"GetDrvInfo", reinterpret_cast<void*>(get_drv_info)},
    {"ResetKeyEx", reinterpret_cast<void*>(reset_key_ex)},
    {"lokey_get", reinterpret_cast<void*>(lokey)},
    {"lokey_free", reinterpret_cast<void*>(lokey)},
    {"rdr_error_a", reinterpret_cast<void*>(rdr_error_a)},
    {"TmDriverPresent", reinterpret_cast<void*>(tm_present)},
    {"TmGetInfo", reinterpret_cast<void*>(tm_info)},
    {"TmGetRandomBytes", reinterpret_cast<void*>(tm_random)}};

} // namespace

World& world() {
    return w;
}

std::string system_path(const std::string& name) {
    return w.system_directory + "\\" + name;
}

void reset_world() {
    w = World();
    handles.clear();
    loader = LoaderState();
    set_window_settings_source(nullptr); // no window yet
    fake_reset();
    w.info.word[ORVEXA_INFO_OPERATIONAL] = 1;
    w.modules[program_name];
    w.modules[system_path("scrypt.dll")] = crypto_entries;
    w.modules["rdr.dll"] = {"rdr_error_a"};
    w.loaded = {"rdr.dll"};
    w.modules["tmdrv32.dll"] = akkord_entries;
    const std::pair<uint32_t, const char*> texts[] = {{IDS_ERR_DRIVER, "Error driver ORVEXA"},
                                                      {IDS_ERR_RESET_KEY, "Can`t  reset key"},
                                                      {IDS_ERR_INTERNAL, "Internal error"},
                                                      {IDS_ERROR_CAPTION, "Error"},
                                                      {IDS_LOADING, "Loading..."},
                                                      {IDS_ERR_LIBRARY, "No library"}};
    for (auto& t : texts)
        w.strings[{program_name, t.first}] = t.second;
    w.ui[{IDC_UNLOAD_KEY, UI_DEFAULT_BUTTON}] = w.ui[{IDC_UNLOAD_ALL, UI_DEFAULT_BUTTON}] = 1;
}

std::string log_text() {
    std::string out;
    for (const std::string& entry : w.log)
        out += (out.empty() ? "" : "|") + entry;
    return out;
}

// --- the loader's platform seam ---

lp_module lp_load_library(const char* name) {
    note(std::string("load ") + name);
    return w.modules.count(name) ? handle_of(name) : nullptr;
}
void lp_free_library(lp_module module) {
    note("free " + name_of(module));
}
void* lp_entry_point(lp_module module, const char* name) {
    return w.modules[name_of(module)].count(name) ? functions.at(name) : nullptr;
}
lp_module lp_loaded_module(const char* name) {
    return w.loaded.count(name) && w.modules.count(name) ? handle_of(name) : nullptr;
}
uint32_t lp_system_directory(char* buffer, uint32_t size) {
    const std::string& d = w.system_directory;
    if (d.size() >= size)
        return uint32_t(d.size() + 1);
    std::strcpy(buffer, d.c_str());
    return uint32_t(d.size());
}
void lp_secure_dll_search(void) {
    note("secure dll search");
}
lp_module lp_program_instance(void) {
    return handle_of(program_name);
}
int lp_other_loader_window(void) {
    return w.other_window;
}
uint16_t lp_user_language(void) {
    return w.language;
}
void lp_fail_critical_errors(void) {
    note("no critical-error boxes");
}
int lp_load_string(lp_module module, uint32_t id, char* buffer, int size) {
    auto it = w.strings.find({name_of(module), id});
    std::string text = it == w.strings.end() ? "" : it->second.substr(0, size_t(size) - 1);
    std::strcpy(buffer, text.c_str());
    return int(std::strlen(buffer));
}
int lp_message_box(const char* text, const char* caption, uint32_t flags) {
    note(std::string("box ") + text);
    w.box_caption = caption;
    w.box_flags = flags;
    char selected[80] = "";
    ui_item_text(IDC_KEY_LIST, ui_item_selection(IDC_KEY_LIST), selected, sizeof selected);
    w.selected_at_box = selected;
    w.load_pushed_at_box = w.ui[{IDC_LOAD_KEY, UI_PUSHED}];
    return w.box_answer;
}
void lp_beep(uint32_t frequency, uint32_t ms) {
    note("beep " + std::to_string(frequency) + "/" + std::to_string(ms));
}
void lp_sleep(uint32_t ms) {
    note("sleep " + std::to_string(ms));
}
int lp_run_main_window(lp_module resources) {
    note("window " + name_of(resources));
    return -1; // the dialog cannot be created
}
int lp_drive_removable(const char* root) {
    return root[0] && w.removable.find(root[0]) != std::string::npos;
}
uint32_t lp_logical_drive_strings(char* buffer, uint32_t size) {
    std::string list;
    for (const std::string& root : w.drives)
        list += root + '\0';
    list += '\0';
    if (list.size() > size)
        return uint32_t(list.size());
    std::memcpy(buffer, list.data(), list.size());
    return uint32_t(list.size() - 1);
}
uint64_t lp_performance_counter(void) {
    return w.counter;
}

// --- orxlink, as far as the loader imports it ---

extern "C" int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t selector) {
    w.nonzero_selector |= selector != 0;
    if (w.queries_that_answer >= 0 && w.queries++ >= w.queries_that_answer)
        return 0;
    *info = w.info;
    return 1;
}
extern "C" int ORXAPI orvexa_key_reset_slot(uint32_t slot) {
    bool refused = slot >= 32 || (w.refused_slots >> slot & 1);
    note((refused ? "refused reset " : "reset ") + std::to_string(slot));
    return !refused;
}
extern "C" int ORXAPI orvexa_rndm_put_byte(int value) {
    w.put_bytes.push_back(uint8_t(value));
    if (w.seed_bytes_make_ready && w.put_bytes.size() % 8 == 0)
        w.info.word[ORVEXA_INFO_SEED_ACCEPTED] = 1;
    return 1;
}
extern "C" int ORXAPI orvexa_rndm_get_byte(uint8_t* value) {
    *value = uint8_t(++w.byte_reads);
    return !w.byte_read_fails;
}
extern "C" int ORXAPI orvexa_rndm_step(void) {
    ++w.steps;
    return 1;
}

// --- the main window's controls, kept as the Win32 ones keep them ---

void ui_set(int id, UiProperty property, int on) {
    w.ui[{id, property}] = on;
}
void ui_focus(int id) {
    w.focus = id;
}
void ui_set_title(const char*) {}
void ui_end_dialog(int result) {
    w.ended = result;
}
void ui_send_command(int id) {
    main_window_command(uint32_t(id));
}
void ui_progress_setup(int, int low, int high, int step) {
    w.progress_high = low == 0 && step == 1 ? high : -1; // the loader's bar counts by one
}
void ui_progress_step(int) {
    w.progress = w.progress < w.progress_high ? w.progress + 1 : 1; // wraps like the control
}
// An item that is not there is an error, as with the controls, and changes nothing.
int ui_item_add(int id, const char* text, const char* code) {
    w.items[id].push_back({text, code});
    return int(w.items[id].size()) - 1;
}
int ui_item_count(int id) {
    return int(w.items[id].size());
}
int ui_item_selection(int id) {
    return w.selection.count(id) ? w.selection[id] : -1;
}
void ui_item_select(int id, int index) {
    w.selection[id] = size_t(index) < w.items[id].size() ? index : -1;
}
void ui_item_delete(int id, int index) {
    if (size_t(index) < w.items[id].size())
        w.items[id].erase(w.items[id].begin() + index);
}
void ui_items_clear(int id) {
    w.load_pushed_at_clear = w.ui[{IDC_LOAD_KEY, UI_PUSHED}];
    w.items[id].clear();
    w.selection[id] = -1;
}
const char* ui_item_code(int id, int index) {
    return size_t(index) < w.items[id].size() ? w.items[id][size_t(index)].code : nullptr;
}
void ui_item_set_code(int id, int index, const char* code) {
    if (size_t(index) < w.items[id].size())
        w.items[id][size_t(index)].code = code;
}
void ui_item_text(int id, int index, char* text, int size) {
    if (size_t(index) < w.items[id].size() && w.items[id][size_t(index)].text.size() < size_t(size))
        std::strcpy(text, w.items[id][size_t(index)].text.c_str());
}
int ui_list_text_width(int, const char* text) {
    return int(std::strlen(text)) * 6; // a fixed font
}
void ui_list_set_extent(int, int extent) {
    w.list_extent = extent;
}
void ui_show_about() {}
