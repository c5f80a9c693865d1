// The whole installed city database read back against a listing taken from the reader before its fast
// paths: every entry's names and every record's fields, and the nearest cities of places near and far
// from any city, in their order. A change in decoding, conversion, number reading or the search's
// admission shows here as a changed digest or listing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Platform/TempDevice.h"
#include "Weather/CCityDB.h"

namespace {

const std::string kBuiltDatabase = std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat";

// FNV-1a over texts and the exact bits of numbers.
class Digest {
public:
    void Add(const std::u16string& text) {
        for (char16_t c : text) {
            AddByte(static_cast<uint8_t>(c & 0xFF));
            AddByte(static_cast<uint8_t>(c >> 8));
        }
        AddByte(0xFF);  // ends the text, so that "ab"+"c" and "a"+"bc" differ
    }
    void Add(const WCHAR* text) { Add(std::u16string(text != nullptr ? text : u"(null)")); }
    void Add(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%a", value);
        for (const char* c = text; *c != 0; ++c) {
            AddByte(static_cast<uint8_t>(*c));
        }
        AddByte(0xFF);
    }
    void Add(const CityDBRecord& city) {
        Add(city.locationId);
        Add(city.name);
        Add(city.state);
        Add(city.country);
        Add(city.first);
        Add(city.second);
    }
    uint64_t Value() const { return value_; }

private:
    void AddByte(uint8_t byte) { value_ = (value_ ^ byte) * 0x100000001B3ull; }
    uint64_t value_ = 0xCBF29CE484222325ull;
};

class CityDatabaseListing : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(kBuiltDatabase, device_.Fs("CityDB.dat"));
        ASSERT_TRUE(db_.Open(u"\\CityDB.dat"));
    }

    // The count, the first three ids with their distances, and a digest of the whole listing in order.
    std::string NearbyListing(double first, double second) {
        std::vector<NearbyCity> nearby;
        if (!db_.FindNearbyCities(first, second, &nearby)) {
            return "search failed";
        }
        Digest digest;
        std::string head;
        for (size_t i = 0; i < nearby.size(); ++i) {
            const CityDBRecord& city = nearby[i].city;
            digest.Add(city);
            digest.Add(static_cast<double>(nearby[i].distanceKm));
            if (i < 3) {
                head += ce::ToUtf8(city.locationId) + "@" + std::to_string(nearby[i].distanceKm) + " ";
            }
        }
        char value[20];
        std::snprintf(value, sizeof value, "%016llx", static_cast<unsigned long long>(digest.Value()));
        return std::to_string(nearby.size()) + ": " + head + value;
    }

    ce::test::TempDevice device_;
    CCityDB db_;
};

TEST_F(CityDatabaseListing, EveryEntryAndRecordReadsAsBefore) {
    Digest names;
    Digest records;
    size_t count = 0;
    std::vector<CityDBRecord> cities;
    for (int i = 0; i < db_.GetEntryCount(); ++i) {
        names.Add(db_.GetEntryName(i));
        names.Add(db_.GetEntrySubName(i));
        ASSERT_TRUE(db_.ReadEntryCities(i, &cities)) << i;
        for (const CityDBRecord& city : cities) {
            records.Add(city);
        }
        count += cities.size();
    }
    EXPECT_EQ(db_.GetEntryCount(), 1253);
    EXPECT_EQ(count, 44691u);
    EXPECT_EQ(names.Value(), 5625896976097868269u);
    EXPECT_EQ(records.Value(), 17121242482059188950u);
}

TEST_F(CityDatabaseListing, NearestCitiesOfPlacesNearAndFarFromAnyCityAreAsBefore) {
    // A dense capital, a coast, the southern half, both sides of the date line, open sea (the limit
    // grows past 100 km) and near a pole (longitudes crowd together).
    EXPECT_EQ(NearbyListing(52.52, 13.405), "69: GMXX0842@0 GMXX1215@13 GMXX0731@15 474e4ebe0c780367");
    EXPECT_EQ(NearbyListing(40.7128, -74.006), "480: USNJ0112@4 USNJ0113@5 USNJ0038@6 5c02a34ffe9adc66");
    EXPECT_EQ(NearbyListing(35.6762, 139.6503), "275: JAXX0072@2 JAXX1132@3 JAXX1065@3 0c892eb59157f486");
    EXPECT_EQ(NearbyListing(-33.8688, 151.2093), "10: ASXX0030@0 ASXX0016@33 ASXX0131@42 a11beaa924d60c1c");
    EXPECT_EQ(NearbyListing(-17.7134, 179.9), "4: FJXX0006@147 FJXX0009@151 FJXX0007@153 e70695a421dddeb5");
    EXPECT_EQ(NearbyListing(64.2, -179.9), "3: RSXX0130@129 RSXX0134@132 RSXX0605@137 dd0440f434d4f89c");
    EXPECT_EQ(NearbyListing(0.0, -30.0), "26: BRXX2701@837 BRXX2542@837 BRXX0350@846 c62c0fc6ffad3f59");
    EXPECT_EQ(NearbyListing(-45.0, -120.0), "1: PCXX0001@2394 887e8055cb997678");
    EXPECT_EQ(NearbyListing(89.9, 0.0), "1: GLXX0012@910 4ace400ce590287c");
    EXPECT_EQ(NearbyListing(-89.9, 45.0), "11: CIXX0103@3903 ARXX0383@3918 SXXX0002@3969 f57d24b259be8683");
}

}  // namespace
