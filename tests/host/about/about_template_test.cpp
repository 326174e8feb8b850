// The in-memory dialog template, read back by an independent reader of the standard
// format and checked field by field, with alignment, padding and exact size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "about_box.h"
#include "about_texts.h"
#include "fake_about.h"

namespace {

int program_module;
void* const module = &program_module;
int owner_window;
void* const owner = &owner_window;

struct NameOrOrdinal {
    bool ordinal = false;
    uint16_t number = 0;
    std::u16string text;
};

struct Item {
    size_t offset;
    uint32_t style, ex_style;
    int16_t x, y, cx, cy;
    uint16_t id;
    NameOrOrdinal cls, text;
    uint16_t creation_data;
};

struct Template {
    uint32_t style, ex_style;
    uint16_t count;
    int16_t x, y, cx, cy;
    NameOrOrdinal menu, cls;
    std::u16string caption;
    uint16_t points;
    std::u16string font;
    std::vector<Item> items;
    size_t end;
};

// Reads DLGTEMPLATE with DS_SETFONT and its DLGITEMTEMPLATEs; every read is checked
// against the block's end, and the bytes skipped for alignment must be zero.
class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& b) : bytes(b) {}

    Template read() {
        Template t{};
        t.style = dword();
        t.ex_style = dword();
        t.count = word();
        t.x = int16_t(word());
        t.y = int16_t(word());
        t.cx = int16_t(word());
        t.cy = int16_t(word());
        t.menu = name_or_ordinal();
        t.cls = name_or_ordinal();
        t.caption = string();
        t.points = word();
        t.font = string();
        for (uint16_t i = 0; i < t.count && !failed; ++i) {
            align();
            Item item{};
            item.offset = at;
            item.style = dword();
            item.ex_style = dword();
            item.x = int16_t(word());
            item.y = int16_t(word());
            item.cx = int16_t(word());
            item.cy = int16_t(word());
            item.id = word();
            item.cls = name_or_ordinal();
            item.text = name_or_ordinal();
            item.creation_data = word();
            at += item.creation_data;
            t.items.push_back(item);
        }
        t.end = at;
        return t;
    }

    bool failed = false;

  private:
    uint16_t word() {
        if (at + 2 > bytes.size()) {
            failed = true;
            at = bytes.size();
            return 0;
        }
        uint16_t w = uint16_t(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return w;
    }
    uint32_t dword() {
        uint32_t low = word();
        return low | uint32_t(word()) << 16;
    }
    std::u16string string() {
        std::u16string s;
        for (uint16_t unit = word(); unit && !failed; unit = word())
            s.push_back(char16_t(unit));
        return s;
    }
    NameOrOrdinal name_or_ordinal() {
        NameOrOrdinal n;
        uint16_t first = word();
        if (first == 0xFFFF) {
            n.ordinal = true;
            n.number = word();
        } else if (first) {
            n.text.push_back(char16_t(first));
            n.text += string();
        }
        return n;
    }
    void align() {
        while (at % 4 && at < bytes.size()) {
            EXPECT_EQ(bytes[at], 0) << "padding at " << at;
            ++at;
        }
    }

    const std::vector<uint8_t>& bytes;
    size_t at = 0;
};

