// A platform whose device answers come from the fuzzer's input: every device-control call
// takes its success flag, its answer length and its answer bytes from the input in turn,
// and the stored seed mask is input too.
#include "fuzz_platform.h"

#include <stdlib.h>
#include <string.h>

#include "platform.h"
#include "registry.h"

namespace {

const uint8_t* input = nullptr;
size_t input_left = 0;
uint8_t mask_value[64];
uint32_t mask_length = 0;
int random_key_token;

uint8_t take_byte() {
    if (input_left == 0)
        return 0;
    --input_left;
    return *input++;
}

} // namespace

void fuzz_input(const uint8_t* data, size_t size) {
    input = data;
    input_left = size;
    mask_length = take_byte() % (sizeof mask_value + 1);
    for (uint32_t i = 0; i < mask_length; ++i)
        mask_value[i] = take_byte();
}

uint8_t fuzz_byte() {
    return take_byte();
}
bool fuzz_done() {
    return input_left == 0;
}

int plat_version(uint32_t* platform_id, uint32_t* major) {
    *platform_id = 2;
    *major = 6;
    return 1;
}

plat_device plat_device_open(const char*, int) {
    return &random_key_token;
}
void plat_device_close(plat_device) {}

// Answers: one byte decides failure (low bit 0 fails when bit 1 is set), two bytes the
// length, then the bytes; a header-sized answer is often what the library expects.
int plat_device_control(plat_device, uint32_t, void*, uint32_t, void* out, uint32_t out_size,
                        uint32_t* returned) {
    uint8_t mode = take_byte();
    if ((mode & 3) == 2)
        return 0;
    uint32_t length = take_byte(); // low byte first, in its own statement for every compiler
    length |= uint32_t(take_byte()) << 8;
    if (length > out_size)
        length = out_size;
    uint8_t* bytes = static_cast<uint8_t*>(out);
    for (uint32_t i = 0; i < length; ++i)
        bytes[i] = take_byte();
    if (returned)
        *returned = length;
    return 1;
}

uint32_t plat_last_error(void) {
    return take_byte() & 1 ? 53 : 31;
}

void* plat_mem_alloc(size_t size) {
    return calloc(1, size);
}
void plat_mem_free(void* block) {
    free(block);
}

int plat_random(void* buffer, uint32_t size) {
    memset(buffer, 0x5A, size);
    return 1;
}

void* plat_user_key_create(const char*, int* created) {
    *created = 0;
    return &random_key_token;
}
void* plat_user_key_open(const char*, int) {
    return &random_key_token;
}
void* plat_machine_key_open(const char*, int) {
    return nullptr;
}
void plat_reg_close(void*) {}

uint32_t plat_reg_query(void*, const char*, uint32_t* type, void* buffer, uint32_t* size) {
    *type = ORX_REG_BINARY;
    uint32_t room = *size;
    *size = mask_length;
    if (mask_length > room)
        return ORX_ERROR_MORE_DATA;
    memcpy(buffer, mask_value, mask_length);
    return 0;
}

uint32_t plat_reg_write_binary(void*, const char*, const void* data, uint32_t size) {
    if (size > sizeof mask_value)
        abort(); // the library never writes more than it read
    memcpy(mask_value, data, size);
    mask_length = size;
    return 0;
}
uint32_t plat_reg_write_string(void*, const char*, const char*) {
    return 0;
}
uint32_t plat_reg_write_dword(void*, const char*, uint32_t) {
    return 0;
}
int plat_reg_subkey(void*, uint32_t, char*, uint32_t) {
    return 0;
}
