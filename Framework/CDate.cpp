#include "CDate.h"

namespace {

constexpr LONGLONG kTicksPerDay = 864000000000LL;

DWORD ReadNumber(LPCWSTR text, int count) {
    WCHAR piece[5] = {};
    for (int i = 0; i < count; ++i) {
        piece[i] = text[i];
    }
    return static_cast<DWORD>(_wtol(piece));
}

}  // namespace

void CDate::SetFromSystemTime(const SYSTEMTIME& time) {
    m_year = time.wYear;
    m_month = time.wMonth;
    m_day = time.wDay;
}

void CDate::SetToday() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    SetFromSystemTime(now);
}

void CDate::SetFromString(LPCWSTR text) {
    // Never read past the terminator of a short text.
    for (int i = 0; i < 8; ++i) {
        if (text == nullptr || text[i] == 0) {
            Clear();
            return;
        }
    }
    m_year = ReadNumber(text, 4);
    m_month = ReadNumber(text + 4, 2);
    m_day = ReadNumber(text + 6, 2);
}

void CDate::ToSystemTime(SYSTEMTIME* time) const {
    *time = SYSTEMTIME{};
    time->wYear = static_cast<WORD>(m_year);
    time->wMonth = static_cast<WORD>(m_month);
    time->wDay = static_cast<WORD>(m_day);
}

bool CDate::operator==(const CDate& other) const {
    return m_year == other.m_year && m_month == other.m_month && m_day == other.m_day;
}

bool CDate::operator<(const CDate& other) const {
    if (m_year != other.m_year) {
        return m_year < other.m_year;
    }
    if (m_month != other.m_month) {
        return m_month < other.m_month;
    }
    return m_day < other.m_day;
}

bool CDate::ToFileTime(LONGLONG* ticks) const {
    SYSTEMTIME time;
    ToSystemTime(&time);
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file)) {
        return false;
    }
    *ticks = static_cast<LONGLONG>((static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime);
    return true;
}

void CDate::AddDays(LONG days) {
    LONGLONG ticks = 0;
    if (days == 0 || !ToFileTime(&ticks)) {
        return;
    }
    const ULONGLONG moved = static_cast<ULONGLONG>(ticks + static_cast<LONGLONG>(days) * kTicksPerDay);
    FILETIME file{static_cast<DWORD>(moved), static_cast<DWORD>(moved >> 32)};
    SYSTEMTIME time;
    if (FileTimeToSystemTime(&file, &time)) {
        SetFromSystemTime(time);
    }
}

CDate CDate::operator++(int) {
    CDate before(*this);
    AddDays(1);
    return before;
}

LONG CDate::DaysUntil(const CDate& other) const {
    LONGLONG mine = 0;
    LONGLONG theirs = 0;
    if (!ToFileTime(&mine) || !other.ToFileTime(&theirs)) {
        return 0;
    }
    return static_cast<LONG>((theirs - mine) / 10000000 / 86400);
}

bool CDate::Format(DWORD flags, LPCWSTR picture, LPWSTR buffer, int size) const {
    if (buffer == nullptr || size <= 0) {
        return false;
    }
    SYSTEMTIME time;
    ToSystemTime(&time);
    return GetDateFormatW(LOCALE_USER_DEFAULT, flags, &time, picture, buffer, size) > 0;
}

bool CDate::FormatShortDate(LPWSTR buffer, int size) const {
    return Format(DATE_SHORTDATE, nullptr, buffer, size);
}

bool CDate::FormatDayMonth(LPWSTR buffer, int size) const {
    return Format(0, u"ddd',' dd MMM", buffer, size);
}

void CDate::Clear() {
    m_year = 0;
    m_month = 0;
    m_day = 0;
}

bool CDate::IsValid() const {
    return m_day >= 1 && m_day <= 31 && m_month >= 1 && m_month <= 12 && m_year >= 2001 && m_year <= 2099;
}
