// The tree of registered components built from the machine's registry: which entries are
// shown, where each support line comes from, what is expanded, and keys closed after use.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "about_texts.h"
#include "component_tree.h"
#include "fake_platform.h"
#include "registry.h"

namespace {

const std::string components = "SOFTWARE\\DEZURE\\Cryptography";
const std::string common_support = components + "\\Support";
const std::string own_key = "SOFTWARE\\DEZURE\\orxload";

FakeValue sz(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return {ORX_REG_SZ, bytes};
}

// A key of the machine's hive with its parents, as the registry keeps them.
FakeValue& value(const std::string& path, const std::string& name) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        machine_key(path.substr(0, at));
    return machine_key(path).values[name];
}

void component(const std::string& name, const std::string& display_name) {
    value(components + "\\" + name, "DisplayName") = sz(display_name);
}

using Line = std::tuple<std::string, int, int, bool>; // text, depth, parent, expanded
using Lines = std::vector<Line>;

const std::string email = about_default_email;
const std::string phone = about_default_phone;
const std::string web = about_default_web;

// The six items of one entry whose root is at `root`.
Lines entry(const std::string& name, int root, const std::string& mail = email,
            const std::string& fax = phone, const std::string& www = web, bool own = false) {
    return {{name, 1, -1, own},
            {"Version: 3.5.259", 2, root, false},
            {"For technical support contact:", 2, root, false},
            {"e-mail: " + mail, 3, root + 2, false},
            {"phone: " + fax, 3, root + 2, false},
            {"web: " + www, 3, root + 2, false}};
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ComponentTree, EntriesSupportLinesAndExpansion) {
    const Lines error = {{"Error query registry.", 1, -1, false}};
    const std::vector<int> first_expanded = {2, 0}; // its support group, then its root
    const std::string long_name(100000, 'N'), long_mail(70000, 'm');
    const std::string long_key(255, 'k'); // the longest subkey name the enumeration takes
    struct Case {
        const char* what;
        std::function<void()> registry;
        const char* product;
        Lines lines;
        std::vector<int> expand;
    };
    const Case cases[] = {
        {"no Cryptography key", [] {}, nullptr, error, {}},
        {"no subkeys", [] { machine_key(components); }, nullptr, error, {}},
        {"no DisplayName anywhere, absent product key",
         [] {
             value(components + "\\orxload", "Version") = sz("3.5");
             value(common_support, "e-mail") = sz("help@orx.example");
         },
         "orxload",
         error,
         {}},
        {"component without support: the built-in contacts", [] { component("V", "Verba-OW"); },
         nullptr, entry("Verba-OW", 0), first_expanded},
        {"own Support key hides the common one, even for the values it lacks",
         [] {
             component("A", "Alpha");
             value(components + "\\A\\Support", "e-mail") = sz("alpha@orx.example");
             component("B", "Beta");
             value(common_support, "FAX") = sz("+1 202 555 0199");
             value(common_support, "www") = sz("orx.example");
         },
         nullptr,
         entry("Alpha", 0, "alpha@orx.example") +
             entry("Beta", 6, email, "+1 202 555 0199", "orx.example"),
         first_expanded},
        {"a value of the wrong type leaves the entry out",
         [] {
             component("A", "Alpha");
             value(components + "\\A", "DisplayName") = {ORX_REG_DWORD, {1, 0, 0, 0}};
             component("B", "Beta");
             value(components + "\\B\\Support", "www") = {ORX_REG_BINARY, {'w', 0}};
             component("C", "Gamma");
             value(components + "\\C\\Support", "e-mail") = {7 /* multi-string */, {0, 0}};
             component("D", "Delta");
         },
         nullptr, entry("Delta", 0), first_expanded},
        {"wrong type in the common Support key leaves out the entries that use it",
         [] {
             value(common_support, "FAX") = {ORX_REG_DWORD, {1, 0, 0, 0}};
             component("A", "Alpha");
             component("B", "Beta");
             value(components + "\\B\\Support", "FAX") = sz("555");
         },
         nullptr, entry("Beta", 0, email, "555"), first_expanded},
        {"the common Support key is listed when it has a DisplayName",
         [] {
             component("A", "Alpha");
             value(common_support, "e-mail") = sz("desk@orx.example");
             value(common_support, "DisplayName") = sz("ORX support desk");
         },
         nullptr,
         entry("Alpha", 0, "desk@orx.example") + entry("ORX support desk", 6, "desk@orx.example"),
         first_expanded},
        {"own product first, expanded, without the common support",
         [] {
             value(own_key, "DisplayName") = sz("ORX key loader");
             value(common_support, "e-mail") = sz("desk@orx.example");
             component("A", "Alpha");
         },
         "orxload",
         entry("ORX key loader", 0, email, phone, web, true) +
             entry("Alpha", 6, "desk@orx.example"),
         first_expanded},
        {"own product alone", [] { value(own_key, "DisplayName") = sz("ORX key loader"); },
         "orxload", entry("ORX key loader", 0, email, phone, web, true), first_expanded},
        {"long names and values are shown whole",
         [&] {
             component(long_key, long_name);
             value(components + "\\" + long_key + "\\Support", "e-mail") = sz(long_mail);
         },
         nullptr, entry(long_name, 0, long_mail), first_expanded},
        {"a string without terminator, or empty, is still a string",
         [] {
             value(components + "\\A", "DisplayName") = {ORX_REG_SZ, {'A', 'l', 'f'}};
             value(components + "\\A\\Support", "e-mail") = {ORX_REG_SZ, {}};
         },
         nullptr, entry("Alf", 0, ""), first_expanded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake_reset();
        c.registry();
        ComponentTree tree = CollectComponents(about_english, c.product);
        Lines lines;
        for (const ComponentTreeItem& item : tree.items)
            lines.emplace_back(item.text, item.depth, item.parent, item.expanded);
        EXPECT_TRUE(lines == c.lines) << ::testing::PrintToString(lines).substr(0, 2000);
        EXPECT_EQ(tree.expand, c.expand);
        EXPECT_EQ(fake().open_keys, 0) << "registry key left open";
    }
}

} // namespace
