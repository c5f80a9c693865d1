#include "PackageCache.h"

#include <charconv>

namespace {

// The shortest text that reads back as the same number.
std::string Exact(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

}  // namespace

// Every field the document is built from.
std::string PackageCache::KeyOf(const ForecastRequest& request) {
    return request.place.id + '|' + Exact(request.place.latitude) + '|' + Exact(request.place.longitude) + '|' +
           request.reportedId + '|' + request.today.Digits() + '|' + std::to_string(request.hour) + '|' +
           std::to_string(request.days) + '|' + std::to_string(request.hours);
}

std::optional<std::string> PackageCache::Find(const ForecastRequest& request) {
    std::lock_guard guard(lock_);
    auto found = packages_.find(KeyOf(request));
    if (found == packages_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PackageCache::Store(const ForecastRequest& request, const std::string& package) {
    std::lock_guard guard(lock_);
    if (packages_.size() >= kMaxEntries) {
        packages_.clear();
    }
    packages_[KeyOf(request)] = package;
}
