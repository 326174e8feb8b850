// The platform's locks as plain mutexes, for every native build that stands in for the
// operating system: the native tests' scripted platform and the fuzz target's.
#include <mutex>

#include "platform.h"

void* plat_lock_create(void) {
    return new std::mutex;
}
void plat_lock_delete(void* lock) {
    delete static_cast<std::mutex*>(lock);
}
void plat_lock_enter(void* lock) {
    static_cast<std::mutex*>(lock)->lock();
}
void plat_lock_leave(void* lock) {
    static_cast<std::mutex*>(lock)->unlock();
}
