// A scripted operating system for the native tests: a device whose answers the test
// decides, a recorded request log, counted allocations, switchable failures and an
// in-memory registry.
#ifndef ORX_TESTS_FAKE_PLATFORM_H
#define ORX_TESTS_FAKE_PLATFORM_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct FakeRequest {
    uint32_t code;
    std::vector<uint8_t> in; // copied before the answer is written (buffers may alias)
    uint32_t out_size;
};

struct FakeAnswer {
    bool ok = true;
    uint32_t error = 0;       // last error when the call fails
    std::vector<uint8_t> out; // written to the output buffer, at most out_size bytes
};

struct FakeValue {
    uint32_t type;
    std::vector<uint8_t> bytes;
};

struct FakeKey {
    std::map<std::string, FakeValue> values;
    bool read_only = false; // opening it for writing is refused
};

struct FakeSystem {
    bool version_ok = true, open_fails = false, key_create_fails = false, random_fails = false;
    uint32_t platform_id = 2, major = 6, last_error = 0;
    std::vector<std::string> opens; // the path of every open, then " 1" when shared
    std::function<FakeAnswer(const FakeRequest&)> handler;
    std::vector<FakeRequest> requests;
    int live_devices = 0, registry_writes = 0, open_keys = 0;
    long allocations = 0, frees = 0, fail_allocation = -1; // fail the one with this index
    size_t last_allocation = 0;
    uint8_t next_random = 0x10; // the system generator counts up from here
    // The registry: key path -> values, per hive. Paths compare without regard to case.
    std::map<std::string, FakeKey> user_keys, machine_keys;
    // Asked first by every value query with the key's folded path and the value's name: a
    // nonzero answer fails the query with that error.
    std::function<uint32_t(const std::string& path, const char* name)> query_hook;
};

FakeSystem& fake();
void fake_reset(); // forgets everything; every request is answered with an empty success
// The key at `path` of a hive (created in the fake when missing).
FakeKey& user_key(const std::string& path);
FakeKey& machine_key(const std::string& path);
bool user_key_exists(const std::string& path);
std::string string_value(const FakeKey& key, const std::string& name); // "" when absent

#endif
