#include "fake_platform.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "platform.h"

namespace {
FakeSystem the_fake;
std::mutex fake_mutex; // the concurrency tests call the device from many threads
// Every open hands out a new handle, so a request on a handle closed meanwhile is seen.
std::set<plat_device> live_handles;
intptr_t next_handle = 0x1000;
} // namespace

FakeSystem& fake() {
    return the_fake;
}

void fake_reset() {
    the_fake = FakeSystem();
    the_fake.handler = [](const FakeRequest&) { return FakeAnswer(); };
}

int plat_version(uint32_t* platform_id, uint32_t* major) {
    *platform_id = the_fake.platform_id;
    *major = the_fake.major;
    return the_fake.version_ok;
}

plat_device plat_device_open(const char* path, int shared) {
    std::lock_guard<std::mutex> guard(fake_mutex);
    the_fake.opens.push_back(std::string(path) + (shared ? " 1" : ""));
    if (the_fake.open_fails)
        return PLAT_INVALID_DEVICE;
    ++the_fake.live_devices;
    return *live_handles.insert(reinterpret_cast<plat_device>(next_handle += 4)).first;
}

void plat_device_close(plat_device device) {
    std::lock_guard<std::mutex> guard(fake_mutex);
    if (!live_handles.erase(device))
        std::abort(); // closed twice, or never opened
    --the_fake.live_devices;
}

int plat_device_control(plat_device device, uint32_t code, void* in, uint32_t in_size, void* out,
                        uint32_t out_size, uint32_t* returned) {
    uint8_t* bytes = static_cast<uint8_t*>(in);
    FakeRequest request{code, std::vector<uint8_t>(bytes, bytes + (in ? in_size : 0)), out_size};
    std::unique_lock<std::mutex> guard(fake_mutex);
    if (!live_handles.count(device) || (!in && in_size) || (!out && out_size))
        std::abort(); // a request on a handle that is not open, or a size without its buffer
    the_fake.requests.push_back(request);
    auto handler = the_fake.handler;
    guard.unlock();
    FakeAnswer answer = handler(request);
    if (!answer.ok)
        return the_fake.last_error = answer.error, 0;
    size_t n = std::min<size_t>(answer.out.size(), out_size);
    if (n)
        std::memcpy(out, answer.out.data(), n);
    if (returned)
        *returned = uint32_t(n);
    return 1;
}

uint32_t plat_last_error(void) {
    return the_fake.last_error;
}

void* plat_mem_alloc(size_t size) {
    std::lock_guard<std::mutex> guard(fake_mutex);
    if (the_fake.fail_allocation-- == 0)
        return nullptr;
    ++the_fake.allocations;
    the_fake.last_allocation = size;
    return std::calloc(1, size);
}

void plat_mem_free(void* block) {
    std::lock_guard<std::mutex> guard(fake_mutex);
    ++the_fake.frees;
    std::free(block);
}

int plat_random(void* buffer, uint32_t size) {
    for (uint32_t i = 0; i < size && !the_fake.random_fails; ++i)
        static_cast<uint8_t*>(buffer)[i] = the_fake.next_random++;
    return !the_fake.random_fails;
}
