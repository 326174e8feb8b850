// The About box's dialog template, built in memory in the standard format (a DLGTEMPLATE
// header with caption and font, then six DLGITEMTEMPLATE items, each on a 4-byte boundary).
#ifndef ORX_LOADER_ABOUT_TEMPLATE_H
#define ORX_LOADER_ABOUT_TEMPLATE_H

#include <stdint.h>

#include <vector>

enum { ABOUT_TREE_ID = 10000 };

struct AboutTemplateTexts {
    const char* caption;
    const char* description;
    const char* copyright;
    const char* warning;
    const char* ok_button;
};

// Writes the template into `block`, which grows to exactly the bytes written. Every text
// goes through the ANSI code page; false when a conversion fails.
bool build_about_template(const AboutTemplateTexts& texts, uint16_t icon,
                          std::vector<uint8_t>* block);

#endif
