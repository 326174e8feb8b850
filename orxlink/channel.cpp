#include "channel.h"

#include <atomic>
#include <new>

#include "bytes.h"
#include "status.h"

struct orx_device_ref {
    plat_device handle;
    int users;   // requests running on the handle; guarded by the open lock
    int retired; // closed by orvexa_drv_close while in use
};

namespace {

const char* const path_family_a = "\\\\.\\orvexa";
const char* const path_family_b = "\\\\.\\OrvexaDev";

// The published fields change only while both locks are held, so a reader under either
// lock sees a device, a buffer and a block length that belong together.
struct channel_state {
    std::atomic<int> opened{0}; // read without a lock by the open's fast path
    orx_device_ref* device = nullptr;
    uint32_t block_length = 0;
    uint8_t* block_buffer = nullptr;
    void* block_lock = nullptr; // block reads: the shared buffer and its length
    void* open_lock = nullptr;  // open, close and the users of each device
};

channel_state state;

enum platform_family { FAMILY_NONE, FAMILY_A, FAMILY_B };

platform_family detect_family() {
    uint32_t id = 0, major = 0;
    if (!plat_version(&id, &major))
        return FAMILY_NONE;
    if (id == 1)
        return FAMILY_A;
    if (id == 2 && major >= 4) // NT 4 to today's 10.0
        return FAMILY_B;
    return FAMILY_NONE;
}

void publish(orx_device_ref* device, uint8_t* buffer, uint32_t block_length) {
    scoped_lock guard(state.block_lock);
    state.device = device;
    state.block_buffer = buffer;
    state.block_length = block_length;
    state.opened = device != nullptr;
}

// Called with the open lock held.
void release_locked(orx_device_ref* device) {
    if (device->users == 0) {
        plat_device_close(device->handle);
        delete device;
    } else {
        device->retired = 1; // its last user closes it
    }
}

// The device, its block length and the shared block buffer, all made before any of them is
// published. Called with the open lock held.
int open_locked() {
    if (state.opened)
        return 1;
    platform_family family = detect_family();
    if (family == FAMILY_NONE) {
        orx_set_status(DRIVER_OPEN_ERROR); // a failed open never reads as "no failure"
        return 0;
    }
    plat_device handle = family == FAMILY_A ? plat_device_open(path_family_a, 1)
                                            : plat_device_open(path_family_b, 0);
    if (handle == PLAT_INVALID_DEVICE) {
        orx_set_status(DRIVER_OPEN_ERROR);
        return 0;
    }
    orvexa_drv_info record = {};
    if (!orx_info_query(handle, &record, 0)) {
        plat_device_close(handle);
        return 0;
    }
    uint64_t block_length = uint64_t(record.word[ORVEXA_INFO_BLOCK_UNITS]) * 8;
    if (block_length > ORX_MAX_BLOCK_LENGTH) {
        orx_set_status(ERROR_OUTPUT_SIZE); // a record no buffer can follow
        plat_device_close(handle);
        return 0;
    }
    scoped_memory buffer(plat_mem_alloc(orx_block_buffer_size(uint32_t(block_length))));
    orx_device_ref* device = buffer ? new (std::nothrow) orx_device_ref{handle, 0, 0} : nullptr;
    if (!device) {
        plat_device_close(handle);
        return 0;
    }
    publish(device, static_cast<uint8_t*>(buffer.release()), uint32_t(block_length));
    return 1;
}

} // namespace

orx_device_use::orx_device_use() : ref_(nullptr) {
    scoped_lock guard(state.open_lock);
    if (!open_locked())
        return;
    ref_ = state.device;
    ++ref_->users;
}

orx_device_use::~orx_device_use() {
    if (!ref_)
        return;
    scoped_lock guard(state.open_lock);
    if (--ref_->users == 0 && ref_->retired)
        release_locked(ref_);
}

plat_device orx_device_use::device() const {
    return ref_ ? ref_->handle : PLAT_INVALID_DEVICE;
}

