// The tree of registered components built from the machine's registry: which entries are
// shown, where each support line comes from, what is expanded, and keys closed after use.
#include <gtest/gtest.h>

#include "about_texts.h"
#include "component_tree.h"
#include "fake_platform.h"
#include "registry.h"

namespace {

struct Value {
    std::string key, name; // the key under "...\Cryptography", or a full path
    FakeValue value;
};

FakeValue sz(const std::string& text) {
    return {ORX_REG_SZ, std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1)};
}

// The six items of one entry whose root is at `root`, one line each: depth, parent, text,
// and '+' when inserted expanded.
std::string entry(const std::string& name, int root, const std::string& mail = about_default_email,
                  const std::string& phone = about_default_phone) {
    const std::string r = " " + std::to_string(root) + " ", g = " " + std::to_string(root + 2);
    return "1 -1 " + name + "\n2" + r + "Version: 3.5.259\n2" + r +
           "For technical support contact:\n3" + g + " e-mail: " + mail + "\n3" + g +
           " phone: " + phone + "\n3" + g + " web: " + about_default_web + "\n";
}

Value named(const std::string& key, const std::string& name) {
    return {key, "DisplayName", sz(name)};
}

TEST(ComponentTree, EntriesSupportLinesAndExpansion) {
    const std::string error = "1 -1 Error query registry.\n", own = "SOFTWARE\\DEZURE\\orxload";
    const std::string long_key(255, 'k'), long_name(100000, 'N'), desk = "desk@orx.example";
    const std::string loader = "ORX key loader", phone = "+1 202 555 0199";
    const struct {
        std::vector<Value> registry;
        const char* product;
        std::string lines;
    } cases[] = {
        // clang-format off
        {{}, nullptr, error}, // no Cryptography key
        {{{"orxload", "Version", sz("3.5")}, {"Support", "e-mail", sz(desk)}}, "orxload", error},
        // An own Support key hides the common one, even for the values it lacks.
        {{named("A", "Alpha"), {"A\\Support", "e-mail", sz("a@orx.example")}, named("B", "Beta"),
          {"Support", "FAX", sz(phone)}},
         nullptr, entry("Alpha", 0, "a@orx.example") + entry("Beta", 6, about_default_email, phone)},
        // A value of the wrong type leaves the entry out, in the common Support key every
        // entry that uses it.
        {{{"A", "DisplayName", {ORX_REG_DWORD, {1, 0, 0, 0}}}, named("B", "Beta"),
          {"B\\Support", "www", {ORX_REG_BINARY, {'w', 0}}}, named("C", "Gamma"),
          {"C\\Support", "FAX", sz("555")}, named("D", "Delta"),
          {"Support", "e-mail", {7 /* multi-string */, {0, 0}}}},
         nullptr, entry("Gamma", 0, about_default_email, "555")},
        // The common Support key is listed when it has a DisplayName.
        {{named("A", "Alpha"), {"Support", "e-mail", sz(desk)}, named("Support", "ORX desk")},
         nullptr, entry("Alpha", 0, desk) + entry("ORX desk", 6, desk)},
        // The own product first, expanded, without the common support.
        {{named(own, loader), {"Support", "e-mail", sz(desk)}, named("A", "Alpha")}, "orxload",
         entry(loader + "+", 0) + entry("Alpha", 6, desk)},
        {{named(long_key, long_name)}, nullptr, entry(long_name, 0)},
        {{named("Fails", "Lost")}, nullptr, error}, // its name can be sized but not read
        // A string without terminator, or empty, is still a string.
        {{{"A", "DisplayName", {ORX_REG_SZ, {'A', 'l', 'f'}}}, {"A\\Support", "e-mail", {ORX_REG_SZ, {}}}},
         nullptr, entry("Alf", 0, "")},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.substr(0, 40));
        fake_reset();
        int queries = 0; // under a key "Fails", the second read of a value fails
        fake().registry_hook = [&](const std::string& call, const std::string& path, const char*) {
            return call == "query" && path.find("\\fails") != path.npos && ++queries == 2 ? 2u : 0u;
        };
        for (const Value& v : c.registry) {
            const bool full = v.key.rfind("SOFTWARE", 0) == 0;
            machine_key(ABOUT_COMPONENTS_KEY);
            machine_key(full ? v.key : ABOUT_COMPONENTS_KEY "\\" + v.key).values[v.name] = v.value;
        }
        ComponentTree tree = CollectComponents(about_english, c.product);
        std::string lines;
        for (const ComponentTreeItem& item : tree.items)
            lines += std::to_string(item.depth) + " " + std::to_string(item.parent) + " " +
                     item.text + (item.expanded ? "+" : "") + "\n";
        EXPECT_TRUE(lines == c.lines) << lines.substr(0, 2000);
        EXPECT_EQ(tree.expand, (c.lines == error ? std::vector<int>{} : std::vector<int>{2, 0}));
        EXPECT_EQ(fake().open_keys, 0) << "registry key left open";
    }
}

} // namespace
