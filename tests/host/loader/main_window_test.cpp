#include <cstring>

#include "binding.h"
#include "fake_ui.h"
#include "loaded_keys_list.h"
#include "loader_fixture.h"
#include "main_window_logic.h"
#include "main_window_state.h"
#include "res/resource_ids.h"

namespace {

const char* const devices_key = "SOFTWARE\\DEZURE\\Cryptography\\KeyDevices";
const char* const settings_key = "SOFTWARE\\DEZURE\\Cryptography\\orxload";

DrvKeyInfo entry(uint32_t slot, const char* crypt, const char* sign) {
    DrvKeyInfo e = {};
    std::strncpy(e.crypt_id, crypt, sizeof e.crypt_id);
    std::strncpy(e.sign_id, sign, sizeof e.sign_id);
    e.slot = slot;
    return e;
}

} // namespace

class MainWindowTest : public LoaderTest {
  protected:
    void SetUp() override {
        LoaderTest::SetUp();
        reset_ui();
        loader.resource_module = lp_program_instance();
        bind_crypto_library();
        std::strcpy(loader.settings.DefaultKeyDev, "A:\\");
        std::strcpy(loader.loading_text, "Loading...");
        loader.drv_info.word[ORVEXA_INFO_OPERATIONAL] = 1;
    }
    void ready(bool keys_ready = true) {
        loader.drv_info.word[2] = 1;
        world().info.word[2] = 1;
        loader.drv_info.word[1] = keys_ready;
        world().info.word[1] = keys_ready;
    }
    void register_devices(std::initializer_list<const char*> names) {
        machine_key(devices_key);
        for (const char* n : names)
            machine_key(std::string(devices_key) + "\\" + n);
    }
    std::vector<std::string> combo_texts() {
        std::vector<std::string> out;
        for (auto& e : ui().combo)
            out.push_back(e.text);
        return out;
    }
    bool visible(int id) { return ui().controls[id].visible; }
    void presses(int n) {
        for (int i = 0; i < n; ++i)
            main_window_event(EVENT_PRESS, 1000u + i);
    }
    void moves(int n) {
        for (int i = 0; i < n; ++i)
            main_window_event(EVENT_MOVE, 5000u + i);
    }
};

TEST_F(MainWindowTest, AnEmptyDriverOpensTheGeneratorViewAReadyOneTheKeyView) {
    main_window_init();
    EXPECT_EQ(ui().title, "orxload");
    for (int id : {IDC_RNG_GROUP, IDC_RNG_PROMPT, IDC_RNG_PROGRESS})
        EXPECT_TRUE(visible(id));
    EXPECT_FALSE(visible(IDC_KEY_DEVICE));
    EXPECT_EQ(ui().progress_high, 40);
    EXPECT_EQ(ui().focus, 0);

    SetUp();
    ready();
    main_window_init();
    EXPECT_FALSE(visible(IDC_RNG_GROUP));
    for (int id : {IDC_KEY_DEVICE, IDC_KEY_DEVICE_LABEL, IDC_KEY_LIST_LABEL, IDC_KEY_LIST_HEADER,
                   IDC_KEY_LIST, IDC_LOAD_KEY, IDC_UNLOAD_KEY, IDC_UNLOAD_ALL, IDC_EXIT})
        EXPECT_TRUE(visible(id)) << id;
    EXPECT_FALSE(visible(IDC_LOAD_KEY_HINT));
}

TEST_F(MainWindowTest, DeviceListFromDrivesAndRegisteredMedia) {
    ready();
    main_window_init();
    EXPECT_TRUE(ui().combo.empty());
    EXPECT_EQ(ui().combo_selection, -1);

    SetUp();
    ready();
    world().removable_drives = "ABE";
    world().logical_drives = "ABCE";
    register_devices({"dallas", "ACCORD", "Unknown", "FLOP_B"});
    std::strcpy(loader.settings.DefaultKeyDev, "TM:COM2");
    main_window_init();
    // The registry enumerates subkeys in alphabetical order.
    std::vector<std::string> expected = {"Floppy  (A:)",           "Floppy  (B:)",
                                         "Removable disk E:",      "TM reader Accord ",
                                         "TM reader Dallas COM0:", "TM reader Dallas COM1:",
                                         "TM reader Dallas COM2:", "Floppy  (B:)"};
    EXPECT_EQ(combo_texts(), expected);
    EXPECT_STREQ(ui().combo[2].code, "E:\\");
    EXPECT_STREQ(ui().combo[7].code, "B:\\");
    EXPECT_EQ(ui().combo_selection, 6);
    EXPECT_TRUE(ui().menu_enabled[IDM_AUTO_RNG]);
    EXPECT_FALSE(ui().menu_checked[IDM_AUTO_RNG]);
}

