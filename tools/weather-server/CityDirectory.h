// The places the server knows by location id: read from a city table ("ID;latitude;longitude" lines),
// or, without a table, any well-formed id at a place derived from the id itself.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "ClimateModel.h"

class CityDirectory {
public:
    // Reads the table; false with a message when the file cannot be read or a line is malformed.
    bool Load(const std::string& path, std::string& error);
    std::optional<Place> Find(const std::string& locationId) const;
    static bool IsWellFormedId(const std::string& locationId);

private:
    std::map<std::string, Place> places_;
    bool loaded_ = false;
};
