// Win32 implementation of the library's platform seam.
#include <windows.h>

#include <new>

#include "platform.h"

int plat_version(uint32_t* platform_id, uint32_t* major) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return 0;
#pragma GCC diagnostic pop
    *platform_id = info.dwPlatformId;
    *major = info.dwMajorVersion;
    return 1;
}

plat_device plat_device_open(const char* path, int shared) {
    DWORD share = shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    HANDLE h = CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    return h == INVALID_HANDLE_VALUE ? PLAT_INVALID_DEVICE : static_cast<plat_device>(h);
}

void plat_device_close(plat_device device) {
    if (device != PLAT_INVALID_DEVICE)
        CloseHandle(static_cast<HANDLE>(device));
}

int plat_device_control(plat_device device, uint32_t code, void* in, uint32_t in_size, void* out,
                        uint32_t out_size, uint32_t* returned) {
    DWORD count = 0;
    BOOL ok = DeviceIoControl(static_cast<HANDLE>(device), code, in, in_size, out, out_size, &count,
                              nullptr);
    if (returned)
        *returned = count;
    return ok;
}

uint32_t plat_last_error(void) {
    return GetLastError();
}

void* plat_mem_alloc(size_t size) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!handle)
        return nullptr;
    void* block = GlobalLock(handle);
    if (!block)
        GlobalFree(handle);
    return block;
}

void plat_mem_free(void* block) {
    HGLOBAL handle = GlobalHandle(block);
    if (!handle)
        return;
    GlobalUnlock(handle);
    GlobalFree(handle);
}

void* plat_lock_create(void) {
    CRITICAL_SECTION* lock = new (std::nothrow) CRITICAL_SECTION;
    if (lock)
        InitializeCriticalSection(lock);
    return lock;
}

void plat_lock_delete(void* lock) {
    if (!lock)
        return;
    DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
    delete static_cast<CRITICAL_SECTION*>(lock);
}

void plat_lock_enter(void* lock) {
    EnterCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
}

void plat_lock_leave(void* lock) {
    LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
}

// RtlGenRandom, exported by advapi32 as SystemFunction036.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

int plat_random(void* buffer, uint32_t size) {
    return SystemFunction036(buffer, size) != 0;
}
