// Calendar arithmetic on the proleptic Gregorian calendar, shared by the time and locale calls.
#pragma once

#include <cstdint>

#include "ce/kernel.h"

namespace ce::detail {

// Days since 1970-01-01 of a calendar date (any year).
constexpr int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

constexpr CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned mp = (5 * dayOfYear + 2) / 153;
    unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

constexpr unsigned DaysInMonth(int64_t year, unsigned month) {
    constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[(month - 1) % 12];
}

// 0 = Sunday, as SYSTEMTIME counts.
constexpr unsigned WeekdayFromDays(int64_t days) {
    return static_cast<unsigned>(days >= -4 ? (days + 4) % 7 : (days + 5) % 7 + 6);
}

// A SYSTEMTIME whose fields are all in range (the day of the week is not looked at).
bool IsValidSystemTime(const SYSTEMTIME& time);
// Milliseconds since 1970 of a valid SYSTEMTIME, and back (with the day of the week filled in).
int64_t UnixMsFromSystemTime(const SYSTEMTIME& time);
SYSTEMTIME SystemTimeFromUnixMs(int64_t unixMs);

}  // namespace ce::detail
