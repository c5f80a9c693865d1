// GetDateFormatW and GetTimeFormatW on the device's locales.
#include "ce/kernel.h"
#include "locale/DateTimePicture.h"
#include "time/CivilTime.h"

using namespace ce::detail;

namespace {

int FailInvalid() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

}  // namespace

extern "C" {

// The day of the week is computed from the date; the one passed in is not trusted.
CE_API int GetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCWSTR format, LPWSTR out,
                          int size) {
    SYSTEMTIME when{};
    if (date == nullptr) {
        GetLocalTime(&when);
    } else {
        when = *date;
        when.wHour = when.wMinute = when.wSecond = when.wMilliseconds = 0;
        if (!IsValidSystemTime(when)) {
            return FailInvalid();
        }
        when.wDayOfWeek =
            static_cast<WORD>(WeekdayFromDays(DaysFromCivil(when.wYear, when.wMonth, when.wDay)));
    }
    if (format != nullptr && (flags & (DATE_SHORTDATE | DATE_LONGDATE))) {
        return FailInvalid();
    }
    const LocaleData* data = LocaleDataFor(locale);
    if (data == nullptr) {
        return FailInvalid();
    }
    std::u16string_view picture = format                    ? format
                                  : (flags & DATE_LONGDATE) ? data->longDate
                                                            : data->shortDate;
    return CopyLocaleText(FormatDate(*data, when, picture), out, size);
}

CE_API int GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR out,
                          int size) {
    SYSTEMTIME when{};
    if (time == nullptr) {
        GetLocalTime(&when);
    } else if (time->wHour > 23 || time->wMinute > 59 || time->wSecond > 59 || time->wMilliseconds > 999) {
        return FailInvalid();
    } else {
        when = *time;
    }
    const LocaleData* data = LocaleDataFor(locale);
    if (data == nullptr) {
        return FailInvalid();
    }
    return CopyLocaleText(FormatTime(*data, when, format ? format : data->timeFormat, flags), out, size);
}

}  // extern "C"