TEST_F(MainWindowTest, OnlyThirtyTwoRegisteredNamesAreConsidered) {
    ready();
    machine_key(devices_key);
    for (int i = 0; i < 32; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "a%02d", i);
        machine_key(std::string(devices_key) + "\\" + name);
    }
    machine_key(std::string(devices_key) + "\\eTok"); // enumerated 33rd
    main_window_init();
    EXPECT_TRUE(ui().combo.empty());

    SetUp();
    ready();
    machine_key(devices_key);
    for (int i = 0; i < 31; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "a%02d", i);
        machine_key(std::string(devices_key) + "\\" + name);
    }
    machine_key(std::string(devices_key) + "\\eTok"); // enumerated 32nd
    main_window_init();
    EXPECT_EQ(combo_texts(), std::vector<std::string>{"eToken"});
}

TEST_F(MainWindowTest, ArrivingAndLeavingVolumes) {
    ready();
    world().removable_drives = "AE";
    world().logical_drives = "AC";
    main_window_init();
    main_window_device_change(DEVICE_ARRIVAL, 1, 0x10, 1);
    ASSERT_EQ(combo_texts(), (std::vector<std::string>{"Floppy  (A:)", "removable disk E:"}));
    EXPECT_STREQ(ui().combo[1].code, "E:");
    EXPECT_EQ(ui().combo_selection, 1);
    main_window_device_change(DEVICE_ARRIVAL, 1, 0x10, 2); // the same label again
    EXPECT_EQ(ui().combo.size(), 2u);
    EXPECT_EQ(ui().combo_selection, 1);
    main_window_device_change(DEVICE_REMOVE_COMPLETE, 1, 0x10, 3);
    EXPECT_EQ(combo_texts(), std::vector<std::string>{"Floppy  (A:)"});
    EXPECT_EQ(ui().combo_selection, 0);
    main_window_device_change(DEVICE_ARRIVAL, 1, 0x04, 4); // C: is not removable
    EXPECT_EQ(ui().combo.size(), 1u);
}

// Bits above Z name no drive: such a mask, or an empty one, changes nothing.
TEST_F(MainWindowTest, VolumeMasksWithoutADriveChangeNothing) {
    ready();
    world().removable_drives = "AE[\\]^_`";
    world().logical_drives = "AE";
    main_window_init();
    const std::vector<std::string> before = combo_texts();
    for (uint32_t mask : {0u, 1u << 26, 1u << 31, 0xFC000000u})
        for (uint32_t event : {uint32_t(DEVICE_ARRIVAL), uint32_t(DEVICE_REMOVE_COMPLETE)}) {
            main_window_device_change(event, 1, mask, 1);
            EXPECT_EQ(combo_texts(), before) << std::hex << mask << " " << event;
        }
}

TEST_F(MainWindowTest, KeyListLinesWidthAndPosition) {
    ready();
    world().drv_entries = {entry(0, "1111222222", "111122222233"), entry(7, "", "777788888899"),
                           entry(12, "1212121212", "")};
    main_window_init();
    std::vector<std::string> expected = {"0 : 111122222233   1111222222",
                                         "7 : 777788888899   __________",
                                         "12: ____________   1212121212"};
    EXPECT_EQ(ui().list, expected);
    EXPECT_EQ(ui().list_extent, 0);
    EXPECT_EQ(ui().list_selection, 2);
    EXPECT_TRUE(ui().controls[IDC_UNLOAD_ALL].enabled);

    struct {
        std::vector<uint32_t> slots;
        uint32_t p;
    } cases[] = {{{0, 1, 2}, 3}, {{0, 2, 3}, 1}, {{1}, 0}, {{}, 0}};
    for (auto& c : cases) {
        std::vector<DrvKeyInfo> entries;
        for (uint32_t s : c.slots)
            entries.push_back(entry(s, "1111222222", ""));
        EXPECT_EQ(first_gap(entries.data(), uint32_t(entries.size())), c.p);
    }
}

