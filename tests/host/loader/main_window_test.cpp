#include <cstring>
#include <iterator>
#include <sstream>

#include "binding.h"
#include "loaded_keys_list.h"
#include "loader_fixture.h"
#include "main_window_logic.h"
#include "main_window_state.h"
#include "main_window_ui.h"
#include "res/resource_ids.h"

namespace {

const int rng_view[] = {IDC_RNG_GROUP, IDC_RNG_PROMPT, IDC_RNG_PROGRESS};

} // namespace

class MainWindowTest : public LoaderTest {
  protected:
    World& w = world();
    void SetUp() override {
        LoaderTest::SetUp();
        loader.resource_module = lp_program_instance();
        bind_crypto_library();
        w.log.clear();
        std::strcpy(loader.settings.DefaultKeyDev, "A:\\");
        std::strcpy(loader.loading_text, "Loading...");
    }
    // The driver seeded or not, with keys welcome or not, more removable drives (each also
    // a logical one); opens the window.
    void open(bool seeded = true, bool keys_welcome = true, const char* removable = "") {
        w.info.word[ORVEXA_INFO_SEED_ACCEPTED] = loader.drv_info.word[2] = seeded;
        w.info.word[ORVEXA_INFO_RNDM_READY] = loader.drv_info.word[1] = keys_welcome;
        for (const char* d = removable; *d; ++d) {
            w.removable += *d;
            w.drives.push_back(std::string(1, *d) + ":\\");
        }
        main_window_init();
    }
    void register_devices(std::vector<std::string> names) {
        machine_key(ORX_KEY_DEVICES_KEY);
        for (const std::string& n : names)
            machine_key(std::string(ORX_KEY_DEVICES_KEY) + "\\" + n);
    }
    // The items of a control, "text=code;" each (the code when it has one), then the
    // selected index.
    std::string items(int id = IDC_KEY_DEVICE) {
        std::string out;
        for (auto& e : w.items[id])
            out += e.text + (e.code ? std::string("=") + e.code : "") + ";";
        return out + std::to_string(ui_item_selection(id));
    }
    int& ui(int id, UiProperty property) { return w.ui[{id, property}]; }
    bool visible(int id) { return ui(id, UI_VISIBLE); }
    void events(MainWindowEvent event, int n) {
        for (int i = 0; i < n; ++i)
            main_window_event(event, 1000u + i);
    }
};

