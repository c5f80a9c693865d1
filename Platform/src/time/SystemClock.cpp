// Local and system time, the tick count and the time zone, all on the layer's clock.
#include <algorithm>

#include "ce/device.h"
#include "ce/kernel.h"
#include "time/CivilTime.h"
#include "time/FileTimeValue.h"
#include "time/TimeZone.h"

using namespace ce::detail;

namespace {

int64_t FloorDiv(int64_t value, int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

int64_t LocalMsOf(int64_t utcMs) {
    return utcMs + int64_t{TimeZone::OfDevice()->StateAt(FloorDiv(utcMs, 1000)).utcOffset} * 1000;
}

int64_t UtcMsOf(int64_t localMs) {
    int64_t seconds = FloorDiv(localMs, 1000);
    return TimeZone::OfDevice()->LocalToUtc(seconds) * 1000 + (localMs - seconds * 1000);
}

void CopyName(WCHAR (&target)[32], const std::string& name) {
    std::u16string wide = ce::FromUtf8(name);
    size_t length = std::min<size_t>(wide.size(), 31);
    std::char_traits<char16_t>::copy(target, wide.data(), length);
    target[length] = 0;
}

// The transition-rule form of a SYSTEMTIME: month, weekday, week of the month (5 = last) and time.
SYSTEMTIME RuleDate(const PosixTzRule::Change& change) {
    SYSTEMTIME date{};
    if (change.julianDay >= 0) {
        return date;  // day-of-year rules have no such form
    }
    date.wMonth = static_cast<WORD>(change.month);
    date.wDayOfWeek = static_cast<WORD>(change.weekday);
    date.wDay = static_cast<WORD>(change.week);
    date.wHour = static_cast<WORD>(change.seconds / 3600);
    date.wMinute = static_cast<WORD>(change.seconds / 60 % 60);
    date.wSecond = static_cast<WORD>(change.seconds % 60);
    return date;
}

BOOL FailInvalid() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

}  // namespace

extern "C" {

CE_API void GetSystemTime(LPSYSTEMTIME time) {
    if (time) {
        *time = SystemTimeFromUnixMs(static_cast<int64_t>(ce::ClockUnixMs()));
    }
}

CE_API void GetLocalTime(LPSYSTEMTIME time) {
    if (time) {
        *time = SystemTimeFromUnixMs(LocalMsOf(static_cast<int64_t>(ce::ClockUnixMs())));
    }
}

CE_API BOOL SetSystemTime(const SYSTEMTIME* time) {
    if (time == nullptr || !IsValidSystemTime(*time)) {
        return FailInvalid();
    }
    ce::SetClockUnixMs(static_cast<uint64_t>(UnixMsFromSystemTime(*time)));
    return TRUE;
}

CE_API BOOL SetLocalTime(const SYSTEMTIME* time) {
    if (time == nullptr || !IsValidSystemTime(*time)) {
        return FailInvalid();
    }
    ce::SetClockUnixMs(static_cast<uint64_t>(UtcMsOf(UnixMsFromSystemTime(*time))));
    return TRUE;
}

// Both use the offset in force at the time converted, so that a date in summer keeps its daylight hour.
CE_API BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
    if (utc == nullptr || local == nullptr) {
        return FailInvalid();
    }
    uint64_t rest = FileTimeValue(*utc) % 10000;
    *local = MakeFileTime(FileTimeValue(FileTimeFromUnixMs(LocalMsOf(UnixMsFromFileTime(*utc)))) + rest);
    return TRUE;
}

CE_API BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc) {
    if (local == nullptr || utc == nullptr) {
        return FailInvalid();
    }
    uint64_t rest = FileTimeValue(*local) % 10000;
    *utc = MakeFileTime(FileTimeValue(FileTimeFromUnixMs(UtcMsOf(UnixMsFromFileTime(*local)))) + rest);
    return TRUE;
}

CE_API DWORD GetTickCount(void) {
    return static_cast<DWORD>(ce::ClockTickMs());
}

CE_API BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        return FailInvalid();
    }
    count->QuadPart = static_cast<LONGLONG>(ce::ClockTickMs());
    return TRUE;
}

CE_API BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) {
        return FailInvalid();
    }
    frequency->QuadPart = 1000;
    return TRUE;
}

CE_API DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION info) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return TIME_ZONE_ID_INVALID;
    }
    *info = TIME_ZONE_INFORMATION{};
    auto zone = TimeZone::OfDevice();
    int64_t now = FloorDiv(static_cast<int64_t>(ce::ClockUnixMs()), 1000);
    const std::optional<PosixTzRule>& rule = zone->Rule();
    ZoneState standard = rule ? rule->Standard() : zone->StateAt(now);
    info->Bias = -standard.utcOffset / 60;
    CopyName(info->StandardName, standard.abbreviation);
    if (!rule || !rule->HasDaylight()) {
        return TIME_ZONE_ID_UNKNOWN;
    }
    CopyName(info->DaylightName, rule->Daylight().abbreviation);
    info->DaylightBias = -(rule->Daylight().utcOffset - standard.utcOffset) / 60;
    info->StandardDate = RuleDate(rule->End());
    info->DaylightDate = RuleDate(rule->Start());
    return zone->StateAt(now).daylight ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}

}  // extern "C"