TEST_F(MainWindowTest, MisbehavingKeyListsNeverOverrunTheLine) {
    ready();
    DrvKeyInfo wild;
    std::memset(&wild, '9', sizeof wild); // no terminating NULs anywhere
    wild.slot = 3;
    world().drv_entries = std::vector<DrvKeyInfo>(16, wild);
    world().drv_info_count = 40;
    main_window_init();
    ASSERT_EQ(ui().list.size(), 16u);
    EXPECT_EQ(ui().list[0], "3 : 999999999999   9999999999");
    EXPECT_GT(ui().list_extent, -1);
}

TEST_F(MainWindowTest, NoKeysDisablesTheUnloadButtonsAndAWaitingDriverShowsTheHint) {
    ready(false);
    world().drv_entries = {entry(0, "1111222222", "111122222233")};
    main_window_init();
    EXPECT_FALSE(visible(IDC_KEY_LIST));
    EXPECT_TRUE(visible(IDC_LOAD_KEY_HINT));
    EXPECT_TRUE(ui().controls[IDC_UNLOAD_KEY].enabled);

    world().drv_entries.clear();
    main_window_command(IDC_UNLOAD_ALL);
    EXPECT_EQ(world().resets.size(), 16u);
    EXPECT_FALSE(ui().controls[IDC_UNLOAD_KEY].enabled);
    EXPECT_FALSE(ui().controls[IDC_UNLOAD_ALL].enabled);
    EXPECT_FALSE(ui().controls[IDC_UNLOAD_ALL].default_style);
    EXPECT_EQ(ui().focus, IDC_LOAD_KEY);
}

TEST_F(MainWindowTest, UnloadAllReportsEveryRefusingSlotInOrder) {
    ready();
    world().drv_entries = {entry(2, "1111222222", ""), entry(5, "2222333333", "")};
    world().refused_reset_slots = (1u << 2) | (1u << 5);
    main_window_init();
    main_window_command(IDC_UNLOAD_ALL);
    EXPECT_EQ(world().resets.size(), 16u);
    ASSERT_EQ(world().boxes.size(), 2u);
    EXPECT_EQ(world().boxes[0].text, "Can`t  reset key (3 )");
    EXPECT_TRUE(ui().controls[IDC_UNLOAD_KEY].enabled); // as the rebuild left them
}

TEST_F(MainWindowTest, ACryptoLibraryThatCannotListTheKeysEndsTheWindow) {
    ready();
    world().drv_info_status = 4017;
    main_window_init();
    ASSERT_EQ(world().boxes.size(), 1u);
    EXPECT_EQ(world().boxes[0].text, "Error driver ORVEXA (3 )");
    EXPECT_EQ(ui().ended, 0);
}

TEST_F(MainWindowTest, UnloadKeyUsesTheSignIdOrTheCryptIdOrThePlaceholder) {
    ready();
    world().drv_entries = {entry(3, "3333444444", "333344444455"), entry(4, "4444555555", "")};
    main_window_init();
    ui().list_selection = 0;
    main_window_command(IDC_UNLOAD_KEY);
    ui().list_selection = 1;
    main_window_command(IDC_UNLOAD_KEY);
    ui().list_selection = -1;
    world().refused_key_ids = 1;
    main_window_command(IDC_UNLOAD_KEY);
    EXPECT_EQ(world().reset_key_ids,
              (std::vector<std::string>{"333344444455", "4444555555", "xxxxssssssyy"}));
    ASSERT_EQ(world().boxes.size(), 1u);
    EXPECT_EQ(world().boxes[0].text, "Can`t  reset key (3 )");
}

