#include "startup.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "binding.h"
#include "loader_state.h"
#include "messages.h"
#include "settings.h"

namespace {

const int init_key_attempts = 7;
const int window_attempts = 3;
const uint32_t window_retry_pause = 1000;

// The exit code after the main window: in the unattended modes what the window got done,
// in the interactive one whether it ran and ended itself.
int main_window_exit_code() {
    switch (loader.command_mode) {
    case 'I':
    case 'U':
        return loader.window.keys_loaded ? EXIT_DONE : EXIT_RNG_OR_KEYS;
    case 'S':
        return rng_ready() ? EXIT_DONE : EXIT_RNG_OR_KEYS;
    default:
        if (!loader.window.opened)
            ShowError(IDS_ERR_INTERNAL, EXIT_RNG_OR_KEYS);
        return loader.window.ended ? EXIT_DONE : EXIT_RNG_OR_KEYS;
    }
}

// A dialog can fail to come up while the desktop is still starting: a few more tries, a
// pause apart, before the failure counts.
int run_main_window() {
    for (int attempt = 0; attempt < window_attempts && !loader.window.opened; ++attempt) {
        if (attempt)
            lp_sleep(window_retry_pause);
        lp_run_main_window(loader.resource_module);
    }
    return main_window_exit_code();
}

// The Akkord step of the unattended modes: a failure ends the program.
int akkord_step(int* exit_code) {
    if (loader.rng_progress != RNG_SAMPLES) {
        if (loader.akkord_unavailable || !akkord_auto_init()) {
            attention_signal();
            *exit_code = EXIT_RNG_OR_KEYS;
            return 0;
        }
    }
    if (!reread_drv_info()) {
        *exit_code = EXIT_DRIVER;
        return 0;
    }
    return 1;
}

int mode_load(int reset_first) {
    int code = EXIT_DONE;
    if (reset_first) {
        if (!rng_ready() && auto_rng_configured() && !akkord_step(&code))
            return code;
        if (rng_ready() && !orvexa_key_reset_slot(0))
            return EXIT_DRIVER;
        if (rng_ready() || loader.rng_progress == RNG_SAMPLES)
            return load_default_keys();
        return run_main_window();
    }
    if (rng_ready())
        return load_default_keys();
    if (!auto_rng_configured())
        return run_main_window();
    if (!akkord_step(&code))
        return code;
    return rng_ready() ? load_default_keys() : run_main_window();
}

int mode_seed_only() {
    if (rng_ready())
        return EXIT_DONE;
    if (!auto_rng_configured())
        return run_main_window();
    int code = EXIT_DONE;
    if (!akkord_step(&code))
        return code;
    return rng_ready() ? EXIT_DONE : run_main_window();
}

int dispatch() {
    switch (loader.command_mode) {
    case 'I':
        return mode_load(0);
    case 'U':
        return mode_load(1);
    case 'R':
        return orvexa_key_reset_slot(0) ? EXIT_DONE : EXIT_DRIVER;
    case 'S':
        return mode_seed_only();
    default:
        return run_main_window();
    }
}

void choose_resource_module() {
    char name[16];
    language_module_name(lp_user_language(), name);
    lp_module module = lp_load_library(name);
    loader.resource_module = module ? module : loader.program_instance;
}

} // namespace

int parse_command_mode(char* command_line) {
    for (char* p = command_line; *p; ++p)
        *p = char(toupper(static_cast<unsigned char>(*p)));
    static const char* const modes[] = {"I", "R", "U", "S"};
    for (const char* mode : modes)
        if (strcmp(command_line, mode) == 0)
            return mode[0];
    return 0;
}

void language_module_name(unsigned language, char name[16]) {
    snprintf(name, 16, "res%x.dll", language & 0xFFFFu);
}

void attention_signal() {
    lp_sleep(200);
    lp_beep(440, 200);
    lp_sleep(2000);
}

void library_failure_beep() {
    lp_beep(440, 300);
}

int load_default_keys() {
    for (int attempt = 0; attempt < init_key_attempts; ++attempt) {
        if (loader.crypto.InitKey(loader.settings.DefaultKeyDev, "") == 0)
            return EXIT_DONE;
        attention_signal();
    }
    return EXIT_RNG_OR_KEYS;
}

int run_loader(char* command_line) {
    if (lp_other_loader_window())
        return EXIT_ALREADY_RUNNING;
    lp_secure_dll_search();
    loader.program_instance = lp_program_instance();
    choose_resource_module();
    lp_load_string(loader.resource_module, IDS_LOADING, loader.loading_text,
                   sizeof loader.loading_text);
    loader.command_mode = parse_command_mode(command_line);
    lp_fail_critical_errors();
    int interactive = loader.command_mode == 0;
    if (!reread_drv_info() || loader.drv_info.word[ORVEXA_INFO_OPERATIONAL] == 0) {
        if (interactive)
            ShowError(IDS_ERR_DRIVER, ORX_CRYPTO_DRIVER_ERROR);
        return EXIT_DRIVER;
    }
    if (!bind_crypto_library() || !bind_reader_library()) {
        library_failure_beep();
        if (interactive)
            ShowError(IDS_ERR_LIBRARY, EXIT_LIBRARIES);
        return EXIT_LIBRARIES;
    }
    read_settings(&loader.settings);
    if (!rng_ready() && auto_rng_configured()) {
        if (!akkord_auto_init())
            attention_signal();
        if (!reread_drv_info())
            attention_signal();
    }
    return dispatch();
}
