// The library's window onto the operating system. The product implements these with Win32
// (platform_win32.cpp); the native tests link a scripted implementation instead, so every
// rule of the library can be driven without a real device.
#ifndef ORXLINK_PLATFORM_H
#define ORXLINK_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

#include "scoped.h"

typedef void* plat_device;
#define PLAT_INVALID_DEVICE ((plat_device)(intptr_t)-1)

// Platform id and major version from the 148-byte version record; 0 when the query fails.
int plat_version(uint32_t* platform_id, uint32_t* major);

// Opens a device path for reading. `shared` asks for read+write sharing (the older
// platform family), otherwise no sharing. Returns PLAT_INVALID_DEVICE on failure.
plat_device plat_device_open(const char* path, int shared);
void plat_device_close(plat_device device);

// One synchronous device-control call. Returns nonzero on success; `returned` may be null.
int plat_device_control(plat_device device, uint32_t code, void* in, uint32_t in_size, void* out,
                        uint32_t out_size, uint32_t* returned);
uint32_t plat_last_error(void);

// Zero-filled movable memory, locked for the caller; null when it cannot be had.
void* plat_mem_alloc(size_t size);
void plat_mem_free(void* block);
using scoped_memory = scoped<void*, plat_mem_free>;

// A lock that lives from process attach to detach.
void* plat_lock_create(void);
void plat_lock_delete(void* lock);
void plat_lock_enter(void* lock);
void plat_lock_leave(void* lock);
using scoped_lock = scoped_hold<void*, plat_lock_enter, plat_lock_leave>;

// Bytes from the operating system's cryptographic generator; 0 when it fails.
int plat_random(void* buffer, uint32_t size);

#endif
