#include "locale/LocaleData.h"

#include <strings.h>

#include <string>

#include "ce/device.h"

namespace ce::detail {
namespace {

constexpr LCID kEnglishUS = 0x0409;
constexpr LCID kGermanGermany = 0x0407;

constexpr LocaleData kEnglish = {
    kEnglishUS,
    u"English (United States)",
    u"ENU",
    u"English",
    u"English",
    u"United States",
    u"United States",
    u"1",
    u"1",
    u".",
    u",",
    u"M/d/yyyy",
    u"dddd, MMMM d, yyyy",
    u"h:mm:ss tt",
    u"0",
    u"AM",
    u"PM",
    {u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August", u"September",
     u"October", u"November", u"December"},
    {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"},
    {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"},
    {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"},
};

constexpr LocaleData kGerman = {
    kGermanGermany,
    u"Deutsch (Deutschland)",
    u"DEU",
    u"Deutsch",
    u"German",
    u"Deutschland",
    u"Germany",
    u"49",
    u"0",
    u",",
    u".",
    u"dd.MM.yyyy",
    u"dddd, d. MMMM yyyy",
    u"HH:mm:ss",
    u"1",
    u"",
    u"",
    {u"Januar", u"Februar", u"M\u00e4rz", u"April", u"Mai", u"Juni", u"Juli", u"August", u"September",
     u"Oktober", u"November", u"Dezember"},
    {u"Jan", u"Feb", u"M\u00e4r", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"},
    {u"Sonntag", u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag"},
    {u"So", u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa"},
};

// Exactly the two locales, or their language without a country (sublanguage 0).
const LocaleData* KnownLocale(LCID locale) {
    LANGID language = LANGIDFROMLCID(locale);
    for (const LocaleData* data : {&kEnglish, &kGerman}) {
        if (language == data->lcid || language == PRIMARYLANGID(data->lcid)) {
            return data;
        }
    }
    return nullptr;
}

LCID ParseLocale(const std::string& text) {
    if (strcasecmp(text.c_str(), "de-DE") == 0 || strcasecmp(text.c_str(), "de") == 0) {
        return kGermanGermany;
    }
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    return end != text.c_str() && *end == '\0' ? static_cast<LCID>(value) : kEnglishUS;
}

}  // namespace

LCID DeviceLocale() {
    LCID locale = ParseLocale(ProfileString("device", "locale"));
    const LocaleData* known = KnownLocale(locale);
    return known ? known->lcid : kEnglishUS;
}

const LocaleData* LocaleDataFor(LCID locale) {
    if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == LOCALE_NEUTRAL) {
        locale = DeviceLocale();
    }
    return KnownLocale(locale);
}

int CopyLocaleText(std::u16string_view text, LPWSTR out, int size) {
    int needed = static_cast<int>(text.size()) + 1;
    if (size == 0) {
        return needed;
    }
    if (out == nullptr || size < needed) {
        SetLastError(size < 0 || out == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::char_traits<char16_t>::copy(out, text.data(), text.size());
    out[text.size()] = 0;
    return needed;
}

}  // namespace ce::detail
