; Texts of the ORX installer in English and Russian (UTF-8).

LangString SEC_CORE ${LANG_ENGLISH} "ORX key loader, orxlink and orxtool"
LangString SEC_CORE ${LANG_RUSSIAN} "Загрузчик ключей ORX, orxlink и orxtool"
LangString SEC_EMULATED ${LANG_ENGLISH} "Emulated ORVEXA driver (evaluation only)"
LangString SEC_EMULATED ${LANG_RUSSIAN} "Эмулятор драйвера ORVEXA (для ознакомления)"

LangString DESC_CORE ${LANG_ENGLISH} "orxload.exe, orxlink.dll and the language modules in the system folder; orxtool.exe; Start menu shortcuts."
LangString DESC_CORE ${LANG_RUSSIAN} "orxload.exe, orxlink.dll и языковые модули в системной папке; orxtool.exe; ярлыки в меню «Пуск»."
LangString DESC_EMULATED ${LANG_ENGLISH} "A software stand-in for the ORVEXA driver, to try the toolkit without the real driver. It does not encrypt anything and must not be used in production."
LangString DESC_EMULATED ${LANG_RUSSIAN} "Программная замена драйвера ORVEXA, чтобы опробовать комплект без настоящего драйвера. Ничего не шифрует; не для рабочего использования."

LangString MSG_EMULATED_32BIT ${LANG_ENGLISH} "The emulated driver needs 32-bit Windows; skipped."
LangString MSG_EMULATED_32BIT ${LANG_RUSSIAN} "Эмулятору драйвера нужна 32-разрядная Windows; пропущено."
LangString MSG_SERVICE_EXISTS ${LANG_ENGLISH} "A driver service named orvexa exists already; the emulated driver is not installed."
LangString MSG_SERVICE_EXISTS ${LANG_RUSSIAN} "Служба драйвера orvexa уже есть; эмулятор драйвера не установлен."
LangString MSG_SERVICE_FAILED ${LANG_ENGLISH} "The driver service could not be created; the emulated driver is not installed."
LangString MSG_SERVICE_FAILED ${LANG_RUSSIAN} "Не удалось создать службу драйвера; эмулятор драйвера не установлен."
