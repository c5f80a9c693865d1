// The city list on a real window with the real skin: an empty list, rows without today's forecast or
// without a low, the home marker, taps on rows and on the separators, keys at the ends, and the rows
// of the smallest screen class.
#include <gtest/gtest.h>

#include <vector>

#include "AppControlHost.h"
#include "Controls/CCityListBox.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace {

using appctl_test::AppControlTest;
using UserInterface::CDlgControl;

constexpr int kWidth = 240;
constexpr int kHeight = 200;
constexpr int kRow = 46;
constexpr int kStep = 48;
constexpr int kUnknown = -10000;

CCity City(LPCWSTR name, int high, int low, bool withToday = true) {
    CCity city;
    city.SetName(name);
    city.SetCountry(u"United Kingdom");
    CDayForecast day;
    CDate today;
    today.SetToday();
    if (!withToday) {
        today.AddDays(-3);
    }
    day.SetDate(today);
    day.SetSkyCode(21);
    day.SetHighTemperature(high);
    day.SetLowTemperature(low);
    city.AddDayForecast(day);
    return city;
}

class CityListBox : public AppControlTest {
protected:
    explicit CityListBox(int screenWidth = 240, int screenHeight = 320) : AppControlTest(100, screenWidth, screenHeight) {}

    void SetUp() override {
        AppControlTest::SetUp();
        savedDegreeType_ = GetSettings().degreeType;
        GetSettings().degreeType = 1;
        ASSERT_TRUE(list_.Create(1, CDlgControl::kVisible, kWidth, kHeight));
        PaintOnDark(list_);
        host_.focused = &list_;
    }
    void TearDown() override {
        GetSettings().degreeType = savedDegreeType_;
        AppControlTest::TearDown();
    }
    void Fill(const std::vector<CCity>& cities) {
        list_.RemoveAll(FALSE);
        for (const CCity& city : cities) {
            list_.AddCity(&city, FALSE);
        }
        Show(list_, 0, 0, kWidth, kHeight);
    }
    LRESULT Key(UINT key, bool down) {
        return list_.SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, key);
    }

    CCityListBox list_;
    DWORD savedDegreeType_ = 0;
};

TEST_F(CityListBox, AnEmptyListConsumesTheArrowsAndStillReportsEnter) {
    Fill({});
    EXPECT_EQ(CountNear(RECT{0, 0, kWidth, kHeight}, kDark, 16), kWidth * kHeight) << "no rows";
    EXPECT_EQ(Key(VK_DOWN, true), 1);
    EXPECT_EQ(Key(VK_DOWN, false), 1);
    EXPECT_EQ(Key(VK_UP, true), 1);
    EXPECT_EQ(Key(VK_LEFT, true), 0) << "other keys are not the list's";
    EXPECT_EQ(list_.GetCurSel(), -1);
    EXPECT_EQ(Key(VK_RETURN, true), 1);
    EXPECT_EQ(Codes(), (std::vector<int>{CCityListBox::kNotifyEnter}));
}

TEST_F(CityListBox, ACityWithoutTodaysForecastShowsADashAndNoPicture) {
    Fill({City(u"London", 70, 50), City(u"Paris", 70, 50, false)});
    // The picture column: 44 pixels that end where "-00°" would begin at the right end.
    const RECT londonPicture{165, 0, 212, kRow};
    const RECT parisPicture{165, kStep, 212, kStep + kRow};
    EXPECT_LT(CountNear(londonPicture, kDark, 16), 47 * kRow - 100) << "today's picture";
    EXPECT_EQ(CountNear(parisPicture, kDark, 16), 47 * kRow) << "none without a forecast for today";
    const RECT parisTemperature{200, kStep, kWidth, kStep + kRow};
    const RECT londonTemperature{200, 0, kWidth, kRow};
    EXPECT_GT(CountNear(parisTemperature, kDark, 16), CountNear(londonTemperature, kDark, 16) + 20)
        << "one dash instead of two numbers";
}

TEST_F(CityListBox, AHighWithoutALowIsShownOnBothLines) {
    Fill({City(u"London", 70, kUnknown), City(u"London", 70, 70)});
    EXPECT_EQ(PixelsOf(RECT{0, 0, kWidth, kRow}), PixelsOf(RECT{0, kStep, kWidth, kStep + kRow}));
}

TEST_F(CityListBox, OnlyTheHomeRowCarriesTheMarker) {
    Fill({City(u"London", 70, 50), City(u"London", 70, 50)});
    const RECT firstMarker{2, 0, 22, kRow};
    const RECT secondMarker{2, kStep, 22, kStep + kRow};
    EXPECT_EQ(PixelsOf(firstMarker), PixelsOf(secondMarker));
    list_.SetHomeIndex(1, TRUE);
    list_.SetHomeIndex(5, TRUE);  // no such row: the marker stays
    Pump();
    EXPECT_EQ(list_.GetHomeIndex(), 1);
    EXPECT_EQ(CountNear(firstMarker, kDark, 16), 20 * kRow);
    EXPECT_LT(CountNear(secondMarker, kDark, 16), 20 * kRow - 40) << "the marker on the home row";
}

TEST_F(CityListBox, TapsSelectRowsButNotTheSeparatorsBetweenThem) {
    Fill({City(u"London", 70, 50), City(u"Paris", 72, 52), City(u"Rome", 80, 60)});
    Tap(100, kStep + 20);
    Pause();
    Tap(100, kStep + kRow);  // the separator under the second row
    Pause();
    Tap(100, kStep + 20);  // the selected row again: no new selection
    ASSERT_EQ(Codes(), (std::vector<int>{CCityListBox::kNotifySelection, CCityListBox::kNotifyTap,
                                         CCityListBox::kNotifyTap}));
    EXPECT_EQ(host_.notices[1].a, 1);
    EXPECT_EQ(list_.GetCurSel(), 1);
}

TEST_F(CityListBox, UpOnTheFirstRowAndDownOnTheLastDoNothing) {
    Fill({City(u"London", 70, 50), City(u"Paris", 72, 52)});
    list_.SetCurSel(0, TRUE);
    list_.SetCurSel(7, TRUE);  // no such row
    EXPECT_EQ(list_.GetCurSel(), 0);
    Key(VK_UP, true);
    EXPECT_TRUE(host_.notices.empty());
    Key(VK_DOWN, true);
    Key(VK_DOWN, true);
    EXPECT_EQ(list_.GetCurSel(), 1);
    EXPECT_EQ(Codes(), (std::vector<int>{CCityListBox::kNotifySelection}));
    list_.RemoveAll(TRUE);
    EXPECT_EQ(list_.GetCurSel(), -1);
    EXPECT_EQ(list_.GetHomeIndex(), -1);
}

class SmallScreenCityListBox : public CityListBox {
protected:
    SmallScreenCityListBox() : CityListBox(176, 220) {}
};

TEST_F(SmallScreenCityListBox, RowsAreThirtyTwoPixelsAndTwoMore) {
    Fill({City(u"London", 70, 50)});
    EXPECT_EQ(list_.GetRowHeight(), 34);
}

}  // namespace
