/* orxlink: access library of the ORVEXA encryption driver.
 *
 * The reference with every export by family is docs/orxlink.md; this header states each
 * export's contract beside its declaration.
 *
 * Calling convention and linking. Every export is a plain C function with the C calling
 * convention, exported by ordinal (the ordinal is given beside each one); only
 * GetDLLVersion (49) and orvexa_rndm_get_handle (60) are also exported by name. Link with
 * the import library of the SDK (lib/x86 or lib/x64: liborxlink.a for MinGW, orxlink.lib
 * for the Microsoft toolchain); it imports by ordinal.
 *
 * Results. Exports return 1 (or nonzero) for success and 0 for failure, leaving the reason
 * in the process-wide last status (orvexa_drv_last_status), unless stated otherwise. A
 * successful call leaves the last status unchanged, and nothing resets it to 0: read it
 * only after a call that failed. A few exports return small codes of their own (0 done,
 * 6, 7, 54); those are not stored as the last status.
 *
 * Statuses a call can leave. "Open statuses" below stands for what a failed lazy open
 * leaves (see orvexa_drv_open): DRIVER_OPEN_ERROR (51), ORX_DRIVER_ERROR (1),
 * ERROR_OUTPUT_SIZE (4), or unchanged. "Frame statuses" stands for what a request with a
 * header can leave: DLL_BUFFER_ERROR (3) no request buffer, ORX_DRIVER_ERROR (1) the
 * device-control call failed, ERROR_CHECK_SUM (2) the answer's checksum is wrong,
 * ERROR_OUTPUT_SIZE (4) the answer's length is not the expected one, or the driver's own
 * code (5..50 and beyond: the low 16 bits of the answer's status word).
 *
 * The device. Exports marked "Needs the device" open \\.\OrvexaDev (\\.\orvexa on the
 * Windows 95 family) on their first call and keep it open until orvexa_drv_close or the
 * library is unloaded; the others never touch it.
 *
 * Buffers. Every buffer belongs to the caller and must have the size stated; the library
 * never keeps a pointer after the call returns. A null pointer where a buffer is required
 * is refused with DLL_BUFFER_ERROR (3) unless stated otherwise. Output buffers are written
 * only when the call succeeds, unless stated otherwise.
 *
 * Threads. The library has no thread of its own; every export runs on its caller's thread
 * and any thread may call any export. The first calls of two threads open the device once.
 * Random bytes are read in blocks through one shared buffer under a lock, so the bytes of
 * one call may interleave with another thread's blocks but never mix inside a block. The
 * last status is one word for the whole process: the latest failing call of any thread
 * wins, so with several threads a status read after a failure may be another thread's. Do
 * not call orvexa_drv_close while other threads have calls in flight.
 *
 * 64-bit. orxlink.dll for x64 has the same exports, ordinals, names and results. What
 * differs comes from the pointer size only: the provider table (rndm_handle) is 56 bytes
 * with 8-byte members at offsets 0, 8, ..., 48 and its size word reads 56 (28 bytes with
 * 4-byte members on x86); the unused `void*` arguments are 8 bytes wide. The request
 * header, the information record and everything sent to the driver are fixed 32-bit words
 * on both. The __cdecl below means nothing on x64, which has one calling convention.
 */
#ifndef ORXLINK_H
#define ORXLINK_H

#include <stddef.h>
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

/* The driver information record: twenty words, 80 bytes on x86 and x64 alike. */
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

/* Last-status codes set by the library itself; 5..50 come from the driver (their names:
 * orvexa_drv_status_name, or the table in docs/orxlink.md). */
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

