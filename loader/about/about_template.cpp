#include "about_template.h"

#include <stddef.h>

#include "about_platform.h"

namespace {

const char* const font_name = "MS Sans Serif";
const uint16_t font_points = 8;

const uint32_t dialog_style = 0x90C800C0; // popup, visible, caption, system menu,
                                          // modal frame, font given
const int16_t dialog_width = 300, dialog_height = 200;

const uint16_t class_button = 0x0080, class_static = 0x0082;
const uint32_t ex_modal_frame = 0x00000001;

enum ItemText { TEXT_ICON, TEXT_DESCRIPTION, TEXT_COPYRIGHT, TEXT_NONE, TEXT_WARNING, TEXT_OK };

struct ItemLayout {
    uint16_t class_ordinal; // 0: the class is named by class_name
    const char* class_name;
    uint32_t style, ex_style;
    int16_t x, y, cx, cy;
    uint16_t id;
    ItemText text;
};

const ItemLayout items[] = {
    {class_static, nullptr, 0x50000003, ex_modal_frame, 5, 5, 20, 20, 0xFFFF, TEXT_ICON},
    {class_static, nullptr, 0x50000000, 0, 45, 5, 250, 18, 0xFFFF, TEXT_DESCRIPTION},
    {class_static, nullptr, 0x50000000, 0, 45, 26, 250, 9, 0xFFFF, TEXT_COPYRIGHT},
    {0, "SysTreeView32", 0x50810017, ex_modal_frame, 5, 38, 290, 112, ABOUT_TREE_ID, TEXT_NONE},
    {class_static, nullptr, 0x50001000, 0, 5, 155, 240, 42, 0xFFFF, TEXT_WARNING},
    {class_button, nullptr, 0x50010001, 0, 250, 182, 45, 15, 1, TEXT_OK},
};

// Appends little-endian words and converted texts; the block grows with what is written,
// so no text length can outrun it.
struct Writer {
    std::vector<uint8_t>* out;
    bool ok = true;

    void word(uint16_t value) {
        out->push_back(uint8_t(value));
        out->push_back(uint8_t(value >> 8));
    }
    void dword(uint32_t value) {
        word(uint16_t(value));
        word(uint16_t(value >> 16));
    }
    void align4() {
        while (out->size() % 4)
            out->push_back(0);
    }
    void ordinal(uint16_t value) {
        word(0xFFFF);
        word(value);
    }
    void text(const char* ansi) {
        int units = ap_ansi_to_utf16(ansi, nullptr, 0);
        if (units <= 0) {
            ok = false;
            return;
        }
        std::vector<uint16_t> wide(size_t(units), 0);
        int written = ap_ansi_to_utf16(ansi, wide.data(), units);
        if (written <= 0 || written > units) {
            ok = false;
            return;
        }
        wide.resize(size_t(written));
        if (wide.back() != 0)
            wide.push_back(0);
        for (uint16_t unit : wide)
            word(unit);
    }
};

const char* text_of(ItemText which, const AboutTemplateTexts& texts) {
    switch (which) {
    case TEXT_DESCRIPTION:
        return texts.description;
    case TEXT_COPYRIGHT:
        return texts.copyright;
    case TEXT_WARNING:
        return texts.warning;
    case TEXT_OK:
        return texts.ok_button;
    default:
        return nullptr;
    }
}

} // namespace

bool build_about_template(const AboutTemplateTexts& texts, uint16_t icon,
                          std::vector<uint8_t>* block) {
    block->clear();
    Writer w{block};
    const uint16_t count = sizeof items / sizeof items[0];

    w.dword(dialog_style);
    w.dword(0);
    w.word(count);
    w.word(0);
    w.word(0);
    w.word(uint16_t(dialog_width));
    w.word(uint16_t(dialog_height));
    w.word(0); // no menu
    w.word(0); // the default dialog class
    w.text(texts.caption);
    w.word(font_points);
    w.text(font_name);

    for (const ItemLayout& item : items) {
        w.align4();
        w.dword(item.style);
        w.dword(item.ex_style);
        w.word(uint16_t(item.x));
        w.word(uint16_t(item.y));
        w.word(uint16_t(item.cx));
        w.word(uint16_t(item.cy));
        w.word(item.id);
        if (item.class_ordinal)
            w.ordinal(item.class_ordinal);
        else
            w.text(item.class_name);
        if (item.text == TEXT_ICON)
            w.ordinal(icon);
        else if (item.text == TEXT_NONE)
            w.word(0);
        else
            w.text(text_of(item.text, texts));
        w.word(0); // no creation data
    }
    return w.ok;
}
