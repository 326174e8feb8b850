// Test access to the emulated ORVEXA driver under Wine: its private control request and
// its kernel service.
#ifndef ORX_TESTS_WINE_DRIVER_CONTROL_H
#define ORX_TESTS_WINE_DRIVER_CONTROL_H

#include <windows.h>

#include <string.h>

#include <string>

#include "orvexa_testctl.h"

// Polls `condition` every 50 ms; false when it did not hold within the time.
template <typename F> bool wait_until(F condition, DWORD timeout_ms = 15000) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start > timeout_ms)
            return false;
    return true;
}

// One test-control request (with `extra` bytes after it, the numbers of LOAD_KEY) on a
// handle of its own, its answer into `out`; false when the call fails.
inline bool testctl_io(orvexa_testctl_request request, const char* extra = "", void* out = nullptr,
                       DWORD out_size = 0) {
    char in[sizeof request + 22] = {};
    memcpy(in, &request, sizeof request);
    memcpy(in + sizeof request, extra, strlen(extra));
    HANDLE device = CreateFileA("\\\\.\\OrvexaDev", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD size = DWORD(sizeof request + strlen(extra)), count = 0;
    BOOL ok =
        DeviceIoControl(device, ORVEXA_TESTCTL_CODE, in, size, out, out_size, &count, nullptr);
    CloseHandle(device);
    return ok != FALSE;
}

inline bool testctl(uint32_t op, uint32_t a0 = 0, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a3 = 0,
                    uint32_t a4 = 0) {
    return testctl_io({op, {a0, a1, a2, a3, a4}});
}

// Fills `slot` with a key of these numbers (10 and 12 characters).
inline bool testctl_load_key(uint32_t slot, const std::string& num, const std::string& nump) {
    return testctl_io({ORVEXA_TESTCTL_LOAD_KEY, {slot}}, (num + nump).c_str());
}

// The driver's state, or with `op` GET_COUNTERS its request counters.
template <typename T = orvexa_testctl_state>
T driver_state(uint32_t op = ORVEXA_TESTCTL_GET_STATE) {
    T answer = {};
    testctl_io({op, {}}, "", &answer, sizeof answer);
    return answer;
}

// Stops or starts the "orvexa" kernel service; true once it has reached that state.
inline bool driver_service(bool start) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, "orvexa", SERVICE_ALL_ACCESS);
    SERVICE_STATUS status = {};
    start ? StartServiceA(service, 0, nullptr)
          : ControlService(service, SERVICE_CONTROL_STOP, &status);
    bool reached = wait_until([&] {
        return QueryServiceStatus(service, &status) &&
               status.dwCurrentState == (start ? SERVICE_RUNNING : SERVICE_STOPPED);
    });
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return reached;
}

#endif
