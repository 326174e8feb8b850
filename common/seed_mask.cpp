#include "seed_mask.h"

#include <string.h>

#include "registry.h"
#include "scoped.h"

int orx_mask_read(void* key, orx_stored_mask* mask) {
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

void orx_mask_first32(const orx_stored_mask* mask, uint8_t out[ORX_MASK_SIZE]) {
    memset(out, 0, ORX_MASK_SIZE);
    memcpy(out, mask->bytes, mask->length < ORX_MASK_SIZE ? mask->length : ORX_MASK_SIZE);
}

void orx_mask_add(uint8_t* dst, const uint8_t* add, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i)
        dst[i] = uint8_t(dst[i] + add[i]);
}

int orx_mask_merge(void* key, const uint8_t add[ORX_MASK_SIZE]) {
    orx_stored_mask mask;
    if (!orx_mask_read(key, &mask))
        return 0;
    orx_mask_add(mask.bytes, add, mask.length < ORX_MASK_SIZE ? mask.length : ORX_MASK_SIZE);
    return plat_reg_write_binary(key, ORX_MASK_VALUE, mask.bytes, mask.length) == 0;
}

void orx_user_mask_merge(const uint8_t add[ORX_MASK_SIZE]) {
    int created = 0;
    scoped_registry_key key(plat_user_key_create(ORX_RANDOM_KEY, &created));
    if (key && !created)
        orx_mask_merge(key.get(), add);
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
    orx_stored_mask stored;
    orx_mask_read(key.get(), &stored); // missing or unusable: zeros
    orx_mask_first32(&stored, mask);
    return 1;
}
