#include "messages.h"

#include <stdio.h>
#include <string.h>

#include "binding.h"
#include "loader_state.h"
#include "settings.h"

namespace {

const int32_t own_text_ids[] = {IDS_ERR_DRIVER,        IDS_ERR_KEY_NOT_FOUND, IDS_ERR_READ_GK,
                                IDS_ERR_READ_KC,       IDS_ERR_KEY_HOARDER,   IDS_ERR_KEY_REDEFINE,
                                IDS_ERR_NO_FREE_SLOTS, IDS_ERR_KEY_NOT_SET,   IDS_ERR_RESET_KEY,
                                IDS_ERR_READ_NUMP,     IDS_ERR_READ_CKDI,     IDS_ERR_DISKETTE_IO,
                                IDS_ERR_INTERNAL,      IDS_ERR_RNG_INIT,      IDS_ERR_LIBRARY};
const int32_t reader_codes = ORX_READER_CODES;
const WindowSettingsSource* window_source = nullptr;

void load(uint32_t id, char* text, int size) {
    text[0] = '\0';
    lp_load_string(loader.resource_module, id, text, size);
}

// The reader library's text, cut to the buffer whatever the library wrote.
int reader_text(int32_t code, char text[ORX_MESSAGE_TEXT]) {
    if (!loader.rdr_error_a)
        return 0;
    char buffer[ORX_MESSAGE_TEXT + 1] = {};
    uint32_t capacity = ORX_MESSAGE_TEXT;
    if (loader.rdr_error_a(0, code, &capacity, buffer) != 0)
        return 0;
    buffer[ORX_MESSAGE_TEXT - 1] = '\0';
    strcpy(text, buffer);
    return 1;
}

void save_window_settings() {
    const char* device = window_source ? window_source->selected_device() : nullptr;
    int auto_rng = window_source ? window_source->auto_rng_checked() : 0;
    save_settings(&loader.settings, device, auto_rng);
}

// Whether msgId has a text of its own in the string table.
int is_own_text_id(int32_t msg_id) {
    for (int32_t id : own_text_ids)
        if (id == msg_id)
            return 1;
    return 0;
}

// Appends " (code )", shortening the text so that the suffix always fits.
void append_code_suffix(char text[ORX_MESSAGE_TEXT], int32_t code) {
    char suffix[24];
    int n = snprintf(suffix, sizeof suffix, " (%ld )", long(code));
    size_t room = ORX_MESSAGE_TEXT - 1 - size_t(n);
    if (strlen(text) > room)
        text[room] = '\0';
    strcat(text, suffix);
}

// Composes the box text for (msgId, code); returns 0 instead when the code asks for the
// key-medium request and no box is shown.
int compose_error_text(int32_t msg_id, int32_t code, char text[ORX_MESSAGE_TEXT]) {
    if (is_own_text_id(msg_id))
        load(uint32_t(msg_id), text, ORX_MESSAGE_TEXT);
    else if (code < reader_codes)
        load(IDS_ERR_INTERNAL, text, ORX_MESSAGE_TEXT);
    else if (code == ORX_KEY_MEDIUM_REQUEST)
        return 0;
    else if (!reader_text(code, text))
        load(IDS_ERR_INTERNAL, text, ORX_MESSAGE_TEXT);
    append_code_suffix(text, code);
    return 1;
}

} // namespace

void set_window_settings_source(const WindowSettingsSource* source) {
    window_source = source;
}

void ShowError(int32_t msg_id, int32_t code) {
    char caption[ORX_CAPTION_TEXT];
    load(IDS_ERROR_CAPTION, caption, sizeof caption);
    char text[ORX_MESSAGE_TEXT];
    if (!compose_error_text(msg_id, code, text)) {
        save_window_settings();
        key_medium_request();
        return;
    }
    lp_message_box(text, caption, ORX_ERROR_BOX_FLAGS);
}
