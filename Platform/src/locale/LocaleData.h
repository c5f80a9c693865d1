// The formats and names of the locales the device knows: English (United States) and German
// (Germany), the languages of the program's language files. A profile that sets another locale gets
// English (United States); a call that names another locale is refused (ERROR_INVALID_PARAMETER), so
// that no caller takes English names or formats for those of the locale it asked about.
#pragma once

#include "ce/kernel.h"

namespace ce::detail {

struct LocaleData {
    LCID lcid;
    const char16_t* language;         // LOCALE_SLANGUAGE
    const char16_t* abbrevLanguage;   // LOCALE_SABBREVLANGNAME
    const char16_t* nativeLanguage;   // LOCALE_SNATIVELANGNAME
    const char16_t* englishLanguage;  // LOCALE_SENGLANGUAGE
    const char16_t* country;          // LOCALE_SCOUNTRY
    const char16_t* englishCountry;   // LOCALE_SENGCOUNTRY
    const char16_t* countryCode;      // LOCALE_ICOUNTRY
    const char16_t* measure;          // LOCALE_IMEASURE: 0 metric, 1 U.S.
    const char16_t* decimal;
    const char16_t* thousand;
    const char16_t* shortDate;
    const char16_t* longDate;
    const char16_t* timeFormat;
    const char16_t* time24;  // LOCALE_ITIME
    const char16_t* am;
    const char16_t* pm;
    const char16_t* months[12];
    const char16_t* abbrevMonths[12];
    const char16_t* days[7];  // Sunday first, as SYSTEMTIME counts
    const char16_t* abbrevDays[7];
};

// The locale of the device profile's "locale" key (0x0407, 1031 or "de-DE"); English (United States)
// when it is missing or not one the device knows.
LCID DeviceLocale();
// The data of a locale argument: LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT and 0 mean the device's
// locale; null for a locale the device does not have.
const LocaleData* LocaleDataFor(LCID locale);

// Copies text and its terminator out as the locale calls do: size 0 asks for the length needed;
// a buffer too small gives 0 and ERROR_INSUFFICIENT_BUFFER. Returns characters with the terminator.
int CopyLocaleText(std::u16string_view text, LPWSTR out, int size);

}  // namespace ce::detail
