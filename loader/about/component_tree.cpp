#include "component_tree.h"

#include <stdio.h>

#include "registry.h"

namespace {

const int product_version[3] = {3, 5, 259};

enum ReadResult { VALUE_READ, VALUE_ABSENT, VALUE_UNUSABLE };

// A REG_SZ value: its size first, then its data. A value of another type, or one whose
// data cannot be read at the size just given, is unusable.
ReadResult read_string(void* key, const char* name, std::string* text) {
    uint32_t type = 0, size = 0;
    uint32_t rc = plat_reg_query(key, name, &type, nullptr, &size);
    if (rc != 0 && rc != ORX_ERROR_MORE_DATA)
        return VALUE_ABSENT;
    if (type != ORX_REG_SZ)
        return VALUE_UNUSABLE;
    std::vector<char> data(size_t(size) + 1, '\0');
    uint32_t got = size;
    if (plat_reg_query(key, name, &type, data.data(), &got) != 0 || type != ORX_REG_SZ ||
        got > size)
        return VALUE_UNUSABLE;
    text->assign(data.data()); // up to the first NUL; a value without one ends at `got`
    return VALUE_READ;
}

// The support key of an entry: its own "Support" subkey, else (for a foreign entry) the
// common one; null when there is none.
void* open_support_key(const std::string& key_path, int own) {
    void* key = plat_machine_key_open((key_path + "\\Support").c_str(), ORX_KEY_READ);
    if (key || own)
        return key;
    return plat_machine_key_open(ABOUT_COMMON_SUPPORT_KEY, ORX_KEY_READ);
}

struct SupportValue {
    const char* name;
    const char* AboutTexts::*label;
    const char* const* fallback;
};

const SupportValue support_values[] = {
    {"e-mail", &AboutTexts::email_label, &about_default_email},
    {"FAX", &AboutTexts::phone_label, &about_default_phone},
    {"www", &AboutTexts::web_label, &about_default_web},
};

int add_item(ComponentTree* tree, std::string text, int depth, int parent, bool expanded) {
    tree->items.push_back({std::move(text), depth, parent, expanded});
    return int(tree->items.size()) - 1;
}

} // namespace

int AddComponentEntry(ComponentTree* tree, const AboutTexts& texts, const char* key_path, int own,
                      int expand) {
    scoped_registry_key key(plat_machine_key_open(key_path, ORX_KEY_READ));
    if (!key)
        return 0;
    std::string name;
    if (read_string(key.get(), "DisplayName", &name) != VALUE_READ)
        return 0;

    char number[40];
    snprintf(number, sizeof number, "%d.%d.%d", product_version[0], product_version[1],
             product_version[2]);
    std::string version_line = std::string(texts.version_label) + number;

    std::vector<std::string> support_lines;
    {
        scoped_registry_key support(open_support_key(key_path, own));
        for (const SupportValue& value : support_values) {
            std::string text = *value.fallback; // kept when the value is absent
            if (support.get() && read_string(support.get(), value.name, &text) == VALUE_UNUSABLE)
                return 0;
            support_lines.push_back(texts.*value.label + text);
        }
    }

    // Every support value has a built-in default, so the group is never empty.
    int root = add_item(tree, name, 1, -1, own != 0);
    add_item(tree, version_line, 2, root, false);
    int group = add_item(tree, texts.support_group, 2, root, false);
    for (std::string& line : support_lines)
        add_item(tree, std::move(line), 3, group, false);
    if (expand) {
        tree->expand.push_back(group);
        tree->expand.push_back(root);
    }
    return 1;
}

ComponentTree CollectComponents(const AboutTexts& texts, const char* product) {
    ComponentTree tree;
    int shown = 0;
    int expand = 1;
    if (product) {
        std::string path = std::string("SOFTWARE\\DEZURE\\") + product;
        if (AddComponentEntry(&tree, texts, path.c_str(), 1, 1)) {
            shown = 1;
            expand = 0;
        }
    }
    scoped_registry_key components(plat_machine_key_open(ABOUT_COMPONENTS_KEY, ORX_KEY_READ));
    if (components) {
        char name[256];
        for (uint32_t index = 0; plat_reg_subkey(components.get(), index, name, sizeof name);
             ++index) {
            std::string path = std::string(ABOUT_COMPONENTS_KEY "\\") + name;
            if (AddComponentEntry(&tree, texts, path.c_str(), 0, expand)) {
                shown = 1;
                expand = 0;
            }
        }
    }
    if (!shown)
        add_item(&tree, texts.registry_error, 1, -1, false);
    return tree;
}
