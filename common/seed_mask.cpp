#include "seed_mask.h"

#include <string.h>

#include "registry.h"
#include "scoped.h"

namespace {

struct stored_mask {
    uint8_t bytes[ORX_MASK_MAX_STORED];
    uint32_t length; // bytes stored
};

// Reads "mask" whole; only a binary value of at most ORX_MASK_MAX_STORED bytes counts.
int read_mask(void* key, stored_mask* mask) {
    uint32_t type = 0;
    uint32_t size = sizeof mask->bytes;
    mask->length = 0;
    if (plat_reg_query(key, ORX_MASK_VALUE, &type, mask->bytes, &size) != 0)
        return 0;
    if (type != ORX_REG_BINARY || size > sizeof mask->bytes)
        return 0;
    mask->length = size;
    return 1;
}

uint32_t first32(uint32_t length) {
    return length < ORX_MASK_SIZE ? length : ORX_MASK_SIZE;
}

} // namespace

void orx_mask_add(uint8_t* dst, const uint8_t* add, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i)
        dst[i] = uint8_t(dst[i] + add[i]);
}

void orx_user_mask_merge(const uint8_t add[ORX_MASK_SIZE]) {
    int created = 0;
    scoped_registry_key key(plat_user_key_create(ORX_RANDOM_KEY, &created));
    stored_mask mask;
    if (!key || created || !read_mask(key.get(), &mask))
        return;
    orx_mask_add(mask.bytes, add, first32(mask.length));
    plat_reg_write_binary(key.get(), ORX_MASK_VALUE, mask.bytes, mask.length);
}

int orx_user_mask_load(uint8_t mask[ORX_MASK_SIZE], int (*fresh)(void* buffer, uint32_t size)) {
    int created = 0;
    scoped_registry_key key(plat_user_key_create(ORX_RANDOM_KEY, &created));
    if (!key)
        return 0;
    if (created) {
        if (!fresh(mask, ORX_MASK_SIZE))
            return 0;
        plat_reg_write_binary(key.get(), ORX_MASK_VALUE, mask, ORX_MASK_SIZE);
        return 1;
    }
    stored_mask stored;
    read_mask(key.get(), &stored); // missing or unusable: zeros
    memset(mask, 0, ORX_MASK_SIZE);
    memcpy(mask, stored.bytes, first32(stored.length));
    return 1;
}
