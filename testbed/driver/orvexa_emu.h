/* Emulated ORVEXA driver: the protocol engine.
 *
 * Freestanding C99: no heap, no C library beyond <stdint.h>. The same code runs inside the
 * WDM wrapper (orvexa_wdm.c) and natively inside the host tests. One orvexa_emu holds the
 * whole driver; it can be a static global. The engine is not thread-safe: the caller
 * serialises calls. Sources: orvexa_emu.c (state, readiness, routing), emu_generator.c (the
 * DRBG), emu_chacha.c, emu_generator_requests.c, emu_keys.c, emu_data.c (the request
 * families), emu_faults.c and emu_testctl.c (test control).
 *
 * Requests (device type 0x9C40, METHOD_BUFFERED, function 0x900 + k, code 0x9C402400 + 4k).
 * "hdr" is the 16-byte request header of four little-endian words: code/status,
 * slot/selector, XOR checksum of the data (zero-extended), data length.
 *
 *   k  request          in                         out
 *   0  information      hdr, word1 = selector 0    80-byte record (20 words, below)
 *   1  block read       nothing                    hdr + B generator bytes, B = word5 * 8
 *   2  key-set          hdr + data                 hdr (hdr + n transformed bytes for code 9)
 *   3  generator step   nothing                    nothing
 *   4  key-get          hdr (+32 bytes, codes 1-3) hdr + item
 *   5  key reset        hdr, word1 = slot          nothing; the slot is emptied
 *   6  record list      hdr + list                 hdr + list, transformed, same length
 *   7  seed byte        hdr + 1 byte               hdr
 *   8  byte read        nothing                    1 generator byte
 *  11  data, IV, a      628-byte block             n bytes
 *  12  data, IV, b      628-byte block             n bytes
 *  13  data with key    1124-byte block            n bytes
 *  14  data from text   32 bytes                   32 bytes
 *
 * Information record words (all others 0):
 *   0 engine version (ORVEXA_EMU_VERSION)     5 block length in 8-byte units (default 64)
 *   1 generator ready                         6 number of slots (16)
 *   2 seed accepted                           7 operational (1)
 *   3 eight single seed bytes accepted        8 generator cannot be completed (0)
 *   4 bit n set: slot n holds a key number    9 single seed bytes received
 *                                            10 generator steps received
 * Any word can be pinned to a fixed value through the test-control request
 * (orvexa_testctl.h); a pinned word is reported as pinned, whatever the state says.
 *
 * Generator: ChaCha20 with fast key erasure. Every seed byte, seed, seed block and step is
 * absorbed into its 32-byte key; output is drawn from keystream blocks, and each refill
 * replaces the key with the first 32 bytes of fresh keystream. Readiness:
 *   - word3 rises with the 8th single seed byte (request 7);
 *   - word2 rises with an accepted 32-byte seed (key-set 14), an accepted seed block
 *     (key-set 13), the 40th generator step, or, under ORVEXA_TESTCTL_POLICY_BYTES_SEED
 *     (on by default), the 8th single seed byte;
 *   - word1 rises once word2 is up and either a seed block (key-set 13) has been accepted
 *     or, under ORVEXA_TESTCTL_POLICY_KEYS_READY (on by default), some slot holds a key
 *     number (key-set 4 or 5); it never rises while word8 is reported nonzero.
 * The three flags latch until the engine is reset; emptying slots does not lower them.
 * Block and byte reads are served whatever the readiness, unless
 * ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY is set: block reads are then answered with status
 * 50 while word1 is 0.
 *
 * Key items. Each slot keeps one item per key-set code; key-get reads them back:
 *
 *   set  item    length  get  not set  wrong size  already set  other refusals
 *    1   DMASK     32      6     19        21          20
 *    2   UZ        32      7     18        23          22
 *    3   GKEY      32      8     13        25          24        26: all bytes zero
 *    4   NUM       10      4     15        31          30        45: not all digits
 *    5   NUMP      12      5     16        33          32        47: not all digits
 *    6   KEYC      64      9     17        28          27        29: all bytes zero
 *    7   CKEYD     33     10     14        35          34        36: NUM not set yet
 *    8   CKEYDI    32     11     11        39          38        40: NUMP not set yet
 *   10   CKD       32     12     14         8           -
 *   11   CKDI      32     13     11         8           -
 *   12   TGKEY     36     14     12         8           -
 *
 * NUM is the 10-digit crypt key number, NUMP the 12-digit sign key number: a stand-in
 * crypto library loads a key by key-set 4 and 5 (and 3 for GKEY), and key-get 4 and 5
 * return the texts. A slot counts as holding a key once NUM or NUMP is stored. Items of
 * codes 1-8 cannot be redefined until the slot is reset; 10-12 can be overwritten.
 *
 * Key-set refusals common to all codes: 8 data length beyond the input, 9 checksum wrong or
 * slot above 15, 10 code outside 1..14. Key-get: 5 wrong data length (32 for codes 1-3,
 * else 0), 6 checksum wrong or slot above 15, 7 code outside 1..14.
 * Seeds: key-set 13 takes 64 to 2048 bytes, key-set 14 exactly 32 (else status 8); both
 * ignore the slot word. Seed byte: 8 unless the data length is 1, 9 for a wrong checksum.
 * Record list: 8 data length beyond the input, 9 checksum wrong or list malformed.
 * Requests whose input is too short to hold their header or block, or whose output room is
 * too small for the answer, fail with ORVEXA_EMU_BAD_PARAM and write nothing; so do an
 * information selector other than 0, a key reset of a slot above 15, data lengths above
 * 520 (IV blocks) or 1024 (keyed block), and any input longer than ORVEXA_EMU_MAX_INPUT.
 *
 * Transforms (ChaCha20, RFC 8439 layout: 32-bit block counter from 0, 96-bit nonce given as
 * three little-endian words). Each is a keystream XOR, so applying it twice gives the data:
 *   key-get 1-3       32 bytes XOR keystream(GKEY of the slot, nonce (0x100 + code, slot, 0))
 *   key-set 9         data XOR keystream(GKEY of the slot, nonce (0x209, slot, 0)); status 13
 *                     when the slot has no GKEY
 *   record list       12-byte list header unchanged; record i XOR keystream(the record key
 *                     below, nonce (0x306, i, 0)); malformed lists get status 9
 *   data IV a/b       data XOR keystream(block key, nonce (IV low word, IV high word, 1 or 2))
 *   data with key     data XOR keystream(block key, nonce (0, 0, 3))
 *   data from text    the first 32 keystream bytes of (the 32-byte text block, nonce (0, 0, 4))
 *                     (a one-way derivation, not an involution)
 * The record key is the 32 ASCII bytes "ORVEXA emulated record list key!".
 */
