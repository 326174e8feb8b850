/* Test control of the emulated ORVEXA driver.
 *
 * One private device-control request, outside the ORVEXA range, sets the scenario and
 * looks inside the driver. Plain C; needs only <stdint.h>, so Win32 test clients and host
 * tests can both include it.
 *
 * Request: code ORVEXA_TESTCTL_CODE (function 0xA00, METHOD_BUFFERED, any access), input an
 * orvexa_testctl_request (24 bytes, plus data for ORVEXA_TESTCTL_LOAD_KEY). Malformed
 * requests fail with STATUS_INVALID_PARAMETER. Operations without an answer return 0 bytes.
 *
 *   op                       args                               answer
 *   1 RESET                  -                                  -
 *   2 SET_WORD               a0 word 0..19, a1 value            -
 *   3 UNPIN_WORD             a0 word, or ORVEXA_TESTCTL_ALL     -
 *   4 SET_BLOCK_UNITS        a0 units, 0..4096                  -
 *   5 ARM_FAULT              a0 code (0 = any), a1 kind,        -
 *                            a2 param, a3 skip, a4 count
 *   6 CLEAR_FAULTS           -                                  -
 *   7 SET_BIAS               a0 ORVEXA_TESTCTL_BIAS_*           -
 *   8 SET_POLICY             a0 ORVEXA_TESTCTL_POLICY_* flags   -
 *   9 GET_COUNTERS           -                                  orvexa_testctl_counters
 *  10 RESET_COUNTERS         -                                  -
 *  11 GET_LAST_REQUEST       -                                  orvexa_testctl_last_request
 *                                                               (as much as fits, >= 12)
 *  12 LOAD_KEY               a0 slot; data: 10-char NUM then    -
 *                            12-char NUMP (22 bytes)
 *  13 GET_STATE              -                                  orvexa_testctl_state
 *
 * RESET brings back the state of a freshly loaded driver (keys, readiness, pins, block
 * length, faults, bias, policy, counters, last request); the generator's key is kept, so
 * its output does not repeat. SET_WORD pins a word: it is reported with the given value
 * until UNPIN_WORD or RESET; word 5 is not pinned but sets the block length. Pins change
 * only what the record reports, except word 8: while it reads nonzero, the generator
 * cannot become ready. LOAD_KEY empties the slot and fills every item (1-8, 10-12) with
 * NUM, NUMP and bytes derived from them, as if a crypto library had loaded the key.
 *
 * Faults: up to four armed at once. A fault waits for requests with its control code (or,
 * with code 0, for any request but test control), lets `skip` of them through, then
 * strikes the next `count` of them (0 counts as 1; ORVEXA_TESTCTL_FOREVER never runs out).
 * Every armed fault that matches a request counts it; when several are due, the one armed
 * first strikes and the others stay due. Kinds:
 *   FAIL          the call fails (STATUS_UNSUCCESSFUL); the request has no effect
 *   NETPATH       the call fails with STATUS_BAD_NETWORK_PATH (system error 53); no effect
 *   STATUS        answered with a bare header whose word0 = param; no effect; a request
 *                 whose answer has no header fails instead
 *   CHECKSUM      executed; the answer's checksum word is XORed with param (0 means 1);
 *                 answers without a header are left alone
 *   LENGTH_DELTA  executed; the answer's length word is moved by (int32_t)param; a shorter
 *                 length keeps a valid checksum of the shorter data, a longer one is padded
 *                 with zero bytes as far as the buffer allows; for answers without a header
 *                 the returned byte count moves instead (kept within 0..room)
 *   LENGTH        executed; the answer's length word becomes param (e.g. 0x10000), nothing
 *                 else changes; for answers without a header the returned count becomes
 *                 min(param, room)
 * Answers with a header: block read, key-set, key-get, record list, seed byte.
 */
#ifndef ORVEXA_TESTCTL_H
#define ORVEXA_TESTCTL_H

#include <stdint.h>

