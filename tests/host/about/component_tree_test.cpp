// The tree of registered components built from the machine's registry: which entries are
// shown, where each support line comes from, what is expanded, and keys closed after use.
#include <gtest/gtest.h>

#include "about_texts.h"
#include "component_tree.h"
#include "fake_platform.h"
#include "registry.h"

namespace {

struct Value {
    std::string key, name; // the key under "...\Cryptography" (or a full path); "": none
    FakeValue value;
};

FakeValue sz(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return {ORX_REG_SZ, bytes};
}

// Puts a value in the machine's hive, its key and the key's parents created as the
// registry keeps them.
void put(const Value& v) {
    std::string path = v.key.rfind("SOFTWARE", 0) == 0 ? v.key : ABOUT_COMPONENTS_KEY;
    path += v.key.empty() || v.key == path ? "" : "\\" + v.key;
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        machine_key(path.substr(0, at));
    if (!v.name.empty())
        machine_key(path).values[v.name] = v.value;
}

// The six items of one entry whose root is at `root`, one line each: depth, parent, text,
// and '+' when inserted expanded.
std::string entry(const std::string& name, int root, const std::string& mail = about_default_email,
                  const std::string& phone = about_default_phone,
                  const std::string& web = about_default_web, bool own = false) {
    const std::string r = " " + std::to_string(root) + " ", g = " " + std::to_string(root + 2);
    return "1 -1 " + name + (own ? "+" : "") + "\n2" + r + "Version: 3.5.259\n2" + r +
           "For technical support contact:\n3" + g + " e-mail: " + mail + "\n3" + g +
           " phone: " + phone + "\n3" + g + " web: " + web + "\n";
}

TEST(ComponentTree, EntriesSupportLinesAndExpansion) {
    const std::string error = "1 -1 Error query registry.\n", own = "SOFTWARE\\DEZURE\\orxload";
    const std::string long_key(255, 'k'); // the longest subkey name the enumeration takes
    const std::string long_name(100000, 'N'), long_mail(70000, 'm'), desk = "desk@orx.example";
    const FakeValue dword = {ORX_REG_DWORD, {1, 0, 0, 0}};
    const std::vector<int> first = {2, 0}; // the first entry's support group, then its root
    const struct {
        const char* what;
        std::vector<Value> registry;
        const char* product;
        std::string lines;
        std::vector<int> expand;
    } cases[] = {
        {"no Cryptography key", {}, nullptr, error, {}},
        {"no subkeys", {{"", "", {}}}, nullptr, error, {}},
        {"no DisplayName anywhere, absent product key",
         {{"orxload", "Version", sz("3.5")}, {"Support", "e-mail", sz("help@orx.example")}},
         "orxload",
         error,
         {}},
        {"component without support: the built-in contacts",
         {{"V", "DisplayName", sz("Verba-OW")}},
         nullptr,
         entry("Verba-OW", 0),
         first},
        {"own Support key hides the common one, even for the values it lacks",
         {{"A", "DisplayName", sz("Alpha")},
          {"A\\Support", "e-mail", sz("alpha@orx.example")},
          {"B", "DisplayName", sz("Beta")},
          {"Support", "FAX", sz("+1 202 555 0199")},
          {"Support", "www", sz("orx.example")}},
         nullptr,
         entry("Alpha", 0, "alpha@orx.example") +
             entry("Beta", 6, about_default_email, "+1 202 555 0199", "orx.example"),
         first},
        {"a value of the wrong type leaves the entry out",
         {{"A", "DisplayName", dword},
          {"B", "DisplayName", sz("Beta")},
          {"B\\Support", "www", {ORX_REG_BINARY, {'w', 0}}},
          {"C", "DisplayName", sz("Gamma")},
          {"C\\Support", "e-mail", {7 /* multi-string */, {0, 0}}},
          {"D", "DisplayName", sz("Delta")}},
         nullptr,
         entry("Delta", 0),
         first},
        {"wrong type in the common Support key leaves out the entries that use it",
         {{"Support", "FAX", dword},
          {"A", "DisplayName", sz("Alpha")},
          {"B", "DisplayName", sz("Beta")},
          {"B\\Support", "FAX", sz("555")}},
         nullptr,
         entry("Beta", 0, about_default_email, "555"),
         first},
        {"the common Support key is listed when it has a DisplayName",
         {{"A", "DisplayName", sz("Alpha")},
          {"Support", "e-mail", sz(desk)},
          {"Support", "DisplayName", sz("ORX support desk")}},
         nullptr,
         entry("Alpha", 0, desk) + entry("ORX support desk", 6, desk),
         first},
        {"own product first, expanded, without the common support",
         {{own, "DisplayName", sz("ORX key loader")},
          {"Support", "e-mail", sz(desk)},
          {"A", "DisplayName", sz("Alpha")}},
         "orxload",
         entry("ORX key loader", 0, about_default_email, about_default_phone, about_default_web,
               true) +
             entry("Alpha", 6, desk),
         first},
        {"own product alone",
         {{own, "DisplayName", sz("ORX key loader")}},
         "orxload",
         entry("ORX key loader", 0, about_default_email, about_default_phone, about_default_web,
               true),
         first},
        {"long names and values are shown whole",
         {{long_key, "DisplayName", sz(long_name)},
          {long_key + "\\Support", "e-mail", sz(long_mail)}},
         nullptr,
         entry(long_name, 0, long_mail),
         first},
        {"a string without terminator, or empty, is still a string",
         {{"A", "DisplayName", {ORX_REG_SZ, {'A', 'l', 'f'}}},
          {"A\\Support", "e-mail", {ORX_REG_SZ, {}}}},
         nullptr,
         entry("Alf", 0, ""),
         first},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake_reset();
        for (const Value& v : c.registry)
            put(v);
        ComponentTree tree = CollectComponents(about_english, c.product);
        std::string lines;
        for (const ComponentTreeItem& item : tree.items)
            lines += std::to_string(item.depth) + " " + std::to_string(item.parent) + " " +
                     item.text + (item.expanded ? "+" : "") + "\n";
        EXPECT_TRUE(lines == c.lines) << lines.substr(0, 2000);
        EXPECT_EQ(tree.expand, c.expand);
        EXPECT_EQ(fake().open_keys, 0) << "registry key left open";
    }
}

} // namespace
