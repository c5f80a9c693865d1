// The signed packages already built, by place (its id and coordinates) and local hour: a forecast is
// the same for the same place and hour, and building one (the climate model, the signature, the
// deflate) takes most of a reply's time. Bounded: emptied when full.
#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "ForecastDocument.h"

class PackageCache {
public:
    static constexpr size_t kMaxEntries = 4096;

    std::optional<std::string> Find(const ForecastRequest& request);
    void Store(const ForecastRequest& request, const std::string& package);

private:
    static std::string KeyOf(const ForecastRequest& request);

    std::mutex lock_;
    std::map<std::string, std::string> packages_;
};