#ifndef ORVEXA_EMU_H
#define ORVEXA_EMU_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORVEXA_EMU_VERSION 0x00020001u
#define ORVEXA_EMU_CODE_BASE 0x9C402400u
#define ORVEXA_EMU_CODE(k) (ORVEXA_EMU_CODE_BASE + 4u * (uint32_t)(k))
#define ORVEXA_EMU_FUNCTIONS 16u
#define ORVEXA_EMU_SLOTS 16u
#define ORVEXA_EMU_INFO_WORDS 20u
#define ORVEXA_EMU_SET_CODES 15u   /* key-set codes 0..14; 0 is unused */
#define ORVEXA_EMU_ITEM_MAX 64u    /* longest item (KEYC) */
#define ORVEXA_EMU_MAX_INPUT 2200u /* longer requests are refused */
#define ORVEXA_EMU_MAX_FAULTS 4u
#define ORVEXA_EMU_DEFAULT_BLOCK_UNITS 64u /* 512-byte blocks */
#define ORVEXA_EMU_MAX_BLOCK_UNITS 4096u
#define ORVEXA_EMU_SEED_BYTES_NEEDED 8u
#define ORVEXA_EMU_STEPS_NEEDED 40u

/* Function numbers k of the ORVEXA range (code ORVEXA_EMU_CODE(k)); 9, 10 and 15 are
   unassigned. */
enum {
    ORVEXA_EMU_FN_INFO = 0,
    ORVEXA_EMU_FN_BLOCK_READ = 1,
    ORVEXA_EMU_FN_KEY_SET = 2,
    ORVEXA_EMU_FN_STEP = 3,
    ORVEXA_EMU_FN_KEY_GET = 4,
    ORVEXA_EMU_FN_KEY_RESET = 5,
    ORVEXA_EMU_FN_RECORDS = 6,
    ORVEXA_EMU_FN_SEED_BYTE = 7,
    ORVEXA_EMU_FN_BYTE_READ = 8,
    ORVEXA_EMU_FN_DATA_IV_A = 11,
    ORVEXA_EMU_FN_DATA_IV_B = 12,
    ORVEXA_EMU_FN_DATA_KEYED = 13,
    ORVEXA_EMU_FN_DATA_TEXT = 14
};

