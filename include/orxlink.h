/* orxlink: access library of the ORVEXA encryption driver.
 *
 * Every export is a plain C function with the C calling convention, exported by ordinal
 * (the ordinal is given beside each one). Exports return 1 (or nonzero) for success and 0
 * for failure, leaving the reason in the process-wide last status, unless stated otherwise.
 */
#ifndef ORXLINK_H
#define ORXLINK_H

#include <stdint.h>

#if defined(_WIN32) && !defined(ORXLINK_HOST)
#define ORXAPI __cdecl
#else
#define ORXAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Device-control codes: device type 0x9C40, buffered, any access, function 0x900 + k. */
#define ORVEXA_CTL(k) (0x9C402400u + 4u * (k))
#define ORVEXA_IOCTL_QUERY_INFO ORVEXA_CTL(0x0)
#define ORVEXA_IOCTL_BLOCK_READ ORVEXA_CTL(0x1)
#define ORVEXA_IOCTL_KEY_SET ORVEXA_CTL(0x2)
#define ORVEXA_IOCTL_RNDM_STEP ORVEXA_CTL(0x3)
#define ORVEXA_IOCTL_KEY_GET ORVEXA_CTL(0x4)
#define ORVEXA_IOCTL_KEY_RESET ORVEXA_CTL(0x5)
#define ORVEXA_IOCTL_RECORDS ORVEXA_CTL(0x6)
#define ORVEXA_IOCTL_SEED_BYTE ORVEXA_CTL(0x7)
#define ORVEXA_IOCTL_BYTE_READ ORVEXA_CTL(0x8)
#define ORVEXA_IOCTL_DATA_IV_A ORVEXA_CTL(0xB)
#define ORVEXA_IOCTL_DATA_IV_B ORVEXA_CTL(0xC)
#define ORVEXA_IOCTL_DATA_KEYED ORVEXA_CTL(0xD)
#define ORVEXA_IOCTL_DATA_TEXT ORVEXA_CTL(0xE)

#define ORVEXA_NO_SLOT 0xFFFFFFFFu
#define ORVEXA_DATA_IV_MAX 520u     /* data bytes of the initial-vector requests */
#define ORVEXA_DATA_KEYED_MAX 1024u /* data bytes of the keyed request */
#define ORVEXA_TEXT_MAX 31u         /* characters of the text request */
#define ORVEXA_SLOT_COUNT 16

/* Header in front of most requests and their answers; little-endian words. */
typedef struct orvexa_request_header {
    uint32_t code;     /* request: command code; answer: driver status (0 = success) */
    uint32_t slot;     /* slot number, selector, or ORVEXA_NO_SLOT */
    uint32_t checksum; /* XOR of the data bytes, zero-extended */
    uint32_t length;   /* data bytes following the header */
} orvexa_request_header;

/* The driver information record: twenty words. */
typedef struct orvexa_drv_info {
    uint32_t word[20];
} orvexa_drv_info;

enum {
    ORVEXA_INFO_RNDM_READY = 1,      /* generator ready to deliver data */
    ORVEXA_INFO_SEED_ACCEPTED = 2,   /* seed block (or 32-byte seed) accepted */
    ORVEXA_INFO_BYTES_ACCEPTED = 3,  /* single seed bytes accepted */
    ORVEXA_INFO_BLOCK_UNITS = 5,     /* block length in 8-byte units */
    ORVEXA_INFO_OPERATIONAL = 7,     /* must be nonzero for the loader */
    ORVEXA_INFO_CANNOT_COMPLETE = 8, /* generator cannot be completed */
};

/* Last-status codes set by the library itself; 5..50 come from the driver. */
enum {
    ORX_DRIVER_ERROR = 1,
    ERROR_CHECK_SUM = 2,
    DLL_BUFFER_ERROR = 3,
    ERROR_OUTPUT_SIZE = 4,
    ORX_RESET_NETWORK_PATH = 53, /* key reset refused with system error 53 */
    DRIVER_OPEN_ERROR = 51,
    ERROR_PARAM = 54, /* result value of orvexa_data_records only */
};

