#include "status.h"

#include <atomic>
#include <string.h>

#include "orxlink.h"

namespace {

// Shared by all threads, the last failing call wins. Atomic only so that concurrent
// callers do not tear the word; no ordering is implied.
std::atomic<uint16_t> last_status{0};

const char* const status_names[54] = {
    "ORX_DRIVER_ERROR",
    "ERROR_CHECK_SUM",
    "DLL_BUFFER_ERROR",
    "ERROR_OUTPUT_SIZE",
    "ERROR_GET_KEY_INPUT_SIZE",
    "ERROR_GET_KEY_INPUT_CHECK",
    "ERROR_GET_KEY_COMMAND",
    "ERROR_SET_KEY_INPUT_SIZE",
    "ERROR_SET_KEY_INPUT_CHECK",
    "ERROR_SET_KEY_COMMAND",
    "ERROR_CKDI_NOT_SET",
    "ERROR_TGKEY_NOT_SET",
    "ERROR_GKEY_NOT_SET",
    "ERROR_CKD_NOT_SET",
    "ERROR_NUM_NOT_SET",
    "ERROR_NUMP_NOT_SET",
    "ERROR_KEYC_NOT_SET",
    "ERROR_UZ_NOT_SET",
    "ERROR_DMASK_NOT_SET",
    "ERROR_DMASK_REDEFINE",
    "ERROR_DMASK_SIZE_SET",
    "ERROR_UZ_REDEFINE",
    "ERROR_UZ_SIZE_SET",
    "ERROR_GKEY_REDEFINE",
    "ERROR_GKEY_SIZE_SET",
    "ERROR_GKEY_ICMP_SET",
    "ERROR_KEYC_REDEFINE",
    "ERROR_KEYC_SIZE_SET",
    "ERROR_KEYC_ICMP_SET",
    "ERROR_NUM_REDEFINE",
    "ERROR_NUM_SIZE_SET",
    "ERROR_NUMP_REDEFINE",
    "ERROR_NUMP_SIZE_SET",
    "ERROR_CKEYD_REDEFINE",
    "ERROR_CKEYD_SIZE_SET",
    "ERROR_CKEYD_NUM_SET",
    "ERROR_CKEYD_ICMP_SET",
    "ERROR_CKEYDI_REDEFINE",
    "ERROR_CKEYDI_SIZE_SET",
    "ERROR_CKEYDI_NUMP_SET",
    "ERROR_CKEYDI_ICMP_SET",
    "ERROR_INIGAMMA_STATUS",
    "ERROR_INIGAMMASP_SET",
    "ERROR_INIGAMMASP_OVERFLOW",
    "ERROR_NUM_ASCII_NUMBER",
    "ERROR_NUM_ICMP_SET",
    "ERROR_NUMP_ASCII_NUMBER",
    "ERROR_NUMP_ICMP_SET",
    "ERROR_GOST_KMT_STATUS",
    "ERROR_RND_TEST_STATUS",
    "DRIVER_OPEN_ERROR",
    "",
    "",
    "ERROR_PARAM",
};

} // namespace

void orx_set_status(uint32_t code) {
    last_status.store(uint16_t(code), std::memory_order_relaxed);
}

uint16_t orx_status(void) {
    return last_status.load(std::memory_order_relaxed);
}

const char* orx_status_text(uint32_t code) {
    if (code == 0 || code > 51)
        return nullptr;
    return status_names[code - 1];
}

extern "C" uint32_t ORXAPI orvexa_drv_last_status(void) {
    return orx_status();
}

// Copies at most `size` characters of the name and a terminating zero, so the buffer must
// hold size + 1 bytes. A null buffer or a negative size writes nothing.
extern "C" int32_t ORXAPI orvexa_drv_status_name(char* buffer, int32_t size) {
    const char* name = orx_status_text(orx_status());
    if (!name || !buffer || size < 0)
        return 0;
    size_t n = strlen(name);
    if (size_t(size) < n)
        n = size_t(size);
    memcpy(buffer, name, n);
    buffer[n] = '\0';
    return int32_t(n);
}
