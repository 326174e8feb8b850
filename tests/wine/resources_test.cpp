// Every text the loader shows from its resources, read back from the built binaries and
// compared with one golden file (resources.golden, UTF-8): the message table, main dialog
// 101 (a DIALOG template: controls, their kinds and start states), menu 109, icon 114 and
// the "041904B0" version strings the About box reads. orxload.exe carries both languages;
// the language modules res409.dll and res419.dll carry one each and must load as plain
// modules. A resource script compiled with the wrong source code page (the usual way
// Russian text gets garbled) differs from the golden text.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

namespace {

std::string utf8(const WORD* text, int units) {
    char out[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text), units, out,
                        sizeof out - 1, nullptr, nullptr);
    return out;
}

// Reads words and sz_Or_Ord fields (a UTF-16 string, or 0xFFFF and an ordinal "#n").
struct Reader {
    const WORD* p;
    WORD word() { return *p++; }
    DWORD dword() { return word() | DWORD(word()) << 16; }
    std::string text() {
        if (*p == 0xFFFF)
            return "#" + std::to_string((p += 2)[-1]);
        int units = int(wcslen(reinterpret_cast<const wchar_t*>(p)));
        p += units + 1;
        return utf8(p - units - 1, units);
    }
};

const WORD* find(HMODULE m, LPCSTR type, int id, WORD lang) {
    HRSRC r = FindResourceExA(m, type, MAKEINTRESOURCEA(id), lang);
    return r ? static_cast<const WORD*>(LockResource(LoadResource(m, r))) : nullptr;
}

// A plain DIALOG template with a font: its frame, then each control in template order, with
// its start state and its whole style (the kinds the loader relies on: a drop-down list it
// fills itself, an unsorted list box it scrolls both ways).
void dump_dialog(Reader r, std::ostream& out) {
    const DWORD style = r.dword();
    r.dword(); // extended style
    const int count = r.word();
    r.p += 2; // x, y
    out << "dialog " << r.word() << "x" << r.word() << " menu " << r.text();
    r.text(); // class
    out << " caption \"" << r.text() << "\" font " << r.word() << " \"" << r.text() << "\" style "
        << std::hex << style << std::dec << "\n";
    for (int i = 0; i < count; ++i) {
        r.p += (reinterpret_cast<uintptr_t>(r.p) & 2) / 2; // each item DWORD-aligned
        const DWORD item = r.dword();
        r.p += 2 + 4; // extended style, x, y, cx, cy
        const int id = r.word();
        const std::string cls = r.text(); // windres writes the class names, not atoms
        out << "control " << id << " " << cls << (item & WS_VISIBLE ? " visible" : " hidden")
            << (item & WS_DISABLED ? " disabled" : "") << " style " << std::hex << item << std::dec
            << " \"" << r.text() << "\"\n";
        r.p += (r.word() + 1) / 2; // creation data
    }
}

// A plain MENU template: one line per item, indented by depth; popup or command id.
void dump_menu(Reader& r, int depth, std::ostream& out) {
    for (WORD flags_word = 0; !(flags_word & MF_END);) {
        flags_word = r.word();
        out << "menu " << std::string(size_t(2 * depth), ' ');
        out << (flags_word & MF_POPUP ? "popup" : std::to_string(r.word()))
            << (flags_word & MF_GRAYED ? " grayed" : "")
            << (flags_word & MF_CHECKED ? " checked" : "") << " \"" << r.text() << "\"\n";
        if (flags_word & MF_POPUP)
            dump_menu(r, depth + 1, out);
    }
}

// Everything the loader shows from the module in one language, one line per item; the
// program is loaded as data, a language module as the loader loads it (plain LoadLibrary).
std::string dump(const std::string& path, WORD lang, bool program) {
    HMODULE m = program ? LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)
                        : LoadLibraryA(path.c_str());
    EXPECT_NE(m, nullptr) << path << " error " << GetLastError();
    std::ostringstream out;
    out << (lang == 0x409 ? "[en]\n" : "[ru]\n");
    for (int block = 1; m && block <= 256; ++block) { // 16 strings per block
        Reader r{find(m, RT_STRING, block, lang)};
        for (int i = 0; r.p && i < 16; ++i) {
            const WORD units = r.word();
            if (units)
                out << "string " << (block - 1) * 16 + i << " \"" << utf8(r.p, units) << "\"\n";
            r.p += units;
        }
    }
    if (const WORD* d = m ? find(m, RT_DIALOG, 101, lang) : nullptr)
        dump_dialog(Reader{d}, out);
    if (const WORD* p = m ? find(m, RT_MENU, 109, lang) : nullptr) {
        Reader r{p};
        out << "menu template " << r.dword() << "\n"; // plain MENU: version 0
        dump_menu(r, 0, out);
    }
    out << "icon 114 "
        << (m && FindResourceA(m, MAKEINTRESOURCEA(114), RT_GROUP_ICON) ? "yes" : "no") << "\n";
    FreeLibrary(m);
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), nullptr) + 1);
    GetFileVersionInfoA(path.c_str(), 0, DWORD(info.size()), info.data());
    for (std::string name : {"FileDescription", "FileVersion", "LegalCopyright"}) {
        char* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(info.data(), ("\\StringFileInfo\\041904B0\\" + name).c_str(),
                           reinterpret_cast<void**>(&value), &length))
            out << "version " << name << " \"" << value << "\"\n";
    }
    return out.str();
}

} // namespace

// The language modules res409.dll and res419.dll, then orxload.exe in both languages; each
// dump is left beside the modules, to be compared with the golden file line by line.
TEST(Resources, EveryTextMatchesTheGoldenFile) {
    std::ifstream in(ORX_RESOURCES_GOLDEN);
    std::string line, golden;
    while (std::getline(in, line))
        golden += line[0] == '#' ? "" : line + "\n"; // the golden file's comments left out
    char program[MAX_PATH];
    std::string folder(program, GetModuleFileNameA(nullptr, program, MAX_PATH));
    folder.erase(folder.find_last_of('\\') + 1);
    for (bool program : {false, true}) {
        std::string text, name = program ? "orxload.exe" : "res4xx.dll";
        for (const char* lang : {"409", "419"})
            text += dump(folder + (program ? name : "res" + std::string(lang) + ".dll"),
                         WORD(std::stoi(lang, nullptr, 16)), program);
        std::ofstream(folder + name + ".dump", std::ios::binary) << text;
        EXPECT_TRUE(text == golden) << name << " differs from " << ORX_RESOURCES_GOLDEN
                                    << "; its texts are in " << folder << name << ".dump";
    }
}
