// The cities to install, read from the world cities list (JSON), with their texts in code page 1252
// and their location ids: the country's FIPS 10-4 code, the state's code (United States) or "XX", and
// four digits.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "CountryCodes.h"

struct SourceCity {
    std::string id;       // location id, 8 characters
    std::string name;     // code page 1252
    std::string country;  // code page 1252
    std::string state;    // code page 1252, may be empty
    std::string latitude;
    std::string longitude;
    long long sourceId = 0;
};

class CitySource {
public:
    bool LoadStateCodes(const std::string& path, std::string& error);
    // Reads "location id;source id;name" lines: cities whose id is fixed rather than numbered.
    bool LoadFixedIds(const std::string& path, std::string& error);
    bool Load(const std::string& jsonPath, const CountryCodes& countries, std::string& error);
    const std::vector<SourceCity>& Cities() const { return cities_; }

private:
    bool FixIds(std::string& error);
    bool AssignIds(std::string& error);

    struct FixedId {
        std::string id;
        std::string name;
    };
    std::map<std::string, std::string> usStateCodes_;
    std::map<long long, FixedId> fixedIds_;
    std::vector<SourceCity> cities_;
};

// UTF-8 to code page 1252, transliterating what it lacks ("Tōkyō" -> "Tokyo"); empty on failure.
std::string ToCodePage1252(const std::string& utf8);
