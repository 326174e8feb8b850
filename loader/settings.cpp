#include "settings.h"

#include <string.h>

#include "registry.h"

namespace {

const uint32_t text_limit = ORX_TEXT_FIELD;

// Reads a REG_SZ of at most 80 bytes; anything else leaves the field empty. The copy is
// always terminated, also when the stored text was not.
void read_text(void* key, const char* name, char* field) {
    char value[ORX_TEXT_FIELD + 1] = {};
    uint32_t type = 0, size = text_limit;
    if (plat_reg_query(key, name, &type, value, &size) != 0 || type != ORX_REG_SZ)
        return;
    value[size < text_limit ? size : text_limit - 1] = '\0';
    strcpy(field, value);
}

void write_text(void* key, const char* name, const char* text) {
    plat_reg_write_string(key, name, text);
}

void* open_compress_key() {
    void* key = plat_user_key_open(ORX_COMPRESS_KEY, ORX_KEY_READ_WRITE);
    return key ? key : plat_user_key_open(ORX_COMPRESS_KEY, ORX_KEY_READ);
}

} // namespace

void read_settings(LoaderSettings* settings) {
    settings->DefaultKeyDev[0] = '\0';
    settings->RNGAutoDev[0] = '\0';
    int created = 0;
    scoped_registry_key key(plat_user_key_create(ORX_SETTINGS_KEY, &created));
    if (!key)
        return;
    if (created) {
        write_text(key.get(), "DefaultKeyDev", "A:\\");
        write_text(key.get(), "RNGAutoDev", "");
        strcpy(settings->DefaultKeyDev, "A:\\");
    } else {
        read_text(key.get(), "DefaultKeyDev", settings->DefaultKeyDev);
        read_text(key.get(), "RNGAutoDev", settings->RNGAutoDev);
    }
}

void save_settings(LoaderSettings* settings, const char* selected_device, int auto_rng_checked) {
    if (selected_device) {
        strncpy(settings->DefaultKeyDev, selected_device, text_limit - 1);
        settings->DefaultKeyDev[text_limit - 1] = '\0';
    }
    strcpy(settings->RNGAutoDev, auto_rng_checked ? ORX_ACCORD_DEVICE : "");
    {
        scoped_registry_key key(plat_user_key_open(ORX_SETTINGS_KEY, ORX_KEY_WRITE));
        if (!key)
            return;
        write_text(key.get(), "DefaultKeyDev", settings->DefaultKeyDev);
        write_text(key.get(), "RNGAutoDev", settings->RNGAutoDev);
    }
    scoped_registry_key devices(plat_user_key_open(ORX_KEY_DEVICES_KEY, ORX_KEY_WRITE));
    if (devices)
        write_text(devices.get(), "default", settings->DefaultKeyDev);
}

void read_compress_mode(uint32_t* mode) {
    scoped_registry_key key(open_compress_key());
    if (!key)
        return;
    // The value belongs to the crypto library's installation: any 4-byte value is taken
    // whole, whatever its type, so that a toggle keeps the bits it does not own.
    uint32_t type = 0, value = 0, size = sizeof value;
    if (plat_reg_query(key.get(), "CompressFilesMode", &type, &value, &size) == 0 &&
        size == sizeof value)
        *mode = value;
}

int toggle_compress_mode(uint32_t* mode) {
    *mode ^= 1u;
    scoped_registry_key key(open_compress_key());
    int stored = key && plat_reg_write_dword(key.get(), "CompressFilesMode", *mode) == 0;
    if (!stored)
        *mode ^= 1u;
    return stored;
}
