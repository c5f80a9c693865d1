// A calendar day: year, month and day, compared in that order.
#pragma once

#include "ce/kernel.h"

class CDate {
public:
    CDate() = default;
    CDate(DWORD year, DWORD month, DWORD day) : m_year(year), m_month(month), m_day(day) {}
    explicit CDate(const SYSTEMTIME& time) { SetFromSystemTime(time); }
    CDate(const CDate&) = default;
    CDate& operator=(const CDate&) = default;
    virtual ~CDate() = default;

    void SetFromSystemTime(const SYSTEMTIME& time);
    void SetToday();
    // Reads YYYYMMDD; a text of fewer than eight characters clears the date (invalid).
    void SetFromString(LPCWSTR text);
    void ToSystemTime(SYSTEMTIME* time) const;

    bool operator==(const CDate& other) const;
    bool operator!=(const CDate& other) const { return !(*this == other); }
    bool operator<(const CDate& other) const;
    bool operator>(const CDate& other) const { return other < *this; }

    void AddDays(LONG days);
    CDate operator++(int);
    // Whole days from this date to the other (other minus this).
    LONG DaysUntil(const CDate& other) const;

    bool FormatShortDate(LPWSTR buffer, int size) const;
    bool FormatDayMonth(LPWSTR buffer, int size) const;

    void Clear();
    bool IsValid() const;
    bool IsTwoDigitYear() const { return m_year < 100; }

    DWORD GetYear() const { return m_year; }
    DWORD GetMonth() const { return m_month; }
    DWORD GetDay() const { return m_day; }

private:
    bool ToFileTime(LONGLONG* ticks) const;
    bool Format(DWORD flags, LPCWSTR picture, LPWSTR buffer, int size) const;

    DWORD m_year = 0;
    DWORD m_month = 0;
    DWORD m_day = 0;
};
