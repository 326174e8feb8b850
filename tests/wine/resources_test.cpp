// Every text the loader shows from its resources, read back from the built binaries and
// compared with one golden file (resources.golden, UTF-8): the message table, main dialog
// 101 (controls, their kinds and start states), menu 109, icon 114 and the "041904B0"
// version strings the About box reads. orxload.exe carries both languages; the language
// modules res409.dll and res419.dll carry one each and must load as plain modules.
//
// A resource script compiled with the wrong source code page (the usual way Russian text
// gets garbled) differs from the golden text. On a difference the test leaves the dump
// beside the module, ready to be compared with the golden file line by line.

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const WCHAR* s, int n) {
    int k = WideCharToMultiByte(CP_UTF8, 0, s, n, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(k > 0 ? k : 0), '\0');
    if (k > 0)
        WideCharToMultiByte(CP_UTF8, 0, s, n, &out[0], k, nullptr, nullptr);
    return out;
}

// Reads the words and zero-terminated UTF-16 strings of resource templates.
struct Reader {
    const BYTE* p;
    WORD Word() {
        WORD w;
        std::memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d;
        std::memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    std::string Sz() {
        const WCHAR* s = reinterpret_cast<const WCHAR*>(p);
        int n = 0;
        while (s[n])
            ++n;
        p += 2 * (n + 1);
        return Utf8(s, n);
    }
    // sz_Or_Ord: a string, or 0xFFFF and an ordinal (written "#n").
    std::string SzOrOrd() {
        if (p[0] == 0xFF && p[1] == 0xFF) {
            p += 2;
            return "#" + std::to_string(Word());
        }
        return Sz();
    }
    void Align4(const BYTE* base) { p += (4 - (p - base) % 4) % 4; }
};

// The names of the set style bits from `names`, each preceded by a space.
std::string Flags(DWORD style, std::initializer_list<std::pair<DWORD, const char*>> names) {
    std::string out;
    for (const auto& n : names)
        if ((style & n.first) == n.first)
            out += std::string(" ") + n.second;
    return out;
}

// A control's class in lower case, the predefined ones given by atom or by name alike.
std::string ClassName(std::string cls) {
    static const char* const atoms[] = {"button",  "edit",      "static",
                                        "listbox", "scrollbar", "combobox"};
    for (int i = 0; i < 6; ++i)
        if (cls == "#" + std::to_string(0x80 + i))
            return atoms[i];
    for (char& c : cls)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return cls;
}

// DLGTEMPLATE or DLGTEMPLATEEX, whichever the resource compiler produced.
void DumpDialog(const BYTE* base, std::ostream& out) {
    Reader r{base};
    const bool ex = reinterpret_cast<const WORD*>(base)[1] == 0xFFFF;
    DWORD style;
    if (ex) {
        r.p += 12; // version, signature, help id, extended style
        style = r.Dword();
    } else {
        style = r.Dword();
        r.Dword(); // extended style
    }
    const int count = r.Word();
    r.p += 4; // x, y
    const int cx = r.Word(), cy = r.Word();
    out << "dialog " << cx << "x" << cy << " menu " << r.SzOrOrd();
    r.SzOrOrd(); // class
    out << " caption \"" << r.Sz() << "\"";
    if (style & DS_SETFONT) {
        out << " font " << r.Word();
        if (ex)
            r.Dword(); // weight, italic, charset
        out << " \"" << r.Sz() << "\"";
    }
    out << Flags(style, {{WS_POPUP, "popup"},
                         {WS_CAPTION, "caption"},
                         {WS_SYSMENU, "sysmenu"},
                         {WS_MINIMIZEBOX, "minimizebox"},
                         {WS_MAXIMIZEBOX, "maximizebox"},
                         {WS_THICKFRAME, "thickframe"},
                         {DS_MODALFRAME, "modalframe"},
                         {DS_CENTER, "center"}})
        << "\n";
    for (int i = 0; i < count; ++i) {
        r.Align4(base);
        DWORD item_style;
        if (ex) {
            r.p += 8; // help id, extended style
            item_style = r.Dword();
        } else {
            item_style = r.Dword();
            r.Dword();
        }
        r.p += 8; // x, y, cx, cy
        const int id = ex ? int(r.Dword()) : r.Word();
        const std::string cls = ClassName(r.SzOrOrd());
        const std::string text = r.SzOrOrd();
        r.p += r.Word(); // creation data
        out << "control " << id << " " << cls
            << ((item_style & WS_VISIBLE) ? " visible" : " hidden")
            << Flags(item_style, {{WS_DISABLED, "disabled"}});
        // The kinds the loader relies on: a drop-down list it fills itself, an unsorted
        // list box it scrolls both ways.
        if (cls == "combobox")
            out << Flags(item_style, {{CBS_DROPDOWNLIST, "dropdownlist"}, {CBS_SORT, "sort"}});
        if (cls == "listbox")
            out << Flags(item_style,
                         {{LBS_SORT, "sort"}, {WS_HSCROLL, "hscroll"}, {WS_VSCROLL, "vscroll"}});
        out << " \"" << text << "\"\n";
    }
}

// Plain MENU template: the item tree, one line per item, indented by depth.
void DumpMenuLevel(Reader& r, int depth, std::ostream& out) {
    for (;;) {
        const WORD flags = r.Word();
        out << "menu " << std::string(size_t(2 * depth), ' ');
        if (flags & MF_POPUP)
            out << "popup";
        else
            out << r.Word();
        out << Flags(flags, {{MF_GRAYED, "grayed"}, {MF_CHECKED, "checked"}}) << " \"" << r.Sz()
            << "\"\n";
        if (flags & MF_POPUP)
            DumpMenuLevel(r, depth + 1, out);
        if (flags & MF_END)
            return;
    }
}

const BYTE* Find(HMODULE m, LPCSTR type, int id, WORD lang, DWORD* size = nullptr) {
    HRSRC r = FindResourceExA(m, type, MAKEINTRESOURCEA(id), lang);
    if (!r)
        return nullptr;
    if (size)
        *size = SizeofResource(m, r);
    return static_cast<const BYTE*>(LockResource(LoadResource(m, r)));
}

// Everything the loader shows from the module in one language, one line per item.
std::string Dump(HMODULE m, const std::string& path, WORD lang) {
    std::ostringstream out;
    for (int block = 1; block <= 4096 / 16; ++block) { // 16 strings per block
        const BYTE* p = Find(m, RT_STRING, block, lang);
        if (!p)
            continue;
        const WCHAR* s = reinterpret_cast<const WCHAR*>(p);
        for (int i = 0; i < 16; ++i) {
            int n = *s++;
            if (n)
                out << "string " << (block - 1) * 16 + i << " \"" << Utf8(s, n) << "\"\n";
            s += n;
        }
    }
    if (const BYTE* d = Find(m, RT_DIALOG, 101, lang))
        DumpDialog(d, out);
    if (const BYTE* p = Find(m, RT_MENU, 109, lang)) {
        Reader r{p};
        out << "menu template " << r.Dword() << "\n"; // plain MENU: version 0
        DumpMenuLevel(r, 0, out);
    }
    out << "icon 114 " << (FindResourceA(m, MAKEINTRESOURCEA(114), RT_GROUP_ICON) ? "yes" : "no")
        << "\n";
    DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::vector<char> info(size);
    if (size && GetFileVersionInfoA(path.c_str(), 0, size, info.data())) {
        for (const char* name : {"FileDescription", "FileVersion", "LegalCopyright"}) {
            std::string query = std::string("\\StringFileInfo\\041904B0\\") + name;
            char* value = nullptr;
            UINT len = 0;
            if (VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &len))
                out << "version " << name << " \"" << value << "\"\n";
        }
    }
    return out.str();
}