#define ORXLINK_VERSION 0x00010006u

/* The random-number provider table returned by orvexa_rndm_get_handle. */
typedef struct rndm_handle {
    uint32_t size;
    int(ORXAPI* get_random)(uint32_t length, uint8_t* buffer);
    int(ORXAPI* get_seed_need)(int* kind, int* size);
    int(ORXAPI* put_seed)(int kind, int size, const uint8_t* data);
    void* reserved1;
    void* reserved2;
    int(ORXAPI* get_type)(void);
} rndm_handle;

/* Channel and status (ordinals 23, 24, 25, 49, 58, 59). */
int ORXAPI orvexa_drv_open(void);                                  /* 58 */
void ORXAPI orvexa_drv_close(void);                                /* 59 */
int ORXAPI orvexa_drv_get_info(orvexa_drv_info* info);             /* 25 */
uint32_t ORXAPI GetDLLVersion(void);                               /* 49 */
uint32_t ORXAPI orvexa_drv_last_status(void);                      /* 23 */
int32_t ORXAPI orvexa_drv_status_name(char* buffer, int32_t size); /* 24 */

/* Commands used by the loader (ordinals 10, 26, 27, 28, 51, 61). */
int ORXAPI orvexa_rndm_step(void);                                          /* 10 */
int ORXAPI orvexa_key_reset(void);                                          /* 26 */
int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t selector); /* 27 */
int ORXAPI orvexa_key_reset_slot(uint32_t slot);                            /* 28 */
int ORXAPI orvexa_rndm_put_byte(int value);                                 /* 51 */
int ORXAPI orvexa_rndm_get_byte(uint8_t* value);                            /* 61 */

/* Key-set requests (ordinals 1-8, 29-36, 52, 53, 56). */
int ORXAPI orvexa_key_set1(const uint8_t* data, uint32_t length);                      /* 1 */
int ORXAPI orvexa_key_set2(const uint8_t* data, uint32_t length);                      /* 2 */
int ORXAPI orvexa_key_set3(const uint8_t* data, uint32_t length);                      /* 3 */
int ORXAPI orvexa_key_set4(const uint8_t* data, uint32_t length);                      /* 4 */
int ORXAPI orvexa_key_set5(const uint8_t* data, uint32_t length);                      /* 5 */
int ORXAPI orvexa_key_set6(const uint8_t* data, uint32_t length);                      /* 6 */
int ORXAPI orvexa_key_set7(const uint8_t* data, uint32_t length);                      /* 7 */
int ORXAPI orvexa_key_set8(const uint8_t* data, uint32_t length);                      /* 8 */
int ORXAPI orvexa_key_set1_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 29 */
int ORXAPI orvexa_key_set2_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 30 */
int ORXAPI orvexa_key_set3_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 31 */
int ORXAPI orvexa_key_set4_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 32 */
int ORXAPI orvexa_key_set5_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 33 */
int ORXAPI orvexa_key_set6_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 34 */
int ORXAPI orvexa_key_set7_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 35 */
int ORXAPI orvexa_key_set8_slot(const uint8_t* data, uint32_t length, uint32_t slot);  /* 36 */
int ORXAPI orvexa_key_set10_slot(const uint8_t* data, uint32_t length, uint32_t slot); /* 52 */
int ORXAPI orvexa_key_set11_slot(const uint8_t* data, uint32_t length, uint32_t slot); /* 53 */
int ORXAPI orvexa_key_set12_slot(const uint8_t* data, uint32_t slot); /* 56: always 36 bytes */

