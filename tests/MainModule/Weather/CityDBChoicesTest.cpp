// The lists that adding a city by name offers, read from the installed city database: every country
// once (the first one too), the preselected last country in any letter case, a country's states and
// the entry that a country and state lead to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Platform/TempDevice.h"
#include "Weather/CCityDB.h"
#include "Weather/CityDBChoices.h"
#include "ce/device.h"

namespace {

const std::string kBuiltDatabase = std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat";

std::u16string Lower(std::u16string text) {
    for (char16_t& c : text) {
        c = c < 128 ? static_cast<char16_t>(std::tolower(c)) : c;
    }
    return text;
}

class CityDBChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = device_.Fs("CityDB.dat");
        std::filesystem::copy_file(kBuiltDatabase, path);
        ASSERT_TRUE(db_.Open(u"\\CityDB.dat"));
        ASSERT_GT(db_.GetEntryCount(), 1);
    }
    // The first entry that is a whole country without states; -1 when none is.
    int CountryWithoutStates() const {
        for (int i = 0; i < db_.GetEntryCount(); ++i) {
            std::vector<std::u16string> states;
            if (CityDBChoices::ListStates(db_, db_.GetEntryName(i), &states) >= 0 && states.empty()) {
                return i;
            }
        }
        return -1;
    }

    ce::test::TempDevice device_;
    CCityDB db_;
};

TEST_F(CityDBChoicesTest, EveryCountryIsOfferedOnceTheFirstOneToo) {
    std::vector<std::u16string> countries;
    EXPECT_EQ(CityDBChoices::ListCountries(db_, nullptr, &countries), -1);
    ASSERT_FALSE(countries.empty());
    EXPECT_EQ(countries.front(), std::u16string(db_.GetEntryName(0))) << "the database's first country is a country";
    std::set<std::u16string> distinct;
    for (int i = 0; i < db_.GetEntryCount(); ++i) {
        distinct.insert(Lower(db_.GetEntryName(i)));
    }
    EXPECT_EQ(countries.size(), distinct.size());
    std::set<std::u16string> listed;
    for (const auto& country : countries) {
        EXPECT_TRUE(listed.insert(Lower(country)).second) << "twice: " << ce::ToUtf8(country);
    }
}

TEST_F(CityDBChoicesTest, TheLastChosenCountryIsPreselectedInAnyLetterCase) {
    std::vector<std::u16string> countries;
    const int at = CityDBChoices::ListCountries(db_, u"united STATES", &countries);
    ASSERT_GE(at, 0);
    EXPECT_EQ(countries[static_cast<size_t>(at)], u"United States");
    EXPECT_EQ(CityDBChoices::ListCountries(db_, u"Atlantis", &countries), -1);
    EXPECT_EQ(CityDBChoices::ListCountries(db_, u"", &countries), -1);
}

TEST_F(CityDBChoicesTest, ACountryListedByStateLeadsThroughItsStateToItsCities) {
    std::vector<std::u16string> states;
    ASSERT_GE(CityDBChoices::ListStates(db_, u"United States", &states), 0);
    ASSERT_NE(std::find(states.begin(), states.end(), u"New York"), states.end());
    const int entry = CityDBChoices::FindEntry(db_, u"united states", u"NEW YORK");
    ASSERT_GE(entry, 0);
    EXPECT_EQ(std::u16string(db_.GetEntrySubName(entry)), u"New York");
    std::vector<CityDBRecord> cities;
    ASSERT_TRUE(db_.ReadEntryCities(entry, &cities));
    EXPECT_TRUE(std::any_of(cities.begin(), cities.end(),
                            [](const CityDBRecord& city) { return std::u16string(city.name) == u"New York"; }));
    EXPECT_EQ(CityDBChoices::FindEntry(db_, u"United States", u"Atlantis"), -1);
}

TEST_F(CityDBChoicesTest, ACountryWithoutStatesGoesStraightToItsCities) {
    const int whole = CountryWithoutStates();
    ASSERT_GE(whole, 0);
    std::vector<std::u16string> states{u"left over"};
    const int entry = CityDBChoices::ListStates(db_, db_.GetEntryName(whole), &states);
    EXPECT_TRUE(states.empty());
    ASSERT_GE(entry, 0);
    std::vector<CityDBRecord> cities;
    ASSERT_TRUE(db_.ReadEntryCities(entry, &cities));
    EXPECT_FALSE(cities.empty());
    EXPECT_EQ(CityDBChoices::ListStates(db_, u"Atlantis", &states), -1) << "no entry: nothing to add";
}

}  // namespace
