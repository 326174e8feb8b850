// The About box against a recorded platform: the dialog template it runs, read back by an
// independent reader of the standard format (layout, texts, language, alignment, exact
// size), and every failure told to the operator in the box's language, with no dialog.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <sstream>

#include "about_box.h"
#include "about_platform.h"
#include "about_texts.h"

namespace {

int program, owner_window;
const std::string block = "\\StringFileInfo\\041904B0\\";

struct AboutWorld {
    std::vector<std::string> code_pages = {"437", "850", "1252"};
    int visited = 0, ansi = 1252;
    long conversions = 0, fail_conversion = -1; // the conversion with this index fails
    std::string file = "C:\\orx\\orxload.exe";  // the program's; other modules have none
    bool info_fails = false;
    // The version values by query path; the English block must not be shown.
    std::map<std::string, std::string> values = {
        {block + "FileDescription", "ORVEXA key loader"},
        {block + "FileVersion", "3.5.259"},
        {block + "LegalCopyright", "Copyright (C) ORX toolkit authors"},
        {"\\StringFileInfo\\040904B0\\FileDescription", "English"},
        {"\\StringFileInfo\\040904B0\\FileVersion", "9.9.9"},
        {"\\StringFileInfo\\040904B0\\LegalCopyright", "English"}};
    std::vector<std::string> boxes; // "text|caption", over the owner window only
    int dialog_result = 1, dialog_runs = 0;
    std::vector<uint8_t> dialog;
} world;

const int cp1251_at_start = Cp1251Installed; // read before any test runs

// A fresh world, and the process-wide code-page flag as it was at start, so that every
// case sees the box as the first one of a process.
AboutWorld& fresh() {
    world = AboutWorld();
    Cp1251Installed = cp1251_at_start;
    return world;
}

} // namespace

uint32_t ap_ansi_code_page(void) {
    return uint32_t(world.ansi);
}

void ap_enum_installed_code_pages(ap_code_page_visitor visit) {
    for (const std::string& page : world.code_pages)
        if (++world.visited, !visit(page.c_str()))
            return;
}

// Code page 1251 for the Cyrillic letters, 1252 as Latin-1.
int ap_ansi_to_utf16(const char* text, uint16_t* out, int room) {
    const int units = int(std::strlen(text)) + 1;
    if (world.conversions++ == world.fail_conversion || (room && room < units))
        return 0;
    for (int i = 0; i < units && room; ++i) {
        const uint8_t c = uint8_t(text[i]);
        out[i] = c < 0xC0 || world.ansi != 1251 ? c : uint16_t(0x0410 + (c - 0xC0));
    }
    return units;
}

uint32_t ap_module_file_name(void* module, char* name, uint32_t size) {
    if (module != &program || world.file.size() + 1 > size)
        return 0;
    std::strcpy(name, world.file.c_str());
    return uint32_t(world.file.size());
}

// The version information of the program is its file name; the values are in the world.
uint32_t ap_version_info_size(const char* file) {
    return world.values.empty() ? 0 : uint32_t(std::strlen(file) + 1);
}

int ap_version_info(const char* file, uint32_t size, void* data) {
    if (world.info_fails || size != std::strlen(file) + 1 || file != world.file)
        return 0;
    std::memcpy(data, file, size);
    return 1;
}

int ap_version_query(const void* data, const char* path, const char** text, uint32_t* length) {
    auto it = world.values.find(path);
    if (static_cast<const char*>(data) != world.file || it == world.values.end())
        return 0;
    *text = it->second.c_str();
    *length = uint32_t(it->second.size() + 1);
    return 1;
}

void ap_message_box(void* owner, const char* text, const char* caption) {
    world.boxes.push_back(owner == &owner_window ? std::string(text) + "|" + caption : "?");
}

