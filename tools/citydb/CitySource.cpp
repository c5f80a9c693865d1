#include "CitySource.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "HostFile.h"

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
    std::vector<std::string> lines;
    if (!HostFile::ReadDataLines(path, lines)) {
        error = "cannot read " + path;
        return false;
    }
    for (const std::string& line : lines) {
        size_t semicolon = line.find(';');
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

bool CitySource::Load(const std::string& jsonPath, const CountryCodes& countries, std::string& error) {
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
        std::string country = countries.FipsOf(code);
        if (country.empty()) {
            error = "no country code for " + code + " (" + c.country + ")";
            return false;
        }
        auto state = code == "US" ? usStateCodes_.find(Text(city, "admin_name")) : usStateCodes_.end();
        c.id = country + (state != usStateCodes_.end() ? state->second : "XX");
        cities_.push_back(std::move(c));
    }
    return FixIds(error) && AssignIds(error);
}

bool CitySource::LoadFixedIds(const std::string& path, std::string& error) {
    std::vector<std::string> lines;
    if (!HostFile::ReadDataLines(path, lines)) {
        error = "cannot read " + path;
        return false;
    }
    for (const std::string& line : lines) {
        size_t first = line.find(';');
        size_t second = first == std::string::npos ? first : line.find(';', first + 1);
        long long sourceId = second == std::string::npos ? 0 : std::atoll(line.c_str() + first + 1);
        FixedId fixed{line.substr(0, first), second == std::string::npos ? "" : line.substr(second + 1)};
        if (fixed.id.size() != 8 || sourceId <= 0 || fixed.name.empty() || !fixedIds_.emplace(sourceId, fixed).second) {
            error = path + ": expected a unique 'location id;source id;name' in '" + line + "'";
            return false;
        }
    }
    return true;
}

namespace {

// The country (and state) part of a location id.
std::string GroupOf(const std::string& id) { return id.substr(0, 4); }

}  // namespace

// A fixed id must name the city's own country and state, so that it reads as every other id does.
bool CitySource::FixIds(std::string& error) {
    size_t found = 0;
    for (auto& city : cities_) {
        auto fixed = fixedIds_.find(city.sourceId);
        if (fixed == fixedIds_.end()) {
            continue;
        }
        if (GroupOf(fixed->second.id) != city.id || fixed->second.name != city.name) {
            error = "the fixed id " + fixed->second.id + " does not fit " + city.name + " (" + city.id + "...)";
            return false;
        }
        city.id = fixed->second.id;
        ++found;
    }
    if (found != fixedIds_.size()) {
        error = "a city of a fixed id is not in the list";
        return false;
    }
    return true;
}

// Numbers each country-and-state group in the order of the source's own ids, passing over the numbers
// of fixed ids, so that a city keeps its location id from one build to the next.
bool CitySource::AssignIds(std::string& error) {
    std::set<std::string> taken;
    for (const auto& city : cities_) {
        if (city.id.size() == 8) {
            taken.insert(city.id);
        }
    }
    std::sort(cities_.begin(), cities_.end(), [](const SourceCity& a, const SourceCity& b) {
        return GroupOf(a.id) != GroupOf(b.id) ? GroupOf(a.id) < GroupOf(b.id) : a.sourceId < b.sourceId;
    });
    std::string group;
    int number = 0;
    for (auto& city : cities_) {
        if (GroupOf(city.id) != group) {
            group = GroupOf(city.id);
            number = 0;
        }
        if (city.id.size() == 8) {
            continue;
        }
        char id[16];
        do {
            if (++number > 9999) {
                error = "more than 9999 cities in " + group;
                return false;
            }
            std::snprintf(id, sizeof id, "%s%04d", group.c_str(), number);
        } while (taken.count(id) != 0);
        city.id = id;
    }
    return true;
}
