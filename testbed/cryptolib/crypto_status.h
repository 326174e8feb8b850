// Statuses of the crypto-library stand-in (16-bit, 0 = success). The loader knows them by
// number and shows its own text for each.
#ifndef ORX_TESTBED_CRYPTO_STATUS_H
#define ORX_TESTBED_CRYPTO_STATUS_H

enum {
    CRYPTO_OK = 0,
    CRYPTO_DRIVER_ERROR = 3,    // the driver cannot be reached or answers wrongly
    CRYPTO_KEY_NOT_FOUND = 6,   // no key on the medium, or no slot holds the identifier
    CRYPTO_BAD_GKEY = 34,       // a key file's gkey is malformed or all zero
    CRYPTO_HOARDER_ERROR = 36,  // the medium is unknown, not configured or cannot be read
    CRYPTO_KEY_REDEFINE = 37,   // a key of the medium is loaded already
    CRYPTO_NO_FREE_SLOTS = 38,  // every slot holds a key
    CRYPTO_KEY_NOT_SET = 39,    // the driver refused an item of the key
    CRYPTO_CANNOT_RESET = 40,   // the slot of the key could not be reset
    CRYPTO_BAD_NUMBER = 101,    // a key file is malformed or has no valid key number
    CRYPTO_DISKETTE_IO = 127,   // a key file could not be read
    CRYPTO_RNG_NOT_READY = 504, // the driver's generator has not accepted its seed yet
};

#endif