/* The random-number provider table returned by orvexa_rndm_get_handle: one constant table
 * in the library's read-only data, the same for every caller; never modify or free it.
 *
 *   member          required   x86 offset   x64 offset
 *   size            yes        0            0      the table's size in bytes: 28 on x86,
 *                                                  56 on x64 (sizeof(rndm_handle) of the
 *                                                  library's build; 4 padding bytes follow
 *                                                  it on x64)
 *   get_random      yes        4            8
 *   get_seed_need   yes        8            16
 *   put_seed        yes        12           24
 *   reserved1       reserved   16           32     always null: never call
 *   reserved2       reserved   20           40     always null: never call
 *   get_type        yes        24           48
 *
 * A client that wants to guard against a table of another build compares `size` with
 * sizeof(rndm_handle) before it calls through the table.
 *
 * The table's functions return 0 = done, 2 = the (kind, size) pair is not one put_seed
 * knows, 3 = failure (the reason in the last status). Any thread may call them; seeding
 * from two threads at once is allowed but pointless.
 *
 * int get_random(uint32_t length, uint8_t* buffer)
 *   Writes `length` random bytes from the driver's generator to `buffer`: 0 done, 3
 *   failure. Length 0 answers 0 without touching the device or `buffer`. Needs the device
 *   otherwise. Statuses: DLL_BUFFER_ERROR (3) for a null buffer, the open statuses, and per
 *   block ORX_DRIVER_ERROR (1), the driver's code, ERROR_OUTPUT_SIZE (4) (a block of
 *   another length, or a driver that reports block length 0), ERROR_CHECK_SUM (2). On
 *   failure the blocks read before it are already in `buffer`. Draw only after
 *   get_seed_need answered (0, 0): before, a driver may refuse or serve untested bytes.
 *
 * int get_seed_need(int* kind, int* size)
 *   Asks the driver what its generator needs and writes the pair through both pointers:
 *   0 done, 3 failure with nothing written (a null pointer, status unchanged; or the
 *   device cannot be opened or queried: the open statuses, ORX_DRIVER_ERROR (1); or the
 *   generator reports that it cannot be completed, status unchanged). Needs the device.
 *   The library tests the generator when a seed or key-set request makes it ready; a
 *   generator that was ready before the process began has not been tested when (0, 0)
 *   comes. The pairs:
 *     (0, 0)     nothing: the generator is ready and no self-test in this process failed
 *     (1, 40)    40 bytes: a complete reseed (also after a failed self-test)
 *     (1, 8)     8 bytes, sent as single seed bytes
 *     (1, 32)    a 32-byte seed
 *     (2, 64)    a 64-byte seed block
 *
 * int put_seed(int kind, int size, const uint8_t* data)
 *   Feeds `size` bytes of seed material for the pair: 0 accepted (and the driver's record
 *   confirms it), 2 the pair is none of (1, 40), (1, 8), (1, 32), (2, 64), (2, 4096)
 *   (status unchanged, the device untouched), 3 failure. Needs the device for the known
 *   pairs. The material must come from a source the client trusts (e.g. the system's
 *   random generator); the library adds the user's stored mask to 32-byte seeds itself.
 *   (1, 40) sends bytes 0..7 one by one, then bytes 8..39 as the 32-byte seed even when a
 *   single byte failed; (2, 4096) passes the pair check but always fails with
 *   DLL_BUFFER_ERROR (3) (2048 bytes at most travel in one request). When its single
 *   seed bytes, 32-byte seed or seed block make the generator ready, the library tests
 *   25,600 of its bytes
 *   (up to five attempts) before it answers: a generator that fails answers 3 with
 *   ORX_DRIVER_ERROR (1), and get_seed_need asks for (1, 40) again. Statuses:
 *   DLL_BUFFER_ERROR (3) (null data, a failed information query, no request buffer), the
 *   frame statuses, ORX_DRIVER_ERROR (1) for a failed self-test.
 *
 * int get_type(void)
 *   Always 2. Needs no device.
 *
 * Calling order: orvexa_rndm_get_handle once; get_seed_need; while it answers a pair other
 * than (0, 0), collect `size` bytes and call put_seed with that pair, then ask again; once
 * it answers (0, 0), call get_random as often as needed. A fresh driver typically asks for
 * (1, 40) and then (2, 64). Stop after a few rounds that make no progress: a driver that
 * cannot complete answers 3. See examples/seed_and_draw.c.
 */
