// The rule of a POSIX TZ text such as "CET-1CEST,M3.5.0,M10.5.0/3": what the tz database's files give
// for the years after their last listed transition.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ce/types.h"

namespace ce::detail {

struct ZoneState {
    int32_t utcOffset = 0;  // seconds east of UTC
    bool daylight = false;
    std::string abbreviation;
};

class CE_API PosixTzRule {
public:
    // Where daylight time starts or ends: month 1-12, week 1-5 (5 = last), weekday 0-6 (Sunday 0), and
    // the local time of the change in seconds after midnight.
    struct Change {
        int month = 0;
        int week = 0;
        int weekday = 0;
        int32_t seconds = 7200;
        int julianDay = -1;  // Jn (1-365, no Feb 29) when set; n (0-365) when zeroBased
        bool zeroBased = false;
    };

    static std::optional<PosixTzRule> Parse(const std::string& text);

    ZoneState StateAt(int64_t unixSeconds) const;
    bool HasDaylight() const { return hasDaylight_; }
    const ZoneState& Standard() const { return standard_; }
    const ZoneState& Daylight() const { return daylight_; }
    const Change& Start() const { return start_; }
    const Change& End() const { return end_; }

private:
    // The UTC second at which a change happens in a year; local is the offset in force before it.
    static int64_t ChangeInstant(const Change& change, int64_t year, int32_t local);

    ZoneState standard_;
    ZoneState daylight_;
    bool hasDaylight_ = false;
    Change start_;
    Change end_;
};

}  // namespace ce::detail
