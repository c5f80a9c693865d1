// The city database: the installed file read back against the table its writer made from the same
// source, the nearest-city search, and hand-made files for the format's corners and damage.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "BitWriter.h"
#include "Platform/TempDevice.h"
#include "Weather/CCityDB.h"
#include "Weather/CPrefixCodeDecoder.h"
#include "ce/device.h"

namespace {

const std::string kBuiltDatabase = std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat";
const std::string kBuiltTable = std::string(CE_TEST_BINARY_DIR) + "/data/cities.txt";

std::string Narrow(const WCHAR* text) { return ce::ToUtf8(text); }

// Builds a database file byte by byte, with an 8-bit code per symbol (the code is the symbol).
class DatabaseBytes {
public:
    explicit DatabaseBytes(int tableCount = 255) {
        BitWriter table;
        table.Write(static_cast<uint32_t>(tableCount), 16);
        for (int s = 0; s < tableCount; ++s) {
            table.Write(static_cast<uint32_t>(s), 8);
            table.Write(8, 8);
            table.Write(static_cast<uint32_t>(s), 8);
        }
        U16(1252);
        U16(static_cast<uint32_t>(table.Bytes().size()));
        bytes_ += table.Bytes();
    }
    static std::string Code(const std::string& text) {
        BitWriter writer;
        for (unsigned char c : text) {
            writer.Write(c, 8);
        }
        writer.Write(0, 8);
        return writer.Bytes();
    }
    void U16(uint32_t v) {
        bytes_ += static_cast<char>(v & 0xFF);
        bytes_ += static_cast<char>((v >> 8) & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // One index entry whose records follow the index directly (single-entry files).
    void SingleEntry(const std::string& text, const std::vector<std::pair<int, std::string>>& records) {
        U16(1);
        std::string coded = Code(text);
        bytes_ += static_cast<char>(coded.size());
        bytes_ += coded;
        U32(static_cast<uint32_t>(bytes_.size() + 6));
        U16(static_cast<uint32_t>(records.size()));
        for (const auto& [shared, rest] : records) {
            std::string codedRest = Code(rest);
            U16(static_cast<uint32_t>(codedRest.size() | (shared << 11)));
            bytes_ += codedRest;
        }
    }
    std::string& Bytes() { return bytes_; }

private:
    std::string bytes_;
};

class CityDatabase : public ::testing::Test {
protected:
    // Writes the bytes as \CityDB.dat of the device and opens it.
    bool OpenBytes(const std::string& bytes) {
        device_.WriteHostFile(device_.Fs("CityDB.dat"), bytes);
        return db_.Open(u"\\CityDB.dat");
    }
    bool OpenBuilt() {
        std::filesystem::copy_file(kBuiltDatabase, device_.Fs("CityDB.dat"));
        return db_.Open(u"\\CityDB.dat");
    }

    ce::test::TempDevice device_;
    CCityDB db_;
};

TEST_F(CityDatabase, TheInstalledFileGivesBackEveryCityOfItsSource) {
    ASSERT_TRUE(OpenBuilt());
    std::map<std::string, std::pair<double, double>> expected;
    std::ifstream table(kBuiltTable);
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t a = line.find(';'), b = line.find(';', a + 1);
        expected[line.substr(0, a)] = {std::stod(line.substr(a + 1, b - a - 1)), std::stod(line.substr(b + 1))};
    }
    ASSERT_GT(expected.size(), 44000u);

    size_t found = 0;
    bool sawBerlinState = false, sawAndorra = false;
    std::vector<CityDBRecord> cities;
    for (int i = 0; i < db_.GetEntryCount(); ++i) {
        ASSERT_NE(db_.GetEntryName(i), nullptr);
        if (db_.GetEntrySubName(i) && Narrow(db_.GetEntryName(i)) == "Germany" && Narrow(db_.GetEntrySubName(i)) == "Berlin") {
            sawBerlinState = true;
        }
        sawAndorra = sawAndorra || (Narrow(db_.GetEntryName(i)) == "Andorra" && db_.GetEntrySubName(i) == nullptr);
        ASSERT_TRUE(db_.ReadEntryCities(i, &cities)) << Narrow(db_.GetEntryName(i));
        for (const CityDBRecord& city : cities) {
            auto it = expected.find(Narrow(city.locationId));
            ASSERT_NE(it, expected.end()) << Narrow(city.locationId);
            EXPECT_DOUBLE_EQ(city.first, it->second.first);
            EXPECT_DOUBLE_EQ(city.second, it->second.second);
            EXPECT_EQ(Narrow(city.country), Narrow(db_.GetEntryName(i)));
            ++found;
        }
    }
    EXPECT_EQ(found, expected.size()) << "every city once";
    EXPECT_TRUE(sawBerlinState) << "a large country is listed by state";
    EXPECT_TRUE(sawAndorra) << "a small country is one entry";
    EXPECT_EQ(db_.GetEntryName(db_.GetEntryCount()), nullptr);
}

TEST_F(CityDatabase, APositionInBerlinFindsBerlinFirst) {
    ASSERT_TRUE(OpenBuilt());
    std::vector<NearbyCity> nearby;
    ASSERT_TRUE(db_.FindNearbyCities(52.517, 13.389, &nearby));
    ASSERT_FALSE(nearby.empty());
    EXPECT_EQ(Narrow(nearby[0].city.name), "Berlin");
    EXPECT_EQ(Narrow(nearby[0].city.country), "Germany");
    EXPECT_LE(nearby[0].distanceKm, 2);
    for (size_t i = 1; i < nearby.size(); ++i) {
        EXPECT_LE(nearby[i - 1].distanceKm, nearby[i].distanceKm);
        EXPECT_LE(nearby[i].distanceKm, 100);
    }
}

TEST_F(CityDatabase, DistancesAreGreatCircleKilometres) {
    EXPECT_EQ(CCityDB::GetDistanceKm(52.5, 13.4, 52.4, 13.1), 23);
    EXPECT_EQ(CCityDB::GetDistanceKm(0, 0, 0, 0), 0);
    EXPECT_EQ(CCityDB::GetDistanceKm(0, 0, 0, 180), 20015);
}

TEST_F(CityDatabase, FrontCodedRecordsShareTheLeadingCharacters) {
    DatabaseBytes file;
    file.SingleEntry("Germany#Berlin", {{0, "AAXX0001Berlin;52.5;13.4"}, {4, "0002Potsdam;52.4;13.1"}});
    ASSERT_TRUE(OpenBytes(file.Bytes()));
    EXPECT_EQ(Narrow(db_.GetEntryName(0)), "Germany");
    EXPECT_EQ(Narrow(db_.GetEntrySubName(0)), "Berlin");
    std::vector<CityDBRecord> cities;
    ASSERT_TRUE(db_.ReadEntryCities(0, &cities));
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_EQ(Narrow(cities[0].locationId), "AAXX0001");
    EXPECT_EQ(Narrow(cities[1].locationId), "AAXX0002");
    EXPECT_EQ(Narrow(cities[1].name), "Potsdam");
    EXPECT_DOUBLE_EQ(cities[1].first, 52.4);
    EXPECT_EQ(Narrow(cities[1].state), "Berlin");
}

TEST_F(CityDatabase, TheSearchKeepsEquallyDistantCitiesAndCutsAtTheLimit) {
    // Along the equator one degree of longitude is 111 km: cities at 0.36, 0.855, 1.08 and 1.35 degrees.
    DatabaseBytes file;
    file.SingleEntry("Nowhere", {{0, "AAXX0001A;0;0.36"},
                                 {0, "AAXX0002B;0;0.855"},
                                 {0, "AAXX0003C;0;-0.36"},
                                 {0, "AAXX0004D;0;1.08"},
                                 {0, "AAXX0005E;0;1.35"}});
    ASSERT_TRUE(OpenBytes(file.Bytes()));
    std::vector<NearbyCity> nearby;
    ASSERT_TRUE(db_.FindNearbyCities(0, 0, &nearby));
    ASSERT_EQ(nearby.size(), 3u);
    EXPECT_EQ(Narrow(nearby[0].city.name), "A");
    EXPECT_EQ(Narrow(nearby[1].city.name), "C") << "a tie keeps both, in reading order";
    EXPECT_EQ(nearby[0].distanceKm, nearby[1].distanceKm);
    EXPECT_EQ(Narrow(nearby[2].city.name), "B");
}

TEST_F(CityDatabase, RecordsWithNanInfOrOutOfRangeCoordinatesAreSkipped) {
    DatabaseBytes file;
    file.SingleEntry("Nowhere", {{0, "AAXX0001A;nan;0"},
                                 {0, "AAXX0002B;0;inf"},
                                 {0, "AAXX0003C;1e308;-1e308"},
                                 {0, "AAXX0004D;91;0"},
                                 {4, "0005E;0;0.36"}});
    ASSERT_TRUE(OpenBytes(file.Bytes()));
    std::vector<CityDBRecord> cities;
    ASSERT_TRUE(db_.ReadEntryCities(0, &cities));
    ASSERT_EQ(cities.size(), 1u);
    EXPECT_EQ(Narrow(cities[0].locationId), "AAXX0005") << "a skipped record still lends its text";
    std::vector<NearbyCity> nearby;
    ASSERT_TRUE(db_.FindNearbyCities(0, 0, &nearby));
    ASSERT_EQ(nearby.size(), 1u);
    EXPECT_EQ(Narrow(nearby[0].city.name), "E");
    EXPECT_FALSE(db_.FindNearbyCities(std::nan(""), 0, &nearby)) << "no position, no search";
    EXPECT_GT(CCityDB::GetDistanceKm(std::nan(""), 0, 0, 0), 20015);
}

// The search passes over most cities on the whole degrees of their latitude; numbers that read as
// another value (exponents, blanks, long whole parts) are measured as they read.
TEST_F(CityDatabase, LatitudesOfEveryFormAreMeasuredAsTheyRead) {
    DatabaseBytes file;
    file.SingleEntry("Nowhere", {{0, "AAXX0001A;0.5;0"},
                                 {0, "AAXX0002B;50.e-2;0.1"},
                                 {0, "AAXX0003C;5000.E-4;0.2"},
                                 {0, "AAXX0004D;-00.1;0"},
                                 {0, "AAXX0005E; 0.5;0.3"},
                                 {0, "AAXX0006F;00000.5;0.4"},
                                 {0, "AAXX0007G;12.5x;0"},
                                 {0, "AAXX0008H;12.5e-1;0"},
                                 {0, "AAXX0009I;-0.;0"}});
    ASSERT_TRUE(OpenBytes(file.Bytes()));
    std::vector<NearbyCity> nearby;
    ASSERT_TRUE(db_.FindNearbyCities(0.5, 0, &nearby));
    std::string names;
    for (const NearbyCity& city : nearby) {
        names += Narrow(city.city.name);
    }
    EXPECT_EQ(names, "ABCEFIDH");
}

TEST_F(CityDatabase, TheCodeTableTakesAtMost255EntriesAndReadsBitsLowFirst) {
    EXPECT_TRUE(OpenBytes([] {
        DatabaseBytes file(255);
        file.SingleEntry("X", {});
        return file.Bytes();
    }()));
    EXPECT_FALSE(OpenBytes([] {
        DatabaseBytes file(256);
        file.SingleEntry("X", {});
        return file.Bytes();
    }()));
    uint8_t byte = 0x05;  // low bits 1, 0, 1
    CBitStream stream(&byte, 1);
    CBitCode code;
    ASSERT_TRUE(stream.ReadBits(3, code));
    EXPECT_EQ(code.bits, 5u);
    EXPECT_EQ(code.length, 3u);
}

TEST_F(CityDatabase, DamagedFilesAreRefusedWithoutReadingPastTheirBuffers) {
    // Shared characters in the first record, or more than the previous text has.
    for (const auto& records : std::vector<std::vector<std::pair<int, std::string>>>{
             {{3, "AAXX0001Berlin;52.5;13.4"}},
             {{0, "AAXX0001B;1;2"}, {20, "x;1;2"}},
             {{0, "AAXX0001Berlin 52.5 13.4"}},
             {{0, "AAXX"}}}) {
        DatabaseBytes file;
        file.SingleEntry("Germany", records);
        ASSERT_TRUE(OpenBytes(file.Bytes()));
        std::vector<CityDBRecord> cities;
        EXPECT_FALSE(db_.ReadEntryCities(0, &cities));
    }
    // A record whose text has no terminator within 100 characters.
    DatabaseBytes longText;
    longText.SingleEntry("Germany", {{0, "AAXX0001" + std::string(120, 'n') + ";1;2"}});
    ASSERT_TRUE(OpenBytes(longText.Bytes()));
    std::vector<CityDBRecord> cities;
    EXPECT_FALSE(db_.ReadEntryCities(0, &cities));

    // A record that claims 2047 coded bytes.
    DatabaseBytes tooLong;
    tooLong.SingleEntry("Germany", {});
    tooLong.Bytes()[tooLong.Bytes().size() - 2] = 1;  // one record
    tooLong.U16(2047);
    tooLong.Bytes() += std::string(2047, '\x41');
    ASSERT_TRUE(OpenBytes(tooLong.Bytes()));
    EXPECT_FALSE(db_.ReadEntryCities(0, &cities));

    // Every truncation of a good file fails to open or to read, and never crashes.
    DatabaseBytes good;
    good.SingleEntry("Germany#Berlin", {{0, "AAXX0001Berlin;52.5;13.4"}, {4, "0002Potsdam;52.4;13.1"}});
    for (size_t length = 0; length < good.Bytes().size(); ++length) {
        if (OpenBytes(good.Bytes().substr(0, length))) {
            EXPECT_FALSE(db_.ReadEntryCities(0, &cities)) << length;
        }
    }
}

// The decoding as the format describes it: the shortest code's bits, then one bit more while no
// entry matches, up to the longest code.
bool DecodeBitByBit(const CPrefixCodeDecoder& decoder, uint32_t shortest, uint32_t longest, const std::string& bytes,
                    std::string& out, size_t capacity) {
    CBitStream stream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    out.clear();
    while (out.size() < capacity) {
        CBitCode code;
        uint8_t symbol = 0;
        if (!stream.ReadBits(shortest, code)) {
            return false;
        }
        while (!decoder.FindSymbol(code, symbol)) {
            if (code.length >= longest || !stream.AppendBits(code)) {
                return false;
            }
        }
        out += static_cast<char>(symbol);
        if (symbol == 0) {
            return true;
        }
    }
    return false;
}

// A stream with the bytes after it, and what decoding it alone gives.
struct Decoded {
    std::string followed;
    size_t size = 0;
    std::string expected;
    bool result = false;
};

void ExpectSideBySideAsAlone(const CPrefixCodeDecoder& decoder, const Decoded& first, const Decoded& second,
                             size_t capacity) {
    const auto* firstBytes = reinterpret_cast<const uint8_t*>(first.followed.data());
    const auto* secondBytes = reinterpret_cast<const uint8_t*>(second.followed.data());
    CBitStream firstStream(firstBytes, first.size, first.followed.size() - first.size);
    CBitStream secondStream(secondBytes, second.size, second.followed.size() - second.size);
    std::string firstOut(capacity, '\x7F');
    std::string secondOut(capacity, '\x7F');
    size_t lengths[2] = {};
    bool decoded[2] = {};
    decoder.DecodeTwoTexts({&firstStream, &secondStream}, {firstOut.data(), secondOut.data()}, capacity, lengths,
                           decoded);
    ASSERT_EQ(decoded[0], first.result);
    ASSERT_EQ(decoded[1], second.result);
    if (first.result) {
        EXPECT_EQ(firstOut.substr(0, lengths[0] + 1), first.expected);
    }
    if (second.result) {
        EXPECT_EQ(secondOut.substr(0, lengths[1] + 1), second.expected);
    }
}

// Tables of codes from 2 to 20 and to 24 bits, one code given twice (the first entry wins) and bit
// patterns that begin no code: the decoder's tables of first bits and of long codes decode every
// stream, good or damaged, as the step-by-step decoding does.
TEST_F(CityDatabase, TheTableDrivenDecoderDecodesAsTheBitByBitSearch) {
    std::mt19937 random(17);
    for (uint32_t longest : {20u, 24u}) {
        std::vector<uint32_t> lengths;
        for (uint32_t length = 2; length <= longest; ++length) {
            lengths.push_back(length);
        }
        lengths.push_back(longest);
        // Canonical codes of those lengths; symbol 0 takes the 5-bit code, the others bytes from 'A' on.
        BitWriter table;
        table.Write(static_cast<uint32_t>(lengths.size() + 1), 16);
        std::vector<std::pair<uint32_t, uint32_t>> codes;  // code, length by symbol index
        uint32_t code = 0;
        for (size_t i = 0; i < lengths.size(); ++i) {
            code = i == 0 ? 0 : (code + 1) << (lengths[i] - lengths[i - 1]);
            const uint32_t symbol = lengths[i] == 5 ? 0 : static_cast<uint32_t>('A' + i);
            table.Write(symbol, 8);
            table.Write(lengths[i], 8);
            table.Write(code, static_cast<int>(lengths[i]));
            codes.push_back({code, lengths[i]});
            if (lengths[i] == 7) {
                table.Write('z', 8);  // the same 7-bit code again: never decoded
                table.Write(7, 8);
                table.Write(code, 7);
            }
        }
        CBitStream tableStream(reinterpret_cast<const uint8_t*>(table.Bytes().data()), table.Bytes().size());
        CPrefixCodeDecoder decoder;
        ASSERT_TRUE(decoder.LoadTable(tableStream));

        std::map<size_t, Decoded> lastOfCapacity;
        for (int trial = 0; trial < 3000; ++trial) {
            std::string bytes;
            std::string whole;
            if (trial % 2 == 0) {
                // A text of random symbols, mostly the short ones, ended by symbol 0, maybe cut short.
                BitWriter text;
                const int count = static_cast<int>(random() % 40);
                for (int i = 0; i < count; ++i) {
                    const size_t index = std::min<size_t>(random() % 8 + (random() % 4 == 0 ? random() % 20 : 0),
                                                          codes.size() - 1);
                    if (codes[index].second != 5) {
                        text.Write(codes[index].first, static_cast<int>(codes[index].second));
                    }
                }
                text.Write(codes[3].first, 5);  // symbol 0, the 5-bit code
                bytes = text.Bytes();
                whole = bytes;
                if (trial % 10 == 0) {
                    bytes.resize(random() % (bytes.size() + 1));
                }
            } else {
                bytes.resize(random() % 24);
                for (char& c : bytes) {
                    c = static_cast<char>(random());
                }
            }
            const size_t capacity = trial % 7 == 0 ? 5 : 100;
            std::string expected;
            const bool expectedResult = DecodeBitByBit(decoder, 2, longest, bytes, expected, capacity);
            std::string decoded(capacity, '\x7F');
            CBitStream stream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            const bool result = decoder.DecodeText(stream, decoded.data(), capacity);
            ASSERT_EQ(result, expectedResult) << "longest " << longest << ", trial " << trial;
            if (result) {
                EXPECT_EQ(decoded.substr(0, expected.size()), expected) << "longest " << longest << ", trial " << trial;
            }
            // The same stream with bytes after it that the decoder may load but takes no bit of: the
            // cut-off rest of the text, then anything.
            std::string followed = bytes + whole.substr(std::min(bytes.size(), whole.size()));
            for (int i = 0; i < 9; ++i) {
                followed += static_cast<char>(random());
            }
            CBitStream withBytesAfter(reinterpret_cast<const uint8_t*>(followed.data()), bytes.size(),
                                      followed.size() - bytes.size());
            std::string decodedBeside(capacity, '\x7F');
            ASSERT_EQ(decoder.DecodeText(withBytesAfter, decodedBeside.data(), capacity), expectedResult)
                << "bytes after, longest " << longest << ", trial " << trial;
            if (result) {
                EXPECT_EQ(decodedBeside.substr(0, expected.size()), expected) << "longest " << longest << ", trial " << trial;
            }
            // Two texts decoded side by side: this one and the last of the same capacity, each as alone.
            Decoded current{followed, bytes.size(), expected, expectedResult};
            Decoded& other = lastOfCapacity[capacity];
            if (!other.followed.empty()) {
                ExpectSideBySideAsAlone(decoder, current, other, capacity);
            }
            other = std::move(current);
        }
    }
}

// An index too long for the first bytes that Open reads is read from the whole file.
TEST_F(CityDatabase, AnIndexLongerThanTheFileStartIsReadWhole) {
    DatabaseBytes file;
    constexpr int kEntries = 4000;  // about 120 KB of index
    std::string index;
    for (int i = 0; i < kEntries; ++i) {
        std::string coded = DatabaseBytes::Code("Country number " + std::to_string(i) + "#State");
        index += static_cast<char>(coded.size());
        index += coded;
        index += std::string(4, '\0');  // offset 0, no records
        index += std::string(2, '\0');
    }
    file.U16(kEntries);
    file.Bytes() += index;
    ASSERT_GT(file.Bytes().size(), 64u * 1024u);
    ASSERT_TRUE(OpenBytes(file.Bytes()));
    ASSERT_EQ(db_.GetEntryCount(), kEntries);
    EXPECT_EQ(Narrow(db_.GetEntryName(kEntries - 1)), "Country number 3999");
    EXPECT_EQ(Narrow(db_.GetEntrySubName(kEntries - 1)), "State");
    EXPECT_FALSE(OpenBytes(file.Bytes().substr(0, file.Bytes().size() - 3))) << "the last entry cut short";
}

}  // namespace