typedef struct rndm_handle {
    uint32_t size;
    int(ORXAPI* get_random)(uint32_t length, uint8_t* buffer);
    int(ORXAPI* get_seed_need)(int* kind, int* size);
    int(ORXAPI* put_seed)(int kind, int size, const uint8_t* data);
    void* reserved1;
    void* reserved2;
    int(ORXAPI* get_type)(void);
} rndm_handle;

/* The layout above, checked wherever this header is compiled (x86: 28 bytes, x64: 56). */
#define ORXLINK_LAYOUT_CHECK(name, condition)                                                      \
    typedef char orxlink_layout_##name[(condition) ? 1 : -1]
ORXLINK_LAYOUT_CHECK(request_header, sizeof(orvexa_request_header) == 16);
ORXLINK_LAYOUT_CHECK(drv_info, sizeof(orvexa_drv_info) == 80);
ORXLINK_LAYOUT_CHECK(table_size, sizeof(rndm_handle) == 7 * sizeof(void*));
ORXLINK_LAYOUT_CHECK(table_get_random, offsetof(rndm_handle, get_random) == sizeof(void*));
ORXLINK_LAYOUT_CHECK(table_reserved1, offsetof(rndm_handle, reserved1) == 4 * sizeof(void*));
ORXLINK_LAYOUT_CHECK(table_get_type, offsetof(rndm_handle, get_type) == 6 * sizeof(void*));
#undef ORXLINK_LAYOUT_CHECK

/* ---- Channel and status (ordinals 23, 24, 25, 49, 58, 59) ---- */

/* 58. Opens the device when it is not open yet: 1 when open (also when it already was; then
 * nothing is sent), 0 on failure. Every export that needs the device calls it, so clients
 * rarely do. Statuses: DRIVER_OPEN_ERROR (51) the device cannot be opened (no driver, or a
 * Windows that is neither the 95 family nor NT 4 or later); ORX_DRIVER_ERROR (1) the
 * driver does not answer the information query; ERROR_OUTPUT_SIZE (4) the record gives a
 * block length over 1 MiB; unchanged when the block buffer cannot be allocated. A failed
 * open holds nothing, so the next call tries again from the start. */
int ORXAPI orvexa_drv_open(void); /* 58 */
/* 59. Releases the device and the block buffer; does nothing when closed. The next export
 * that needs the device opens it again. Needs no device. Waits for a block read of another
 * thread to finish; must not race other calls in flight (they may fail with status 1). */
void ORXAPI orvexa_drv_close(void); /* 59 */
/* 25. Copies the driver's information record (selector 0) into `info` (80 bytes). Needs the
 * device. Statuses: DLL_BUFFER_ERROR (3) null `info`; the open statuses; ORX_DRIVER_ERROR
 * (1) the query failed. The record is not checked. */
int ORXAPI orvexa_drv_get_info(orvexa_drv_info* info); /* 25 */
/* 49, also by name. Returns ORXLINK_VERSION, 0x00010006 (1.6). Never fails; needs no
 * device. */
uint32_t ORXAPI GetDLLVersion(void); /* 49 */
/* 23. Returns the last status: the code of the latest failure of any call in this process,
 * 0 before the first one. Needs no device; never changes the status. */
uint32_t ORXAPI orvexa_drv_last_status(void); /* 23 */
/* 24. Copies the last status's name (e.g. "DRIVER_OPEN_ERROR"), at most `size` characters,
 * and a terminating zero into `buffer`, which must hold size + 1 bytes; returns the count
 * copied. Returns 0 without writing when the status is 0 or above 51 (53 has no name), the
 * buffer is null or the size negative. Needs no device; never changes the status. */
int32_t ORXAPI orvexa_drv_status_name(char* buffer, int32_t size); /* 24 */