/* Results of orvexa_emu_control. */
enum {
    ORVEXA_EMU_OK = 0,           /* completed; *returned bytes written */
    ORVEXA_EMU_FAIL = 1,         /* the call fails (STATUS_UNSUCCESSFUL) */
    ORVEXA_EMU_FAIL_NETPATH = 2, /* fails with STATUS_BAD_NETWORK_PATH (system error 53) */
    ORVEXA_EMU_BAD_PARAM = 3,    /* buffer too small or malformed (STATUS_INVALID_PARAMETER) */
    ORVEXA_EMU_BAD_CODE = 4      /* unknown control code (STATUS_INVALID_DEVICE_REQUEST) */
};

typedef struct orvexa_emu_fault {
    uint32_t kind; /* ORVEXA_TESTCTL_FAULT_*, 0 = free entry */
    uint32_t code; /* control code it waits for, 0 = any request of the ORVEXA range */
    uint32_t param;
    uint32_t skip;  /* matching requests still to let through */
    uint32_t count; /* times still to strike; ORVEXA_TESTCTL_FOREVER never runs out */
} orvexa_emu_fault;

typedef struct orvexa_emu_slot {
    uint32_t set_mask; /* bit c: item of key-set code c is stored */
    uint8_t item[ORVEXA_EMU_SET_CODES][ORVEXA_EMU_ITEM_MAX];
} orvexa_emu_slot;

/* The whole driver state. Fields are the engine's own; read them only in tests. */
typedef struct orvexa_emu {
    /* generator */
    uint8_t drbg_key[32];
    uint8_t drbg_pool[224];
    uint32_t drbg_avail; /* unread bytes at the end of drbg_pool */
    uint32_t drbg_absorbed;
    uint32_t drbg_refills;
    uint32_t bias;         /* ORVEXA_TESTCTL_BIAS_* */
    uint32_t bias_counter; /* position of the flat sequence */

    /* readiness */
    uint32_t seed_bytes;
    uint32_t steps;
    uint32_t bytes_accepted;
    uint32_t seeded;
    uint32_t block_seeded;
    uint32_t ready;

    /* scenario */
    uint32_t policy; /* ORVEXA_TESTCTL_POLICY_* */
    uint32_t block_units;
    uint32_t pinned; /* bit w: information word w is pinned */
    uint32_t pin_value[ORVEXA_EMU_INFO_WORDS];
    orvexa_emu_fault fault[ORVEXA_EMU_MAX_FAULTS];

    /* observation */
    uint32_t count_total;
    uint32_t count_function[ORVEXA_EMU_FUNCTIONS];
    uint32_t last_code;
    uint32_t last_in_len;
    uint8_t last_in[ORVEXA_EMU_MAX_INPUT]; /* also the private copy a request is read from */

    orvexa_emu_slot slot[ORVEXA_EMU_SLOTS];
} orvexa_emu;

/* Empty driver: no keys, generator unseeded, default block length, no faults. */
void orvexa_emu_init(orvexa_emu* e);

/* Stirs outside entropy (timers at load time) into the generator without changing any
   readiness word. */
void orvexa_emu_mix(orvexa_emu* e, const void* data, uint32_t len);

/* Handles one device-control request, ORVEXA or test control (orvexa_testctl.h). `in` and
   `out` may alias: the input is copied before any output is written. `returned` receives
   the number of bytes written (0 on failure). */
int orvexa_emu_control(orvexa_emu* e, uint32_t code, const void* in, uint32_t in_len, void* out,
                       uint32_t out_room, uint32_t* returned);

/* One ChaCha20 block (RFC 8439): key 32 bytes, nonce 3 words. Exposed for the tests. */
void orvexa_emu_chacha20_block(const uint8_t key[32], uint32_t counter, const uint32_t nonce[3],
                               uint8_t out[64]);

#ifdef __cplusplus
}
#endif

#endif
