// The cities to install, read from the world cities list (JSON), with their texts in code page 1252
// and their location ids: country code, state code (United States) or "XX", four digits.
#pragma once

#include <map>
#include <string>
#include <vector>

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
    bool Load(const std::string& jsonPath, std::string& error);
    const std::vector<SourceCity>& Cities() const { return cities_; }

private:
    bool AssignIds(std::string& error);

    std::map<std::string, std::string> usStateCodes_;
    std::vector<SourceCity> cities_;
};

// UTF-8 to code page 1252, transliterating what it lacks ("Tōkyō" -> "Tokyo"); empty on failure.
std::string ToCodePage1252(const std::string& utf8);
