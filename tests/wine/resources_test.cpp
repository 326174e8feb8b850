// Language modules of orxload (res409.dll, res419.dll): each must load as a
// plain module and carry, in its own language, the message table, main
// dialog 101 and menu 109 with the texts the loader shows, plus icon 114 and
// the "041904B0" version strings that the About box reads from it.
//
// Texts are compared as the loader uses them: converted to code page 1251,
// so a resource script compiled with the wrong source code page (the usual
// way Russian text gets garbled) fails here byte for byte.
//
// The DLLs are looked up next to this test program first, then by plain name.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD kEnglish = 0x0409;
constexpr WORD kRussian = 0x0419;

struct Text {
    int id;
    const char* en;
    const char* ru; // code page 1251
};

const Text kMessages[] = {
    {3, "Error driver ORVEXA",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xE4\xF0\xE0\xE9\xE2\xE5\xF0\xE0 ORVEXA"}, // Ошибка драйвера ORVEXA
    {6, "Key not found", "Key not found"},
    {34, "Error reading  GK from hoarder",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xF7\xF2\xE5\xED\xE8\xE8 \xEA\xEB\xFE\xF7\xE0 GK \xF1 "
     "\xED\xEE\xF1\xE8\xF2\xE5\xEB\xFF"}, // Ошибка при чтении ключа GK с носителя
    {35, "Error reading KC from hoarder",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8  \xF7\xF2\xE5\xED\xE8\xE8 \xEA\xEB\xFE\xF7\xE0 KC \xF1 "
     "\xED\xEE\xF1\xE8\xF2\xE5\xEB\xFF"}, // Ошибка при  чтении ключа KC с носителя
    {36, "Key hoarder error",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xEE\xE1\xF0\xE0\xF9\xE5\xED\xE8\xE8 \xEA "
     "\xEA\xEB\xFE\xF7\xE5\xE2\xEE\xEC\xF3 \xF3\xF1\xF2\xF0\xEE\xE9\xF1\xF2\xE2\xF3"}, // Ошибка при
                                                                                       // обращении
                                                                                       // к
                                                                                       // ключевому
                                                                                       // устройству
    {37, "Key redefine error",
     "\xCF\xEE\xEF\xFB\xF2\xEA\xE0 \xEF\xEE\xE2\xF2\xEE\xF0\xED\xEE\xE9 "
     "\xE7\xE0\xE3\xF0\xF3\xE7\xEA\xE8 "
     "\xEA\xEB\xFE\xF7\xE0"}, // Попытка повторной загрузки ключа
    {38, "No free slots in driver ORVEXA",
     "\xC2 \xE4\xF0\xE0\xE9\xE2\xE5\xF0\xE5 ORVEXA \xED\xE5\xF2 \xE1\xEE\xEB\xFC\xF8\xE5 "
     "\xF1\xE2\xEE\xE1\xEE\xE4\xED\xFB\xF5 \xF1\xEB\xEE\xF2\xEE\xE2"}, // В драйвере ORVEXA нет
                                                                       // больше свободных слотов
    {39, "Key not set in driver ORVEXA",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE7\xE0\xE3\xF0\xF3\xE7\xEA\xE5 \xEA\xEB\xFE\xF7\xE0 "
     "\xE2 "
     "\xE4\xF0\xE0\xE9\xE2\xE5\xF0 ORVEXA"}, // Ошибка при загрузке ключа в драйвер ORVEXA
    {40, "Can`t  reset key",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE2\xFB\xE3\xF0\xF3\xE7\xEA\xE5 "
     "\xEA\xEB\xFE\xF7\xE0."}, // Ошибка при выгрузке ключа.
    {101, "Error reading NUM(P) from hoarder",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xF7\xF2\xE5\xED\xE8\xE8 \xEA\xEB\xFE\xF7\xE0 NUM(P) "
     "\xF1 "
     "\xED\xEE\xF1\xE8\xF2\xE5\xEB\xFF"}, // Ошибка при чтении ключа NUM(P) с носителя
    {106, "Error reading CKD(I) from hoarder",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xF7\xF2\xE5\xED\xE8\xE8 \xEA\xEB\xFE\xF7\xE0 CKD(I) "
     "\xF1 "
     "\xED\xEE\xF1\xE8\xF2\xE5\xEB\xFF"}, // Ошибка при чтении ключа CKD(I) с носителя
    {127, "Key diskette I/O error",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xEE\xE1\xF0\xE0\xF9\xE5\xED\xE8\xE8 \xEA "
     "\xEA\xEB\xFE\xF7\xE5\xE2\xEE\xEC\xF3 \xC3\xCC\xC4"}, // Ошибка при обращении к ключевому ГМД
    {503, "Internal error",
     "\xC2\xED\xF3\xF2\xF0\xE5\xED\xED\xFF\xFF \xEE\xF8\xE8\xE1\xEA\xE0"}, // Внутренняя ошибка
    {504, "RNG init error",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xE8 "
     "\xC4\xD1\xD7"}, // Ошибка при инициализации ДСЧ
    {505, "Error", "\xCE\xF8\xE8\xE1\xEA\xE0"},                 // Ошибка
    {506, "Loading...", "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0..."}, // Загрузка...
    {507, "Loading library failed or Verba not installed",
     "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE7\xE0\xE3\xF0\xF3\xE7\xEA\xE5 "
     "\xE1\xE8\xE1\xEB\xE8\xEE\xF2\xE5\xEA\xE8 "
     "\xE8\xEB\xE8 \xD1\xCA\xC7\xC8 \xED\xE5 "
     "\xE8\xED\xF1\xF2\xE0\xEB\xEB\xE8\xF0\xEE\xE2\xE0\xED\xE0"}, // Ошибка при загрузке библиотеки
                                                                  // или СКЗИ не инсталлирована
};

struct ControlText {
    int id;
    const char* cls;
    bool push_button; // created disabled as well as hidden
    const char* en;
    const char* ru;
};

// In the order of the dialog template: each label precedes its control.
const ControlText kControls[] = {
    {1012, "Static", false, "Key &Device",
     "&\xCA\xEB\xFE\xF7\xE5\xE2\xEE\xE5 \xF3\xF1\xF2\xF0\xEE\xE9\xF1\xF2\xE2\xEE"}, // &Ключевое
                                                                                    // устройство
    {1003, "ComboBox", false, "", ""},
    {1013, "Static", false, "&Keys List",
     "&\xC7\xE0\xE3\xF0\xF3\xE6\xE5\xED\xED\xFB\xE5 \xEA\xEB\xFE\xF7\xE8"}, // &Загруженные
                                                                            // ключи
    {1023, "Static", false, "   Sign                    Crypt ",
     "   \xEF\xEE\xE4\xEF\xE8\xF1\xFC          "
     "\xF8\xE8\xF4\xF0\xEE\xE2\xE0\xED\xE8\xE5 "}, //    подпись          шифрование
    {1017, "ListBox", false, "", ""},
    {1024, "Static", false, "To continue RNG initialization, please load key...",
     "\xC4\xEB\xFF \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE8\xFF "
     "\xE8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xE8 "
     "\xC4\xD1\xD7 \xED\xE5\xEE\xE1\xF5\xEE\xE4\xE8\xEC\xEE "
     "\xE7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC "
     "\xEA\xEB\xFE\xF7\xE8 !"}, // Для завершения инициализации ДСЧ необходимо загрузить
                                // ключи !
    {1008, "Button", true, "&Load Key", "\xC7\xE0&\xE3\xF0\xF3\xE7\xE8\xF2\xFC"}, // За&грузить
    {1009, "Button", true, "&Unload Key", "&\xC2\xFB\xE3\xF0\xF3\xE7\xE8\xF2\xFC"}, // &Выгрузить
    {1000, "Button", true, "U&nload  All",
     "\xC2\xFB\xE3\xF0\xF3\xE7\xE8\xF2\xFC \xE2\xF1\xE5"},    // Выгрузить все
    {1014, "Button", true, "E&xit", "\xC2\xFB&\xF5\xEE\xE4"}, // Вы&ход
    {1021, "Button", false, "RNG Initialization",
     "\xC8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF \xC4\xD1\xD7"}, // Инициализация
                                                                           // ДСЧ
    {1011, "Static", false, "   PLEASE PRESS ANY KEYS OR MOVE MOUSE ...",
     "\xCD\xC0\xC6\xC8\xCC\xC0\xC9\xD2\xC5 \xCB\xDE\xC1\xDB\xC5 "
     "\xCA\xCB\xC0\xC2\xC8\xD8\xC8 \xC8\xCB\xC8 "
     "\xCF\xCE\xC4\xC2\xC8\xC3\xC0\xC9\xD2\xC5  \xCC\xDB\xD8\xDC\xDE ..."}, // НАЖИМАЙТЕ
                                                                            // ЛЮБЫЕ КЛАВИШИ
                                                                            // ИЛИ
                                                                            // ПОДВИГАЙТЕ
                                                                            // МЫШЬЮ ...
    {1010, "msctls_progress32", false, "", ""},
};

struct MenuLine {
    int depth; // 0 for a popup of the menu bar, 1 for its items
    int id;    // 0 for popups and the separator
    bool grayed;
    const char* en;
    const char* ru;
};

const MenuLine kMenu[] = {
    {0, 0, false, "&Options", "&\xCE\xEF\xF6\xE8\xE8"}, // &Опции
    {1, 40001, false, "&Refresh",
     "\xCE\xE1&\xED\xEE\xE2\xE8\xF2\xFC \xFD\xEA\xF0\xE0\xED"}, // Об&новить экран
    {1, 40002, true, "Auto RNG (from Akkord)",
     "\xC0\xE2\xF2\xEE\xE8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF "
     "\xC4\xD1\xD7"}, // Автоинициализация
                      // ДСЧ
    {1, 40007, false, "Compress files before encryption",
     "\xD1\xE6\xE0\xF2\xE8\xE5 \xF4\xE0\xE9\xEB\xEE\xE2 \xEF\xE5\xF0\xE5\xE4 "
     "\xE7\xE0\xF8\xE8\xF4\xF0\xEE\xE2\xE0\xED\xE8\xE5\xEC"}, // Сжатие файлов перед
                                                              // зашифрованием
    {1, 0, false, "", ""},
    {1, 40005, false, "E&xit", "\xC2\xFB&\xF5\xEE\xE4"}, // Вы&ход
    {0, 0, false, "&?", "&?"},
    {1, 40006, false, "&About program", "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5"}, // О программе
};

// UTF-16 resource text -> code page 1251; a character 1251 cannot hold
// turns into "<?>" so that it shows in the failure message.
std::string To1251(const WCHAR* s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        char c[4];
        BOOL lossy = FALSE;
        int k =
            WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, s + i, 1, c, sizeof c, nullptr, &lossy);
        out += (k == 1 && !lossy) ? std::string(c, 1) : std::string("<?>");
    }
    return out;
}