/* ---- Commands used by the loader (ordinals 10, 26, 27, 28, 51, 61) ---- */
/* All need the device and return 0 with the open statuses when it cannot be opened. */

/* 10. Advances the generator one step: nonzero done, 0 failure (ORX_DRIVER_ERROR (1)). */
int ORXAPI orvexa_rndm_step(void); /* 10 */
/* 26. orvexa_key_reset_slot(0). */
int ORXAPI orvexa_key_reset(void); /* 26 */
/* 27. Copies the information record for `selector` into `info` (80 bytes); selector 0 is
 * the record every export uses. Nonzero done, 0 failure. Statuses: DLL_BUFFER_ERROR (3)
 * null `info`; ORX_DRIVER_ERROR (1) the query failed. The record is not checked. */
int ORXAPI orvexa_drv_query_info(orvexa_drv_info* info, uint32_t selector); /* 27 */
/* 28. Unloads the key of `slot` (0..15; other numbers go to the driver unchanged): 1 done,
 * 0 refused. Statuses: ORX_RESET_NETWORK_PATH (53) when the system reported error 53, else
 * ORX_DRIVER_ERROR (1). */
int ORXAPI orvexa_key_reset_slot(uint32_t slot); /* 28 */
/* 51. Sends the low 8 bits of `value` as one seed byte: 1 accepted, 0 failure with the
 * frame statuses. The provider table's put_seed sends single bytes the same way. */
int ORXAPI orvexa_rndm_put_byte(int value); /* 51 */
/* 61. Reads one byte from the generator into `*value`: 1 done, 0 failure. Statuses:
 * DLL_BUFFER_ERROR (3) null `value`; ORX_DRIVER_ERROR (1) the call failed. The byte is not
 * checked and is not tested: for random numbers use orvexa_rndm_get_bytes. */
int ORXAPI orvexa_rndm_get_byte(uint8_t* value); /* 61 */

/* ---- Key-set requests (ordinals 1-8, 29-36, 52, 53, 56) ----
 * Hand `length` bytes (at most 2048; `data` may be null only when the length is 0) to item
 * code n of a slot (slot 0 for the exports without `_slot`); the caller's data is never
 * modified. 1 accepted, 0 failure. Need the device. Statuses: DLL_BUFFER_ERROR (3) when the
 * information query before the request fails (also when the device cannot be opened: then
 * 3, not 51), the length is over 2048, `data` is null or no request buffer; then
 * ORX_DRIVER_ERROR (1) the call failed, or the driver's code (e.g. 20-41 for an item set
 * already or of a wrong size). When the request makes the generator ready (or its last
 * self-test failed), the call also tests 25,600 generator bytes before it returns and
 * answers 0 with ORX_DRIVER_ERROR (1) when the generator fails. */
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

/* ---- Key-get requests (ordinals 11-21, 38-48, 54, 55, 57, 65) ----
 * Read item code n of a slot (slot 0 without `_slot`) into `item`, which must hold the
 * item's length: codes 1-3, 6-8 and 11-13: 32 bytes; 4: 10 (the crypt key number); 5: 12
 * (the sign key number); 9: 64; 10: 33; 14: 36. Codes 1-3 also send the 32 bytes of
 * `input`. 1 done, 0 failure; `item` is written only on success. Need the device.
 * Statuses: DLL_BUFFER_ERROR (3) null `item` or `input`; the open statuses; the frame
 * statuses (ERROR_OUTPUT_SIZE (4) when the driver returns another length than the item's;
 * the driver's code, e.g. 11-19 for an item not set). */
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
/* 65. Finds the first slot (0..15) whose crypt key number (a 10-character `number`) or sign
 * key number (12 characters) equals `number`, then reads its item `code` (6, 7, 8, 12 or
 * 13) into `item` (32 bytes). Returns 0 done, 6 no slot carries the number or the item
 * cannot be read, 7 refused: null `number` or `item`, a text neither 10 nor 12 characters
 * long (both without touching the device), or a code outside the five once a slot was
 * found. These results are not statuses. Needs the device. The last status keeps what the
 * slots that failed during the search left (e.g. a slot without a key), also when the call
 * returns 0; a device that cannot be opened gives 6 with status 51. */
