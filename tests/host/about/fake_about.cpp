#include "fake_about.h"

#include <cstring>

#include "about_platform.h"
#include "about_texts.h"

namespace {

FakeAboutWorld world;
const int cp1251_at_start = Cp1251Installed; // read before any test runs

// Code page 1251 for the Cyrillic letters, 1252 as Latin-1; the rest as ASCII.
uint16_t unit_of(unsigned char c) {
    if (c < 0x80 || world.ansi_code_page != 1251)
        return c;
    if (c >= 0xC0)
        return uint16_t(0x0410 + (c - 0xC0));
    if (c == 0xA8)
        return 0x0401;
    if (c == 0xB8)
        return 0x0451;
    return 0xFFFD;
}

const char* const program_file = "C:\\orx\\orxload.exe";

} // namespace

FakeAboutWorld& about_world() {
    return world;
}

std::string& program_value(const char* name) {
    return world.version_values[program_file][std::string("\\StringFileInfo\\041904B0\\") + name];
}

void about_reset(void* module) {
    world = FakeAboutWorld();
    Cp1251Installed = cp1251_at_start;
    world.module_files[module] = program_file;
    program_value("FileDescription") = "ORVEXA key loader";
    program_value("FileVersion") = "3.5.259";
    program_value("LegalCopyright") = "Copyright (C) ORX toolkit authors";
    auto& english = world.version_values[program_file];
    english["\\StringFileInfo\\040904B0\\FileDescription"] = "English description";
    english["\\StringFileInfo\\040904B0\\FileVersion"] = "9.9.9";
    english["\\StringFileInfo\\040904B0\\LegalCopyright"] = "English copyright";
}

uint32_t ap_ansi_code_page(void) {
    return uint32_t(world.ansi_code_page);
}

void ap_enum_installed_code_pages(ap_code_page_visitor visit) {
    for (const std::string& page : world.code_pages) {
        ++world.code_pages_visited;
        if (!visit(page.c_str()))
            return;
    }
}

int ap_ansi_to_utf16(const char* text, uint16_t* out, int room) {
    if (world.conversions++ == world.fail_conversion)
        return 0;
    int units = int(std::strlen(text)) + 1;
    if (room == 0)
        return units;
    if (room < units)
        return 0;
    for (int i = 0; i < units; ++i)
        out[i] = unit_of(static_cast<unsigned char>(text[i]));
    return units;
}

uint32_t ap_module_file_name(void* module, char* name, uint32_t size) {
    auto it = world.module_files.find(module);
    if (it == world.module_files.end() || it->second.size() + 1 > size)
        return 0;
    std::strcpy(name, it->second.c_str());
    return uint32_t(it->second.size());
}

// The version information of a file is its name; the values are looked up by it.
uint32_t ap_version_info_size(const char* file) {
    return world.version_values.count(file) ? uint32_t(std::strlen(file) + 1) : 0;
}

int ap_version_info(const char* file, uint32_t size, void* data) {
    if (world.version_info_fails || size < std::strlen(file) + 1)
        return 0;
    std::memcpy(data, file, std::strlen(file) + 1);
    return 1;
}

int ap_version_query(const void* data, const char* path, const char** text, uint32_t* length) {
    auto& values = world.version_values[static_cast<const char*>(data)];
    auto it = values.find(path);
    if (it == values.end())
        return 0;
    *text = it->second.c_str();
    *length = uint32_t(it->second.size() + 1);
    return 1;
}

void ap_message_box(void* owner, const char* text, const char* caption) {
    world.boxes.push_back({owner, text, caption});
}

int ap_run_dialog(void* instance, const void* dialog_template, uint32_t size, void* owner,
                  const char* product) {
    ++world.dialog_runs;
    const uint8_t* bytes = static_cast<const uint8_t*>(dialog_template);
    world.dialog_template.assign(bytes, bytes + size);
    world.dialog_instance = instance;
    world.dialog_owner = owner;
    world.dialog_product = product;
    return world.dialog_result;
}
