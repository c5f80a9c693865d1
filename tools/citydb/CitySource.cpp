#include "CitySource.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

std::string ToCodePage1252(const std::string& utf8) {
    iconv_t converter = iconv_open("CP1252//TRANSLIT", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    std::string input = utf8;
    std::string output(input.size() * 4 + 8, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1)) {
        return {};
    }
    output.resize(output.size() - outLeft);
    return output;
}

bool CitySource::LoadStateCodes(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        size_t semicolon = line.find(';');
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (semicolon == std::string::npos || line.size() - semicolon - 1 != 2) {
            error = path + ": expected 'State;XY' in '" + line + "'";
            return false;
        }
        usStateCodes_[line.substr(0, semicolon)] = line.substr(semicolon + 1);
    }
    return true;
}

namespace {

bool IsCoordinate(const std::string& text, double limit) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value >= -limit && value <= limit;
}

std::string Text(const nlohmann::json& city, const char* field) {
    auto it = city.find(field);
    return it != city.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

bool CitySource::Load(const std::string& jsonPath, std::string& error) {
    std::ifstream in(jsonPath);
    if (!in) {
        error = "cannot read " + jsonPath;
        return false;
    }
    nlohmann::json document = nlohmann::json::parse(in, nullptr, false);
    if (!document.is_array()) {
        error = jsonPath + " is not a JSON list of cities";
        return false;
    }
    for (const auto& city : document) {
        SourceCity c;
        std::string code = Text(city, "iso2");
        c.name = ToCodePage1252(Text(city, "city"));
        if (c.name.empty() || c.name.find('?') != std::string::npos) {
            c.name = ToCodePage1252(Text(city, "city_ascii"));
        }
        c.country = ToCodePage1252(Text(city, "country"));
        c.state = ToCodePage1252(Text(city, "admin_name"));
        c.latitude = Text(city, "lat");
        c.longitude = Text(city, "lng");
        c.sourceId = std::atoll(Text(city, "id").c_str());
        bool usable = code.size() == 2 && std::isupper(static_cast<unsigned char>(code[0])) &&
                      std::isupper(static_cast<unsigned char>(code[1])) && !c.name.empty() && !c.country.empty() &&
                      IsCoordinate(c.latitude, 90) && IsCoordinate(c.longitude, 180) &&
                      c.name.find(';') == std::string::npos && c.country.find('#') == std::string::npos &&
                      c.state.find('#') == std::string::npos;
        if (!usable) {
            std::fprintf(stderr, "citydb: skipping an unusable city (%s)\n", Text(city, "city").c_str());
            continue;
        }
        auto state = code == "US" ? usStateCodes_.find(Text(city, "admin_name")) : usStateCodes_.end();
        c.id = code + (state != usStateCodes_.end() ? state->second : "XX");
        cities_.push_back(std::move(c));
    }
    return AssignIds(error);
}

// Numbers each country-and-state group in the order of the source's own ids, so that a city keeps its
// location id from one build to the next.
bool CitySource::AssignIds(std::string& error) {
    std::sort(cities_.begin(), cities_.end(), [](const SourceCity& a, const SourceCity& b) {
        return a.id != b.id ? a.id < b.id : a.sourceId < b.sourceId;
    });
    std::string group;
    int number = 0;
    for (auto& city : cities_) {
        if (city.id != group) {
            group = city.id;
            number = 0;
        }
        if (++number > 9999) {
            error = "more than 9999 cities in " + group;
            return false;
        }
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04d", number);
        city.id += digits;
    }
    return true;
}