// An unseeded driver: the generator view, and Exit saves nothing; a seeded one: the key
// view. The menu's Auto RNG toggles without storing; compression asks before it goes on,
// and its toggle keeps the other bits of the value the crypto library owns.
TEST_F(MainWindowTest, TheViewsAndTheMenu) {
    user_key(ORX_COMPRESS_KEY).values["CompressFilesMode"] = {ORX_REG_DWORD, {1, 0, 0, 0}};
    user_key(ORX_SETTINGS_KEY);
    open(false);
    for (int id : rng_view)
        EXPECT_TRUE(visible(id));
    EXPECT_TRUE(ui(IDM_COMPRESS_FILES, UI_MENU_CHECKED));
    main_window_command(COMMAND_CANCEL);
    EXPECT_EQ(std::make_pair(w.ended, loader.window.opened), std::make_pair(0, 1));
    EXPECT_EQ(fake().registry_writes, 0);

    SetUp();
    std::strcpy(loader.settings.RNGAutoDev, "A"); // any device checks Auto RNG
    open();
    EXPECT_TRUE(ui(IDM_AUTO_RNG, UI_MENU_CHECKED));
    for (int id : {IDC_KEY_DEVICE, IDC_KEY_DEVICE_LABEL, IDC_KEY_LIST_LABEL, IDC_KEY_LIST_HEADER})
        EXPECT_TRUE(visible(id)) << id;
    main_window_command(IDM_AUTO_RNG);
    EXPECT_EQ(std::make_pair(ui(IDM_AUTO_RNG, UI_MENU_CHECKED), fake().registry_writes),
              std::make_pair(0, 0));

    FakeKey& key = user_key(ORX_COMPRESS_KEY);
    key.values["CompressFilesMode"] = {ORX_REG_DWORD, {6, 0, 0, 0}};
    for (int answer : {7, 6, 1}) { // No, Yes, then switching off asks nothing
        w.box_answer = answer;
        main_window_command(IDM_COMPRESS_FILES);
        EXPECT_EQ(key.values["CompressFilesMode"].bytes[0], answer == 6 ? 7 : 6);
        EXPECT_EQ(ui(IDM_COMPRESS_FILES, UI_MENU_CHECKED), answer == 6);
    }
    EXPECT_EQ(w.log, std::vector<std::string>(2, std::string("box ") + compress_confirm_text));
    EXPECT_EQ(w.box_caption, compress_confirm_caption);
    EXPECT_EQ(w.box_flags, 0x34u);
    w.box_answer = 6;
    key.read_only = true; // a store that fails leaves the mode as it was
    main_window_command(IDM_COMPRESS_FILES);
    EXPECT_FALSE(ui(IDM_COMPRESS_FILES, UI_MENU_CHECKED));
    key.read_only = false; // not 4 bytes: the mode read before stands, stored as a DWORD
    key.values["CompressFilesMode"] = {ORX_REG_SZ, {7, 0, 0}};
    main_window_command(IDM_COMPRESS_FILES);
    EXPECT_EQ(key.values["CompressFilesMode"].bytes, (std::vector<uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(key.values["CompressFilesMode"].type, uint32_t(ORX_REG_DWORD));
}

// Floppies first, then the other removable drives, then the registered media (the registry
// enumerates subkeys alphabetically), of which only the first 32 names are looked at.
TEST_F(MainWindowTest, DeviceListFromDrivesAndRegisteredMedia) {
    struct {
        const char *drives, *registered; // drives: upper case removable, lower case fixed
        int unknown_names;               // enumerated before the rest
        const char* default_device;
        std::string combo;
    } rows[] = {
        {"", "", 0, "", "-1"},
        {"ABcE", "dallas ACCORD Unknown FLOP_B", 0, "TM:COM2",
         "Floppy  (A:)=A:\\;Floppy  (B:)=B:\\;Removable disk E:=E:\\;TM reader Accord =TM:A4.P;"
         "TM reader Dallas COM0:=TM:COM0;TM reader Dallas COM1:=TM:COM1;"
         "TM reader Dallas COM2:=TM:COM2;Floppy  (B:)=B:\\;6"},
        {"EF", "eTok", 0, "", "Removable disk E:=E:\\;Removable disk F:=F:\\;eToken=eToken;0"},
        {"", "eTok", 31, "", "eToken=eToken;0"},
        {"", "eTok", 32, "", "-1"}};
    for (auto& r : rows) {
        SetUp();
        w.removable = r.drives; // the roots are upper case: a lower-case letter never matches
        for (const char* d = r.drives; *d; ++d)
            w.drives.push_back(std::string(1, char(std::toupper(*d))) + ":\\");
        std::istringstream names(r.registered);
        std::vector<std::string> registered{std::istream_iterator<std::string>(names), {}};
        for (int i = 0; i < r.unknown_names; ++i)
            registered.push_back("a" + std::to_string(10 + i));
        if (!registered.empty())
            register_devices(registered);
        std::strcpy(loader.settings.DefaultKeyDev, r.default_device);
        open();
        EXPECT_EQ(items(), r.combo);
        bool accord = r.combo.find("Accord") != std::string::npos;
        EXPECT_EQ(ui(IDM_AUTO_RNG, UI_MENU_ENABLED), accord);
        EXPECT_STREQ(loader.settings.RNGAutoDev, accord ? ORX_ACCORD_DEVICE : "");
        EXPECT_FALSE(ui(IDM_AUTO_RNG, UI_MENU_CHECKED));
    }
}

// Bits above Z name no drive: such a mask, or an empty one, changes nothing.
TEST_F(MainWindowTest, ArrivingAndLeavingVolumes) {
    w.removable = "AE[\\]^_`";
    w.drives = {"C:\\"};
    open();
    struct {
        DeviceChange change;
        uint32_t drives;
        std::string combo;
    } rows[] = {{VOLUME_ARRIVED, 0x10, "E:;1"},
                {VOLUME_ARRIVED, 0x01, "E:;removable disk A:=A:;2"},
                {VOLUME_ARRIVED, 0x11, "E:;removable disk A:=A:;1"}, // the highest drive: E:
                {VOLUME_ARRIVED, 0x04, "E:;removable disk A:=A:;1"}, // C: is fixed
                {DEVICE_OTHER, 0x20, "E:;removable disk A:=A:;1"},
                {VOLUME_REMOVED, 0x01, "E:;0"},
                {VOLUME_REMOVED, 0x20, "E:;0"},
                {VOLUME_ARRIVED, 1u << 26, "E:;0"},
                {VOLUME_REMOVED, 0xFC000000u, "E:;0"}};
    for (auto& r : rows) {
        main_window_device_change(r.change, r.drives, 1);
        EXPECT_EQ(items(), "Floppy  (A:)=A:\\;removable disk E:=" + r.combo) << r.drives;
    }
    SetUp(); // a label listed first arrives again: no second entry
    open(true, true, "E");
    main_window_device_change(VOLUME_ARRIVED, 0x10, 1);
    EXPECT_EQ(items(), "Removable disk E:=E:;0");
    SetUp(); // a label listed twice: the second entry is found before the first
    w.drives = {"E:\\"};
    open(true, true, "E");
    main_window_device_change(VOLUME_ARRIVED, 0x10, 1);
    EXPECT_EQ(items(), "Removable disk E:=E:\\;Removable disk E:=E:;1");
    for (const char* left : {"Removable disk E:=E:\\;0", "-1", "-1"}) {
        main_window_device_change(VOLUME_REMOVED, 0x10, 1);
        EXPECT_EQ(items(), left);
    }
}

TEST_F(MainWindowTest, KeyListLinesWidthPositionAndButtons) {
    w.drv_entries = {
        {"1111222222", "111122222233", 0}, {"", "777788888899", 7}, {"1212121212", "", 12}};
    open(true, false);
    EXPECT_EQ(items(IDC_KEY_LIST), "0 : 111122222233   1111222222;7 : 777788888899   __________;"
                                   "12: ____________   1212121212;2");
    EXPECT_EQ(w.list_extent, 0);
    EXPECT_FALSE(visible(IDC_KEY_LIST));
    EXPECT_TRUE(visible(IDC_LOAD_KEY_HINT));
    for (int id : {IDC_LOAD_KEY, IDC_EXIT, IDC_UNLOAD_KEY, IDC_UNLOAD_ALL})
        EXPECT_TRUE(ui(id, UI_ENABLED)) << id;

    w.drv_entries.clear(); // the keys went elsewhere: a refresh disables the unloading
    main_window_command(IDM_REFRESH);
    EXPECT_FALSE(ui(IDC_UNLOAD_KEY, UI_ENABLED));
    EXPECT_FALSE(ui(IDC_UNLOAD_ALL, UI_ENABLED));
    EXPECT_FALSE(ui(IDC_UNLOAD_KEY, UI_DEFAULT_BUTTON));
    EXPECT_EQ(w.focus, IDC_LOAD_KEY);

    // The first slot not taken, before the loading line; a full list ends at its size.
    std::vector<DrvKeyInfo> slots = {{"", "", 0}, {"", "", 1}, {"", "", 3}};
    EXPECT_EQ(first_gap(slots.data(), 3), 2u);
    EXPECT_EQ(first_gap(slots.data() + 1, 2), 0u);
    std::vector<DrvKeyInfo> full(slots.begin(), slots.begin() + 2); // a read past it shows
    EXPECT_EQ(first_gap(full.data(), 2), 2u);

    DrvKeyInfo wild; // a library that misbehaves: no terminator anywhere, more entries counted
    std::memset(&wild, '9', sizeof wild);
    wild.slot = 3;
    w.drv_entries = {wild};
    w.drv_count = 40;
    main_window_command(IDM_REFRESH);
    ASSERT_EQ(w.items[IDC_KEY_LIST].size(), size_t(ORX_DRV_KEY_INFO_MAX));
    EXPECT_EQ(w.items[IDC_KEY_LIST][0].text, "3 : 999999999999   9999999999");
    w.drv_status = 4017; // the crypto library cannot list the keys: told, and the window ends
    main_window_command(IDM_REFRESH);
    EXPECT_EQ(log_text(), "box Error driver ORVEXA (3 )");
    EXPECT_EQ(w.ended, 0);
}

TEST_F(MainWindowTest, UnloadingKeys) {
    w.drv_entries = {{"3333444444", "333344444455", 2}, {"4444555555", "", 5}};
    w.refused_slots = 1u << 2 | 1u << 5;
    open();
    for (int line : {0, 1, -1}) {
        w.selection[IDC_KEY_LIST] = line;
        w.reset_key_status = line < 0 ? IDS_ERR_RESET_KEY : 0;
        main_window_command(IDC_UNLOAD_KEY);
        EXPECT_EQ(w.focus, IDC_UNLOAD_KEY);
    }
    auto listed = w.drv_entries;
    w.drv_entries.pop_back(); // the key is gone: the list is read again
    w.selection[IDC_KEY_LIST] = 1;
    w.reset_key_status = 0;
    main_window_command(IDC_UNLOAD_KEY);
    EXPECT_EQ(w.items[IDC_KEY_LIST].size(), 1u);
    w.drv_entries = listed;
    main_window_command(IDC_UNLOAD_ALL);
    std::string resets;
    for (int slot = 0; slot < ORVEXA_SLOT_COUNT; ++slot)
        resets += slot == 2 || slot == 5
                      ? "|refused reset " + std::to_string(slot) + "|box Can`t  reset key (3 )"
                      : "|reset " + std::to_string(slot);
    EXPECT_EQ(log_text(), "unload 333344444455/1|unload 4444555555/1|unload xxxxssssssyy/1|"
                          "box Can`t  reset key (3 )|unload 4444555555/1" +
                              resets);
    EXPECT_EQ(w.selected_at_box, "");            // the slots reset before it took the list away
    EXPECT_EQ(w.items[IDC_KEY_LIST].size(), 2u); // the keys that stayed, listed again
    EXPECT_TRUE(ui(IDC_UNLOAD_ALL, UI_ENABLED)); // as the rebuild left them
    EXPECT_EQ(w.focus, IDC_UNLOAD_ALL);

    w.refused_slots = 0; // every slot reset: the buttons go, whatever the library still lists
    w.drv_entries.push_back({"", "", 1234567}); // its line is wider than the list: no scrolling
    ui(IDC_UNLOAD_ALL, UI_PUSHED) = true;       // as the click left it
    main_window_command(IDC_UNLOAD_ALL);
    for (int id : {IDC_UNLOAD_KEY, IDC_UNLOAD_ALL})
        EXPECT_FALSE(ui(id, UI_ENABLED)) << id;
    EXPECT_FALSE(ui(IDC_UNLOAD_ALL, UI_PUSHED));
    EXPECT_FALSE(ui(IDC_UNLOAD_ALL, UI_DEFAULT_BUTTON));
    EXPECT_EQ(std::make_pair(w.focus, w.list_extent), std::make_pair(int(IDC_LOAD_KEY), 0));
}

TEST_F(MainWindowTest, LoadingKeys) {
    w.strings[{program_name, IDS_ERR_NO_FREE_SLOTS}] = "No free slots";
    w.drv_entries = {{"1", "", 0}, {"1", "", 3}};
    open(true, true, "A");
    w.init_key_results = {ORX_NO_FREE_SLOTS, 0};
    main_window_command(IDC_LOAD_KEY);
    EXPECT_EQ(log_text(), "init A:\\ waiting|box No free slots (38 )");
    EXPECT_EQ(w.selected_at_box, "Loading..."); // shown selected while it stands
    EXPECT_FALSE(w.load_pushed_at_box);
    EXPECT_EQ(w.items[IDC_KEY_LIST].size(), 2u); // the loading line is gone again
    EXPECT_FALSE(ui(0, UI_WAIT_CURSOR));
    EXPECT_EQ(w.focus, IDC_LOAD_KEY);
    w.drv_entries.push_back({"1", "", 1});
    w.log.clear();
    main_window_command(IDC_LOAD_KEY); // a success tells nothing
    EXPECT_EQ(log_text(), "init A:\\ waiting");
    EXPECT_EQ(w.selection[IDC_KEY_LIST], 1); // the first free slot before the load
    EXPECT_EQ(std::make_pair(w.load_pushed_at_clear, ui(IDC_LOAD_KEY, UI_PUSHED)),
              std::make_pair(1u, 0)); // pushed while the list is rebuilt, released after

    w.selection[IDC_KEY_DEVICE] = -1; // no device code: nothing to load
    w.log.clear();
    main_window_command(IDC_LOAD_KEY);
    EXPECT_EQ(log_text(), "");
}

// Status 4101 stores the window's choice and asks for the medium; Exit stores it while the
// driver is seeded, also as the key devices' default when they have a key.
TEST_F(MainWindowTest, Status4101AndExitSaveTheWindowsChoice) {
    user_key(ORX_SETTINGS_KEY);
    register_devices({"Accord"});
    open(true, true, "A");
    w.selection[IDC_KEY_DEVICE] = 1;
    main_window_command(IDM_AUTO_RNG);
    w.init_key_results = {ORX_KEY_MEDIUM_REQUEST};
    main_window_command(IDC_LOAD_KEY);
    EXPECT_EQ(log_text(), "init TM:A4.P waiting|lokey 2880|lokey 2880");
    EXPECT_EQ(value(ORX_SETTINGS_KEY, "DefaultKeyDev"), ORX_ACCORD_DEVICE);
    EXPECT_EQ(value(ORX_SETTINGS_KEY, "RNGAutoDev"), ORX_ACCORD_DEVICE);
    user_key(ORX_KEY_DEVICES_KEY);
    w.selection[IDC_KEY_DEVICE] = -1; // no selection: the stored device stays
    main_window_command(IDM_AUTO_RNG);
    main_window_command(IDM_EXIT);
    EXPECT_EQ(value(ORX_KEY_DEVICES_KEY, "default"), ORX_ACCORD_DEVICE);
    EXPECT_EQ(value(ORX_SETTINGS_KEY, "RNGAutoDev"), "");
}

// Moves count one, a press rounds up to the next ten, a sample at every tenth; the event
// after the fortieth sample completes the collection.
TEST_F(MainWindowTest, FortySamplesThenOneMoreEventComplete) {
    user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE] = {3, std::vector<uint8_t>(32, 0)};
    w.counter = 0x100000005ull;
    open(false);
    events(EVENT_PRESS, RNG_SAMPLES - 1);
    events(EVENT_MOVE, 9);
    EXPECT_EQ(loader.rng_progress, RNG_SAMPLES - 1);
    main_window_event(EVENT_MOVE, 1009); // the tenth move takes the last sample
    EXPECT_EQ(window_state.rng_event_counter, 10 * RNG_SAMPLES);
    EXPECT_EQ(loader.rng_progress, RNG_SAMPLES);
    EXPECT_EQ(w.steps, RNG_SAMPLES);
    EXPECT_EQ(w.progress, RNG_SAMPLES);
    EXPECT_TRUE(visible(IDC_RNG_GROUP));
    main_window_device_change(DEVICE_OTHER, 0, 1); // a device change is a press
    EXPECT_EQ(loader.rng_progress, RNG_FINISHED);
    for (int id : rng_view)
        EXPECT_FALSE(visible(id)) << id;
    EXPECT_TRUE(visible(IDC_KEY_DEVICE));
    EXPECT_TRUE(visible(IDC_EXIT)); // the loaded-keys list was refreshed
    // Sample i is byte i + 1 of the driver plus the time of the message that took it and the
    // counter; the mask takes samples 8 to 39.
    auto& mask = user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE].bytes;
    ASSERT_EQ(mask.size(), 32u);
    EXPECT_EQ(std::make_pair(mask[0], mask[31]),
              std::make_pair(uint8_t(9 + 1008 + 5), uint8_t(40 + 1009 + 5)));
    events(EVENT_PRESS, 5);
    EXPECT_EQ(w.byte_reads, RNG_SAMPLES);

    SetUp(); // a failed read costs a bar step and no sample
    open(false);
    w.byte_read_fails = true;
    events(EVENT_PRESS, 3);
    events(EVENT_MOVE, 10);
    EXPECT_EQ(loader.rng_progress, 0);
    EXPECT_EQ(w.progress, 4);
    EXPECT_EQ(w.steps, 0);

    SetUp(); // in mode I the completion loads the keys, and the window ends with its status
    loader.command_mode = 'I';
    open(false);
    events(EVENT_PRESS, RNG_SAMPLES + 1);
    EXPECT_EQ(std::make_tuple(log_text(), loader.window.keys_loaded, w.ended),
              std::make_tuple("init A:\\", 1, 0));
}
