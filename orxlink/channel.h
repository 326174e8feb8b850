// The device channel: lazy open, the information query and the single-block read into the
// shared block buffer.
#ifndef ORXLINK_CHANNEL_H
#define ORXLINK_CHANNEL_H

#include <stdint.h>

#include "orxlink.h"
#include "platform.h"

constexpr uint32_t ORX_MIN_BLOCK_BUFFER = 2048;
// A longer block than this in the information record is taken for a malformed answer:
// its buffer size would overflow or exhaust the process.
constexpr uint64_t ORX_MAX_BLOCK_LENGTH = 1u << 20;

void orx_process_attach(void);
void orx_process_detach(void);

int orx_channel_open(void); // 1 when open, 0 with the status set as open failures set it
void orx_channel_close(void);

struct orx_device_ref;

// Holds the open device for the span of one request, opening it when needed. A close while
// requests are in flight only retires the device: the last of its users closes the handle,
// so no request runs on a handle that was closed (and perhaps reused) under it.
class orx_device_use {
  public:
    orx_device_use();
    ~orx_device_use();
    orx_device_use(const orx_device_use&) = delete;
    orx_device_use& operator=(const orx_device_use&) = delete;
    int ok() const { return ref_ != nullptr; } // 0: the open failed and left its status
    plat_device device() const;

  private:
    orx_device_ref* ref_;
};

// Sends the information query with `selector` to `device`; the answer goes straight into
// `record`. Sets status 1 and returns 0 when the call fails.
int orx_info_query(plat_device device, orvexa_drv_info* record, uint32_t selector);
// Opens the device when needed and queries it; 0 with the status of the open or the query.
int orx_query_open_device(orvexa_drv_info* record, uint32_t selector);

// Size of the shared block buffer for a block length: length + 16, at least 2048.
uint32_t orx_block_buffer_size(uint32_t block_length);

// The shared block buffer and its block length; use both only while a scoped_block_lock is
// held, since a reopen replaces them together. The length is 0 while closed.
uint32_t orx_block_length(void);
class scoped_block_lock {
  public:
    scoped_block_lock();

  private:
    scoped_lock held_;
};
// Reads one block; on success its data lies at orx_block_data(). Caller holds the lock.
// Fails with status 1 while the channel is closed, with 4 for a block length of 0.
int orx_block_read(void);
const uint8_t* orx_block_data(void);

#endif
