#include "binding.h"

#include <string.h>

#include "loader_state.h"
#include "seed_mask.h"

namespace {

const char* const crypto_names[] = {"scrypt.dll",  "wboth.dll", "wbotho.dll", "wcrypt.dll",
                                    "wcrypto.dll", "wsign.dll", "wsigno.dll"};
const uint32_t path_room = 260;

struct akkord_entries {
    TmDriverPresent_fn present;
    TmGetRandomBytes_fn random;
    TmGetInfo_fn info;
};

int try_crypto_candidate(const char* path) {
    scoped_module module(lp_load_library(path));
    if (!module)
        return 0;
    CryptoBinding b = {};
    b.InitKey = reinterpret_cast<InitKey_fn>(lp_entry_point(module.get(), "InitKey"));
    b.GetDrvInfo = reinterpret_cast<GetDrvInfo_fn>(lp_entry_point(module.get(), "GetDrvInfo"));
    b.ResetKeyEx = reinterpret_cast<ResetKeyEx_fn>(lp_entry_point(module.get(), "ResetKeyEx"));
    b.lokey_get = reinterpret_cast<lokey_get_fn>(lp_entry_point(module.get(), "lokey_get"));
    b.lokey_free = reinterpret_cast<lokey_free_fn>(lp_entry_point(module.get(), "lokey_free"));
    if (!b.InitKey || !b.GetDrvInfo || !b.ResetKeyEx)
        return 0;
    b.module = module.release(); // bound for the rest of the run
    loader.crypto = b;
    return 1;
}

uint16_t read16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// The device part: present, information words at least 4 and 320, then 41 bytes.
int draw_akkord_bytes(const akkord_entries& tm, uint8_t block[ORX_AKKORD_RANDOM_SIZE]) {
    if (!tm.present())
        return 0;
    uint8_t info[ORX_AKKORD_INFO_SIZE] = {};
    uint32_t unused = 0;
    if (tm.info(0, info, ORX_AKKORD_INFO_SIZE, &unused) != 0)
        return 0;
    if (read16(info) < 4 || read16(info + 2) < 320)
        return 0;
    return tm.random(block, ORX_AKKORD_RANDOM_SIZE) == 0;
}

// A text into a field of `Room` bytes of a request zeroed beforehand; a text that would leave
// the field no NUL does not compile.
template <size_t Room, size_t N> void put_text(uint8_t* field, const char (&text)[N]) {
    static_assert(N <= Room, "the text and its NUL must fit the field");
    memcpy(field, text, N);
}

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace

int bind_crypto_library() {
    char directory[path_room + 1] = {};
    uint32_t length = lp_system_directory(directory, path_room);
    if (length == 0 || length >= path_room)
        return 0;
    for (const char* name : crypto_names) {
        char path[path_room + 32];
        strcpy(path, directory);
        strcat(path, "\\");
        strcat(path, name);
        if (try_crypto_candidate(path))
            return 1;
    }
    return 0;
}

int bind_reader_library() {
    lp_module reader = lp_loaded_module("rdr.dll");
    if (!reader)
        return 0;
    loader.rdr_error_a = reinterpret_cast<rdr_error_a_fn>(lp_entry_point(reader, "rdr_error_a"));
    return loader.rdr_error_a != nullptr;
}

int akkord_auto_init() {
    if (loader.akkord_unavailable)
        return 0;
    scoped_module library(lp_load_library("tmdrv32.dll"));
    if (!library) {
        loader.akkord_unavailable = 1;
        return 0;
    }
    akkord_entries tm = {
        reinterpret_cast<TmDriverPresent_fn>(lp_entry_point(library.get(), "TmDriverPresent")),
        reinterpret_cast<TmGetRandomBytes_fn>(lp_entry_point(library.get(), "TmGetRandomBytes")),
        reinterpret_cast<TmGetInfo_fn>(lp_entry_point(library.get(), "TmGetInfo")),
    };
    if (!tm.present || !tm.random || !tm.info) {
        loader.akkord_unavailable = 1;
        return 0;
    }
    uint8_t block[ORX_AKKORD_RANDOM_SIZE] = {};
    if (!draw_akkord_bytes(tm, block))
        return 0;
    for (int i = 0; i < 8; ++i)
        orvexa_rndm_put_byte(block[i]);
    orx_user_mask_merge(block + 8);
    loader.rng_progress = RNG_SAMPLES;
    return 1;
}

void build_lokey_request(LokeyRequest* request) {
    uint8_t* r = request->bytes;
    memset(r, 0, sizeof request->bytes);
    put32(r + 0, ORX_LOKEY_REQUEST_SIZE);
    put32(r + 8, uint32_t(reinterpret_cast<uintptr_t>(loader.program_instance)));
    put32(r + 12, 4);
    put32(r + 16, 4);
    put32(r + 28, 8);
    put32(r + 36, 6753);
    put_text<16>(r + 40, "000290000001");
    put_text<16>(r + 56, "000100000101");
    put_text<16>(r + 72, "000190000101");
    put_text<1024>(r + 828, "c:\\keys\\hd");
    put_text<1024>(r + 1852, "wbotho.dll");
}

void key_medium_request() {
    build_lokey_request(&loader.lokey_request);
    if (loader.crypto.lokey_get)
        loader.crypto.lokey_get(&loader.lokey_request);
    if (loader.crypto.lokey_free)
        loader.crypto.lokey_free(&loader.lokey_request);
}
