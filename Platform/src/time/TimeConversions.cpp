// SYSTEMTIME <-> FILETIME and comparisons.
#include "ce/kernel.h"
#include "time/CivilTime.h"
#include "time/FileTimeValue.h"

namespace ce::detail {

bool IsValidSystemTime(const SYSTEMTIME& time) {
    return time.wYear >= 1601 && time.wYear <= 30827 && time.wMonth >= 1 && time.wMonth <= 12 &&
           time.wDay >= 1 && time.wDay <= DaysInMonth(time.wYear, time.wMonth) && time.wHour < 24 &&
           time.wMinute < 60 && time.wSecond < 60 && time.wMilliseconds < 1000;
}

int64_t UnixMsFromSystemTime(const SYSTEMTIME& time) {
    int64_t days = DaysFromCivil(time.wYear, time.wMonth, time.wDay);
    return ((days * 24 + time.wHour) * 60 + time.wMinute) * 60000 + time.wSecond * 1000 + time.wMilliseconds;
}

SYSTEMTIME SystemTimeFromUnixMs(int64_t unixMs) {
    int64_t days = unixMs >= 0 ? unixMs / 86400000 : (unixMs - 86399999) / 86400000;
    int64_t rest = unixMs - days * 86400000;
    CivilDate date = CivilFromDays(days);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    time.wDayOfWeek = static_cast<WORD>(WeekdayFromDays(days));
    time.wHour = static_cast<WORD>(rest / 3600000);
    time.wMinute = static_cast<WORD>(rest / 60000 % 60);
    time.wSecond = static_cast<WORD>(rest / 1000 % 60);
    time.wMilliseconds = static_cast<WORD>(rest % 1000);
    return time;
}

}  // namespace ce::detail

using namespace ce::detail;

extern "C" {

CE_API BOOL SystemTimeToFileTime(const SYSTEMTIME* system, LPFILETIME file) {
    if (system == nullptr || file == nullptr || !IsValidSystemTime(*system)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *file = FileTimeFromUnixMs(UnixMsFromSystemTime(*system));
    return TRUE;
}

CE_API BOOL FileTimeToSystemTime(const FILETIME* file, LPSYSTEMTIME system) {
    // Years past 30827 do not fit a SYSTEMTIME.
    if (file == nullptr || system == nullptr || FileTimeValue(*file) >= 0x8000000000000000ULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *system = SystemTimeFromUnixMs(UnixMsFromFileTime(*file));
    return TRUE;
}

CE_API LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
    uint64_t x = FileTimeValue(*a);
    uint64_t y = FileTimeValue(*b);
    return x < y ? -1 : x > y ? 1 : 0;
}

}  // extern "C"
