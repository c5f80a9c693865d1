// A time zone of the tz database, read from its compiled file under /usr/share/zoneinfo: the listed
// transitions, then the file's POSIX rule for later years. "UTC", an unknown or a damaged zone give UTC.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "time/PosixTzRule.h"

namespace ce::detail {

class CE_API TimeZone {
public:
    // The zone of the device profile's "timezone" key (an IANA name such as "Europe/Berlin").
    static std::shared_ptr<const TimeZone> OfDevice();
    static std::shared_ptr<const TimeZone> Load(const std::string& name);
    // Builds a zone from the bytes of a compiled zone file; UTC when they cannot be read.
    static std::shared_ptr<const TimeZone> FromData(const std::string& name, const std::string& data);

    const std::string& Name() const { return name_; }
    ZoneState StateAt(int64_t unixSeconds) const;
    // The UTC second of a local time; in the hour skipped by a change the earlier offset is used.
    int64_t LocalToUtc(int64_t localSeconds) const;
    // The rule of the current years (the file's footer), when it has one.
    const std::optional<PosixTzRule>& Rule() const { return rule_; }

private:
    bool Parse(const std::string& data);

    std::string name_;
    std::vector<int64_t> transitions_;
    std::vector<uint8_t> transitionTypes_;
    std::vector<ZoneState> types_;
    std::optional<PosixTzRule> rule_;
};

}  // namespace ce::detail