// The golden file's section for one language ("[en]" or "[ru]").
std::string Golden(const std::string& section) {
    std::ifstream in(ORX_RESOURCES_GOLDEN);
    std::string line, text;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            inside = line == "[" + section + "]";
        else if (inside && !line.empty() && line[0] != '#')
            text += line + "\n";
    }
    return text;
}

std::string BesideThisProgram(const char* file) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + file;
}

struct Module {
    const char* file;
    WORD lang;
    const char* section;
};

void PrintTo(const Module& m, std::ostream* os) {
    *os << m.file << " [" << m.section << "]";
}

class Resources : public ::testing::TestWithParam<Module> {};

TEST_P(Resources, EveryTextMatchesTheGoldenFile) {
    const Module& m = GetParam();
    const std::string path = BesideThisProgram(m.file);
    const bool program = std::strstr(m.file, ".exe") != nullptr;
    // orxload loads its language module with a plain LoadLibrary.
    HMODULE module = program ? LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)
                             : LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << path << " error " << GetLastError();
    const std::string dump = Dump(module, path, m.lang);
    FreeLibrary(module);
    const std::string golden = Golden(m.section);
    if (golden != dump) { // left beside the test program, to compare with the golden file
        const std::string copy = BesideThisProgram(m.file) + "." + m.section + ".dump";
        std::ofstream(copy, std::ios::binary) << dump;
        ADD_FAILURE() << m.file << " [" << m.section << "] differs from " << ORX_RESOURCES_GOLDEN
                      << "; its texts are in " << copy;
    }
}

INSTANTIATE_TEST_SUITE_P(Binaries, Resources,
                         ::testing::Values(Module{"res409.dll", 0x0409, "en"},
                                           Module{"res419.dll", 0x0419, "ru"},
                                           Module{"orxload.exe", 0x0409, "en"},
                                           Module{"orxload.exe", 0x0419, "ru"}),
                         [](const ::testing::TestParamInfo<Module>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.')) + "_" + info.param.section;
                         });

} // namespace
