// The reader's fast paths against the plainest reading of the installed CityDB.dat: every record decoded
// bit by bit, split and converted with strtod, and the nearest cities found by measuring every one of
// them. Listing an entry's cities and the nearest-city search must give exactly what that reading gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Platform/TempDevice.h"
#include "Weather/CBitStream.h"
#include "Weather/CCityDB.h"
#include "Weather/CPrefixCodeDecoder.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace {

const std::string kBuiltDatabase = std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat";

struct ReferenceCity {
    std::u16string id;
    std::u16string name;
    std::u16string state;
    std::u16string country;
    double first = 0;
    double second = 0;
};

// Reads the file field by field as its format describes it, without the reader's tables and shortcuts.
class PlainReading {
public:
    explicit PlainReading(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        codePage_ = U16();
        const uint16_t tableSize = U16();
        const uint8_t* tableBytes = Bytes(tableSize);
        CBitStream table(tableBytes, ok_ ? tableSize : 0);
        ok_ = ok_ && decoder_.LoadTable(table);
        for (uint16_t entry = U16(); ok_ && entry > 0; --entry) {
            ReadEntry();
        }
    }
    bool Ok() const { return ok_; }
    // The cities of each index entry, in file order.
    const std::vector<std::vector<ReferenceCity>>& Entries() const { return entries_; }

private:
    void ReadEntry() {
        const uint8_t* lengthField = Bytes(1);
        const uint8_t length = ok_ ? lengthField[0] : 0;
        const uint8_t* coded = Bytes(length);
        const std::string text = ok_ ? DecodeBitByBit(coded, length) : std::string();
        const uint32_t low = U16();
        const uint32_t offset = low | (static_cast<uint32_t>(U16()) << 16);
        const uint16_t count = U16();
        const size_t hash = text.find('#');
        const std::u16string country = Wide(text.substr(0, hash));
        const std::u16string state = hash == std::string::npos ? u"" : Wide(text.substr(hash + 1));
        entries_.push_back(ReadRecords(offset, count, country, state));
    }
    std::vector<ReferenceCity> ReadRecords(size_t at, uint16_t count, const std::u16string& country,
                                           const std::u16string& state) {
        std::vector<ReferenceCity> cities;
        std::string previous;
        for (uint16_t i = 0; i < count && ok_; ++i) {
            ok_ = at + 2 <= bytes_.size() && at + 2 + (U16At(at) & 0x7FF) <= bytes_.size();
            if (!ok_) {
                break;
            }
            const uint16_t header = U16At(at);
            const size_t coded = header & 0x7FF;
            previous = previous.substr(0, header >> 11) +
                       DecodeBitByBit(reinterpret_cast<const uint8_t*>(bytes_.data() + at + 2), coded);
            at += 2 + coded;
            const size_t first = previous.find(';', 8);
            const size_t second = previous.find(';', first + 1);
            ok_ = ok_ && second != std::string::npos;
            if (ok_) {
                cities.push_back({Wide(previous.substr(0, 8)), Wide(previous.substr(8, first - 8)), state, country,
                                  std::strtod(previous.substr(first + 1, second - first - 1).c_str(), nullptr),
                                  std::strtod(previous.substr(second + 1).c_str(), nullptr)});
            }
        }
        return cities;
    }
    // One bit more at a time until the code is in the table, as the format defines the code.
    std::string DecodeBitByBit(const uint8_t* coded, size_t size) {
        CBitStream stream(coded, size);
        std::string text;
        for (;;) {
            CBitCode code;
            uint8_t symbol = 0;
            bool read = stream.ReadBits(1, code);
            while (read && !decoder_.FindSymbol(code, symbol)) {
                read = code.length < 32 && stream.AppendBits(code);
            }
            ok_ = ok_ && read;
            if (!read || symbol == 0) {
                return text;
            }
            text += static_cast<char>(symbol);
        }
    }
    std::u16string Wide(const std::string& text) const {
        std::u16string wide(text.size() * 2 + 1, u'\0');
        const int length = MultiByteToWideChar(codePage_, 0, text.data(), static_cast<int>(text.size()),
                                               wide.data(), static_cast<int>(wide.size()));
        wide.resize(static_cast<size_t>(std::max(length, 0)));
        return wide.substr(0, 99);  // the record's fields hold 99 characters
    }
    const uint8_t* Bytes(size_t count) {
        const auto* field = reinterpret_cast<const uint8_t*>(bytes_.data() + position_);
        position_ += count;
        ok_ = ok_ && position_ <= bytes_.size();
        return field;
    }
    uint16_t U16() {
        Bytes(2);
        return ok_ ? U16At(position_ - 2) : 0;
    }
    uint16_t U16At(size_t at) const {
        return static_cast<uint16_t>(static_cast<uint8_t>(bytes_[at]) | (static_cast<uint8_t>(bytes_[at + 1]) << 8));
    }

