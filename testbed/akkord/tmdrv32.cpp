// tmdrv32.dll: the Akkord library stand-in. Three exports by plain name with the C calling
// convention (loader/outside_api.h): TmDriverPresent, TmGetInfo, TmGetRandomBytes.
//
// Tests steer it through HKCU\Software\ORX\Testbed\Akkord (every value optional, read at
// each call):
//   Present       DWORD   result of TmDriverPresent (default 1)
//   InfoWord0     DWORD   first 16-bit word of the information block (default 4)
//   InfoWord1     DWORD   second 16-bit word (default 320)
//   InfoStatus    DWORD   result of TmGetInfo; nonzero leaves the block untouched (default 0)
//   RandomStatus  DWORD   result of TmGetRandomBytes; nonzero leaves the block untouched
//   RandomBytes   BINARY  when present and not empty, the random bytes are this pattern,
//                         repeated as often as needed, instead of the system's generator
// and it reports there:
//   Log           MULTI_SZ one entry per call: "TmDriverPresent", "TmGetInfo 14",
//                          "TmGetRandomBytes 41"
//   Loads         DWORD   times the library was mapped into a process
//   Releases      DWORD   times it was unmapped by FreeLibrary (not counted at process exit)
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "outside_api.h"
#include "testbed_registry.h"

#define AKKORD_KEY ORX_TESTBED_KEY "\\Akkord"

// RtlGenRandom, exported by advapi32 as SystemFunction036.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

namespace {

enum { AKKORD_BAD_ARGUMENT = 1, AKKORD_NO_RANDOM = 2 };

const uint32_t default_word0 = 4;
const uint32_t default_word1 = 320;

void put_word(uint8_t* block, uint32_t offset, uint32_t value) {
    block[offset] = uint8_t(value);
    block[offset + 1] = uint8_t(value >> 8);
}

void count(const char* name) {
    tb_write_dword(AKKORD_KEY, name, tb_dword_or(AKKORD_KEY, name, 0) + 1);
}

} // namespace

extern "C" __declspec(dllexport) int32_t ORX_OUTSIDE_API TmDriverPresent(void) {
    tb_log(AKKORD_KEY, "TmDriverPresent");
    return int32_t(tb_dword_or(AKKORD_KEY, "Present", 1));
}

// The 14-byte block: two 16-bit words the caller tests, then zeros.
extern "C" __declspec(dllexport) uint16_t ORX_OUTSIDE_API
    TmGetInfo(int32_t zero, uint8_t* info, int32_t size, uint32_t* extra) {
    (void)zero;
    tb_log(AKKORD_KEY, "TmGetInfo " + std::to_string(size));
    uint32_t status = tb_dword_or(AKKORD_KEY, "InfoStatus", 0);
    if (status != 0)
        return uint16_t(status);
    if (!info || size < 4)
        return AKKORD_BAD_ARGUMENT;
    uint32_t filled = size < ORX_AKKORD_INFO_SIZE ? uint32_t(size) : ORX_AKKORD_INFO_SIZE;
    memset(info, 0, filled);
    put_word(info, 0, tb_dword_or(AKKORD_KEY, "InfoWord0", default_word0));
    put_word(info, 2, tb_dword_or(AKKORD_KEY, "InfoWord1", default_word1));
    if (extra)
        *extra = filled;
    return 0;
}

extern "C" __declspec(dllexport) uint16_t ORX_OUTSIDE_API
    TmGetRandomBytes(uint8_t* block, int32_t size) {
    tb_log(AKKORD_KEY, "TmGetRandomBytes " + std::to_string(size));
    uint32_t status = tb_dword_or(AKKORD_KEY, "RandomStatus", 0);
    if (status != 0)
        return uint16_t(status);
    if (!block || size <= 0)
        return AKKORD_BAD_ARGUMENT;
    std::vector<uint8_t> pattern;
    if (tb_read_binary(AKKORD_KEY, "RandomBytes", &pattern) && !pattern.empty()) {
        for (int32_t i = 0; i < size; ++i)
            block[i] = pattern[size_t(i) % pattern.size()];
        return 0;
    }
    return SystemFunction036(block, ULONG(size)) ? 0 : AKKORD_NO_RANDOM;
}

// The exports have exactly the types the loader binds.
static const TmDriverPresent_fn present_type_check = TmDriverPresent;
static const TmGetInfo_fn info_type_check = TmGetInfo;
static const TmGetRandomBytes_fn random_type_check = TmGetRandomBytes;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)present_type_check;
    (void)info_type_check;
    (void)random_type_check;
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        count("Loads");
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        count("Releases");
    }
    return TRUE;
}
