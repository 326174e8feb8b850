; Texts of the ORX installer in English and Russian (UTF-8).

LangString SEC_CORE ${LANG_ENGLISH} "ORX key loader, orxlink and orxtool"
LangString SEC_CORE ${LANG_RUSSIAN} "Загрузчик ключей ORX, orxlink и orxtool"
LangString SEC_EMULATED ${LANG_ENGLISH} "Emulated ORVEXA driver (evaluation only)"
LangString SEC_EMULATED ${LANG_RUSSIAN} "Эмулятор драйвера ORVEXA (для ознакомления)"
LangString SEC_SDK ${LANG_ENGLISH} "SDK"
LangString SEC_SDK ${LANG_RUSSIAN} "SDK"

LangString DESC_CORE ${LANG_ENGLISH} "orxload.exe, orxlink.dll and the language modules in the system folder (on 64-bit Windows also the 64-bit orxlink.dll); orxtool.exe; Start menu shortcuts."
LangString DESC_CORE ${LANG_RUSSIAN} "orxload.exe, orxlink.dll и языковые модули в системной папке (в 64-разрядной Windows также 64-разрядная orxlink.dll); orxtool.exe; ярлыки в меню «Пуск»."
LangString DESC_SDK ${LANG_ENGLISH} "For client programmers of orxlink.dll: the header, import libraries for x86 and x64 (MinGW and Microsoft), the reference and example programs, in the SDK folder."
LangString DESC_SDK ${LANG_RUSSIAN} "Для разработчиков программ, использующих orxlink.dll: заголовок, библиотеки импорта для x86 и x64 (MinGW и Microsoft), справочник и примеры программ в папке SDK."
LangString DESC_EMULATED ${LANG_ENGLISH} "A software stand-in for the ORVEXA driver, to try the toolkit without the real driver. It does not encrypt anything and must not be used in production."
LangString DESC_EMULATED ${LANG_RUSSIAN} "Программная замена драйвера ORVEXA, чтобы опробовать комплект без настоящего драйвера. Ничего не шифрует; не для рабочего использования."

LangString MSG_SERVICE_EXISTS ${LANG_ENGLISH} "A driver service named orvexa exists already; the emulated driver is not installed."
LangString MSG_SERVICE_EXISTS ${LANG_RUSSIAN} "Служба драйвера orvexa уже есть; эмулятор драйвера не установлен."
LangString MSG_SERVICE_FAILED ${LANG_ENGLISH} "The driver service could not be created; the emulated driver is not installed."
LangString MSG_SERVICE_FAILED ${LANG_RUSSIAN} "Не удалось создать службу драйвера; эмулятор драйвера не установлен."