    std::string bytes_;
    size_t position_ = 0;
    bool ok_ = true;
    uint16_t codePage_ = 0;
    CPrefixCodeDecoder decoder_;
    std::vector<std::vector<ReferenceCity>> entries_;
};

// Every city measured, kept while within the admission limit of the nearest so far (100 km, or the
// nearest plus 10 per cent), equal distances in reading order, cut at the final limit.
std::vector<std::pair<int, ReferenceCity>> NearestByMeasuringAll(const PlainReading& reading, double first,
                                                                 double second) {
    const auto limitOf = [](int nearest) { return nearest <= 100 ? 100 : static_cast<int>(nearest * 1.1); };
    std::multimap<int, ReferenceCity> kept;
    for (const auto& entry : reading.Entries()) {
        for (const ReferenceCity& city : entry) {
            const int distance = CCityDB::GetDistanceKm(first, second, city.first, city.second);
            if (kept.empty() || distance <= limitOf(kept.begin()->first)) {
                kept.emplace(distance, city);
            }
        }
    }
    std::vector<std::pair<int, ReferenceCity>> nearest;
    for (const auto& [distance, city] : kept) {
        if (distance <= limitOf(kept.begin()->first)) {
            nearest.emplace_back(distance, city);
        }
    }
    return nearest;
}

void ExpectSameCity(const CityDBRecord& city, const ReferenceCity& expected) {
    EXPECT_EQ(std::u16string(city.locationId), expected.id);
    EXPECT_EQ(std::u16string(city.name), expected.name) << ce::ToUtf8(expected.id.c_str());
    EXPECT_EQ(std::u16string(city.state), expected.state) << ce::ToUtf8(expected.id.c_str());
    EXPECT_EQ(std::u16string(city.country), expected.country) << ce::ToUtf8(expected.id.c_str());
    EXPECT_EQ(city.first, expected.first) << ce::ToUtf8(expected.id.c_str());
    EXPECT_EQ(city.second, expected.second) << ce::ToUtf8(expected.id.c_str());
}

class CityDatabaseReference : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(kBuiltDatabase, device_.Fs("CityDB.dat"));
        ASSERT_TRUE(db_.Open(u"\\CityDB.dat"));
        ASSERT_TRUE(reading_.Ok());
        ASSERT_EQ(static_cast<size_t>(db_.GetEntryCount()), reading_.Entries().size());
    }

    ce::test::TempDevice device_;
    CCityDB db_;
    PlainReading reading_{kBuiltDatabase};
};

TEST_F(CityDatabaseReference, EveryEntryListsTheCitiesOfThePlainReading) {
    std::vector<CityDBRecord> cities;
    for (int i = 0; i < db_.GetEntryCount(); ++i) {
        const std::vector<ReferenceCity>& expected = reading_.Entries()[static_cast<size_t>(i)];
        ASSERT_TRUE(db_.ReadEntryCities(i, &cities)) << i;
        ASSERT_EQ(cities.size(), expected.size()) << i;
        for (size_t k = 0; k < cities.size(); ++k) {
            ExpectSameCity(cities[k], expected[k]);
        }
    }
}

// Random places over the whole globe, and places on and beside cities (distance 0, crowded limits) and
// on whole degrees.
TEST_F(CityDatabaseReference, TheSearchFindsWhatMeasuringEveryCityFinds) {
    std::vector<std::pair<double, double>> places;
    std::mt19937 random(2106);
    std::uniform_real_distribution<double> latitude(-90, 90);
    std::uniform_real_distribution<double> longitude(-180, 180);
    for (int i = 0; i < 40; ++i) {
        places.emplace_back(latitude(random), longitude(random));
    }
    for (size_t entry = 0; entry < reading_.Entries().size(); entry += 97) {
        const ReferenceCity& city = reading_.Entries()[entry].front();
        places.emplace_back(city.first, city.second);
        places.emplace_back(city.first + 0.37, city.second - 0.21);
        // On a whole degree of latitude, where the search's bands of whole degrees meet.
        places.emplace_back(std::floor(city.first), city.second + 0.05);
    }
    for (const auto& [first, second] : places) {
        SCOPED_TRACE(std::to_string(first) + ", " + std::to_string(second));
        const auto expected = NearestByMeasuringAll(reading_, first, second);
        std::vector<NearbyCity> nearby;
        ASSERT_TRUE(db_.FindNearbyCities(first, second, &nearby));
        ASSERT_EQ(nearby.size(), expected.size());
        for (size_t k = 0; k < nearby.size(); ++k) {
            EXPECT_EQ(nearby[k].distanceKm, expected[k].first);
            ExpectSameCity(nearby[k].city, expected[k].second);
        }
    }
}

}  // namespace
