#include "about_texts.h"

#include <string.h>

#include "about_platform.h"

const AboutTexts about_english = {
    "About",
    "Version: ",
    "For technical support contact:",
    "e-mail: ",
    "phone: ",
    "web: ",
    "Error when obtaining file version info.",
    "Error query registry.",
    "Error: low memory.",
    "This program is part of the ORX toolkit and is protected by copyright. Copying it or "
    "passing it on, in whole or in part, without the authors' permission is prohibited.",
    "&OK",
};

const AboutTexts about_russian = {
    // О программе
    "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5",
    // Версия:
    "\xC2\xE5\xF0\xF1\xE8\xFF: ",
    // По вопросам технической поддержки данного продукта обращайтесь:
    "\xCF\xEE \xE2\xEE\xEF\xF0\xEE\xF1\xE0\xEC \xF2\xE5\xF5\xED\xE8\xF7\xE5\xF1\xEA\xEE\xE9 "
    "\xEF\xEE\xE4\xE4\xE5\xF0\xE6\xEA\xE8 \xE4\xE0\xED\xED\xEE\xE3\xEE "
    "\xEF\xF0\xEE\xE4\xF3\xEA\xF2\xE0 \xEE\xE1\xF0\xE0\xF9\xE0\xE9\xF2\xE5\xF1\xFC:",
    "e-mail: ",
    // Телефон:
    "\xD2\xE5\xEB\xE5\xF4\xEE\xED: ",
    "web: ",
    // Ошибка получения блока информации о версии файла.
    "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xEE\xEB\xF3\xF7\xE5\xED\xE8\xFF \xE1\xEB\xEE\xEA\xE0 "
    "\xE8\xED\xF4\xEE\xF0\xEC\xE0\xF6\xE8\xE8 \xEE \xE2\xE5\xF0\xF1\xE8\xE8 \xF4\xE0\xE9\xEB\xE0.",
    // Ошибка чтения реестра.
    "\xCE\xF8\xE8\xE1\xEA\xE0 \xF7\xF2\xE5\xED\xE8\xFF \xF0\xE5\xE5\xF1\xF2\xF0\xE0.",
    // Ошибка: недостаточно памяти.
    "\xCE\xF8\xE8\xE1\xEA\xE0: \xED\xE5\xE4\xEE\xF1\xF2\xE0\xF2\xEE\xF7\xED\xEE "
    "\xEF\xE0\xEC\xFF\xF2\xE8.",
    // Эта программа входит в набор ORX и охраняется авторским правом. Копирование и
    // передача её целиком или по частям без разрешения авторов запрещены.
    "\xDD\xF2\xE0 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE2\xF5\xEE\xE4\xE8\xF2 \xE2 "
    "\xED\xE0\xE1\xEE\xF0 ORX \xE8 \xEE\xF5\xF0\xE0\xED\xFF\xE5\xF2\xF1\xFF "
    "\xE0\xE2\xF2\xEE\xF0\xF1\xEA\xE8\xEC \xEF\xF0\xE0\xE2\xEE\xEC. "
    "\xCA\xEE\xEF\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xE8 \xEF\xE5\xF0\xE5\xE4\xE0\xF7\xE0 "
    "\xE5\xB8 \xF6\xE5\xEB\xE8\xEA\xEE\xEC \xE8\xEB\xE8 \xEF\xEE \xF7\xE0\xF1\xF2\xFF\xEC "
    "\xE1\xE5\xE7 \xF0\xE0\xE7\xF0\xE5\xF8\xE5\xED\xE8\xFF \xE0\xE2\xF2\xEE\xF0\xEE\xE2 "
    "\xE7\xE0\xEF\xF0\xE5\xF9\xE5\xED\xFB.",
    "&OK",
};

int Cp1251Installed = 0;

// Fictional contacts of the ORX team: the .example domain and the 555-01xx numbers are
// reserved and reach nobody.
const char* const about_default_email = "support@orx-toolkit.example";
const char* const about_default_phone = "+1 202 555 0142";
const char* const about_default_web = "https://orx-toolkit.example/support";

int about_code_page_seen(const char* code_page) {
    if (strcmp(code_page, "1251") != 0)
        return 1;
    Cp1251Installed = 1;
    return 0;
}

void note_installed_code_pages(void) {
    ap_enum_installed_code_pages(about_code_page_seen);
}

// The Russian texts are code page 1251 and go through the ANSI code page like every other
// text of the box: only where that is 1251 do they read as Russian, elsewhere English.
const AboutTexts& about_texts(void) {
    return Cp1251Installed && ap_ansi_code_page() == 1251 ? about_russian : about_english;
}
