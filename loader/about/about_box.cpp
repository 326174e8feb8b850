#include "about_box.h"

#include <string.h>

#include <vector>

#include "about_platform.h"
#include "about_template.h"
#include "about_texts.h"

namespace {

const char* const version_block = "\\StringFileInfo\\041904B0\\";

bool query_version_string(const std::vector<uint8_t>& info, const char* name, std::string* value) {
    std::string path = std::string(version_block) + name;
    const char* text = nullptr;
    uint32_t length = 0;
    if (!ap_version_query(info.data(), path.c_str(), &text, &length) || !text)
        return false;
    value->assign(text, strnlen(text, length));
    return true;
}

} // namespace

bool read_version_strings(void* module, VersionStrings* strings) {
    char file[256];
    if (!ap_module_file_name(module, file, sizeof file))
        return false;
    file[sizeof file - 1] = '\0';
    uint32_t size = ap_version_info_size(file);
    if (!size)
        return false;
    std::vector<uint8_t> info(size);
    if (!ap_version_info(file, size, info.data()))
        return false;
    return query_version_string(info, "LegalCopyright", &strings->copyright) &&
           query_version_string(info, "FileDescription", &strings->description) &&
           query_version_string(info, "FileVersion", &strings->version);
}

std::string format_description(const std::string& description, const char* version_label,
                               const std::string& version) {
    return description + "\n" + version_label + version + ".";
}

int ShowAboutBox(void* instance, void* owner, uint16_t icon, const char* product) {
    note_installed_code_pages();
    const AboutTexts& texts = about_texts();

    VersionStrings version;
    if (!read_version_strings(instance, &version)) {
        ap_message_box(owner, texts.version_info_error, texts.caption);
        return -1;
    }
    std::string description =
        format_description(version.description, texts.version_label, version.version);

    std::vector<uint8_t> block;
    AboutTemplateTexts template_texts = {texts.caption, description.c_str(),
                                         version.copyright.c_str(), texts.warning, texts.ok_button};
    if (!build_about_template(template_texts, icon, &block)) {
        ap_message_box(owner, texts.memory_error, texts.caption);
        return -1;
    }

    int result = ap_run_dialog(instance, block.data(), uint32_t(block.size()), owner, product);
    if (result < 0)
        ap_message_box(owner, texts.memory_error, texts.caption);
    return result;
}