// Reads the zero-terminated UTF-16 strings and ordinals of resource templates.
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
        return To1251(s, n);
    }
    // sz_Or_Ord: 0 = none, 0xFFFF + ordinal, or a string.
    std::string SzOrOrd(int* ordinal = nullptr) {
        WORD w;
        std::memcpy(&w, p, 2);
        if (w == 0xFFFF) {
            p += 2;
            int o = Word();
            if (ordinal)
                *ordinal = o;
            return "#" + std::to_string(o);
        }
        return Sz();
    }
    void Align4(const BYTE* base) { p += (4 - (p - base) % 4) % 4; }
};

struct DialogItem {
    DWORD style;
    int id;
    std::string cls;
    std::string text;
};

struct Dialog {
    DWORD style;
    short cx, cy;
    int menu = 0;
    int point_size = 0;
    std::string font;
    std::vector<DialogItem> items;
};

std::string ClassName(int ordinal) {
    switch (ordinal) {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    }
    return "#" + std::to_string(ordinal);
}

// DLGTEMPLATE or DLGTEMPLATEEX, whichever the resource compiler produced.
Dialog ParseDialog(const BYTE* base) {
    Reader r{base};
    Dialog d;
    bool ex = reinterpret_cast<const WORD*>(base)[1] == 0xFFFF;
    if (ex) {
        r.Dword(); // version, signature
        r.Dword(); // help id
        r.Dword(); // extended style
        d.style = r.Dword();
    } else {
        d.style = r.Dword();
        r.Dword(); // extended style
    }
    int count = r.Word();
    r.Word();
    r.Word();
    d.cx = static_cast<short>(r.Word());
    d.cy = static_cast<short>(r.Word());
    r.SzOrOrd(&d.menu);
    r.SzOrOrd(); // class
    r.Sz();      // caption
    if (d.style & DS_SETFONT) {
        d.point_size = r.Word();
        if (ex)
            r.Dword(); // weight, italic, charset
        d.font = r.Sz();
    }
    for (int i = 0; i < count; ++i) {
        r.Align4(base);
        DialogItem it;
        if (ex) {
            r.Dword(); // help id
            r.Dword(); // extended style
            it.style = r.Dword();
        } else {
            it.style = r.Dword();
            r.Dword();
        }
        r.p += 8; // x, y, cx, cy
        it.id = ex ? static_cast<int>(r.Dword()) : r.Word();
        int ordinal = 0;
        it.cls = r.SzOrOrd(&ordinal);
        if (ordinal)
            it.cls = ClassName(ordinal);
        it.text = r.SzOrOrd();
        WORD extra = r.Word();
        r.p += extra;
        d.items.push_back(it);
    }
    return d;
}

