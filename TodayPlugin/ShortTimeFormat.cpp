#include "ShortTimeFormat.h"

#include "ce/kernel.h"

std::u16string ShortTimeFormat::GetShortTimeFormat() {
    WCHAR picture[80] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, picture, 80) == 0) {
        return u"h:mm tt";
    }
    return WithoutSeconds(picture);
}

std::u16string ShortTimeFormat::WithoutSeconds(const std::u16string& picture) {
    std::u16string result;
    for (char16_t c : picture) {
        if (c == u's') {
            // The separator that led into the seconds goes with them; letters of other fields stay.
            while (!result.empty() && result.back() != u'h' && result.back() != u'H' && result.back() != u'm' &&
                   result.back() != u't' && result.back() != u'\'') {
                result.pop_back();
            }
            continue;
        }
        result += c;
    }
    return result;
}

std::u16string ShortTimeFormat::WithoutMarker(const std::u16string& picture) {
    std::u16string result;
    bool markerLeads = false;
    for (char16_t c : picture) {
        if (c == u't') {
            while (!result.empty() && result.back() == u' ') {
                result.pop_back();
            }
            markerLeads = result.empty();
            continue;
        }
        if (markerLeads && c == u' ') {
            continue;  // the space after a marker that stood first
        }
        markerLeads = false;
        result += c;
    }
    return result;
}
