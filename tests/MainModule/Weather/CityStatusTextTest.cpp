// The status line of the city switch: how long ago a city was updated, in the locale's time format.
#include <gtest/gtest.h>

#include "CSysInfo.h"
#include "MainWindowDevice.h"
#include "Weather/CCity.h"
#include "Weather/CityStatusText.h"

namespace {

using mainwindow::test::MainWindowDevice;

class CityStatusTextTest : public ::testing::Test {
protected:
    // The status of a city updated `ms` before now.
    std::u16string StatusAfter(LONGLONG ms, bool updating = false) {
        CCity city;
        FILETIME update = Now();
        CSysInfo::AddToFileTime(&update, -ms);
        city.SetUpdateFileTime(&update);
        std::u16string text;
        EXPECT_TRUE(GetCityStatusText(city, Now(), updating, &text));
        return text;
    }
    static FILETIME Now() {
        SYSTEMTIME now;
        GetLocalTime(&now);
        FILETIME out;
        SystemTimeToFileTime(&now, &out);
        return out;
    }

    MainWindowDevice device_;
};

constexpr LONGLONG kHour = 3600000;
constexpr LONGLONG kDay = 24 * kHour;

TEST_F(CityStatusTextTest, WholeDaysSinceTheUpdatePickTheText) {
    EXPECT_EQ(StatusAfter(kDay), u"Updated yesterday");
    EXPECT_EQ(StatusAfter(2 * kDay), u"Updated 2 days ago");
    EXPECT_EQ(StatusAfter(6 * kDay + 23 * kHour), u"Updated 6 days ago");
    EXPECT_EQ(StatusAfter(7 * kDay), u"Updated more than a week ago");
    EXPECT_EQ(StatusAfter(10 * kDay + 23 * kHour), u"Updated more than a week ago");
    EXPECT_EQ(StatusAfter(11 * kDay), u"Not updated");
    EXPECT_EQ(StatusAfter(-kDay - kHour), u"Not updated") << "an update time a day ahead of the clock";
}

TEST_F(CityStatusTextTest, ACityNeverUpdatedOrBeingFetchedSaysSo) {
    CCity never;
    std::u16string text;
    ASSERT_TRUE(GetCityStatusText(never, Now(), false, &text));
    EXPECT_EQ(text, u"Not updated");
    EXPECT_EQ(StatusAfter(kHour, true), u"Downloading...");
}

TEST_F(CityStatusTextTest, AnUpdateOfTheLastDayShowsItsTimeWithoutSeconds) {
    // Noon UTC in the device's default zone, an hour and a half and some seconds ago.
    EXPECT_EQ(StatusAfter(90 * 60000 + 17000), u"Updated at 10:29 AM");
}

TEST(TimeFormatWithoutSeconds, DropsTheSecondsFieldWithTheSeparatorBeforeIt) {
    EXPECT_EQ(TimeFormatWithoutSeconds(u"HH:mm:ss"), u"HH:mm");
    EXPECT_EQ(TimeFormatWithoutSeconds(u"h:mm:ss tt"), u"h:mm tt");
    EXPECT_EQ(TimeFormatWithoutSeconds(u"H.mm.s"), u"H.mm");
    EXPECT_EQ(TimeFormatWithoutSeconds(u"HH:mm"), u"HH:mm");
    EXPECT_EQ(TimeFormatWithoutSeconds(u"HH'h' mm's'"), u"HH'h' mm's'") << "quoted text stays";
}

// Where "Updated at 10:29 AM" is too wide, the shorter text names the update's day; other statuses have none.
TEST_F(CityStatusTextTest, AnUpdateOfTheLastDayHasTheShorterTextOfItsDay) {
    auto shorter = [this](LONGLONG ms, bool updating) {
        CCity city;
        FILETIME update = Now();
        CSysInfo::AddToFileTime(&update, -ms);
        city.SetUpdateFileTime(&update);
        std::u16string text;
        return GetCityStatusShortText(city, Now(), updating, &text) ? text : u"(none)";
    };
    // The device's clock stands shortly before noon.
    EXPECT_EQ(shorter(90 * 60000, false), u"Updated today");
    EXPECT_EQ(shorter(13 * kHour, false), u"Updated yesterday") << "before midnight, less than a day ago";
    EXPECT_EQ(shorter(kDay + kHour, false), u"(none)") << "\"Updated yesterday\" is short already";
    EXPECT_EQ(shorter(kHour, true), u"(none)") << "\"Downloading...\"";
}

}  // namespace
