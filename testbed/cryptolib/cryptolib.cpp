// The crypto-library stand-in: InitKey, GetDrvInfo, ResetKeyEx, lokey_get and lokey_free,
// exported by plain name with the C calling convention and the types of
// loader/outside_api.h. Built with CRYPTO_WITHOUT_RESETKEYEX it lacks ResetKeyEx, as a
// library the loader must pass over. It imports rdr.dll, so that loading it brings the
// reader library in, and orxlink.dll by ordinal.
//
// Switches under HKCU\Software\ORX\Testbed\Crypto (DWORDs, read at each call):
//   DrvInfoStatus        nonzero: GetDrvInfo answers this status and leaves the count alone
//   DrvInfoCount         when present: the count GetDrvInfo reports, whatever it filled
//   DrvInfoUnterminated  nonzero: identifiers fill their whole fields, padded with '#',
//                        with no terminating NUL
//   RefuseResetSlots     bit n set: ResetKeyEx refuses to reset slot n (status 40)
// Records kept there:
//   Log                  REG_MULTI_SZ, one entry per call (README.md)
//   LokeyGetRequest, LokeyFreeRequest   REG_BINARY, the last request of each call
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "crypto_status.h"
#include "driver_slots.h"
#include "key_medium.h"
#include "outside_api.h"
#include "rdr.h"
#include "testbed_registry.h"

#define CRYPTO_EXPORT extern "C" __declspec(dllexport)

namespace {

const char padding = '#';

// The status in the log; reader codes carry the reader library's text.
std::string status_text(int status) {
    std::string text = std::to_string(status);
    if (status >= ORX_READER_CODES) {
        char reason[260];
        uint32_t length = sizeof reason;
        if (rdr_error_a(0, status, &length, reason) == 0)
            text += " (" + std::string(reason, strnlen(reason, length)) + ")";
    }
    return text;
}

int init_key(const char* key_device, const char* key_id) {
    Medium medium = resolve_medium(key_device);
    if (medium.kind == Medium::NONE)
        return CRYPTO_HOARDER_ERROR;
    std::vector<KeyRecord> keys;
    int status = read_medium(medium, &keys);
    if (status != CRYPTO_OK)
        return status;
    if (key_id && *key_id) {
        std::vector<KeyRecord> chosen;
        for (const KeyRecord& key : keys)
            if (key_has_id(key, key_id))
                chosen.push_back(key);
        keys.swap(chosen);
    }
    if (keys.empty())
        return CRYPTO_KEY_NOT_FOUND;
    status = check_generator();
    for (size_t i = 0; status == CRYPTO_OK && i < keys.size(); ++i)
        status = load_key(keys[i]);
    return status;
}

void put_id(char* field, size_t size, const std::string& id, bool unterminated) {
    memset(field, 0, size);
    memcpy(field, id.data(), id.size() < size ? id.size() : size - 1);
    if (unterminated && !id.empty())
        memset(field + id.size(), padding, size - id.size());
}

void log_request(const char* call, const char* value, const LokeyRequest* request) {
    uint32_t size = 0;
    if (request) {
        memcpy(&size, request->bytes, 4);
        tb_write_binary(CRYPTO_KEY, value, request->bytes, ORX_LOKEY_REQUEST_SIZE);
    }
    tb_log(CRYPTO_KEY, std::string(call) + " " + (request ? std::to_string(size) : "null"));
}

} // namespace

CRYPTO_EXPORT int16_t ORX_OUTSIDE_API InitKey(const char* key_device, const char* key_id) {
    int status = init_key(key_device, key_id);
    std::string entry = "InitKey " + std::string(key_device ? key_device : "(null)");
    if (key_id && *key_id)
        entry += " id=" + std::string(key_id);
    tb_log(CRYPTO_KEY, entry + " -> " + status_text(status));
    return int16_t(status);
}

CRYPTO_EXPORT int16_t ORX_OUTSIDE_API GetDrvInfo(DrvKeyInfo* entries, uint32_t* count) {
    int status = CRYPTO_OK;
    uint32_t forced = tb_dword_or(CRYPTO_KEY, "DrvInfoStatus", 0);
    SlotKeys slots[CRYPTO_SLOTS];
    if (forced != 0)
        status = int16_t(forced);
    else if (!entries || !count || !read_slots(slots))
        status = CRYPTO_DRIVER_ERROR;

    if (status == CRYPTO_OK) {
        bool unterminated = tb_dword_or(CRYPTO_KEY, "DrvInfoUnterminated", 0) != 0;
        uint32_t filled = 0;
        for (uint32_t slot = 0; slot < CRYPTO_SLOTS; ++slot) {
            if (!slots[slot].loaded())
                continue;
            DrvKeyInfo* entry = &entries[filled++];
            put_id(entry->crypt_id, sizeof entry->crypt_id, slots[slot].num, unterminated);
            put_id(entry->sign_id, sizeof entry->sign_id, slots[slot].nump, unterminated);
            entry->slot = slot;
        }
        *count = tb_dword_or(CRYPTO_KEY, "DrvInfoCount", filled);
    }
    tb_log(CRYPTO_KEY, "GetDrvInfo -> " + std::to_string(status) +
                           (status == CRYPTO_OK ? " count=" + std::to_string(*count) : ""));
    return int16_t(status);
}

#ifndef CRYPTO_WITHOUT_RESETKEYEX
// The flag is not looked at: the loader always passes 1.
CRYPTO_EXPORT int16_t ORX_OUTSIDE_API ResetKeyEx(const char* key_id, int32_t flag) {
    int status = reset_key(key_id, tb_dword_or(CRYPTO_KEY, "RefuseResetSlots", 0));
    tb_log(CRYPTO_KEY, "ResetKeyEx " + std::string(key_id ? key_id : "(null)") + " " +
                           std::to_string(flag) + " -> " + std::to_string(status));
    return int16_t(status);
}
static const ResetKeyEx_fn reset_type_check = ResetKeyEx;
#endif

// The key-medium request asks for nothing this stand-in can do; it only leaves a trace.
CRYPTO_EXPORT int32_t ORX_OUTSIDE_API lokey_get(LokeyRequest* request) {
    log_request("lokey_get", "LokeyGetRequest", request);
    return request ? 0 : 1;
}

CRYPTO_EXPORT int32_t ORX_OUTSIDE_API lokey_free(LokeyRequest* request) {
    log_request("lokey_free", "LokeyFreeRequest", request);
    return request ? 0 : 1;
}

// The exports have exactly the types the loader binds.
static const InitKey_fn init_type_check = InitKey;
static const GetDrvInfo_fn info_type_check = GetDrvInfo;
static const lokey_get_fn get_type_check = lokey_get;
static const lokey_free_fn free_type_check = lokey_free;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    (void)init_type_check;
    (void)info_type_check;
    (void)get_type_check;
    (void)free_type_check;
#ifndef CRYPTO_WITHOUT_RESETKEYEX
    (void)reset_type_check;
#endif
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
