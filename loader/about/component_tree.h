// The tree of registered cryptographic components shown in the About box, as a list of
// items that the dialog inserts into its tree view in order.
//
// Each component is a key under HKLM "SOFTWARE\DEZURE\Cryptography" with a string
// "DisplayName"; its entry is the name, a version line, and a support group with the
// e-mail, phone and web lines taken from the component's "Support" subkey, the common
// "Support" key, or the built-in contacts.
#ifndef ORX_LOADER_ABOUT_COMPONENT_TREE_H
#define ORX_LOADER_ABOUT_COMPONENT_TREE_H

#include <string>
#include <vector>

#include "about_texts.h"

#define ABOUT_COMPONENTS_KEY "SOFTWARE\\DEZURE\\Cryptography"
#define ABOUT_COMMON_SUPPORT_KEY "SOFTWARE\\DEZURE\\Cryptography\\Support"

struct ComponentTreeItem {
    std::string text;
    int depth;     // 1 for an entry's root, 2 for its children, 3 for the support lines;
                   // also the item's data in the tree view
    int parent;    // index of the parent item, -1 for a root
    bool expanded; // inserted in the expanded state
};

struct ComponentTree {
    std::vector<ComponentTreeItem> items;
    std::vector<int> expand; // items to expand after insertion, in this order
};

// Adds the entry of the component whose key is at `key_path`; `own` marks the program's
// own product key, `expand` asks for the entry to be shown expanded. 1 when the entry was
// added, 0 when the component is left out (nothing is added then).
int AddComponentEntry(ComponentTree* tree, const AboutTexts& texts, const char* key_path, int own,
                      int expand);

// The whole tree: the product's own key under "SOFTWARE\DEZURE" when a product is given,
// then every component; the first entry shown comes up expanded. With nothing to show,
// one item with the registry error text.
ComponentTree CollectComponents(const AboutTexts& texts, const char* product);

#endif
