// The loader's process-wide state: one run, one thread.
#ifndef ORX_LOADER_STATE_H
#define ORX_LOADER_STATE_H

#include <stdint.h>

#include "loader_platform.h"
#include "orxlink.h"
#include "outside_api.h"

enum { ORX_TEXT_FIELD = 80 };

struct LoaderSettings {
    char DefaultKeyDev[ORX_TEXT_FIELD];
    char RNGAutoDev[ORX_TEXT_FIELD];
};

struct CryptoBinding {
    lp_module module;
    InitKey_fn InitKey;
    GetDrvInfo_fn GetDrvInfo;
    ResetKeyEx_fn ResetKeyEx;
    lokey_get_fn lokey_get;
    lokey_free_fn lokey_free;
};

// The operator gives 40 samples; the next event completes the initialisation.
enum { RNG_SAMPLES = 40, RNG_FINISHED = RNG_SAMPLES + 1 };

// What the main window got done. Its dialog result cannot tell: the operator's Exit ends
// it with 0 as well, and a dialog that was never created gives no result of ours.
struct MainWindowOutcome {
    int opened;      // its initialisation ran
    int ended;       // it ended itself (Exit, or the end of an unattended job)
    int keys_loaded; // modes "I", "U": the completion step's InitKey returned 0
};

struct LoaderState {
    lp_module program_instance;
    lp_module resource_module;
    char loading_text[ORX_TEXT_FIELD];
    int command_mode; // 0, or 'I', 'R', 'U', 'S'
    orvexa_drv_info drv_info;
    LoaderSettings settings;
    uint8_t rng_progress;
    MainWindowOutcome window;
    int akkord_unavailable;
    CryptoBinding crypto;
    rdr_error_a_fn rdr_error_a;
    LokeyRequest lokey_request;
};

extern LoaderState loader;

// Word 2 of the latest record: the generator has been initialised.
inline int rng_ready() {
    return loader.drv_info.word[ORVEXA_INFO_SEED_ACCEPTED] != 0;
}
inline int auto_rng_configured() {
    return loader.settings.RNGAutoDev[0] != '\0';
}
// Re-reads the driver information record; 0 when the call fails.
int reread_drv_info();

#endif
