/* The outside libraries the loader binds at run time, and the records it exchanges with
 * them. Every entry point uses the C calling convention (cdecl) and is exported by its
 * plain name; the stand-ins in testbed/ implement exactly these types.
 */
#ifndef ORX_LOADER_OUTSIDE_API_H
#define ORX_LOADER_OUTSIDE_API_H

#include <stdint.h>

#if defined(_WIN32)
#define ORX_OUTSIDE_API __cdecl
#else
#define ORX_OUTSIDE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One entry of the loaded-keys list, 32 bytes. */
typedef struct DrvKeyInfo {
    char crypt_id[11]; /* 10-digit crypt key identifier, "" when the slot has none */
    char sign_id[17];  /* 12-digit sign key identifier, "" when the slot has none */
    uint32_t slot;
} DrvKeyInfo;

#define ORX_DRV_KEY_INFO_MAX 16
#define ORX_LOKEY_REQUEST_SIZE 2880

/* The key-medium request, 2880 bytes (layout in the loader's binding code). */
typedef struct LokeyRequest {
    uint8_t bytes[ORX_LOKEY_REQUEST_SIZE];
} LokeyRequest;

/* Crypto library: 16-bit statuses, 0 = success. */
typedef int16_t(ORX_OUTSIDE_API* InitKey_fn)(const char* key_device, const char* key_id);
typedef int16_t(ORX_OUTSIDE_API* GetDrvInfo_fn)(DrvKeyInfo* entries, uint32_t* count);
typedef int16_t(ORX_OUTSIDE_API* ResetKeyEx_fn)(const char* key_id, int32_t flag);
typedef int32_t(ORX_OUTSIDE_API* lokey_get_fn)(LokeyRequest* request);
typedef int32_t(ORX_OUTSIDE_API* lokey_free_fn)(LokeyRequest* request);

/* Reader library: 0 = `text` holds the NUL-terminated message of `code`. `length` holds the
 * buffer's capacity on entry. */
typedef int32_t(ORX_OUTSIDE_API* rdr_error_a_fn)(int32_t zero, int32_t code, uint32_t* length,
                                                 char* text);

/* Akkord library. */
#define ORX_AKKORD_INFO_SIZE 14
#define ORX_AKKORD_RANDOM_SIZE 41
typedef int32_t(ORX_OUTSIDE_API* TmDriverPresent_fn)(void);
typedef uint16_t(ORX_OUTSIDE_API* TmGetInfo_fn)(int32_t zero, uint8_t* info, int32_t size,
                                                uint32_t* extra);
typedef uint16_t(ORX_OUTSIDE_API* TmGetRandomBytes_fn)(uint8_t* block, int32_t size);

/* Crypto statuses the loader knows by number. */
enum {
    ORX_CRYPTO_DRIVER_ERROR = 3, /* also what the loader reports for its own driver failures */
    ORX_KEY_NOT_FOUND = 6,
    ORX_KEY_HOARDER_ERROR = 36,
    ORX_KEY_REDEFINE = 37,
    ORX_NO_FREE_SLOTS = 38,
    ORX_KEY_NOT_SET = 39,
    ORX_READER_CODES = 4000, /* and up: texts from the reader library */
    ORX_KEY_MEDIUM_REQUEST = 4101
};

#ifdef __cplusplus
}
#endif

#endif
