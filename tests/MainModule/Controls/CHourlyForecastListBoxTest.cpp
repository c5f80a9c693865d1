// The hourly list on a real window with the real skin: the selection under the keys, taps on rows and
// gaps, drags and flicks that stop at both ends, a short list without indicator, an hour without
// wind, and the hour's time picture.
#include <gtest/gtest.h>

#include <vector>

#include "AppControlHost.h"
#include "Controls/CHourlyForecastListBox.h"

namespace {

using appctl_test::AppControlTest;
using UserInterface::CDlgControl;

constexpr int kWidth = 240;
constexpr int kHeight = 200;
constexpr int kStep = 48;  // a 44-pixel content, a pixel above and below, a 2-pixel gap

CHourForecast Hour(int hourOfDay, bool withWind = true) {
    SYSTEMTIME time{2025, 10, 5, 10, static_cast<WORD>(hourOfDay), 0, 0, 0};
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    CHourForecast hour;
    hour.SetFileTime(file);
    hour.SetSkyCode(21);
    hour.SetTemperature(50 + hourOfDay);
    if (withWind) {
        hour.SetWindDirection(u"NW");
        hour.SetWindSpeed(12);
    }
    hour.SetUvIndex(3);
    hour.SetHumidity(64);
    return hour;
}

class HourlyList : public AppControlTest {
protected:
    HourlyList() : AppControlTest(100) {}

    void SetUp() override {
        AppControlTest::SetUp();
        ASSERT_TRUE(list_.Create(7, CDlgControl::kVisible, kWidth, kHeight));
        PaintOnDark(list_);
        host_.focused = &list_;
    }
    void Fill(int count) {
        list_.Clear(FALSE);
        for (int i = 0; i < count; ++i) {
            const CHourForecast hour = Hour(i);
            list_.AddItem(&hour, FALSE);
        }
        Show(list_, 0, 0, kWidth, kHeight);
    }
    void Key(UINT key) {
        KeyDown(key);
        KeyUp(key);
    }
    void Drag(int fromY, int toY) {
        const POINT from = host_.ScreenPoint(100, fromY);
        const POINT to = host_.ScreenPoint(100, toY);
        ce::InjectDrag(from.x, from.y, to.x, to.y, 8);
        Pump();
        Pause();
    }

    CHourlyForecastListBox list_;
};

TEST_F(HourlyList, UpAndDownMoveTheSelectionIntoViewAndStopAtTheEnds) {
    Fill(8);
    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), 0) << "the first key selects the first row";
    EXPECT_TRUE(host_.notices.empty()) << "without a notification";
    const int unselected = MeanBrightness(RECT{60, kStep + 2, 100, kStep + 40});
    EXPECT_GT(MeanBrightness(RECT{60, 2, 100, 40}), unselected + 60) << "the selected row is lit";

    for (int i = 0; i < 7; ++i) {
        Key(VK_DOWN);
    }
    EXPECT_EQ(list_.GetSelection(), 7);
    EXPECT_EQ(list_.GetScrollOffset(), 7 * kStep + 46 - kHeight) << "the last row ends at the bottom";
    EXPECT_EQ(Codes(), std::vector<int>(7, CHourlyForecastListBox::kNotifySelection));
    EXPECT_GT(MeanBrightness(RECT{60, kHeight - 40, 100, kHeight - 4}), unselected + 60) << "lit where it now is";

    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), 7);
    EXPECT_EQ(host_.notices.size(), 7u) << "nothing below the last row";
    Key(VK_UP);
    EXPECT_EQ(list_.GetSelection(), 6);
    Key(VK_RETURN);
    EXPECT_EQ(Codes().back(), CHourlyForecastListBox::kNotifyEnter);
}

TEST_F(HourlyList, ATapReportsTheRowAlsoOnTheGapBelowItButNotBelowTheLast) {
    Fill(3);
    Tap(100, kStep + 20);
    Pause();
    Tap(100, 2 * kStep - 1);  // the gap under the second row
    Pause();
    Tap(100, 3 * kStep + 20);  // under the last row
    ASSERT_EQ(Codes(), (std::vector<int>{CHourlyForecastListBox::kNotifySelection, CHourlyForecastListBox::kNotifyTap,
                                         CHourlyForecastListBox::kNotifyTap}));
    EXPECT_EQ(host_.notices[1].a, 1);
    EXPECT_EQ(host_.notices[2].a, 1);
    EXPECT_EQ(list_.GetSelection(), 1);
}

TEST_F(HourlyList, DragsAndFlicksNeverScrollPastEitherEnd) {
    Fill(12);
    ASSERT_TRUE(list_.IsScrollerVisible());
    const int last = 12 * kStep - kHeight;  // the content ends with the gap under the last row
    Drag(150, 90);
    EXPECT_GT(list_.GetScrollOffset(), 40);
    EXPECT_LE(list_.GetScrollOffset(), last);
    Drag(190, 5);
    Drag(190, 5);
    Drag(190, 5);
    EXPECT_EQ(list_.GetScrollOffset(), last) << "stops where the content ends at the bottom";
    Drag(5, 190);
    Drag(5, 190);
    Drag(5, 190);
    EXPECT_EQ(list_.GetScrollOffset(), 0) << "and at the first row";
}

TEST_F(HourlyList, AShortListShowsNoIndicatorAndDoesNotScroll) {
    Fill(2);
    EXPECT_FALSE(list_.IsScrollerVisible());
    Drag(150, 20);
    EXPECT_EQ(list_.GetScrollOffset(), 0);
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), 1);
    EXPECT_EQ(list_.GetScrollOffset(), 0);

    list_.Clear(TRUE);
    host_.notices.clear();
    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), -1) << "an empty list has nothing to select";
    Key(VK_RETURN);
    EXPECT_EQ(Codes(), (std::vector<int>{CHourlyForecastListBox::kNotifyEnter}));
}

TEST_F(HourlyList, AnHourWithoutWindLeavesOnlyTheFirstDetailLineEmpty) {
    Fill(1);
    const RECT row{0, 0, kWidth, 46};
    const std::vector<COLORREF> withWind = PixelsOf(row);
    list_.Clear(FALSE);
    const CHourForecast calm = Hour(0, false);
    list_.AddItem(&calm, TRUE);
    Pump();
    const std::vector<COLORREF> calmRow = PixelsOf(row);
    int lowestChange = -1;
    for (size_t i = 0; i < calmRow.size(); ++i) {
        if (calmRow[i] != withWind[i]) {
            lowestChange = static_cast<int>(i) / kWidth;
        }
    }
    ASSERT_GE(lowestChange, 0) << "the wind line is gone";
    EXPECT_LT(lowestChange, 23) << "only the first of three lines changed";
}

TEST(HourlyTimePicture, SecondsGoAndATwelveHourClockKeepsOnlyTheHour) {
    EXPECT_EQ(CHourlyForecastListBox::ReduceTimePicture(u"h:mm:ss tt"), u"h tt");
    EXPECT_EQ(CHourlyForecastListBox::ReduceTimePicture(u"HH:mm:ss"), u"HH:mm");
    EXPECT_EQ(CHourlyForecastListBox::ReduceTimePicture(u"H.mm.ss"), u"H.mm");
    EXPECT_EQ(CHourlyForecastListBox::ReduceTimePicture(u"tt h:mm:ss"), u"tt h");
    EXPECT_EQ(CHourlyForecastListBox::ReduceTimePicture(u"HH:mm"), u"HH:mm");
}

}  // namespace
