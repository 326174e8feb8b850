#include "scripted_tool.h"

#include <algorithm>

#include "cli.h"
#include "tool_platform.h"

ScriptedWorld world;

namespace {

const std::map<uint32_t, std::string> names = {
    {1, "ORX_DRIVER_ERROR"},   {7, "ERROR_GET_KEY_COMMAND"}, {9, "ERROR_SET_KEY_INPUT_CHECK"},
    {15, "ERROR_NUM_NOT_SET"}, {51, "DRIVER_OPEN_ERROR"},
};

// One library call: false (status set) when the driver is absent or this call is the one
// scripted to fail.
bool library_call() {
    auto failure = world.failing.find(++world.calls);
    const uint32_t status = !world.driver                    ? uint32_t(DRIVER_OPEN_ERROR)
                            : failure != world.failing.end() ? failure->second
                                                             : 0;
    world.status = status ? status : world.status;
    return status == 0;
}

uint8_t splitmix(uint64_t* state) {
    uint64_t z = (*state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return uint8_t(z ^ (z >> 31));
}

bool key_number(const std::string& number, uint32_t not_set, uint8_t* item) {
    if (!library_call())
        return false;
    world.status = number.empty() ? not_set : world.status;
    std::copy(number.begin(), number.end(), item);
    return !number.empty();
}

} // namespace

int run_tool(std::vector<const char*> args) {
    world.out = world.err = world.log = "";
    world.calls = 0;
    args.insert(args.begin(), "orxtool");
    return orxtool_main(int(args.size()), args.data());
}

std::string expected_random(size_t length) {
    uint64_t state = ScriptedWorld().random_state;
    std::string bytes;
    while (bytes.size() < length)
        bytes += char(splitmix(&state));
    return bytes;
}

uint32_t tool_library_version() {
    return ORXLINK_VERSION;
}

uint32_t tool_last_status() {
    return world.status;
}

std::string tool_last_status_name() {
    auto name = names.find(world.status);
    return name == names.end() ? "" : name->second;
}

bool tool_query_info(orvexa_drv_info* info) {
    if (!library_call())
        return false;
    *info = world.info;
    return true;
}

bool tool_key_get_crypt(uint32_t slot, uint8_t* item) {
    return key_number(world.crypt[slot], 15, item);
}

bool tool_key_get_sign(uint32_t slot, uint8_t* item) {
    return key_number(world.sign[slot], 16, item);
}

bool tool_key_reset(uint32_t slot) {
    world.log += "r" + std::to_string(slot) + " ";
    if (!library_call())
        return false;
    auto refusal = world.refuse_reset.find(slot);
    world.status = refusal != world.refuse_reset.end() ? refusal->second : world.status;
    return refusal == world.refuse_reset.end();
}

int tool_get_seed_need(int* kind, int* size) {
    const size_t asked = std::count(world.log.begin(), world.log.end(), 's');
    const std::pair<int, int> need = world.needs.empty()          ? std::make_pair(0, 0)
                                     : asked < world.needs.size() ? world.needs[asked]
                                                                  : world.needs.back();
    if (!library_call())
        return 1;
    *kind = need.first;
    *size = need.second;
    return 0;
}

int tool_put_seed(int kind, int size, const uint8_t*) {
    world.log += "s" + std::to_string(kind) + "," + std::to_string(size) + " ";
    return library_call() ? world.put_answer : 1;
}

int tool_get_random(uint32_t length, uint8_t* buffer) {
    world.log += "g" + std::to_string(length) + " ";
    const bool biased = std::count(world.log.begin(), world.log.end(), 'g') <= world.biased_reads;
    if (!library_call())
        return 1;
    for (uint32_t i = 0; i < length; ++i)
        buffer[i] = uint8_t(splitmix(&world.random_state) & (biased ? 0x7F : 0xFF));
    return 0;
}

bool tool_system_random(uint8_t* buffer, size_t length) {
    std::fill(buffer, buffer + length, 0xA5);
    return world.system_random;
}

void tool_out(const std::string& text) {
    world.out += text;
}

void tool_flush_out() {}

void tool_err(const std::string& text) {
    world.err += text;
}

bool tool_out_binary(const uint8_t* data, size_t length) {
    world.out.append(reinterpret_cast<const char*>(data), world.out_fails ? 0 : length);
    return !world.out_fails;
}

bool tool_out_is_console() {
    return world.console;
}

// A file is its path; its bytes are in world.files.
tool_file tool_file_create(const char* path) {
    if (world.uncreatable.count(path))
        return nullptr;
    world.files[path].clear();
    return new std::string(path);
}

bool tool_file_write(tool_file file, const uint8_t* data, size_t length) {
    const std::string& path = *static_cast<std::string*>(file);
    world.files[path].append(reinterpret_cast<const char*>(data), length);
    return !world.short_disk.count(path);
}

bool tool_file_close(tool_file file) {
    delete static_cast<std::string*>(file);
    return true;
}

void tool_file_remove(const char* path) {
    world.files.erase(path);
}
