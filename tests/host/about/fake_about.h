// A recorded world for the About box's native tests: installed code pages, an ANSI code
// page (1251 or 1252) with switchable conversion failures, modules with version strings,
// message boxes, and the dialog run with the template it was given.
#ifndef ORX_TESTS_FAKE_ABOUT_H
#define ORX_TESTS_FAKE_ABOUT_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct AboutBoxShown {
    void* owner;
    std::string text, caption;
};

struct FakeAboutWorld {
    std::vector<std::string> code_pages = {"437", "850", "1252"};
    int code_pages_visited = 0;
    int ansi_code_page = 1252;
    long conversions = 0;
    long fail_conversion = -1; // the conversion call with this index fails (0 = the first)

    // Module handle -> file name; file name -> version values by query path.
    std::map<void*, std::string> module_files;
    std::map<std::string, std::map<std::string, std::string>> version_values;
    bool version_info_fails = false;

    std::vector<AboutBoxShown> boxes;

    int dialog_result = 1;
    int dialog_runs = 0;
    std::vector<uint8_t> dialog_template;
    void* dialog_instance = nullptr;
    void* dialog_owner = nullptr;
    const char* dialog_product = nullptr;
};

FakeAboutWorld& about_world();
// A fresh world whose module `module` is "orxload.exe" with the program's version strings
// (and other ones in an English block, which the box must not show). The process-wide
// code-page flag goes back to the value it had when the process started, so that every
// case sees the box as the first one of a process.
void about_reset(void* module);
// The version value `name` of the Russian block of "orxload.exe".
std::string& program_value(const char* name);

#endif
