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
int ORXAPI orvexa_drv_open(void);                                 /* 58 */
void ORXAPI orvexa_drv_close(void);                               /* 59 */
int ORXAPI orvexa_drv_get_info(orvexa_drv_info* info);            /* 25 */
uint32_t ORXAPI GetDLLVersion(void);                              /* 49 */
uint32_t ORXAPI orvexa_drv_last_status(void);                     /* 23 */
int32_t ORXAPI orvexa_drv_status_name(char* buffer, int32_t size); /* 24 */

/* Commands used by the loader (ordinals 10, 26, 27, 28, 51, 61). */
int ORXAPI orvexa_rndm_step(void);                                         /* 10 */
int ORXAPI orvexa_key_reset(void);                                         /* 26 */
int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t selector); /* 27 */
int ORXAPI orvexa_key_reset_slot(uint32_t slot);                           /* 28 */
int ORXAPI orvexa_rndm_put_byte(int value);                                /* 51 */
int ORXAPI orvexa_rndm_get_byte(uint8_t* value);                           /* 61 */

#ifdef __cplusplus
}
#endif

#endif
