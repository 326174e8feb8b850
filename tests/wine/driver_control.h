// Test access to the emulated ORVEXA driver under Wine: its private control request and
// its kernel service.
#ifndef ORX_TESTS_WINE_DRIVER_CONTROL_H
#define ORX_TESTS_WINE_DRIVER_CONTROL_H

#include <stdint.h>

#include <vector>

#include "orvexa_testctl.h"

// Sends one test-control operation on a handle of its own; false when the call fails.
bool testctl(uint32_t op, uint32_t a0 = 0, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a3 = 0,
             uint32_t a4 = 0);
bool testctl_load_key(uint32_t slot, const char* num10, const char* nump12);
orvexa_testctl_counters driver_counters();
orvexa_testctl_state driver_state();
// The last ORVEXA request's code and input bytes.
uint32_t last_driver_request(std::vector<uint8_t>* input);

// Arms a one-shot fault on the next request with `code`.
bool arm_fault(uint32_t code, uint32_t kind, uint32_t param = 0);

// Stops or starts the "orvexa" kernel service; true once it has reached that state.
bool driver_service_stop();
bool driver_service_start();

#endif
