// The second line of the main window's city switch: whether the city's forecast is being fetched, or
// how long ago it was.
#pragma once

#include <string>

#include "ce/kernel.h"

class CCity;

// The status of a city at local time `now`; false when the text it needs has no localization (the
// caller then leaves the line as it was).
bool GetCityStatusText(const CCity& city, const FILETIME& now, bool updating, std::u16string* text);

// The shorter whole text for a status of "Updated at 14:05" where that is too wide to be shown: the
// update's day seen from local time `now`, "Updated today" or "Updated yesterday"; false when the
// status is another one (it has no shorter text) or the day lies further back.
bool GetCityStatusShortText(const CCity& city, const FILETIME& now, bool updating, std::u16string* text);
// The same for any update at local time `localTime`.
bool GetUpdatedOnDayText(const FILETIME& localTime, const FILETIME& now, std::u16string* text);

// "Updated at 14:05": the template filled with the local time in the locale's time format without
// seconds; false when the template or the format cannot be had.
bool GetUpdatedAtText(const FILETIME& localTime, std::u16string* text);

// The locale's time format without its seconds: every seconds field goes together with the separator
// run before it ("HH:mm:ss" gives "HH:mm", "h.mm.ss tt" gives "h.mm tt").
std::u16string TimeFormatWithoutSeconds(std::u16string_view format);
// A time in that format; false when the locale has no time format or the buffer is too small.
bool FormatTimeWithoutSeconds(const SYSTEMTIME& time, LPWSTR buffer, int size);
