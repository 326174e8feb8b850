// The About box against a recorded platform: the dialog template it runs, read back by an
// independent reader of the standard format (layout, texts, language, alignment, exact
// size), and every failure told to the operator in the box's language, with no dialog.
// Then the tree of registered components built from the in-memory registry: which entries
// are shown, where each support line comes from, what is expanded, and keys closed after use.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <tuple>

#include "about_box.h"
#include "about_platform.h"
#include "about_texts.h"
#include "component_tree.h"
#include "fake_platform.h"
#include "registry.h"

namespace {

int program, owner_window;
const std::string block = "\\StringFileInfo\\041904B0\\";

struct AboutWorld {
    std::vector<std::string> code_pages;
    int visited = 0, ansi = 0, dialog_result = 1;
    long conversions = 0, fail_conversion = -1; // the conversion with this index fails
    bool loose = false, info_fails = false;     // a loose converter: see ap_ansi_to_utf16
    std::string file = std::string(255, 'f');   // the program's; other modules have none
    std::map<std::string, std::string> values = {{block + "FileVersion", "3.5.259"}}; // by path
    std::string boxes; // "text|caption" lines, over the owner window only
    std::vector<uint8_t> dialog;
} world;

} // namespace

uint32_t ap_ansi_code_page(void) {
    return uint32_t(world.ansi);
}

void ap_enum_installed_code_pages(ap_code_page_visitor visit) {
    for (const std::string& page : world.code_pages)
        if (++world.visited, !visit(page.c_str()))
            return;
}

// Each byte of the text is one unit, as a single-byte code page converts. A loose converter
// counts one unit too many, and writes a text that is not empty without its terminator.
int ap_ansi_to_utf16(const char* text, uint16_t* out, int room) {
    const int length = int(std::strlen(text));
    int units = length + 1;
    if (world.loose)
        units += room ? -(length > 0) : 1;
    if (world.conversions++ == world.fail_conversion || (room && room < units))
        return 0;
    for (int i = 0; i < units && room; ++i)
        out[i] = uint8_t(text[i]);
    return units;
}

uint32_t ap_module_file_name(void* module, char* name, uint32_t size) {
    if (module != &program || world.file.size() + 1 > size)
        return 0;
    std::strcpy(name, world.file.c_str());
    return uint32_t(world.file.size());
}

// The version information is read from the program's file; the values are in the world.
uint32_t ap_version_info_size(const char*) {
    return world.values.empty() ? 0 : 4;
}

int ap_version_info(const char* file, uint32_t, void*) {
    return !world.info_fails && file == world.file;
}

int ap_version_query(const void*, const char* path, const char** text, uint32_t* length) {
    auto it = world.values.find(path);
    if (it == world.values.end())
        return 0;
    *text = it->second.c_str();
    *length = uint32_t(it->second.size() + 1);
    return 1;
}

void ap_message_box(void* owner, const char* text, const char* caption) {
    world.boxes += owner == &owner_window ? std::string(text) + "|" + caption + "\n" : "?";
}

int ap_run_dialog(void* instance, const void* dialog, uint32_t size, void* owner,
                  const char* product) {
    world.dialog.assign(static_cast<const uint8_t*>(dialog),
                        static_cast<const uint8_t*>(dialog) + size);
    const bool right =
        instance == &program && owner == &owner_window && std::strcmp(product, "orxload") == 0;
    return right ? world.dialog_result : -2;
}

