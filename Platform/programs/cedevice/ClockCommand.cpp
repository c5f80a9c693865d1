// cedevice clock: shows the device's clock, or moves it. "set" switches the device to the virtual clock at
// a UTC time, "advance" moves the virtual clock on, "real" goes back to the host's clock.
#include <cstdio>
#include <ctime>
#include <iostream>

#include "Commands.h"
#include "ce/device.h"

namespace cedevice {
namespace {

std::string UtcText(uint64_t unixMs) {
    time_t seconds = static_cast<time_t>(unixMs / 1000);
    tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

// "2026-03-02T10:00" or "2026-03-02T10:00:30", UTC (a trailing Z is allowed).
bool ParseUtc(const std::string& text, uint64_t& unixMs) {
    tm parts{};
    int consumed = 0;
    int fields =
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%n:%2d%n", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &consumed, &parts.tm_sec, &consumed);
    std::string rest = consumed > 0 ? text.substr(static_cast<size_t>(consumed)) : text;
    if (fields < 5 || !(rest.empty() || rest == "Z") || parts.tm_year < 1970 || parts.tm_mon < 1 ||
        parts.tm_mon > 12 || parts.tm_mday < 1 || parts.tm_mday > 31 || parts.tm_hour > 23 ||
        parts.tm_min > 59 || parts.tm_sec > 59) {
        return false;
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    time_t seconds = timegm(&parts);
    if (seconds < 0) {
        return false;
    }
    unixMs = static_cast<uint64_t>(seconds) * 1000;
    return true;
}

// "90s", "15m", "2h", "1d", "500ms" or plain milliseconds.
bool ParseDuration(const std::string& text, uint64_t& milliseconds) {
    size_t digits = text.find_first_not_of("0123456789");
    std::string number = text.substr(0, digits);
    std::string unit = digits == std::string::npos ? "" : text.substr(digits);
    uint64_t scale = unit.empty() || unit == "ms" ? 1
                     : unit == "s"                ? 1000
                     : unit == "m"                ? 60 * 1000
                     : unit == "h"                ? 3600 * 1000
                     : unit == "d"                ? 86400 * 1000
                                                  : 0;
    if (number.empty() || number.size() > 15 || scale == 0) {
        return false;
    }
    milliseconds = std::stoull(number) * scale;
    return true;
}

}  // namespace

int MoveClock(const std::string&, const Arguments& arguments) {
    std::string action = arguments.empty() ? "" : arguments[0];
    if (action == "set" && arguments.size() == 2) {
        uint64_t unixMs = 0;
        if (!ParseUtc(arguments[1], unixMs)) {
            return Fail(kExitUsage, "not a UTC time like 2026-03-02T10:00:00Z: '" + arguments[1] + "'");
        }
        ce::EnableVirtualClock(unixMs);
    } else if (action == "advance" && arguments.size() == 2) {
        uint64_t milliseconds = 0;
        if (!ParseDuration(arguments[1], milliseconds)) {
            return Fail(kExitUsage, "not a duration like 90s, 15m, 2h or 1d: '" + arguments[1] + "'");
        }
        if (!ce::VirtualClockEnabled()) {
            return Fail(kExitFailed, "the device runs on the real clock; set it first");
        }
        ce::AdvanceVirtualClock(milliseconds);
    } else if (action == "real" && arguments.size() == 1) {
        ce::DisableVirtualClock();
    } else if (!arguments.empty()) {
        return Fail(kExitUsage, "clock wants nothing, set UTC-TIME, advance DURATION or real");
    }
    std::cout << UtcText(ce::ClockUnixMs()) << (ce::VirtualClockEnabled() ? " virtual" : " real") << "\n";
    return kExitDone;
}

}  // namespace cedevice
