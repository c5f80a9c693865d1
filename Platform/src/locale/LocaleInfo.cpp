// The device's locale and GetLocaleInfoW.
#include "ce/kernel.h"
#include "locale/LocaleData.h"

using namespace ce::detail;

namespace {

const char16_t* LocaleField(const LocaleData& data, LCTYPE type) {
    switch (type) {
        case LOCALE_SLANGUAGE:
            return data.language;
        case LOCALE_SABBREVLANGNAME:
            return data.abbrevLanguage;
        case LOCALE_SNATIVELANGNAME:
            return data.nativeLanguage;
        case LOCALE_SENGLANGUAGE:
            return data.englishLanguage;
        case LOCALE_SCOUNTRY:
            return data.country;
        case LOCALE_SENGCOUNTRY:
            return data.englishCountry;
        case LOCALE_ICOUNTRY:
            return data.countryCode;
        case LOCALE_IMEASURE:
            return data.measure;
        case LOCALE_SDECIMAL:
            return data.decimal;
        case LOCALE_STHOUSAND:
            return data.thousand;
        case LOCALE_SSHORTDATE:
            return data.shortDate;
        case LOCALE_SLONGDATE:
            return data.longDate;
        case LOCALE_STIMEFORMAT:
            return data.timeFormat;
        case LOCALE_ITIME:
            return data.time24;
        case LOCALE_S1159:
            return data.am;
        case LOCALE_S2359:
            return data.pm;
        case LOCALE_IDEFAULTANSICODEPAGE:
            return u"1252";
        default:
            return nullptr;
    }
}

}  // namespace

extern "C" {

CE_API LCID GetUserDefaultLCID(void) {
    return DeviceLocale();
}
CE_API LCID GetSystemDefaultLCID(void) {
    return DeviceLocale();
}
CE_API LANGID GetUserDefaultLangID(void) {
    return LANGIDFROMLCID(DeviceLocale());
}
CE_API LANGID GetSystemDefaultLangID(void) {
    return LANGIDFROMLCID(DeviceLocale());
}
CE_API LANGID GetUserDefaultUILanguage(void) {
    return LANGIDFROMLCID(DeviceLocale());
}
CE_API LANGID GetSystemDefaultUILanguage(void) {
    return LANGIDFROMLCID(DeviceLocale());
}

CE_API int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size) {
    constexpr LCTYPE kNoUserOverride = 0x80000000;
    const LocaleData* known = LocaleDataFor(locale);
    const char16_t* text = known ? LocaleField(*known, type & ~kNoUserOverride) : nullptr;
    if (text == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return CopyLocaleText(text, data, size);
}

}  // extern "C"
