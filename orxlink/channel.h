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
plat_device orx_channel_device(void);

// Sends the information query with `selector`; the answer goes straight into `record`.
// Sets status 1 and returns 0 when the call fails. The device must be open.
int orx_info_query(orvexa_drv_info* record, uint32_t selector);

// Size of the shared block buffer for a block length: length + 16, at least 2048.
uint32_t orx_block_buffer_size(uint32_t block_length);

// The shared block buffer; use only between orx_block_lock and orx_block_unlock.
uint32_t orx_block_length(void);
void orx_block_lock(void);
void orx_block_unlock(void);
// Reads one block; on success its data lies at orx_block_data(). Caller holds the lock.
int orx_block_read(void);
const uint8_t* orx_block_data(void);

#endif
