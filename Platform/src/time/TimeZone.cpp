#include "time/TimeZone.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "ce/device.h"
#include "device/AtomicFile.h"

namespace ce::detail {
namespace {

class BigEndianReader {
public:
    explicit BigEndianReader(const std::string& data) : data_(data) {}
    bool Has(size_t bytes) const { return pos_ + bytes <= data_.size(); }
    int64_t Read(int bytes) {
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = (value << 8) | static_cast<unsigned char>(data_[pos_++]);
        }
        if (bytes == 4) {
            return static_cast<int32_t>(static_cast<uint32_t>(value));
        }
        return static_cast<int64_t>(value);
    }
    void Skip(size_t bytes) { pos_ += bytes; }
    size_t Position() const { return pos_; }

private:
    const std::string& data_;
    size_t pos_ = 0;
};

struct Counts {
    int64_t isUt, isStd, leap, time, type, chars;
};

bool ReadHeader(BigEndianReader& in, const std::string& data, char& version, Counts& counts) {
    size_t at = in.Position();
    if (!in.Has(44) || data.compare(at, 4, "TZif") != 0) {
        return false;
    }
    version = data[at + 4];
    in.Skip(20);
    counts = {in.Read(4), in.Read(4), in.Read(4), in.Read(4), in.Read(4), in.Read(4)};
    return counts.isUt >= 0 && counts.isStd >= 0 && counts.leap >= 0 && counts.time >= 0 && counts.type > 0 &&
           counts.type < 256 && counts.chars >= 0;
}

size_t BlockSize(const Counts& counts, int timeBytes) {
    return static_cast<size_t>(counts.time * (timeBytes + 1) + counts.type * 6 + counts.chars +
                               counts.leap * (timeBytes + 4) + counts.isStd + counts.isUt);
}

// Zone names come from the profile: refuse anything that could leave the zone folder.
bool IsZoneName(const std::string& name) {
    return !name.empty() && name.size() < 128 && name[0] != '/' && name.find("..") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

bool TimeZone::Parse(const std::string& data) {
    BigEndianReader in(data);
    char version = 0;
    Counts counts{};
    if (!ReadHeader(in, data, version, counts)) {
        return false;
    }
    int timeBytes = 4;
    if (version >= '2') {
        in.Skip(BlockSize(counts, 4));  // the 32-bit block is repeated with 64-bit times
        if (!ReadHeader(in, data, version, counts)) {
            return false;
        }
        timeBytes = 8;
    }
    if (!in.Has(BlockSize(counts, timeBytes))) {
        return false;
    }
    for (int64_t i = 0; i < counts.time; ++i) {
        transitions_.push_back(in.Read(timeBytes));
    }
    for (int64_t i = 0; i < counts.time; ++i) {
        transitionTypes_.push_back(static_cast<uint8_t>(in.Read(1)));
    }
    std::vector<size_t> abbreviationAt;
    for (int64_t i = 0; i < counts.type; ++i) {
        int32_t offset = static_cast<int32_t>(in.Read(4));
        bool daylight = in.Read(1) != 0;
        abbreviationAt.push_back(static_cast<size_t>(in.Read(1)));
        types_.push_back({offset, daylight, {}});
    }
    std::string abbreviations = data.substr(in.Position(), static_cast<size_t>(counts.chars));
    for (size_t i = 0; i < types_.size(); ++i) {
        if (abbreviationAt[i] < abbreviations.size()) {
            types_[i].abbreviation = abbreviations.c_str() + abbreviationAt[i];
        }
    }
    if (std::any_of(transitionTypes_.begin(), transitionTypes_.end(),
                    [&](uint8_t type) { return type >= types_.size(); })) {
        return false;
    }
    in.Skip(BlockSize(counts, timeBytes) -
            static_cast<size_t>(counts.time * (timeBytes + 1) + counts.type * 6));
    if (timeBytes == 8 && in.Has(2) && data[in.Position()] == '\n') {
        size_t end = data.find('\n', in.Position() + 1);
        if (end != std::string::npos) {
            rule_ = PosixTzRule::Parse(data.substr(in.Position() + 1, end - in.Position() - 1));
        }
    }
    return true;
}

std::shared_ptr<const TimeZone> TimeZone::FromData(const std::string& name, const std::string& data) {
    auto zone = std::make_shared<TimeZone>();
    zone->name_ = name;
    if (!zone->Parse(data)) {
        auto utc = std::make_shared<TimeZone>();
        utc->name_ = "UTC";
        utc->types_.push_back({0, false, "UTC"});
        return utc;
    }
    return zone;
}

std::shared_ptr<const TimeZone> TimeZone::Load(const std::string& name) {
    static std::mutex lock;
    static auto* zones = new std::map<std::string, std::shared_ptr<const TimeZone>>;
    std::lock_guard guard(lock);
    auto known = zones->find(name);
    if (known != zones->end()) {
        return known->second;
    }
    std::string data;
    if (!IsZoneName(name) || !ReadWholeFile("/usr/share/zoneinfo/" + name, data)) {
        data.clear();
    }
    auto zone = FromData(name, data);
    zones->emplace(name, zone);
    return zone;
}

std::shared_ptr<const TimeZone> TimeZone::OfDevice() {
    return Load(ProfileString("device", "timezone"));
}

ZoneState TimeZone::StateAt(int64_t unixSeconds) const {
    if (transitions_.empty() || unixSeconds < transitions_.front()) {
        if (transitions_.empty() && rule_) {
            return rule_->StateAt(unixSeconds);
        }
        auto standard =
            std::find_if(types_.begin(), types_.end(), [](const ZoneState& s) { return !s.daylight; });
        return standard != types_.end() ? *standard : types_.front();
    }
    if (unixSeconds >= transitions_.back() && rule_) {
        return rule_->StateAt(unixSeconds);
    }
    auto after = std::upper_bound(transitions_.begin(), transitions_.end(), unixSeconds);
    return types_[transitionTypes_[static_cast<size_t>(after - transitions_.begin() - 1)]];
}

int64_t TimeZone::LocalToUtc(int64_t localSeconds) const {
    // Try the offsets in force a day either side; the first one that maps back to this local time wins.
    int32_t before = StateAt(localSeconds - 86400).utcOffset;
    int32_t after = StateAt(localSeconds + 86400).utcOffset;
    for (int32_t offset : {before, after}) {
        if (StateAt(localSeconds - offset).utcOffset == offset) {
            return localSeconds - offset;
        }
    }
    return localSeconds - before;
}

}  // namespace ce::detail