/* Key-get requests (ordinals 11-21, 38-48, 54, 55, 57, 65). Codes 1-3 send 32 bytes. */
int ORXAPI orvexa_key_get1(const uint8_t* input, uint8_t* item);                     /* 11 */
int ORXAPI orvexa_key_get1_slot(const uint8_t* input, uint8_t* item, uint32_t slot); /* 38 */
int ORXAPI orvexa_key_get2(const uint8_t* input, uint8_t* item);                     /* 12 */
int ORXAPI orvexa_key_get2_slot(const uint8_t* input, uint8_t* item, uint32_t slot); /* 39 */
int ORXAPI orvexa_key_get3(const uint8_t* input, uint8_t* item);                     /* 13 */
int ORXAPI orvexa_key_get3_slot(const uint8_t* input, uint8_t* item, uint32_t slot); /* 40 */
int ORXAPI orvexa_key_get4(uint8_t* item);                                           /* 14 */
int ORXAPI orvexa_key_get4_slot(uint8_t* item, uint32_t slot);                       /* 41 */
int ORXAPI orvexa_key_get5(uint8_t* item);                                           /* 15 */
int ORXAPI orvexa_key_get5_slot(uint8_t* item, uint32_t slot);                       /* 42 */
int ORXAPI orvexa_key_get6(uint8_t* item);                                           /* 16 */
int ORXAPI orvexa_key_get6_slot(uint8_t* item, uint32_t slot);                       /* 43 */
int ORXAPI orvexa_key_get7(uint8_t* item);                                           /* 17 */
int ORXAPI orvexa_key_get7_slot(uint8_t* item, uint32_t slot);                       /* 44 */
int ORXAPI orvexa_key_get8(uint8_t* item);                                           /* 18 */
int ORXAPI orvexa_key_get8_slot(uint8_t* item, uint32_t slot);                       /* 45 */
int ORXAPI orvexa_key_get9(uint8_t* item);                                           /* 19 */
int ORXAPI orvexa_key_get9_slot(uint8_t* item, uint32_t slot);                       /* 46 */
int ORXAPI orvexa_key_get10(uint8_t* item);                                          /* 20 */
int ORXAPI orvexa_key_get10_slot(uint8_t* item, uint32_t slot);                      /* 47 */
int ORXAPI orvexa_key_get11(uint8_t* item);                                          /* 21 */
int ORXAPI orvexa_key_get11_slot(uint8_t* item, uint32_t slot);                      /* 48 */
int ORXAPI orvexa_key_get12_slot(uint8_t* item, uint32_t slot);                      /* 54 */
int ORXAPI orvexa_key_get13_slot(uint8_t* item, uint32_t slot);                      /* 55 */
int ORXAPI orvexa_key_get14_slot(uint8_t* item, uint32_t slot);                      /* 57 */
/* Returns 0 done, 6 no slot carries the number or the item failed, 7 refused. */
int ORXAPI orvexa_key_get_by_number(const char* number, int code, uint8_t* item); /* 65 */

/* Data requests (ordinals 9, 37, 50, 62, 63, 64, 66). */
int ORXAPI orvexa_key_set9(uint8_t* data, void* unused, uint32_t length); /* 9 */
int ORXAPI orvexa_key_set9_slot(uint8_t* data, void* unused, uint32_t length,
                                uint32_t slot); /* 37 */
int ORXAPI orvexa_data_records(uint8_t* list);  /* 50: 1, 0, or ERROR_PARAM */
/* The keyed and text requests return 0 when done and 7 when refused or the call failed. */
int ORXAPI orvexa_data_keyed_iv_a(const uint8_t* iv, const uint8_t* key, uint32_t length,
                                  const uint8_t* data, uint8_t* out); /* 62 */
int ORXAPI orvexa_data_keyed_iv_b(const uint8_t* iv, const uint8_t* key, uint32_t length,
                                  const uint8_t* data, uint8_t* out); /* 63 */
int ORXAPI orvexa_data_keyed(const uint8_t* key, uint32_t length, const uint8_t* data,
                             uint8_t* out);                                     /* 64 */
int ORXAPI orvexa_data_from_text(const char* text, void* unused, uint8_t* out); /* 66 */

/* Random numbers (ordinals 22, 60). */
int ORXAPI orvexa_rndm_get_bytes(uint8_t* buffer, uint32_t length); /* 22 */
const rndm_handle* ORXAPI orvexa_rndm_get_handle(void);             /* 60 */

#ifdef __cplusplus
}
#endif

#endif