#define ORVEXA_TESTCTL_CODE 0x9C402800u
#define ORVEXA_TESTCTL_ALL 0xFFFFFFFFu
#define ORVEXA_TESTCTL_FOREVER 0xFFFFFFFFu
#define ORVEXA_TESTCTL_LAST_MAX 2200u
#define ORVEXA_TESTCTL_NUM_LEN 10u
#define ORVEXA_TESTCTL_NUMP_LEN 12u

enum {
    ORVEXA_TESTCTL_RESET = 1,
    ORVEXA_TESTCTL_SET_WORD = 2,
    ORVEXA_TESTCTL_UNPIN_WORD = 3,
    ORVEXA_TESTCTL_SET_BLOCK_UNITS = 4,
    ORVEXA_TESTCTL_ARM_FAULT = 5,
    ORVEXA_TESTCTL_CLEAR_FAULTS = 6,
    ORVEXA_TESTCTL_SET_BIAS = 7,
    ORVEXA_TESTCTL_SET_POLICY = 8,
    ORVEXA_TESTCTL_GET_COUNTERS = 9,
    ORVEXA_TESTCTL_RESET_COUNTERS = 10,
    ORVEXA_TESTCTL_GET_LAST_REQUEST = 11,
    ORVEXA_TESTCTL_LOAD_KEY = 12,
    ORVEXA_TESTCTL_GET_STATE = 13
};

enum {
    ORVEXA_TESTCTL_FAULT_FAIL = 1,
    ORVEXA_TESTCTL_FAULT_NETPATH = 2,
    ORVEXA_TESTCTL_FAULT_STATUS = 3,
    ORVEXA_TESTCTL_FAULT_CHECKSUM = 4,
    ORVEXA_TESTCTL_FAULT_LENGTH_DELTA = 5,
    ORVEXA_TESTCTL_FAULT_LENGTH = 6
};

/* Generator output modes. */
enum {
    ORVEXA_TESTCTL_BIAS_OFF = 0,
    ORVEXA_TESTCTL_BIAS_HALF = 1, /* top bit of every byte cleared: 128 values only */
    ORVEXA_TESTCTL_BIAS_FLAT = 2  /* bytes 0, 1, ..., 255, 0, ...: perfectly even counts */
};

/* Policy flags. */
#define ORVEXA_TESTCTL_POLICY_BYTES_SEED 0x1u     /* 8 seed bytes also raise word2 */
#define ORVEXA_TESTCTL_POLICY_KEYS_READY 0x2u     /* a loaded key raises word1 */
#define ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY 0x4u /* block reads get status 50 until ready */
#define ORVEXA_TESTCTL_POLICY_DEFAULT                                                              \
    (ORVEXA_TESTCTL_POLICY_BYTES_SEED | ORVEXA_TESTCTL_POLICY_KEYS_READY)

typedef struct orvexa_testctl_request {
    uint32_t op;
    uint32_t arg[5];
    /* ORVEXA_TESTCTL_LOAD_KEY: 22 bytes of key numbers follow */
} orvexa_testctl_request;

typedef struct orvexa_testctl_counters {
    uint32_t total;        /* every request except test control */
    uint32_t function[16]; /* per function 0x900 + k of the ORVEXA range */
} orvexa_testctl_counters;

typedef struct orvexa_testctl_last_request {
    uint32_t code;
    uint32_t in_len; /* input length as sent */
    uint32_t stored; /* bytes kept below: min(in_len, 2200) */
    uint8_t data[ORVEXA_TESTCTL_LAST_MAX];
} orvexa_testctl_last_request;

typedef struct orvexa_testctl_state {
    uint32_t info[20]; /* the record as an information query would answer now */
    uint32_t seed_bytes;
    uint32_t steps;
    uint32_t bytes_accepted;
    uint32_t seeded;
    uint32_t block_seeded;
    uint32_t ready;
    uint32_t loaded_slots;  /* bit n: slot n holds NUM or NUMP */
    uint32_t item_mask[16]; /* per slot, bit c: item of key-set code c stored */
    uint32_t policy;
    uint32_t bias;
    uint32_t pinned; /* bit w: word w pinned */
    uint32_t faults_armed;
    uint32_t block_units;
} orvexa_testctl_state;

#endif