int ap_run_dialog(void* instance, const void* dialog, uint32_t size, void* owner,
                  const char* product) {
    ++world.dialog_runs;
    world.dialog.assign(static_cast<const uint8_t*>(dialog),
                        static_cast<const uint8_t*>(dialog) + size);
    const bool right = instance == &program && owner == &owner_window &&
                       (!product || std::strcmp(product, "orxload") == 0);
    return right ? world.dialog_result : -2;
}

namespace {

// Reads DLGTEMPLATE (with a font) and its DLGITEMTEMPLATEs into one line each: styles in
// hex, the rectangle, the id, class and text as 'name' or #ordinal, the creation data size.
// The bytes skipped for alignment must be zero; past the end every word reads 0.
struct Reader {
    const std::vector<uint8_t>& b;
    size_t at = 0;

    std::vector<std::string> lines() {
        std::ostringstream head;
        head << std::hex << dword() << ' ' << dword() << std::dec << ' ';
        const uint16_t count = word();
        head << count << ' ' << rect() << ' ' << name() << ' ' << name() << ' ' << text(word())
             << ' ' << word() << ' ' << text(word());
        std::vector<std::string> out = {head.str()};
        for (uint16_t i = 0; i < count; ++i) {
            while (at % 4 && at < b.size())
                EXPECT_EQ(b[at++], 0) << "padding before item " << i;
            std::ostringstream item;
            item << std::hex << dword() << ' ' << dword() << std::dec << ' ' << rect() << ' '
                 << std::hex << word() << std::dec << ' ' << name() << ' ' << name() << ' ';
            const uint16_t extra = word();
            item << extra;
            at += extra;
            out.push_back(item.str());
        }
        EXPECT_EQ(at, b.size()) << "the block holds exactly the template";
        return out;
    }
    uint16_t word() {
        at += 2;
        return at <= b.size() ? uint16_t(b[at - 2] | b[at - 1] << 8) : 0;
    }
    uint32_t dword() { return word() | uint32_t(word()) << 16; }
    std::string rect() {
        std::ostringstream r;
        r << int16_t(word()) << ',' << int16_t(word()) << ',' << int16_t(word()) << ','
          << int16_t(word());
        return r.str();
    }
    // A UTF-16 text from `unit` up to its terminator, as UTF-8 in quotes (the box's texts
    // stay below U+0800).
    std::string text(uint16_t unit) {
        std::string s = "'";
        for (; unit; unit = word())
            s += unit < 0x80 ? std::string(1, char(unit))
                             : std::string{char(0xC0 | unit >> 6), char(0x80 | (unit & 0x3F))};
        return s + "'";
    }
    std::string name() {
        const uint16_t first = word();
        return first == 0xFFFF ? "#" + std::to_string(word()) : text(first);
    }
};

std::vector<std::string> shown() {
    EXPECT_EQ(ShowAboutBox(&program, &owner_window, 114, "orxload"), 1);
    EXPECT_EQ(world.dialog_runs, 1);
    EXPECT_TRUE(world.boxes.empty());
    return Reader{world.dialog}.lines();
}

// Texts of every length modulo 4 move the padding before each item, and an empty text is
// a conversion of one unit. A file name of 255 characters is the longest read.
TEST(AboutBox, EnglishTemplateForAnyTextLength) {
    const struct {
        size_t description, copyright, file;
    } cases[] = {{17, 33, 9}, {0, 0, 9},         {1, 1, 9},    {2, 2, 9},
                 {3, 3, 9},   {4093, 4094, 255}, {70001, 5, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.description) + "/" + std::to_string(c.copyright));
        std::string description(c.description, 'd'), copyright(c.copyright, 'c');
        fresh().values[block + "FileDescription"] = description;
        world.values[block + "LegalCopyright"] = copyright;
        world.file = std::string(c.file, 'f');
        EXPECT_EQ(
            shown(),
            (std::vector<std::string>{
                "90c800c0 0 6 0,0,300,200 '' '' 'About' 8 'MS Sans Serif'",
                "50000003 1 5,5,20,20 ffff #130 #114 0",
                "50000000 0 45,5,250,18 ffff #130 '" + description + "\nVersion: 3.5.259.' 0",
                "50000000 0 45,26,250,9 ffff #130 '" + copyright + "' 0",
                "50810017 1 5,38,290,112 2710 'SysTreeView32' '' 0",
                "50001000 0 5,155,240,42 ffff #130 '" + std::string(about_english.warning) + "' 0",
                "50010001 0 250,182,45,15 1 #128 '&OK' 0"}));
    }
}

