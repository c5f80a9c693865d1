#include "time/PosixTzRule.h"

#include <cctype>

#include "time/CivilTime.h"

namespace ce::detail {
namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Take(char c) {
        if (Peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }

    // "CET" or "<+03>".
    std::optional<std::string> Name() {
        std::string name;
        if (Take('<')) {
            while (!AtEnd() && Peek() != '>') {
                name += text_[pos_++];
            }
            return Take('>') && !name.empty() ? std::optional(name) : std::nullopt;
        }
        while (std::isalpha(static_cast<unsigned char>(Peek()))) {
            name += text_[pos_++];
        }
        return name.size() >= 3 ? std::optional(name) : std::nullopt;
    }

    std::optional<int> Number(int maximum) {
        if (!std::isdigit(static_cast<unsigned char>(Peek()))) {
            return std::nullopt;
        }
        int value = 0;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > maximum) {
                return std::nullopt;
            }
        }
        return value;
    }

    // [+-]hh[:mm[:ss]] in seconds.
    std::optional<int32_t> Duration() {
        int sign = Take('-') ? -1 : (Take('+'), 1);
        std::optional<int> hours = Number(167);
        if (!hours) {
            return std::nullopt;
        }
        int32_t seconds = *hours * 3600;
        for (int unit : {60, 1}) {
            if (!Take(':')) {
                break;
            }
            std::optional<int> part = Number(59);
            if (!part) {
                return std::nullopt;
            }
            seconds += *part * unit;
        }
        return sign * seconds;
    }

    std::optional<PosixTzRule::Change> Change() {
        PosixTzRule::Change change;
        if (Take('M')) {
            // "Mm.w.d": each part is needed, and each must hold before the next is read.
            std::optional<int> month = Number(12);
            if (!month || *month < 1 || !Take('.')) {
                return std::nullopt;
            }
            std::optional<int> week = Number(5);
            if (!week || *week < 1 || !Take('.')) {
                return std::nullopt;
            }
            std::optional<int> weekday = Number(6);
            if (!weekday) {
                return std::nullopt;
            }
            change.month = *month;
            change.week = *week;
            change.weekday = *weekday;
        } else {
            bool julian = Take('J');
            std::optional<int> day = Number(365);
            if (!day || (julian && *day < 1)) {
                return std::nullopt;
            }
            change.julianDay = *day;
            change.zeroBased = !julian;
        }
        if (Take('/')) {
            std::optional<int32_t> time = Duration();
            if (!time) {
                return std::nullopt;
            }
            change.seconds = *time;
        }
        return change;
    }

private:
    const std::string& text_;
    size_t pos_ = 0;
};

}  // namespace

std::optional<PosixTzRule> PosixTzRule::Parse(const std::string& text) {
    Reader reader(text);
    PosixTzRule rule;
    std::optional<std::string> standardName = reader.Name();
    std::optional<int32_t> standardOffset = standardName ? reader.Duration() : std::nullopt;
    if (!standardOffset) {
        return std::nullopt;
    }
    rule.standard_ = {-*standardOffset, false, *standardName};
    if (reader.AtEnd()) {
        return rule;
    }
    std::optional<std::string> daylightName = reader.Name();
    if (!daylightName) {
        return std::nullopt;
    }
    int32_t daylightOffset = rule.standard_.utcOffset + 3600;
    if (reader.Peek() != ',' && !reader.AtEnd()) {
        std::optional<int32_t> offset = reader.Duration();
        if (!offset) {
            return std::nullopt;
        }
        daylightOffset = -*offset;
    }
    rule.daylight_ = {daylightOffset, true, *daylightName};
    // Without dates the rules of the United States apply, as POSIX says.
    rule.start_ = {3, 2, 0, 7200, -1, false};
    rule.end_ = {11, 1, 0, 7200, -1, false};
    if (reader.Take(',')) {
        std::optional<Change> start = reader.Change();
        std::optional<Change> end = start && reader.Take(',') ? reader.Change() : std::nullopt;
        if (!end || !reader.AtEnd()) {
            return std::nullopt;
        }
        rule.start_ = *start;
        rule.end_ = *end;
    }
    rule.hasDaylight_ = true;
    return rule;
}

int64_t PosixTzRule::ChangeInstant(const Change& change, int64_t year, int32_t local) {
    int64_t day;
    if (change.julianDay >= 0) {
        day = DaysFromCivil(year, 1, 1) + change.julianDay - (change.zeroBased ? 0 : 1);
        bool leap = DaysInMonth(year, 2) == 29;
        if (!change.zeroBased && leap && change.julianDay >= 60) {
            ++day;  // Jn never counts February 29
        }
    } else {
        int64_t first = DaysFromCivil(year, static_cast<unsigned>(change.month), 1);
        int64_t offset = (change.weekday - static_cast<int>(WeekdayFromDays(first)) + 7) % 7;
        day = first + offset + 7 * (change.week - 1);
        unsigned length = DaysInMonth(year, static_cast<unsigned>(change.month));
        while (day >= first + length) {
            day -= 7;  // week 5 is the last such weekday of the month
        }
    }
    return day * 86400 + change.seconds - local;
}

ZoneState PosixTzRule::StateAt(int64_t unixSeconds) const {
    if (!hasDaylight_) {
        return standard_;
    }
    int64_t days = unixSeconds >= 0 ? unixSeconds / 86400 : (unixSeconds - 86399) / 86400;
    int64_t year = CivilFromDays(days).year;
    int64_t start = ChangeInstant(start_, year, standard_.utcOffset);
    int64_t end = ChangeInstant(end_, year, daylight_.utcOffset);
    bool inDaylight = start < end ? (unixSeconds >= start && unixSeconds < end)
                                  : (unixSeconds >= start || unixSeconds < end);  // southern hemisphere
    return inDaylight ? daylight_ : standard_;
}

}  // namespace ce::detail
