// Key media: what a device text names, and the keys read from it.
//
// A device text is resolved in this order:
//   1. a REG_SZ value named like the device text under the key
//      HKCU\Software\ORX\Testbed\Crypto\Devices: "HKCU\<path>" names a registry medium,
//      "X:\..." or "\\..." a folder, and any other text a folder relative to the MediaDir
//      value of HKCU\Software\ORX\Testbed;
//   2. a drive: a letter and a colon, optionally followed by a path ("A:\", "E:");
//   3. "Keyreg1" (any case): the registry medium HKCU\Software\ORX\Testbed\Keyreg1;
//   4. anything else names no medium.
//
// A folder medium holds *.key files (key_file.h), read in name order, and optionally
// status.txt with a decimal number that the medium answers instead of its keys. A registry
// medium holds one subkey per key with REG_SZ values num, nump and gkey, read in name
// order, and optionally a DWORD "Status" with the same meaning as status.txt.
#ifndef ORX_TESTBED_KEY_MEDIUM_H
#define ORX_TESTBED_KEY_MEDIUM_H

#include <string>
#include <vector>

#include "key_file.h"

#define CRYPTO_KEY ORX_TESTBED_KEY "\\Crypto"
#define CRYPTO_DEVICES_KEY CRYPTO_KEY "\\Devices"
#define KEYREG_KEY ORX_TESTBED_KEY "\\Keyreg1"

struct Medium {
    enum Kind { NONE, FOLDER, REGISTRY } kind = NONE;
    std::string path; // folder ending in a backslash, or a key path under HKCU
};

Medium resolve_medium(const char* device);

// Reads every key of the medium. Returns CRYPTO_OK (keys may be empty), the status the
// medium forces, CRYPTO_HOARDER_ERROR when it cannot be read, CRYPTO_DISKETTE_IO when a key
// file cannot be read, or the status of the first malformed key.
int read_medium(const Medium& medium, std::vector<KeyRecord>* keys);

#endif
