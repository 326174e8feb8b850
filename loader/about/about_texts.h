// The About box's texts in English and Russian (code page 1251), the choice between them,
// and the built-in support contacts.
#ifndef ORX_LOADER_ABOUT_TEXTS_H
#define ORX_LOADER_ABOUT_TEXTS_H

struct AboutTexts {
    const char* caption; // also the title of the box's error messages
    const char* version_label;
    const char* support_group;
    const char* email_label;
    const char* phone_label;
    const char* web_label;
    const char* version_info_error;
    const char* registry_error;
    const char* memory_error;
    const char* warning; // the legal warning at the bottom of the box
    const char* ok_button;
};

extern const AboutTexts about_english;
extern const AboutTexts about_russian;

// Set once an installed code page 1251 has been seen; never reset.
extern int Cp1251Installed;

// Looks through the installed code pages for 1251.
void note_installed_code_pages(void);
// The enumeration's visitor: 0 (stop) once "1251" is met, otherwise 1.
int about_code_page_seen(const char* code_page);
// Russian when code page 1251 is installed, English otherwise.
const AboutTexts& about_texts(void);

// Support contacts shown when the registry gives none.
extern const char* const about_default_email;
extern const char* const about_default_phone;
extern const char* const about_default_web;

#endif
