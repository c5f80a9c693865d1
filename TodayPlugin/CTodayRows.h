// The five columns of the Today item and the Home plug-in, taken from one city at one local time: the
// next days from today, or the next parts of the day from the current one.
#pragma once

#include <string>
#include <vector>

#include "Weather/CCity.h"

struct TodayColumn {
    static constexpr int kMissing = -10000;

    std::u16string label;
    // A shorter label for a column too narrow for `label`: the update time without its AM/PM marker,
    // on the same clock; empty when there is none.
    std::u16string shortLabel;
    int picture = -1;
    // Days carry a high and a low; the current conditions and the parts of the day one temperature,
    // kept in `low` with `single` set.
    int high = kMissing;
    int low = kMissing;
    bool single = false;
};

class CTodayRows {
public:
    static constexpr int kColumnCount = 5;

    // From today's date, up to five consecutive dates that have a day forecast; the current conditions
    // take the first column while they are less than 24 hours old.
    static std::vector<TodayColumn> FiveDays(const CCity& city, const SYSTEMTIME& now, DWORD degreeType);
    // From the part of the day that `now` falls in (before 05:00: last night), up to five parts.
    static std::vector<TodayColumn> DayParts(const CCity& city, const SYSTEMTIME& now, DWORD degreeType);

    // The part slot (0 morning, 1 day, 2 evening, 3 night) of an hour, and whether it is the night of
    // the day before.
    static int PartOfHour(int hour, bool* yesterday);
    // The current conditions' picture: by night before sunrise or from sunset on.
    static bool IsNight(const CCity& city, const SYSTEMTIME& now);

private:
    static bool CurrentConditionsFresh(const CCity& city, const SYSTEMTIME& now, CCurrentCondition* current);
    static TodayColumn CurrentColumn(const CCity& city, const CCurrentCondition& current, const SYSTEMTIME& now,
                                     DWORD degreeType);
};