namespace {

// Reads DLGTEMPLATE (with a font) and its DLGITEMTEMPLATEs into one line each, field by
// field: D a style in hex, W a word, T a class or text as 'name' or #ordinal. The bytes
// skipped for alignment must be zero; past the end every word reads 0.
std::vector<std::string> read_template(const std::vector<uint8_t>& b) {
    size_t at = 0;
    const auto word = [&] { return at += 2, at <= b.size() ? b[at - 2] | b[at - 1] << 8 : 0; };
    const auto read = [&](const char* fields) {
        std::ostringstream line;
        for (const char* f = fields; *f; ++f, line << ' ') {
            int w = word();
            if (*f == 'D')
                line << std::hex << (w | word() << 16) << std::dec;
            else if (*f == 'W')
                line << w;
            else if (w == 0xFFFF)
                line << '#' << word();
            else {
                for (line << '\''; w; w = word())
                    line << char(w);
                line << '\'';
            }
        }
        return line.str();
    };
    std::vector<std::string> lines = {read("DDWWWWWTTTWT")};
    for (int i = 0; i < (b[8] | b[9] << 8); ++i) {
        while (at % 4 && at < b.size())
            EXPECT_EQ(b[at++], 0) << "padding before item " << i;
        lines.push_back(read("DDWWWWWTTW"));
    }
    EXPECT_EQ(at, b.size()) << "the block holds exactly the template";
    return lines;
}

// Whatever the dialog ends with, 0 included, is its result and no failure; a failure is
// told in one box, and nothing is converted after a conversion that could not be counted.
// Each locale gives the description and the copyright other lengths, so that the padding
// before each item takes both sizes and a text may be empty (a conversion of one unit); a
// loose converter leaves the same template; the program's file name of 255 characters is the
// longest read. Russian needs code page 1251 both installed and as the ANSI code page through
// which the texts are converted; the enumeration stops at the match.
TEST(AboutBox, TemplateOrFailureInTheBoxLanguage) {
    const auto version = &AboutTexts::version_info_error, memory = &AboutTexts::memory_error;
    std::vector<std::pair<std::function<void()>, const char* AboutTexts::*>> cases = {
        {[] {}, nullptr},
        {[] { world.dialog_result = 0; }, nullptr},
        {[] { world.loose = true; }, nullptr},
        {[] { world.file += 'f'; }, version},
        {[] { world.values.clear(); }, version},
        {[] { world.info_fails = true; }, version},
        {[] { world.dialog_result = -1; }, memory}};
    for (const char* name : {"LegalCopyright", "FileDescription", "FileVersion"})
        cases.push_back({[name] { world.values.erase(block + name); }, version});
    // Every text is converted twice (counted, then written): each call fails in turn.
    for (long call = 0; call < 14; ++call)
        cases.push_back({[call] { world.fail_conversion = call; }, memory});
    const struct {
        std::vector<std::string> installed;
        int ansi, visited;
        const AboutTexts& texts;
    } locales[] = {{{"437", "850", "1252"}, 1252, 3, about_english},
                   {{"437", "1251", "1252"}, 1251, 2, about_russian},
                   {{"437", "1251", "1252"}, 1252, 2, about_english},
                   {{"437", "12510", "125", "1252"}, 1251, 4, about_english}};
    for (size_t i = 0; i < cases.size(); ++i) {
        for (size_t n = 0; n < 4; ++n) {
            SCOPED_TRACE(std::to_string(i) + " " + std::to_string(n));
            // A fresh world, and the process-wide code-page flag as a process starts with it:
            // every case sees the box as the first one of a process.
            Cp1251Installed = 0;
            world = AboutWorld();
            world.code_pages = locales[n].installed;
            world.ansi = locales[n].ansi;
            const std::string description(n, 'd'), copyright(3 - n, 'c');
            world.values[block + "FileDescription"] = description;
            world.values[block + "LegalCopyright"] = copyright;
            cases[i].first();
            const AboutTexts& t = locales[n].texts;
            const char* failure = cases[i].second ? t.*cases[i].second : nullptr;
            EXPECT_EQ(ShowAboutBox(&program, &owner_window, 114, "orxload"),
                      failure ? -1 : world.dialog_result);
            EXPECT_EQ(world.boxes, failure ? failure + std::string("|") + t.caption + "\n" : "");
            EXPECT_EQ(world.visited, locales[n].visited);
            EXPECT_TRUE(world.fail_conversion < 0 ||
                        world.conversions == 14 - (world.fail_conversion + 1) % 2);
            if (failure && world.dialog_result >= 0)
                EXPECT_TRUE(world.dialog.empty());
            else
                EXPECT_EQ(
                    read_template(world.dialog),
                    (std::vector<std::string>{
                        "90c800c0 0 6 0 0 300 200 '' '' '" + std::string(t.caption) +
                            "' 8 'MS Sans Serif' ",
                        "50000003 1 5 5 20 20 65535 #130 #114 0 ",
                        "50000000 0 45 5 250 18 65535 #130 '" + description + "\n" +
                            t.version_label + "3.5.259.' 0 ",
                        "50000000 0 45 26 250 9 65535 #130 '" + copyright + "' 0 ",
                        "50810017 1 5 38 290 112 10000 'SysTreeView32' '' 0 ",
                        "50001000 0 5 155 240 42 65535 #130 '" + std::string(t.warning) + "' 0 ",
                        "50010001 0 250 182 45 15 1 #128 '" + std::string(t.ok_button) + "' 0 "}));
        }
    }
}

// A value: its key under "...\Cryptography" (or a full path), its name, its type and data.
using Value = std::tuple<std::string, std::string, FakeValue>;

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
        fake().query_hook = [&](const std::string& path, const char*) {
            return path.find("\\fails") != path.npos && ++queries == 2 ? 2u : 0u;
        };
        for (const auto& [key, name, value] : c.registry) {
            machine_key(ABOUT_COMPONENTS_KEY);
            machine_key(key.rfind("SOFTWARE", 0) ? ABOUT_COMPONENTS_KEY "\\" + key : key)
                .values[name] = value;
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
