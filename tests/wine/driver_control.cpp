#include "driver_control.h"

#include <windows.h>

#include <string.h>

namespace {

bool control(const void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
    HANDLE device = CreateFileA("\\\\.\\OrvexaDev", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    DWORD count = 0;
    BOOL ok = DeviceIoControl(device, ORVEXA_TESTCTL_CODE, const_cast<void*>(in), in_size, out,
                              out_size, &count, nullptr);
    CloseHandle(device);
    if (returned)
        *returned = count;
    return ok != FALSE;
}

bool wait_for_state(SC_HANDLE service, DWORD wanted) {
    for (int i = 0; i < 100; ++i) {
        SERVICE_STATUS status = {};
        if (QueryServiceStatus(service, &status) && status.dwCurrentState == wanted)
            return true;
        Sleep(50);
    }
    return false;
}

bool change_service(bool start) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return false;
    SC_HANDLE service = OpenServiceA(manager, "orvexa", SERVICE_ALL_ACCESS);
    bool ok = false;
    if (service) {
        SERVICE_STATUS status = {};
        if (start)
            StartServiceA(service, 0, nullptr);
        else
            ControlService(service, SERVICE_CONTROL_STOP, &status);
        ok = wait_for_state(service, start ? SERVICE_RUNNING : SERVICE_STOPPED);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return ok;
}

} // namespace

bool testctl(uint32_t op, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4) {
    orvexa_testctl_request request = {op, {a0, a1, a2, a3, a4}};
    return control(&request, sizeof request, nullptr, 0, nullptr);
}

bool testctl_load_key(uint32_t slot, const char* num10, const char* nump12) {
    uint8_t buffer[sizeof(orvexa_testctl_request) + 22] = {};
    orvexa_testctl_request request = {ORVEXA_TESTCTL_LOAD_KEY, {slot}};
    memcpy(buffer, &request, sizeof request);
    memcpy(buffer + sizeof request, num10, 10);
    memcpy(buffer + sizeof request + 10, nump12, 12);
    return control(buffer, sizeof buffer, nullptr, 0, nullptr);
}

orvexa_testctl_counters driver_counters() {
    orvexa_testctl_request request = {ORVEXA_TESTCTL_GET_COUNTERS, {}};
    orvexa_testctl_counters counters = {};
    control(&request, sizeof request, &counters, sizeof counters, nullptr);
    return counters;
}

orvexa_testctl_state driver_state() {
    orvexa_testctl_request request = {ORVEXA_TESTCTL_GET_STATE, {}};
    orvexa_testctl_state state = {};
    control(&request, sizeof request, &state, sizeof state, nullptr);
    return state;
}

uint32_t last_driver_request(std::vector<uint8_t>* input) {
    orvexa_testctl_request request = {ORVEXA_TESTCTL_GET_LAST_REQUEST, {}};
    static orvexa_testctl_last_request last;
    memset(&last, 0, sizeof last);
    control(&request, sizeof request, &last, sizeof last, nullptr);
    if (input)
        input->assign(last.data, last.data + last.stored);
    return last.code;
}

bool arm_fault(uint32_t code, uint32_t kind, uint32_t param) {
    return testctl(ORVEXA_TESTCTL_ARM_FAULT, code, kind, param, 0, 1);
}

bool driver_service_stop() {
    return change_service(false);
}

bool driver_service_start() {
    return change_service(true);
}