TEST_F(MainWindowTest, AFailingLoadShowsItsBoxWhileLoadingStands) {
    ready();
    world().removable_drives = "A";
    world().strings[{"orxload.exe", 38}] = "No free slots in driver ORVEXA";
    world().drv_entries = {entry(0, "1111222222", "")};
    main_window_init();
    world().init_key_results = {38};
    main_window_command(IDC_LOAD_KEY);
    EXPECT_EQ(world().init_key_devices, std::vector<std::string>{"A:\\"});
    ASSERT_EQ(world().boxes.size(), 1u);
    EXPECT_EQ(world().boxes[0].text, "No free slots in driver ORVEXA (38 )");
    EXPECT_EQ(ui().list_at_box[0].back(), "Loading...");
    EXPECT_FALSE(ui().load_pushed_at_box[0]);
    EXPECT_EQ(ui().list.size(), 1u); // the loading line is gone again
    EXPECT_FALSE(ui().wait_cursor);
}

TEST_F(MainWindowTest, LoadKeyWithoutADeviceCodeDoesNothing) {
    ready();
    main_window_init(); // no drives, no registered media: nothing selected
    main_window_command(IDC_LOAD_KEY);
    EXPECT_TRUE(world().init_key_devices.empty());
    EXPECT_TRUE(world().boxes.empty());
}

TEST_F(MainWindowTest, Status4101SavesTheWindowsChoiceAndRequestsTheMedium) {
    ready();
    user_key(settings_key);
    world().removable_drives = "A";
    register_devices({"Accord"});
    main_window_init();
    ui().combo_selection = 1;
    main_window_command(IDM_AUTO_RNG);
    world().init_key_results = {4101};
    main_window_command(IDC_LOAD_KEY);
    EXPECT_TRUE(world().boxes.empty());
    EXPECT_EQ(world().lokey_calls, (std::vector<std::string>{"get 2880", "free 2880"}));
    EXPECT_EQ(string_value(user_key(settings_key), "DefaultKeyDev"), std::string("TM:A4.P", 8));
    EXPECT_EQ(string_value(user_key(settings_key), "RNGAutoDev"), std::string("TM:A4.P", 8));
}

TEST_F(MainWindowTest, FortyKeyReleasesThenOneMoreComplete) {
    user_key("SOFTWARE\\DEZURE\\Cryptography\\RANDOM").values["mask"] = {
        3, std::vector<uint8_t>(32, 0)};
    main_window_init();
    presses(40);
    EXPECT_EQ(loader.rng_progress, 40);
    EXPECT_EQ(world().steps, 40);
    EXPECT_EQ(ui().progress_position, 40);
    EXPECT_TRUE(visible(IDC_RNG_GROUP));
    presses(1);
    EXPECT_EQ(loader.rng_progress, 41);
    for (int id : {IDC_RNG_GROUP, IDC_RNG_PROMPT, IDC_RNG_PROGRESS})
        EXPECT_FALSE(visible(id)) << id;
    EXPECT_TRUE(visible(IDC_KEY_DEVICE));
    EXPECT_TRUE(visible(IDC_EXIT)); // the loaded-keys list was refreshed
    // Byte i read from the driver is i + 1; the message time 1000 + i is added.
    std::vector<uint8_t>& mask =
        user_key("SOFTWARE\\DEZURE\\Cryptography\\RANDOM").values["mask"].bytes;
    ASSERT_EQ(mask.size(), 32u);
    EXPECT_EQ(mask[0], uint8_t(9 + 1000 + 8));
    presses(5);
    EXPECT_EQ(world().steps, 40);
}

TEST_F(MainWindowTest, MovesCountTenAtATimeAndAPressRoundsUp) {
    main_window_init();
    moves(400);
    EXPECT_EQ(loader.rng_progress, 40);
    moves(9);
    EXPECT_EQ(loader.rng_progress, 40);
    moves(1);
    EXPECT_EQ(loader.rng_progress, 41);

    SetUp();
    main_window_init();
    moves(5);
    EXPECT_EQ(loader.rng_progress, 0);
    main_window_event(EVENT_PRESS, 1);
    EXPECT_EQ(loader.rng_progress, 1);
    EXPECT_EQ(window_state.rng_event_counter, 10);
    moves(9);
    EXPECT_EQ(loader.rng_progress, 1);
    moves(1);
    EXPECT_EQ(loader.rng_progress, 2);
}

