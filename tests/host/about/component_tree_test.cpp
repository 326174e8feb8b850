// The tree of registered components built from the machine's registry: which entries are
// shown, where each support line comes from, what is expanded, and keys closed after use.
#include <gtest/gtest.h>

#include <string>

#include "about_texts.h"
#include "component_tree.h"
#include "fake_platform.h"
#include "registry.h"

namespace {

const std::string components = "SOFTWARE\\DEZURE\\Cryptography";
const std::string common_support = components + "\\Support";

FakeValue sz(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return {ORX_REG_SZ, bytes};
}

// A key of the machine's hive with its parents, as the registry keeps them.
FakeKey& key(const std::string& path) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        machine_key(path.substr(0, at));
    return machine_key(path);
}

void component(const std::string& name, const std::string& display_name) {
    key(components + "\\" + name).values["DisplayName"] = sz(display_name);
}

struct Line {
    std::string text;
    int depth;
    int parent;
    bool expanded;
    bool operator==(const Line& o) const {
        return text == o.text && depth == o.depth && parent == o.parent && expanded == o.expanded;
    }
};

std::ostream& operator<<(std::ostream& out, const Line& l) {
    return out << "{\"" << l.text << "\", " << l.depth << ", " << l.parent << ", " << l.expanded
               << "}";
}

std::vector<Line> lines(const ComponentTree& tree) {
    std::vector<Line> out;
    for (const ComponentTreeItem& item : tree.items)
        out.push_back({item.text, item.depth, item.parent, item.expanded});
    return out;
}

// The six items of one entry whose root is at `root`.
std::vector<Line> entry(const std::string& name, int root, const std::string& email,
                        const std::string& phone, const std::string& web, bool own = false) {
    return {{name, 1, -1, own},
            {"Version: 3.5.259", 2, root, false},
            {"For technical support contact:", 2, root, false},
            {"e-mail: " + email, 3, root + 2, false},
            {"phone: " + phone, 3, root + 2, false},
            {"web: " + web, 3, root + 2, false}};
}

std::vector<Line> joined(std::vector<Line> a, const std::vector<Line>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ComponentTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { fake_reset(); }
    void TearDown() override { EXPECT_EQ(fake().open_keys, 0) << "registry key left open"; }
    ComponentTree collect(const char* product = nullptr) {
        return CollectComponents(about_english, product);
    }
    const std::string email = about_default_email;
    const std::string phone = about_default_phone;
    const std::string web = about_default_web;
};

TEST_F(ComponentTreeTest, NothingToShowGivesTheSingleRegistryErrorItem) {
    const std::vector<Line> error = {{"Error query registry.", 1, -1, false}};
    EXPECT_EQ(lines(collect()), error) << "no Cryptography key";

    key(components);
    EXPECT_EQ(lines(collect()), error) << "no subkeys";

    key(components + "\\orxload").values["Version"] = sz("3.5");
    key(components + "\\Support").values["e-mail"] = sz("help@orx.example");
    EXPECT_EQ(lines(collect()), error) << "no DisplayName anywhere";

    ComponentTree tree = collect("orxload");
    EXPECT_EQ(lines(tree), error) << "absent product key";
    EXPECT_TRUE(tree.expand.empty());
}

TEST_F(ComponentTreeTest, ComponentWithoutSupportShowsTheBuiltInContacts) {
    component("Verba", "Verba-OW");
    ComponentTree tree = collect();
    EXPECT_EQ(lines(tree), entry("Verba-OW", 0, email, phone, web));
    EXPECT_EQ(tree.expand, (std::vector<int>{2, 0})) << "group, then root";
}

TEST_F(ComponentTreeTest, SupportLinesComeFromOwnKeyThenCommonKeyThenDefaults) {
    component("A", "Alpha");
    key(components + "\\A\\Support").values["e-mail"] = sz("alpha@orx.example");
    component("B", "Beta");
    key(common_support).values["FAX"] = sz("+1 202 555 0199");
    key(common_support).values["www"] = sz("orx.example");

    EXPECT_EQ(lines(collect()), joined(entry("Alpha", 0, "alpha@orx.example", phone, web),
                                       entry("Beta", 6, email, "+1 202 555 0199", "orx.example")))
        << "an own Support key hides the common one, even for the values it lacks";
}

