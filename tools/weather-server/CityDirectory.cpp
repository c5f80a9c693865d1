#include "CityDirectory.h"

#include <cctype>
#include <cstdlib>
#include <fstream>

bool CityDirectory::IsWellFormedId(const std::string& locationId) {
    if (locationId.size() != 8) {
        return false;
    }
    for (unsigned char c : locationId) {
        if (!std::isalnum(c)) {
            return false;
        }
    }
    return true;
}

bool CityDirectory::Load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the city table " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        size_t a = line.find(';');
        size_t b = a == std::string::npos ? a : line.find(';', a + 1);
        Place place;
        place.id = line.substr(0, a);
        char* end = nullptr;
        if (b != std::string::npos) {
            place.latitude = std::strtod(line.c_str() + a + 1, &end);
        }
        bool latitudeOk = b != std::string::npos && end == line.c_str() + b;
        if (latitudeOk) {
            place.longitude = std::strtod(line.c_str() + b + 1, &end);
        }
        if (!IsWellFormedId(place.id) || !latitudeOk || end == line.c_str() + b + 1 ||
            !(std::abs(place.latitude) <= 90) || !(std::abs(place.longitude) <= 180)) {  // also NaN
            error = path + ":" + std::to_string(number) + ": expected ID;latitude;longitude";
            return false;
        }
        places_[place.id] = place;
    }
    loaded_ = true;
    return true;
}

std::optional<Place> CityDirectory::Find(const std::string& locationId) const {
    if (!IsWellFormedId(locationId)) {
        return std::nullopt;
    }
    if (loaded_) {
        auto it = places_.find(locationId);
        return it == places_.end() ? std::nullopt : std::optional<Place>(it->second);
    }
    // No table: a stable place of the inhabited latitudes, derived from the id.
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : locationId) {
        h = (h ^ c) * 1099511628211ull;
    }
    Place place;
    place.id = locationId;
    place.latitude = -45.0 + static_cast<double>(h % 10000) / 10000.0 * 110.0;
    place.longitude = -180.0 + static_cast<double>((h >> 20) % 36000) / 100.0;
    return place;
}
