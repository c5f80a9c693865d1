#include "CTodayRows.h"

#include "CLocalization.h"
#include "CSysInfo.h"
#include "ShortTimeFormat.h"

namespace {

const char* const kPartKeys[CDayPartsForecast::kPartCount] = {"IDS_MORNING", "IDS_DAY", "IDS_EVENING", "IDS_NIGHT"};

SYSTEMTIME DateTime(const CDate& date) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.GetYear());
    time.wMonth = static_cast<WORD>(date.GetMonth());
    time.wDay = static_cast<WORD>(date.GetDay());
    return time;
}

std::u16string ShortWeekday(const CDate& date) {
    SYSTEMTIME time = DateTime(date);
    WCHAR text[32] = {};
    GetDateFormatW(LOCALE_SYSTEM_DEFAULT, 0, &time, u"ddd", text, 32);
    return text;
}

std::u16string Localized(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? text : u"";
}

int Minutes(const CDayForecast::TimeOfDay& time) { return time.hour * 60 + time.minute; }

}  // namespace

std::vector<TodayColumn> CTodayRows::FiveDays(const CCity& city, const SYSTEMTIME& now, DWORD degreeType) {
    std::vector<TodayColumn> columns;
    CDate date(now);
    for (int i = 0; i < kColumnCount; ++i, date.AddDays(1)) {
        CDayForecast day;
        if (!city.GetDayForecast(date, &day)) {
            break;
        }
        TodayColumn column;
        column.label = ShortWeekday(date);
        column.picture = day.GetIconIndex();
        column.high = day.GetHighTemperature(degreeType);
        column.low = day.GetLowTemperature(degreeType);
        columns.push_back(column);
    }
    CCurrentCondition current;
    if (!columns.empty() && CurrentConditionsFresh(city, now, &current)) {
        columns.front() = CurrentColumn(city, current, now, degreeType);
    }
    return columns;
}

bool CTodayRows::CurrentConditionsFresh(const CCity& city, const SYSTEMTIME& now, CCurrentCondition* current) {
    if (!city.GetCurrentCondition(current) || current->GetSkyCode() == 0 || current->GetSkyCode() == -1) {
        return false;
    }
    SYSTEMTIME updated{};
    city.GetUpdateSystemTime(&updated);
    const LONGLONG hours = CSysInfo::SystemTimeDiff(&now, &updated, 3600 * 1000);
    return hours >= 0 && hours < 24;
}

namespace {

std::u16string FormatTime(const SYSTEMTIME& time, const std::u16string& picture) {
    WCHAR text[32] = {};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, picture.c_str(), text, 32);
    return text;
}

// The sun times of today's forecast, not of a later day's.
constexpr bool kThatDayOnly = true;

}  // namespace

TodayColumn CTodayRows::CurrentColumn(const CCity& city, const CCurrentCondition& current, const SYSTEMTIME& now,
                                      DWORD degreeType) {
    TodayColumn column;
    SYSTEMTIME updated{};
    city.GetUpdateSystemTime(&updated);
    const std::u16string picture = ShortTimeFormat::GetShortTimeFormat();
    column.label = FormatTime(updated, picture);
    const std::u16string withoutMarker = ShortTimeFormat::WithoutMarker(picture);
    if (withoutMarker != picture) {
        column.shortLabel = FormatTime(updated, withoutMarker);
    }
    column.picture = IsNight(city, now) ? current.GetNightIconIndex() : current.GetIconIndex();
    column.low = current.GetTemperature(degreeType);
    column.single = true;
    return column;
}

bool CTodayRows::IsNight(const CCity& city, const SYSTEMTIME& now) {
    const CDate today(now);
    CDayForecast::TimeOfDay sunrise{7, 0};
    CDayForecast::TimeOfDay sunset{20, 0};
    CDayForecast::TimeOfDay found;
    // A forecast without the times carries 00:00 for them.
    if (city.GetSunriseOn(today, &found, kThatDayOnly) && Minutes(found) != 0) {
        sunrise = found;
    }
    if (city.GetSunsetOn(today, &found, kThatDayOnly) && Minutes(found) != 0) {
        sunset = found;
    }
    const int minute = now.wHour * 60 + now.wMinute;
    return minute < Minutes(sunrise) || minute >= Minutes(sunset);
}

int CTodayRows::PartOfHour(int hour, bool* yesterday) {
    *yesterday = hour < 5;
    if (hour < 5 || hour == 23) {
        return 3;
    }
    if (hour <= 10) {
        return 0;
    }
    return hour <= 17 ? 1 : 2;
}

std::vector<TodayColumn> CTodayRows::DayParts(const CCity& city, const SYSTEMTIME& now, DWORD degreeType) {
    std::vector<TodayColumn> columns;
    bool yesterday = false;
    int slot = PartOfHour(now.wHour, &yesterday);
    CDate date(now);
    if (yesterday) {
        date.AddDays(-1);
    }
    bool lastDateMissing = false;
    // Five parts span at most three dates; the bound only guards against a list that never ends.
    for (int dates = 0; dates < kColumnCount + 2 && columns.size() < kColumnCount; ++dates, date.AddDays(1), slot = 0) {
        CDayPartsForecast parts;
        if (!city.GetDayPartsForecast(date, &parts)) {
            if (lastDateMissing) {
                break;
            }
            lastDateMissing = true;
            continue;
        }
        lastDateMissing = false;
        for (; slot < CDayPartsForecast::kPartCount && columns.size() < kColumnCount; ++slot) {
            CHourForecast hour;
            if (!parts.GetPart(slot, &hour)) {
                continue;
            }
            TodayColumn column;
            column.label = Localized(kPartKeys[slot]);
            column.picture = hour.GetIconIndex();
            column.low = hour.GetTemperature(degreeType);
            column.single = true;
            columns.push_back(column);
        }
    }
    return columns;
}