int ORXAPI orvexa_key_get_by_number(const char* number, int code, uint8_t* item); /* 65 */

/* ---- Data requests (ordinals 9, 37, 50, 62, 63, 64, 66) ---- */

/* 9 and 37. Sends the `length` bytes at `data` (at most 2096) to item code 9 of slot 0 (37:
 * of `slot`) and replaces them with the driver's answer of the same length: 1 done, 0
 * failure, `data` unchanged on failure. The second argument is not used (pass null). Need
 * the device (opened before the length is checked). Statuses: the open statuses;
 * DLL_BUFFER_ERROR (3) length over 2096, null `data` with a length, or no buffer; the
 * frame statuses. */
int ORXAPI orvexa_key_set9(uint8_t* data, void* unused, uint32_t length); /* 9 */
int ORXAPI orvexa_key_set9_slot(uint8_t* data, void* unused, uint32_t length,
                                uint32_t slot); /* 37 */
/* 50. Sends a record list and replaces it with the driver's answer of the same length. The
 * list: a 32-bit header size (12), a 32-bit record count c, a 32-bit payload length
 * (c * 62), then c records of 62 bytes; 12 + c * 62 bytes in all, at most 2048 (32
 * records). Returns 1 done, 0 failure, ERROR_PARAM (54) for a null or malformed list (the
 * status unchanged). Needs the device (opened first: without it 0 with the open
 * statuses). Statuses: DLL_BUFFER_ERROR (3) a list over 2048 bytes or no buffer; the frame
 * statuses. */
int ORXAPI orvexa_data_records(uint8_t* list); /* 50: 1, 0, or ERROR_PARAM */
/* 62 and 63. Pass `length` bytes of `data` (at most 520) with an 8-byte initial vector `iv`
 * and a 32-byte `key` through the driver into `out` (`length` bytes); 62 and 63 are the
 * driver's two variants. 64. The same with a key only, at most 1024 bytes. Returns 0 done,
 * 7 refused (DLL_BUFFER_ERROR (3): a length over the limit or a null pointer, the device
 * untouched), the device cannot be opened (the open statuses) or the call failed
 * (ORX_DRIVER_ERROR (1)). The answer is neither checked nor counted. */
int ORXAPI orvexa_data_keyed_iv_a(const uint8_t* iv, const uint8_t* key, uint32_t length,
                                  const uint8_t* data, uint8_t* out); /* 62 */
int ORXAPI orvexa_data_keyed_iv_b(const uint8_t* iv, const uint8_t* key, uint32_t length,
                                  const uint8_t* data, uint8_t* out); /* 63 */
int ORXAPI orvexa_data_keyed(const uint8_t* key, uint32_t length, const uint8_t* data,
                             uint8_t* out); /* 64 */
/* 66. Turns a zero-terminated `text` of at most 31 characters into 32 bytes at `out`. The
 * second argument is not used (pass null). Results and statuses as for 62-64: 0 done, 7
 * refused (a longer text, a null pointer), no device or failed. */
int ORXAPI orvexa_data_from_text(const char* text, void* unused, uint8_t* out); /* 66 */

/* ---- Random numbers (ordinals 22, 60) ---- */

/* 22. Writes `length` random bytes to `buffer`: 1 done, 0 failure. Note the argument order,
 * the reverse of the table's get_random; otherwise the same reading, results and statuses
 * (length 0 answers 1 without touching the device). */
int ORXAPI orvexa_rndm_get_bytes(uint8_t* buffer, uint32_t length); /* 22 */
/* 60, also by name. Returns the provider table (above); never null, never fails, needs no
 * device. */
const rndm_handle* ORXAPI orvexa_rndm_get_handle(void); /* 60 */

#ifdef __cplusplus
}
#endif

#endif