// Whatever the dialog ends with, 0 included, is its result and no failure; a failure is
// told in one box, and nothing is converted after a conversion that could not be counted.
// Russian needs code page 1251 both installed and as the ANSI code page through which the
// texts are converted (elsewhere they would come out as Latin-1 letters); the enumeration
// stops at the match.
TEST(AboutBox, FailuresAreToldInTheBoxLanguage) {
    struct Case {
        std::string what;
        std::function<void()> spoil;
        const char* AboutTexts::*message; // nullptr: no failure
        int dialog_runs;
    };
    const auto version_error = &AboutTexts::version_info_error;
    std::vector<Case> cases = {
        {"closed with 0", [] { world.dialog_result = 0; }, nullptr, 1},
        {"a file name too long", [] { world.file = std::string(256, 'f'); }, version_error, 0},
        {"no version resource", [] { world.values.clear(); }, version_error, 0},
        {"unreadable resource", [] { world.info_fails = true; }, version_error, 0},
        {"dialog cannot run", [] { world.dialog_result = -1; }, &AboutTexts::memory_error, 1},
    };
    for (const char* name : {"LegalCopyright", "FileDescription", "FileVersion"})
        cases.push_back({std::string("no ") + name, [name] { world.values.erase(block + name); },
                         version_error, 0});
    // Every text is converted twice (counted, then written): each call fails in turn.
    for (long call = 0; call < 14; ++call)
        cases.push_back({"conversion " + std::to_string(call),
                         [call] { world.fail_conversion = call; }, &AboutTexts::memory_error, 0});

    const struct {
        std::vector<std::string> installed;
        int ansi, visited;
        bool russian;
    } locales[] = {
        {{"437", "850", "1252"}, 1252, 3, false},          {{"437", "1251", "1252"}, 1251, 2, true},
        {{"437", "1251", "1252"}, 1252, 2, false},         {{"1251"}, 1251, 1, true},
        {{"437", "12510", "125", "1252"}, 1251, 4, false}, {{}, 1251, 0, false},
    };
    for (const Case& c : cases) {
        for (const auto& locale : locales) {
            SCOPED_TRACE(c.what + " " + std::to_string(locale.visited) + " " +
                         std::to_string(locale.ansi));
            fresh().code_pages = locale.installed;
            world.ansi = locale.ansi;
            c.spoil();
            const AboutTexts& texts = locale.russian ? about_russian : about_english;
            EXPECT_EQ(ShowAboutBox(&program, &owner_window, 114, nullptr),
                      c.message ? -1 : world.dialog_result);
            EXPECT_EQ(world.dialog_runs, c.dialog_runs);
            EXPECT_EQ(world.boxes, c.message
                                       ? std::vector<std::string>{std::string(texts.*c.message) +
                                                                  "|" + texts.caption}
                                       : std::vector<std::string>{});
            EXPECT_EQ(world.visited, locale.visited);
            if (world.fail_conversion >= 0) {
                EXPECT_EQ(world.conversions, 14 - (world.fail_conversion + 1) % 2);
            }
            if (!c.message) {
                EXPECT_NE(Reader{world.dialog}.lines()[0].find(locale.russian ? "'О программе'"
                                                                              : "'About'"),
                          std::string::npos);
            }
        }
    }
}

} // namespace
