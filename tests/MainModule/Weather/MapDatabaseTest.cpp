// The maps database: the installed file against its region table, and hand-made files for the
// tree's corners and for damage.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Platform/TempDevice.h"
#include "Weather/CMapDB.h"
#include "ce/device.h"

namespace {

std::string Narrow(LPCWSTR text) { return text == nullptr ? "(null)" : ce::ToUtf8(text); }

class MapFileBytes {
public:
    MapFileBytes(uint32_t records, std::vector<uint32_t> languages) : languages_(languages.size()) {
        U32(records);
        U16(static_cast<uint32_t>(languages.size()));
        for (uint32_t language : languages) {
            U32(language);
        }
    }
    MapFileBytes& Record(const std::string& id, const std::string& parent, int type,
                         const std::vector<std::string>& names) {
        Text(id);
        Text(parent);
        bytes_ += static_cast<char>(type);
        for (size_t i = 0; i < languages_; ++i) {
            Text(i < names.size() ? names[i] : "");
        }
        return *this;
    }
    std::string bytes_;

private:
    void U16(uint32_t v) {
        bytes_ += static_cast<char>(v & 0xFF);
        bytes_ += static_cast<char>((v >> 8) & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Text(const std::string& text) {
        bytes_ += static_cast<char>(text.size());
        for (char c : text) {
            U16(static_cast<unsigned char>(c));
        }
    }
    size_t languages_;
};

class MapDatabase : public ::testing::Test {
protected:
    bool LoadBytes(const std::string& bytes) {
        device_.WriteHostFile(device_.Fs("MapDB.dat"), bytes);
        return db_.Load(u"\\MapDB.dat");
    }
    CMapDBRecord Find(const char16_t* id) {
        CMapDBRecord record;
        EXPECT_TRUE(db_.FindRecord(id, &record)) << ce::ToUtf8(id);
        return record;
    }

    ce::test::TempDevice device_;
    CMapDB db_;
};

// Every area stands in all three types under its own name, so that the maps screen finds the same area
// in another type by name; an area with a parent lies in its parent's region of the same type.
TEST_F(MapDatabase, TheInstalledFileHasEveryAreaInEachTypeUnderItsOwnName) {
    std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/MapDB.dat", device_.Fs("MapDB.dat"));
    ASSERT_TRUE(db_.Load(u"\\MapDB.dat"));
    std::ifstream table(std::string(CE_SOURCE_DIR) + "/data/mapdb/regions.txt");
    std::string line;
    size_t topLevel = 0;
    const char* const suffixes[] = {"_sat", "_temp", "_sfc"};
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        for (size_t at = 0; at != std::string::npos;) {
            const size_t next = line.find(';', at);
            fields.push_back(line.substr(at, next == std::string::npos ? next : next - at));
            at = next == std::string::npos ? next : next + 1;
        }
        ASSERT_GE(fields.size(), 3u) << line;
        const bool nested = fields.size() > 3;
        topLevel += nested ? 0 : 1;
        for (uint32_t type = 0; type < 3; ++type) {
            const std::string id = fields[0] + suffixes[type];
            CMapDBRecord map = Find(ce::FromUtf8(id).c_str());
            EXPECT_EQ(map.GetMapType(), type) << id;
            EXPECT_EQ(Narrow(map.GetLocalizedName(1033)), fields[1]) << id;
            EXPECT_EQ(Narrow(map.GetLocalizedName(1031)), fields[2]) << id;
            EXPECT_EQ(Narrow(map.GetLocalizedName(1036)), fields[1]) << "other languages fall back to English";
            CMapDBRecord byName;
            ASSERT_TRUE(db_.FindRecordByName(ce::FromUtf8(fields[1]).c_str(), 1033, type, &byName)) << id;
            EXPECT_EQ(Narrow(byName.GetId().c_str()), id);
            CMapDBRecord parent;
            EXPECT_EQ(db_.FindParentRecord(map.GetId().c_str(), &parent), nested) << id;
            if (nested) {
                EXPECT_EQ(Narrow(parent.GetId().c_str()), fields[3] + suffixes[type]);
            }
        }
    }
    std::vector<CMapDBRecord> all;
    ASSERT_TRUE(db_.GetRegions(&all));
    EXPECT_EQ(all.size(), topLevel * 3);
}

TEST_F(MapDatabase, MapsFindTheirRegionWhereverItStandsInTheFile) {
    MapFileBytes file(6, {1033, 1031});
    file.Record("eu_sat", "eu", 0, {"Satellite", "Satellit"})
        .Record("eu", "", 1, {"Europe", "Europa"})
        .Record("lost_sat", "lost", 0, {"Lost"})
        .Record("deep", "eu_sat", 2, {"Third level"})
        .Record("eu", "", 2, {"Europe again"})
        .Record("", "", 0, {"Empty id"});
    ASSERT_TRUE(LoadBytes(file.bytes_));

    CMapDBRecord europe = Find(u"eu");
    EXPECT_EQ(europe.GetMapType(), 2u) << "a second region record replaces type and names";
    EXPECT_EQ(Narrow(europe.GetLocalizedName(1033)), "Europe again");
    EXPECT_EQ(europe.GetChildren().size(), 1u) << "and keeps the maps gathered so far";

    CMapDBRecord lost = Find(u"lost");
    EXPECT_EQ(lost.GetMapType(), 0u);
    EXPECT_EQ(lost.GetLocalizedName(1033), nullptr) << "a region never named has no name";

    CMapDBRecord parent;
    ASSERT_TRUE(db_.FindParentRecord(u"deep", &parent));
    EXPECT_EQ(Narrow(parent.GetId().c_str()), "eu_sat") << "a third level becomes a placeholder region";
    CMapDBRecord map = Find(u"eu_sat");
    EXPECT_TRUE(map.GetChildren().empty());
    EXPECT_FALSE(db_.FindParentRecord(u"eu", &parent)) << "a region has no parent";

    CMapDBRecord first;
    ASSERT_TRUE(db_.GetRegion(0, &first));
    EXPECT_TRUE(first.GetId().empty()) << "the empty id sorts first";
    EXPECT_FALSE(db_.GetRegion(99, &first));

    CMapDBRecord byName;
    ASSERT_TRUE(db_.FindRecordByName(u"Satellit", 1031, 0, &byName));
    EXPECT_EQ(Narrow(byName.GetId().c_str()), "eu_sat");
    EXPECT_FALSE(db_.FindRecordByName(u"Satellit", 1031, 1, &byName)) << "the type must match too";
}

TEST_F(MapDatabase, ACutFileKeepsTheRecordsBeforeTheCutWhateverItsCountClaims) {
    MapFileBytes file(4000000000u, {1033});
    file.Record("eu", "", 0, {"Europe"}).Record("eu_sat", "eu", 0, {"Satellite"}).Record("us", "", 0, {"United States"});
    std::string bytes = file.bytes_.substr(0, file.bytes_.size() - 5);
    ASSERT_TRUE(LoadBytes(bytes));
    std::vector<CMapDBRecord> regions;
    db_.GetRegions(&regions);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].GetChildren().size(), 1u);

    for (size_t length = 0; length < file.bytes_.size(); ++length) {
        EXPECT_TRUE(LoadBytes(file.bytes_.substr(0, length))) << length;
    }
    EXPECT_FALSE(db_.Load(u"\\Missing.dat"));
    MapFileBytes noLanguages(1, {});
    noLanguages.Record("eu", "", 0, {});
    ASSERT_TRUE(LoadBytes(noLanguages.bytes_));
    EXPECT_EQ(Find(u"eu").GetLocalizedName(1033), nullptr);
}

}  // namespace
