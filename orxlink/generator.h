// The driver's random generator as the library uses it: block reads, the chi-square
// self-test, and the check that runs after every accepted key-set request.
#ifndef ORXLINK_GENERATOR_H
#define ORXLINK_GENERATOR_H

#include <stdint.h>

constexpr uint32_t ORX_SELF_TEST_BYTES = 25600;
constexpr int ORX_SELF_TEST_ATTEMPTS = 5;
constexpr double ORX_CHI2_LOW = 205.33;
constexpr double ORX_CHI2_HIGH = 310.57;

// 1 while the generator's output counts as good: nothing tested yet in this process, or
// the last self-test passed.
int orx_rndm_checked(void);
void orx_set_rndm_checked(int value);

// Reads `length` generator bytes in blocks, each under the lock; 1 on success, else 0 with
// the status of the failing block. Needs no open device beforehand.
int orx_generator_read(uint8_t* out, uint32_t length);

// Chi-square of byte counts against 256 equally likely values.
double orx_chi_square(const uint32_t counts[256], uint32_t total);
// A sample passes with its statistic inside both bounds, the bounds included.
int orx_chi_square_in_bounds(double chi2);
void orx_count_bytes(const uint8_t* sample, uint32_t length, uint32_t counts[256]);

// 1 when the information record can be read and says the generator is ready.
int orx_generator_ready(void);

// Up to five attempts of 25,600 bytes; 1 when one passes.
int orx_self_test(void);

// Runs after an accepted key-set request: when the generator has come up (or has not
// passed a test yet), refreshes the stored mask and self-tests. Returns the request's result.
int orx_generator_check(int ready_before);

#endif
