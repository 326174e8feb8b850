// The main window as the native tests see it: every control's state, recorded.
#ifndef ORX_TESTS_FAKE_UI_H
#define ORX_TESTS_FAKE_UI_H

#include <map>
#include <string>
#include <vector>

struct FakeControl {
    bool visible = false;
    bool enabled = true;
    bool pushed = false;
    bool default_style = false;
};

struct FakeComboEntry {
    std::string text;
    const char* code;
};

struct FakeUi {
    std::map<int, FakeControl> controls;
    int focus = -1;
    std::string title;
    int ended = -1000; // result of ui_end_dialog, -1000 while open
    std::vector<FakeComboEntry> combo;
    int combo_selection = -1;
    std::vector<std::string> list;
    int list_selection = -1;
    int list_extent = -1;
    std::map<int, bool> menu_checked;
    std::map<int, bool> menu_enabled;
    int progress_low = 0, progress_high = 100, progress_step = 10, progress_position = 0;
    bool wait_cursor = false;
    int about_boxes = 0;
    std::vector<int> sent_commands;
    // Lines of the list at the moment each message box was shown, to see "Loading...".
    std::vector<std::vector<std::string>> list_at_box;
    std::vector<bool> load_pushed_at_box;
};

FakeUi& ui();
void reset_ui(); // every control hidden, push buttons disabled, item 40002 grayed

#endif