TEST_F(ComponentTreeTest, ValueOfTheWrongTypeLeavesTheEntryOut) {
    component("A", "Alpha");
    key(components + "\\A").values["DisplayName"] = {ORX_REG_DWORD, {1, 0, 0, 0}};
    component("B", "Beta");
    key(components + "\\B\\Support").values["www"] = {ORX_REG_BINARY, {'w', 0}};
    component("C", "Gamma");
    key(components + "\\C\\Support").values["e-mail"] = {7 /* multi-string */, {0, 0}};
    component("D", "Delta");

    ComponentTree tree = collect();
    EXPECT_EQ(lines(tree), entry("Delta", 0, email, phone, web));
    EXPECT_EQ(tree.expand, (std::vector<int>{2, 0})) << "the first entry shown is expanded";
}

TEST_F(ComponentTreeTest, WrongTypeInTheCommonSupportKeyLeavesOutEntriesThatUseIt) {
    key(common_support).values["FAX"] = {ORX_REG_DWORD, {1, 0, 0, 0}};
    component("A", "Alpha");
    component("B", "Beta");
    key(components + "\\B\\Support").values["FAX"] = sz("555");
    EXPECT_EQ(lines(collect()), entry("Beta", 0, email, "555", web));
}

TEST_F(ComponentTreeTest, CommonSupportKeyIsListedWhenItHasADisplayName) {
    component("A", "Alpha");
    key(common_support).values["e-mail"] = sz("desk@orx.example");
    key(common_support).values["DisplayName"] = sz("ORX support desk");
    EXPECT_EQ(lines(collect()),
              joined(entry("Alpha", 0, "desk@orx.example", phone, web),
                     entry("ORX support desk", 6, "desk@orx.example", phone, web)));
}

TEST_F(ComponentTreeTest, OnlyTheFirstOfTwoComponentsIsExpanded) {
    component("A", "Alpha");
    component("B", "Beta");
    ComponentTree tree = collect();
    EXPECT_EQ(lines(tree),
              joined(entry("Alpha", 0, email, phone, web), entry("Beta", 6, email, phone, web)));
    EXPECT_EQ(tree.expand, (std::vector<int>{2, 0}));
}

TEST_F(ComponentTreeTest, OwnProductComesFirstExpandedAndWithoutTheCommonSupport) {
    key("SOFTWARE\\DEZURE\\orxload").values["DisplayName"] = sz("ORX key loader");
    key(common_support).values["e-mail"] = sz("desk@orx.example");
    component("A", "Alpha");
    ComponentTree tree = collect("orxload");
    EXPECT_EQ(lines(tree), joined(entry("ORX key loader", 0, email, phone, web, true),
                                  entry("Alpha", 6, "desk@orx.example", phone, web)));
    EXPECT_EQ(tree.expand, (std::vector<int>{2, 0}));
}

TEST_F(ComponentTreeTest, LongNamesAndValuesAreShownWhole) {
    const std::string long_name(100000, 'N');
    const std::string long_mail(70000, 'm');
    const std::string key_name(255, 'k'); // the longest subkey name the enumeration takes
    component(key_name, long_name);
    key(components + "\\" + key_name + "\\Support").values["e-mail"] = sz(long_mail);
    EXPECT_TRUE(lines(collect()) == entry(long_name, 0, long_mail, phone, web));
}

TEST_F(ComponentTreeTest, StringWithoutTerminatorOrEmptyIsStillAString) {
    component("A", "Alpha");
    key(components + "\\A").values["DisplayName"] = {ORX_REG_SZ, {'A', 'l', 'f'}};
    key(components + "\\A\\Support").values["e-mail"] = {ORX_REG_SZ, {}};
    EXPECT_EQ(lines(collect()), entry("Alf", 0, "", phone, web));
}

} // namespace