struct ParsedMenuItem {
    int depth;
    int id;
    WORD flags;
    std::string text;
};

// Plain MENU template (header of two zero words, then the item tree).
void ParseMenuLevel(Reader& r, int depth, std::vector<ParsedMenuItem>& out) {
    for (;;) {
        ParsedMenuItem it{depth, 0, r.Word(), {}};
        if (!(it.flags & MF_POPUP))
            it.id = r.Word();
        it.text = r.Sz();
        out.push_back(it);
        if (it.flags & MF_POPUP)
            ParseMenuLevel(r, depth + 1, out);
        if (it.flags & MF_END)
            return;
    }
}

std::string ModulePath(const char* file) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    dir.erase(dir.find_last_of("\\/") + 1);
    std::string full = dir + file;
    if (GetFileAttributesA(full.c_str()) != INVALID_FILE_ATTRIBUTES)
        return full;
    return file;
}

struct LanguageModule {
    const char* file;
    WORD lang;
};

void PrintTo(const LanguageModule& m, std::ostream* os) {
    *os << m.file;
}

class LanguageModuleTest : public ::testing::TestWithParam<LanguageModule> {
  protected:
    void SetUp() override {
        path_ = ModulePath(GetParam().file);
        module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << path_ << " error " << GetLastError();
    }
    void TearDown() override {
        if (module_)
            FreeLibrary(module_);
    }