std::u16string ascii(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

class AboutTemplate : public ::testing::Test {
  protected:
    void SetUp() override { about_reset(module); }

    Template shown() {
        EXPECT_EQ(ShowAboutBox(module, owner, 114, nullptr), 1);
        EXPECT_EQ(about_world().dialog_runs, 1);
        EXPECT_TRUE(about_world().boxes.empty());
        Reader reader(about_world().dialog_template);
        Template t = reader.read();
        EXPECT_FALSE(reader.failed) << "the template runs past its block";
        EXPECT_EQ(t.end, about_world().dialog_template.size()) << "block not sized to the template";
        return t;
    }
    void set_description(const std::string& text) {
        about_world()
            .version_values["C:\\orx\\orxload.exe"]["\\StringFileInfo\\041904B0\\FileDescription"] =
            text;
    }
};

struct Expected {
    uint32_t style, ex_style;
    int16_t x, y, cx, cy;
    uint16_t id;
    uint16_t class_ordinal; // 0: "SysTreeView32"
};

const Expected expected_items[] = {
    {0x50000003, 1, 5, 5, 20, 20, 0xFFFF, 0x0082},    // icon
    {0x50000000, 0, 45, 5, 250, 18, 0xFFFF, 0x0082},  // description
    {0x50000000, 0, 45, 26, 250, 9, 0xFFFF, 0x0082},  // copyright
    {0x50810017, 1, 5, 38, 290, 112, 10000, 0},       // component tree
    {0x50001000, 0, 5, 155, 240, 42, 0xFFFF, 0x0082}, // legal warning
    {0x50010001, 0, 250, 182, 45, 15, 1, 0x0080},     // OK
};

TEST_F(AboutTemplate, EnglishBoxHasTheDialogAndItsSixItems) {
    Template t = shown();
    EXPECT_EQ(t.style, 0x90C800C0u);
    EXPECT_EQ(t.ex_style, 0u);
    EXPECT_EQ(t.count, 6);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 300);
    EXPECT_EQ(t.cy, 200);
    EXPECT_TRUE(!t.menu.ordinal && t.menu.text.empty());
    EXPECT_TRUE(!t.cls.ordinal && t.cls.text.empty());
    EXPECT_EQ(t.caption, u"About");
    EXPECT_EQ(t.points, 8);
    EXPECT_EQ(t.font, u"MS Sans Serif");

    ASSERT_EQ(t.items.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const Item& item = t.items[i];
        const Expected& e = expected_items[i];
        EXPECT_EQ(item.offset % 4, 0u);
        EXPECT_EQ(item.style, e.style);
        EXPECT_EQ(item.ex_style, e.ex_style);
        EXPECT_EQ(item.x, e.x);
        EXPECT_EQ(item.y, e.y);
        EXPECT_EQ(item.cx, e.cx);
        EXPECT_EQ(item.cy, e.cy);
        EXPECT_EQ(item.id, e.id);
        if (e.class_ordinal) {
            EXPECT_TRUE(item.cls.ordinal);
            EXPECT_EQ(item.cls.number, e.class_ordinal);
        } else {
            EXPECT_EQ(item.cls.text, u"SysTreeView32");
        }
        EXPECT_EQ(item.creation_data, 0);
    }
    EXPECT_TRUE(t.items[0].text.ordinal);
    EXPECT_EQ(t.items[0].text.number, 114);
    EXPECT_EQ(t.items[1].text.text, u"ORVEXA key loader\nVersion: 3.5.259.");
    EXPECT_EQ(t.items[2].text.text, u"Copyright (C) ORX toolkit authors");
    EXPECT_TRUE(!t.items[3].text.ordinal && t.items[3].text.text.empty());
    EXPECT_EQ(t.items[4].text.text, ascii(about_english.warning));
    EXPECT_EQ(t.items[5].text.text, u"&OK");
}

TEST_F(AboutTemplate, RussianTextsWhenCodePage1251IsInstalled) {
    about_world().code_pages = {"437", "1251", "1252"};
    about_world().ansi_code_page = 1251;
    Template t = shown();
    EXPECT_EQ(t.caption, u"О программе");
    EXPECT_EQ(t.items[1].text.text, u"ORVEXA key loader\nВерсия: 3.5.259.");
    EXPECT_EQ(t.items[4].text.text.substr(0, 14), u"Эта программа ");
    EXPECT_EQ(t.items[5].text.text, u"&OK");
    // The enumeration stops at the match.
    EXPECT_EQ(about_world().code_pages_visited, (std::vector<std::string>{"437", "1251"}));
}

// Code page 1251 installed but a Western ANSI code page: the Russian texts would come out
// as Latin-1 letters, so the box speaks English.
TEST_F(AboutTemplate, EnglishWhereTheAnsiCodePageIsNot1251) {
    about_world().code_pages = {"1251", "1252"};
    about_world().ansi_code_page = 1252;
    Template t = shown();
    EXPECT_EQ(t.caption, u"About");
}

// Long version strings of every length modulo 4 move the padding before each item; the
// block must hold exactly the template, whatever the old estimate from text lengths says.
TEST_F(AboutTemplate, BlockFitsTheTemplateForAnyTextLength) {
    for (size_t length : {0u, 1u, 2u, 3u, 4u, 5u, 4093u, 4094u, 70001u}) {
        SCOPED_TRACE(length);
        about_reset(module);
        std::string description(length, 'd');
        set_description(description);
        Template t = shown();
        ASSERT_EQ(t.items.size(), 6u);
        EXPECT_EQ(t.items[1].text.text, ascii(description + "\nVersion: 3.5.259."));
        EXPECT_EQ(t.items[5].text.text, u"&OK");
        for (const Item& item : t.items)
            EXPECT_EQ(item.offset % 4, 0u);
    }
}

TEST_F(AboutTemplate, FailedConversionReportsLowMemoryAndRunsNoDialog) {
    // Every text is converted twice (counted, then written): fail each call in turn.
    for (long failing = 0; failing < 14; ++failing) {
        SCOPED_TRACE(failing);
        about_reset(module);
        about_world().fail_conversion = failing;
        EXPECT_EQ(ShowAboutBox(module, owner, 114, nullptr), -1);
        EXPECT_EQ(about_world().dialog_runs, 0);
        ASSERT_EQ(about_world().boxes.size(), 1u);
        EXPECT_EQ(about_world().boxes[0].owner, owner);
        EXPECT_EQ(about_world().boxes[0].text, "Error: low memory.");
        EXPECT_EQ(about_world().boxes[0].caption, "About");
    }
}

} // namespace
