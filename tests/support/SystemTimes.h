// A SYSTEMTIME from its fields, for the tests of clocks, calendars and formats.
#pragma once

#include "ce/kernel.h"

namespace ce::test {

inline SYSTEMTIME MakeSystemTime(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

}  // namespace ce::test