    const char* Expected(const char* en, const char* ru) const {
        return GetParam().lang == kRussian ? ru : en;
    }

    // The resource in the module's own language, or null.
    const BYTE* Find(LPCSTR type, int id, DWORD* size = nullptr) const {
        HRSRC r = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), GetParam().lang);
        if (!r)
            return nullptr;
        if (size)
            *size = SizeofResource(module_, r);
        return static_cast<const BYTE*>(LockResource(LoadResource(module_, r)));
    }

    std::string path_;
    HMODULE module_ = nullptr;
};

TEST_P(LanguageModuleTest, MessageTableHoldsExactlyTheLoaderTexts) {
    // Every string of the module, block by block (16 strings per block).
    std::vector<std::pair<int, std::string>> found;
    for (int block = 1; block <= 4096 / 16; ++block) {
        DWORD size = 0;
        const BYTE* p = Find(RT_STRING, block, &size);
        if (!p)
            continue;
        const WCHAR* s = reinterpret_cast<const WCHAR*>(p);
        for (int i = 0; i < 16; ++i) {
            int n = *s++;
            if (n)
                found.emplace_back((block - 1) * 16 + i, To1251(s, n));
            s += n;
        }
    }
    ASSERT_EQ(found.size(), sizeof kMessages / sizeof kMessages[0]);
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].first, kMessages[i].id);
        EXPECT_EQ(found[i].second, Expected(kMessages[i].en, kMessages[i].ru))
            << "string " << kMessages[i].id;
    }
}

