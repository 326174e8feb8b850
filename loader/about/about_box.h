// orxload's About box: the program's icon, description, version and copyright from the
// version resource of the module given, a legal warning, and the tree of registered
// cryptographic components. The dialog is built in memory at every call, in Russian when
// code page 1251 is installed and in English otherwise.
#ifndef ORX_LOADER_ABOUT_BOX_H
#define ORX_LOADER_ABOUT_BOX_H

#include <stdint.h>

#include <string>

// Shows the box modally over `owner`; the icon and the version strings come from
// `instance`. `product`, when given, names the program's own key under "SOFTWARE\DEZURE".
// Returns 1 once the operator has closed the box, a negative value when it could not be
// shown (the operator has been told why).
int ShowAboutBox(void* instance, void* owner, uint16_t icon, const char* product);

struct VersionStrings {
    std::string copyright;
    std::string description;
    std::string version;
};

// The "LegalCopyright", "FileDescription" and "FileVersion" strings of the module's
// version block "041904B0"; false when any of them cannot be had.
bool read_version_strings(void* module, VersionStrings* strings);

// "<description>\n<version label><version>."
std::string format_description(const std::string& description, const char* version_label,
                               const std::string& version);

#endif
