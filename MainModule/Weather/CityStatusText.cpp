#include "Weather/CityStatusText.h"

#include <array>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Weather/CCity.h"

namespace {

constexpr LONGLONG kDayMs = 86400000;
// Whole days since the update, from 2 on.
constexpr std::array<const char*, 5> kDaysAgoKeys = {"IDS_UPDATED_2DAYS_AGO", "IDS_UPDATED_3DAYS_AGO",
                                                     "IDS_UPDATED_4DAYS_AGO", "IDS_UPDATED_5DAYS_AGO",
                                                     "IDS_UPDATED_6DAYS_AGO"};

bool Localized(const char* key, std::u16string* text) {
    LPCWSTR found = LoadLocalizedString(key);
    if (found == nullptr) {
        return false;
    }
    *text = found;
    return true;
}

// Days since 1601 of a local time; -1 when it cannot be read.
LONGLONG DayNumber(const FILETIME& time) {
    SYSTEMTIME parts;
    FILETIME midnight;
    if (!FileTimeToSystemTime(&time, &parts)) {
        return -1;
    }
    parts.wHour = parts.wMinute = parts.wSecond = parts.wMilliseconds = 0;
    if (!SystemTimeToFileTime(&parts, &midnight)) {
        return -1;
    }
    const FILETIME origin{};
    return CSysInfo::FileTimeDiff(&midnight, &origin, kDayMs);
}

bool IsSeparator(WCHAR c) { return c != u's' && c != u'S' && c != u'h' && c != u'H' && c != u'm' && c != u't'; }

}  // namespace

// "Updated at 14:05" in the locale's own order of hours and minutes.
bool GetUpdatedAtText(const FILETIME& update, std::u16string* text) {
    WCHAR time[80] = {};
    WCHAR pattern[160] = {};
    WCHAR out[300] = {};
    SYSTEMTIME when;
    if (!FileTimeToSystemTime(&update, &when) || !FormatTimeWithoutSeconds(when, time, 80) ||
        !CLocalization::Global().GetTemplate("IDS_UPDATED_AT_TMPL", pattern, 160)) {
        return false;
    }
    if (_snwprintf(out, 300, pattern, time) < 0) {
        return false;
    }
    *text = out;
    return true;
}

bool GetUpdatedOnDayText(const FILETIME& localTime, const FILETIME& now, std::u16string* text) {
    const LONGLONG updated = DayNumber(localTime);
    const LONGLONG today = DayNumber(now);
    if (text == nullptr || updated < 0 || today < 0) {
        return false;
    }
    if (today == updated) {
        return Localized("IDS_UPDATED_TODAY", text);
    }
    return today == updated + 1 && Localized("IDS_UPDATED_YESTERDAY", text);
}

bool GetCityStatusShortText(const CCity& city, const FILETIME& now, bool updating, std::u16string* text) {
    FILETIME update;
    city.GetUpdateFileTime(&update);
    if (updating || CSysInfo::FileTimeDiff(&now, &update, kDayMs) != 0) {
        return false;
    }
    return GetUpdatedOnDayText(update, now, text);
}

bool FormatTimeWithoutSeconds(const SYSTEMTIME& time, LPWSTR buffer, int size) {
    WCHAR format[80] = {};
    if (buffer == nullptr || size < 1 || GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, 80) == 0) {
        return false;
    }
    const std::u16string shortFormat = TimeFormatWithoutSeconds(format);
    return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, shortFormat.c_str(), buffer, size) != 0;
}

std::u16string TimeFormatWithoutSeconds(std::u16string_view format) {
    std::u16string out;
    bool quoted = false;
    for (size_t i = 0; i < format.size(); ++i) {
        WCHAR c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
        }
        if (quoted || c != u's') {
            out += c;
            continue;
        }
        // A seconds field: drop it and the separators that lead to it.
        while (!out.empty() && IsSeparator(out.back()) && out.back() != u'\'') {
            out.pop_back();
        }
        while (i + 1 < format.size() && format[i + 1] == u's') {
            ++i;
        }
    }
    return out;
}

bool GetCityStatusText(const CCity& city, const FILETIME& now, bool updating, std::u16string* text) {
    if (text == nullptr) {
        return false;
    }
    if (updating) {
        return Localized("IDS_DOWNLOADING", text);
    }
    FILETIME update;
    city.GetUpdateFileTime(&update);
    LONGLONG days = CSysInfo::FileTimeDiff(&now, &update, kDayMs);
    if (days < 0 || days > 10) {
        return Localized("IDS_NOT_UPDATED", text);
    }
    if (days == 0) {
        return GetUpdatedAtText(update, text);
    }
    if (days == 1) {
        return Localized("IDS_UPDATED_YESTERDAY", text);
    }
    if (days <= 6) {
        return Localized(kDaysAgoKeys[static_cast<size_t>(days - 2)], text);
    }
    return Localized("IDS_UPDATED_LONG_AGO", text);
}
