// Test access to the emulated ORVEXA driver under Wine: its private control request and
// its kernel service.
#ifndef ORX_TESTS_WINE_DRIVER_CONTROL_H
#define ORX_TESTS_WINE_DRIVER_CONTROL_H

#include <windows.h>

#include <string.h>

#include "orvexa_testctl.h"

// Polls `condition` every 50 ms; false when it did not hold within the time.
template <typename F> bool wait_until(F condition, DWORD timeout_ms = 15000) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start > timeout_ms)
            return false;
    return true;
}

// One test-control request on a handle of its own; false when the call fails.
inline bool testctl_io(const void* in, DWORD in_size, void* out = nullptr, DWORD out_size = 0) {
    HANDLE device =
        CreateFileA("\\\\.\\OrvexaDev", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    DWORD count = 0;
    BOOL ok = DeviceIoControl(device, ORVEXA_TESTCTL_CODE, const_cast<void*>(in), in_size, out,
                              out_size, &count, nullptr);
    CloseHandle(device);
    return ok != FALSE;
}

inline bool testctl(uint32_t op, uint32_t a0 = 0, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a3 = 0,
                    uint32_t a4 = 0) {
    orvexa_testctl_request request = {op, {a0, a1, a2, a3, a4}};
    return testctl_io(&request, sizeof request);
}

// Arms a one-shot fault on the next request with `code`.
inline bool arm_fault(uint32_t code, uint32_t kind, uint32_t param = 0) {
    return testctl(ORVEXA_TESTCTL_ARM_FAULT, code, kind, param, 0, 1);
}

// Fills `slot` with a key of these numbers (10 and 12 characters).
inline bool testctl_load_key(uint32_t slot, const char* num, const char* nump) {
    struct {
        orvexa_testctl_request request;
        char numbers[22];
    } in = {{ORVEXA_TESTCTL_LOAD_KEY, {slot}}, {}};
    memcpy(in.numbers, num, 10);
    memcpy(in.numbers + 10, nump, 12);
    return testctl_io(&in, sizeof in);
}

// The driver's state, or with `op` GET_COUNTERS its request counters.
template <typename T = orvexa_testctl_state>
T driver_state(uint32_t op = ORVEXA_TESTCTL_GET_STATE) {
    orvexa_testctl_request request = {op, {}};
    T answer = {};
    testctl_io(&request, sizeof request, &answer, sizeof answer);
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
