#include "driver_slots.h"

#include <string.h>

#include "crypto_status.h"
#include "orxlink.h"

namespace {

// Driver statuses of key-get 4 and 5 for an item that is not stored.
const uint32_t num_not_set = 15;
const uint32_t nump_not_set = 16;

enum ItemResult { ITEM_FOUND, ITEM_ABSENT, ITEM_FAILED };

ItemResult read_number(uint32_t code, uint32_t slot, std::string* text) {
    uint8_t item[64] = {};
    int ok = code == 4 ? orvexa_key_get4_slot(item, slot) : orvexa_key_get5_slot(item, slot);
    if (ok) {
        text->assign(reinterpret_cast<const char*>(item), code == 4 ? KEY_NUM_LEN : KEY_NUMP_LEN);
        return ITEM_FOUND;
    }
    text->clear();
    uint32_t status = orvexa_drv_last_status();
    return status == (code == 4 ? num_not_set : nump_not_set) ? ITEM_ABSENT : ITEM_FAILED;
}

bool set_items(const KeyRecord& key, uint32_t slot) {
    const uint8_t* num = reinterpret_cast<const uint8_t*>(key.num.data());
    const uint8_t* nump = reinterpret_cast<const uint8_t*>(key.nump.data());
    if (!key.num.empty() && !orvexa_key_set4_slot(num, KEY_NUM_LEN, slot))
        return false;
    if (!key.nump.empty() && !orvexa_key_set5_slot(nump, KEY_NUMP_LEN, slot))
        return false;
    return orvexa_key_set3_slot(key.gkey, KEY_GKEY_LEN, slot) != 0;
}

} // namespace

bool read_slots(SlotKeys slots[CRYPTO_SLOTS]) {
    for (uint32_t slot = 0; slot < CRYPTO_SLOTS; ++slot)
        if (read_number(4, slot, &slots[slot].num) == ITEM_FAILED ||
            read_number(5, slot, &slots[slot].nump) == ITEM_FAILED)
            return false;
    return true;
}

int check_generator() {
    orvexa_drv_info info = {};
    if (!orvexa_drv_query_info(&info, 0))
        return CRYPTO_DRIVER_ERROR;
    return info.word[ORVEXA_INFO_SEED_ACCEPTED] ? CRYPTO_OK : CRYPTO_RNG_NOT_READY;
}

int load_key(const KeyRecord& key) {
    SlotKeys slots[CRYPTO_SLOTS];
    if (!read_slots(slots))
        return CRYPTO_DRIVER_ERROR;
    uint32_t free_slot = CRYPTO_SLOTS;
    for (uint32_t slot = 0; slot < CRYPTO_SLOTS; ++slot) {
        if ((!key.num.empty() && slots[slot].num == key.num) ||
            (!key.nump.empty() && slots[slot].nump == key.nump))
            return CRYPTO_KEY_REDEFINE;
        if (!slots[slot].loaded() && free_slot == CRYPTO_SLOTS)
            free_slot = slot;
    }
    if (free_slot == CRYPTO_SLOTS)
        return CRYPTO_NO_FREE_SLOTS;
    if (!set_items(key, free_slot)) {
        orvexa_key_reset_slot(free_slot); // no half-loaded key stays behind
        return CRYPTO_KEY_NOT_SET;
    }
    return CRYPTO_OK;
}

int reset_key(const char* id, uint32_t refused_slots) {
    size_t length = id ? strnlen(id, KEY_NUMP_LEN + 1) : 0;
    if (length != KEY_NUM_LEN && length != KEY_NUMP_LEN)
        return CRYPTO_KEY_NOT_FOUND;
    uint32_t code = length == KEY_NUM_LEN ? 4 : 5;
    for (uint32_t slot = 0; slot < CRYPTO_SLOTS; ++slot) {
        std::string number;
        ItemResult result = read_number(code, slot, &number);
        if (result == ITEM_FAILED)
            return CRYPTO_DRIVER_ERROR;
        if (result != ITEM_FOUND || number.compare(0, length, id, length) != 0)
            continue;
        if (refused_slots & (1u << slot))
            return CRYPTO_CANNOT_RESET;
        return orvexa_key_reset_slot(slot) ? CRYPTO_OK : CRYPTO_CANNOT_RESET;
    }
    return CRYPTO_KEY_NOT_FOUND;
}