void orx_process_attach(void) {
    state.opened = 0;
    state.device = nullptr;
    state.block_length = 0;
    state.block_buffer = nullptr;
    state.block_lock = plat_lock_create();
    state.open_lock = plat_lock_create();
}

// The device is closed before the locks go, so a close never enters a deleted lock.
void orx_process_detach(void) {
    orx_channel_close();
    plat_lock_delete(state.block_lock);
    plat_lock_delete(state.open_lock);
    state.block_lock = nullptr;
    state.open_lock = nullptr;
}

int orx_channel_open(void) {
    if (state.opened)
        return 1;
    scoped_lock guard(state.open_lock);
    return open_locked();
}

// The buffer is withdrawn under the block lock before it is freed, so a block read of
// another thread never sees it freed under it; the device goes when its last user is done.
void orx_channel_close(void) {
    scoped_lock guard(state.open_lock);
    if (!state.opened)
        return;
    orx_device_ref* device = state.device;
    uint8_t* buffer = state.block_buffer;
    publish(nullptr, nullptr, 0);
    plat_mem_free(buffer);
    release_locked(device);
}

int orx_info_query(plat_device device, orvexa_drv_info* record, uint32_t selector) {
    uint8_t header[ORX_HEADER] = {};
    orx_put32(header + ORX_W1, selector);
    if (!plat_device_control(device, ORVEXA_IOCTL_QUERY_INFO, header, sizeof header, record,
                             sizeof *record, nullptr)) {
        orx_set_status(ORX_DRIVER_ERROR);
        return 0;
    }
    return 1;
}

int orx_query_open_device(orvexa_drv_info* record, uint32_t selector) {
    orx_device_use use;
    return use.ok() && orx_info_query(use.device(), record, selector);
}

uint32_t orx_block_buffer_size(uint32_t block_length) {
    uint32_t size = block_length + ORX_HEADER;
    return size <= ORX_MIN_BLOCK_BUFFER ? ORX_MIN_BLOCK_BUFFER : size;
}

uint32_t orx_block_length(void) {
    return state.block_length;
}

scoped_block_lock::scoped_block_lock() : held_(state.block_lock) {}

// The driver status is checked before the checksum here, unlike the command frame.
int orx_block_read(void) {
    if (!state.opened) {
        orx_set_status(ORX_DRIVER_ERROR); // closed by another thread meanwhile
        return 0;
    }
    uint8_t* buffer = state.block_buffer;
    uint32_t length = state.block_length;
    if (length == 0) {
        orx_set_status(ERROR_OUTPUT_SIZE); // a block of nothing would never make progress
        return 0;
    }
    if (!plat_device_control(state.device->handle, ORVEXA_IOCTL_BLOCK_READ, nullptr, 0, buffer,
                             length + ORX_HEADER, nullptr)) {
        orx_set_status(ORX_DRIVER_ERROR);
        return 0;
    }
    uint32_t status = orx_get32(buffer + ORX_W0);
    if (status != 0) {
        orx_set_status(status);
        return 0;
    }
    if (orx_get32(buffer + ORX_W3) != length) {
        orx_set_status(ERROR_OUTPUT_SIZE);
        return 0;
    }
    if (orx_xor(buffer + ORX_HEADER, length) != orx_get32(buffer + ORX_W2)) {
        orx_set_status(ERROR_CHECK_SUM);
        return 0;
    }
    return 1;
}

const uint8_t* orx_block_data(void) {
    return state.block_buffer + ORX_HEADER;
}

extern "C" int ORXAPI orvexa_drv_open(void) {
    return orx_channel_open();
}

extern "C" void ORXAPI orvexa_drv_close(void) {
    orx_channel_close();
}

extern "C" int ORXAPI orvexa_drv_get_info(orvexa_drv_info* info) {
    if (!info) {
        orx_set_status(DLL_BUFFER_ERROR);
        return 0;
    }
    return orx_query_open_device(info, 0);
}

extern "C" uint32_t ORXAPI GetDLLVersion(void) {
    return ORXLINK_VERSION;
}