TEST_P(LanguageModuleTest, MainDialogStartsWithEveryControlHidden) {
    const BYTE* p = Find(RT_DIALOG, 101);
    ASSERT_NE(p, nullptr);
    Dialog d = ParseDialog(p);
    EXPECT_EQ(d.cx, 191);
    EXPECT_EQ(d.cy, 158);
    EXPECT_EQ(d.menu, 109);
    EXPECT_EQ(d.font, "MS Sans Serif");
    EXPECT_EQ(d.point_size, 8);
    const DWORD frame =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER;
    EXPECT_EQ(d.style & frame, frame);
    EXPECT_EQ(d.style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

    ASSERT_EQ(d.items.size(), sizeof kControls / sizeof kControls[0]);
    for (size_t i = 0; i < d.items.size(); ++i) {
        const DialogItem& it = d.items[i];
        const ControlText& want = kControls[i];
        SCOPED_TRACE("control " + std::to_string(want.id));
        EXPECT_EQ(it.id, want.id);
        EXPECT_EQ(
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, it.cls.c_str(), -1, want.cls, -1),
            CSTR_EQUAL)
            << it.cls;
        EXPECT_EQ(it.text, Expected(want.en, want.ru));
        EXPECT_EQ(it.style & WS_VISIBLE, 0u);
        EXPECT_EQ((it.style & WS_DISABLED) != 0, want.push_button);
    }
    // Kinds the loader relies on: a drop-down list it fills itself, an
    // unsorted list box it scrolls both ways.
    EXPECT_EQ(d.items[1].style & (CBS_DROPDOWNLIST | CBS_SORT),
              static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_EQ(d.items[4].style & (LBS_SORT | WS_HSCROLL | WS_VSCROLL),
              static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL));
}

TEST_P(LanguageModuleTest, MenuHasTheCommandsInOrder) {
    const BYTE* p = Find(RT_MENU, 109);
    ASSERT_NE(p, nullptr);
    Reader r{p};
    ASSERT_EQ(r.Dword(), 0u); // plain MENU template, version 0
    std::vector<ParsedMenuItem> items;
    ParseMenuLevel(r, 0, items);
    ASSERT_EQ(items.size(), sizeof kMenu / sizeof kMenu[0]);
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("menu line " + std::to_string(i));
        EXPECT_EQ(items[i].depth, kMenu[i].depth);
        EXPECT_EQ(items[i].id, kMenu[i].id);
        EXPECT_EQ((items[i].flags & MF_GRAYED) != 0, kMenu[i].grayed);
        EXPECT_EQ(items[i].flags & MF_CHECKED, 0);
        EXPECT_EQ(items[i].text, Expected(kMenu[i].en, kMenu[i].ru));
    }
}

// orxload loads the module with a plain LoadLibrary and then takes the main
// window's icon and the About box's icon and version strings from it.
TEST_P(LanguageModuleTest, LoadsAsModuleWithIconAndVersion) {
    HMODULE m = LoadLibraryA(path_.c_str());
    ASSERT_NE(m, nullptr) << "error " << GetLastError();
    EXPECT_NE(FindResourceA(m, MAKEINTRESOURCEA(114), RT_GROUP_ICON), nullptr);
    FreeLibrary(m);

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, info.data()));
    for (const char* name : {"FileDescription", "FileVersion", "LegalCopyright"}) {
        std::string query = std::string("\\StringFileInfo\\041904B0\\") + name;
        char* value = nullptr;
        UINT len = 0;
        ASSERT_TRUE(
            VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &len))
            << name;
        EXPECT_GT(std::strlen(value), 0u) << name;
        if (std::strcmp(name, "FileVersion") == 0) {
            EXPECT_STREQ(value, "3.5.259");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ResourceModules, LanguageModuleTest,
                         ::testing::Values(LanguageModule{"res409.dll", kEnglish},
                                           LanguageModule{"res419.dll", kRussian}),
                         [](const ::testing::TestParamInfo<LanguageModule>& info) {
                             return info.param.lang == kRussian ? std::string("res419")
                                                                : std::string("res409");
                         });

} // namespace
