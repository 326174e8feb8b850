// The dialog the box runs, read back from its in-memory template by an independent reader
// of the standard format: layout, texts, language, alignment and exact size.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "about_box.h"
#include "about_texts.h"
#include "fake_about.h"

namespace {

int program_module;
void* const module = &program_module;

// Reads DLGTEMPLATE (with a font) and its DLGITEMTEMPLATEs into one line each: styles in
// hex, the rectangle, the id, class and text as 'name' or #ordinal, the creation data size.
// Every read stays inside the block, and the bytes skipped for alignment must be zero.
class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& b) : bytes(b) {}

    std::vector<std::string> lines() {
        std::vector<std::string> out;
        std::ostringstream head;
        uint16_t count = 0;
        head << std::hex << dword() << ' ' << dword() << std::dec << ' ' << (count = word()) << ' '
             << rect() << ' ' << name() << ' ' << name() << ' ' << quoted() << ' ' << word() << ' '
             << quoted();
        out.push_back(head.str());
        for (uint16_t i = 0; i < count && !failed; ++i) {
            while (at % 4 && at < bytes.size())
                EXPECT_EQ(bytes[at++], 0) << "padding before item " << i;
            std::ostringstream item;
            uint16_t extra = 0;
            item << std::hex << dword() << ' ' << dword() << std::dec << ' ' << rect() << ' '
                 << std::hex << word() << std::dec << ' ' << name() << ' ' << name() << ' '
                 << (extra = word());
            at += extra;
            out.push_back(item.str());
        }
        EXPECT_FALSE(failed) << "the template runs past its block";
        EXPECT_EQ(at, bytes.size()) << "block not sized to the template";
        return out;
    }

  private:
    uint16_t word() {
        if (at + 2 > bytes.size()) {
            failed = true;
            at = bytes.size();
            return 0;
        }
        at += 2;
        return uint16_t(bytes[at - 2] | bytes[at - 1] << 8);
    }
    uint32_t dword() {
        uint32_t low = word();
        return low | uint32_t(word()) << 16;
    }
    std::string rect() {
        std::ostringstream r;
        r << int16_t(word()) << ',' << int16_t(word()) << ',' << int16_t(word()) << ','
          << int16_t(word());
        return r.str();
    }
    // A UTF-16 text from `unit` up to its terminator, as UTF-8 in quotes.
    std::string quoted() { return quoted_from(word()); }
    std::string quoted_from(uint16_t unit) {
        std::string s = "'";
        for (; unit && !failed; unit = word()) {
            if (unit < 0x80) {
                s += char(unit);
            } else { // the box's texts stay below U+0800
                s += char(0xC0 | unit >> 6);
                s += char(0x80 | (unit & 0x3F));
            }
        }
        return s + "'";
    }
    std::string name() {
        uint16_t first = word();
        if (first == 0xFFFF)
            return "#" + std::to_string(word());
        return quoted_from(first);
    }

    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    bool failed = false;
};

// The English box with the given description and copyright.
std::vector<std::string> english_layout(const std::string& description,
                                        const std::string& copyright) {
    return {
        "90c800c0 0 6 0,0,300,200 '' '' 'About' 8 'MS Sans Serif'",
        "50000003 1 5,5,20,20 ffff #130 #114 0",
        "50000000 0 45,5,250,18 ffff #130 '" + description + "\nVersion: 3.5.259.' 0",
        "50000000 0 45,26,250,9 ffff #130 '" + copyright + "' 0",
        "50810017 1 5,38,290,112 2710 'SysTreeView32' '' 0",
        "50001000 0 5,155,240,42 ffff #130 '" + std::string(about_english.warning) + "' 0",
        "50010001 0 250,182,45,15 1 #128 '&OK' 0",
    };
}

class AboutTemplate : public ::testing::Test {
  protected:
    void SetUp() override { about_reset(module); }

    std::vector<std::string> shown() {
        EXPECT_EQ(ShowAboutBox(module, nullptr, 114, nullptr), 1);
        EXPECT_EQ(about_world().dialog_runs, 1);
        EXPECT_TRUE(about_world().boxes.empty());
        return Reader(about_world().dialog_template).lines();
    }
};

// Texts of every length modulo 4 move the padding before each item, and an empty text is
// a conversion of one unit; the block must hold exactly the template.
TEST_F(AboutTemplate, EnglishBoxForAnyTextLength) {
    const struct {
        size_t description, copyright;
    } cases[] = {{17, 33}, {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4093, 4094}, {70001, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.description) + "/" + std::to_string(c.copyright));
        about_reset(module);
        std::string description(c.description, 'd'), copyright(c.copyright, 'c');
        program_value("FileDescription") = description;
        program_value("LegalCopyright") = copyright;
        EXPECT_EQ(shown(), english_layout(description, copyright));
    }
}

// Russian needs code page 1251 both installed and as the ANSI code page through which the
// texts are converted (elsewhere they would come out as Latin-1 letters); the enumeration
// stops at the match.
TEST_F(AboutTemplate, LanguageFollowsTheCodePages) {
    const struct {
        std::vector<std::string> installed;
        int ansi;
        int visited;
        const char *caption, *version, *warning;
    } cases[] = {
        {{"437", "1251", "1252"}, 1251, 2, "О программе", "Версия: ", "Эта программа "},
        {{"1251"}, 1251, 1, "О программе", "Версия: ", "Эта программа "},
        {{"437", "1251", "1252"}, 1252, 2, "About", "Version: ", "This program "},
        {{"437", "12510", "125", "1252"}, 1251, 4, "About", "Version: ", "This program "},
        {{}, 1251, 0, "About", "Version: ", "This program "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption + std::string(" ") + std::to_string(c.visited));
        about_reset(module);
        about_world().code_pages = c.installed;
        about_world().ansi_code_page = c.ansi;
        std::vector<std::string> lines = shown();
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_NE(lines[0].find(std::string(" '") + c.caption + "' "), std::string::npos);
        EXPECT_NE(lines[2].find(std::string("'ORVEXA key loader\n") + c.version + "3.5.259.'"),
                  std::string::npos);
        EXPECT_NE(lines[5].find(std::string("'") + c.warning), std::string::npos);
        EXPECT_EQ(about_world().code_pages_visited, c.visited);
    }
}

} // namespace