TEST_F(MainWindowTest, AFailedByteReadCostsABarStepButNoSample) {
    main_window_init();
    world().byte_read_fails = true;
    presses(3);
    EXPECT_EQ(loader.rng_progress, 0);
    EXPECT_EQ(ui().progress_position, 3);
    EXPECT_EQ(world().steps, 0);
}

TEST_F(MainWindowTest, ModeSEndsAfterTheCollectionAndModeILoadsOnce) {
    loader.command_mode = 'S';
    main_window_init();
    presses(41);
    EXPECT_EQ(ui().ended, 0);

    SetUp();
    loader.command_mode = 'I';
    world().init_key_results = {36};
    main_window_init();
    presses(41);
    EXPECT_EQ(ui().ended, 36);
    EXPECT_EQ(world().init_key_devices.size(), 1u);
    EXPECT_TRUE(world().boxes.empty());
}

TEST_F(MainWindowTest, AkkordProgressWithoutAReadyDriverFillsTheDeviceListOnce) {
    loader.rng_progress = 40;
    world().removable_drives = "A";
    main_window_init();
    EXPECT_TRUE(visible(IDC_KEY_DEVICE));
    presses(1);
    EXPECT_EQ(loader.rng_progress, 41);
    EXPECT_EQ(combo_texts(), std::vector<std::string>{"Floppy  (A:)"});
}

TEST_F(MainWindowTest, ExitSavesOnlyWhileReadyAndRefreshNeedsWordTwoExactlyOne) {
    user_key(settings_key);
    main_window_init();
    main_window_command(2);
    EXPECT_EQ(ui().ended, 0);
    EXPECT_EQ(fake().registry_writes, 0);

    SetUp();
    user_key(settings_key);
    ready();
    loader.drv_info.word[2] = 2;
    world().info.word[2] = 2;
    main_window_init();
    world().drv_entries = {entry(1, "1111222222", "")};
    main_window_command(IDM_REFRESH);
    EXPECT_TRUE(ui().list.empty());
    main_window_command(IDC_EXIT);
    EXPECT_EQ(string_value(user_key(settings_key), "RNGAutoDev"), std::string(1, '\0'));
}

TEST_F(MainWindowTest, MenuTogglesForAutoRngAndCompression) {
    ready();
    main_window_init();
    main_window_command(IDM_AUTO_RNG);
    main_window_command(IDM_AUTO_RNG);
    EXPECT_EQ(window_state.auto_rng_checked, 0);
    EXPECT_FALSE(ui().menu_checked[IDM_AUTO_RNG]);
    EXPECT_EQ(fake().registry_writes, 0);

    const char* compress_key = "SOFTWARE\\DEZURE\\CRYPTOGRAPHY\\";
    user_key(compress_key).values["CompressFilesMode"] = {4, {6, 0, 0, 0}};
    world().box_answer = 7; // No
    main_window_command(IDM_COMPRESS_FILES);
    EXPECT_EQ(user_key(compress_key).values["CompressFilesMode"].bytes[0], 6);
    ASSERT_EQ(world().boxes.size(), 1u);
    EXPECT_EQ(world().boxes[0].flags, 0x34u);
    world().box_answer = 6; // Yes
    main_window_command(IDM_COMPRESS_FILES);
    EXPECT_EQ(user_key(compress_key).values["CompressFilesMode"].bytes[0], 7);
    EXPECT_TRUE(ui().menu_checked[IDM_COMPRESS_FILES]);
    main_window_command(IDM_COMPRESS_FILES); // switching off asks nothing
    EXPECT_EQ(world().boxes.size(), 2u);
    EXPECT_EQ(user_key(compress_key).values["CompressFilesMode"].bytes[0], 6);
    main_window_command(IDM_ABOUT);
    EXPECT_EQ(ui().about_boxes, 1);
}
