// The hourly forecast screen run for real over cities whose forecasts come from the weather server's
// model: its pages from today on, the days turned by key, arrow and stroke, the hours moved through by
// key, the commands that end it, and updates from the weather server on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Controls/CHourlyForecastListBox.h"
#include "Controls/CToolBarControl.h"
#include "ForecastScreenTest.h"
#include "Screens/CHourlyForecastDlg.h"

namespace {

using namespace skin_test;
using namespace forecast_screen_test;
using ScriptedHourly = ScriptedScreen<CHourlyForecastDlg>;

CSwitchControl& Switch(CHourlyForecastDlg& d) { return *d.GetSwitch(); }
CHourlyForecastListBox& List(CHourlyForecastDlg& d) { return *d.GetList(); }
bool ArrowOn(CHourlyForecastDlg& d, int arrow) { return IsArrowOn(d.GetSwitch(), arrow); }

// Hours from 2026-12-08 00:00 to 2026-12-11 23:00: three pages from today.
std::string ThreeDaysFromToday() { return ModelForecast("DEBE0001", 0, 4 * 24, CalendarDate{2026, 12, 8}); }

void Press(UINT key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        ce::InjectKey(key);
    }
}

using HourlyScreenTest = ForecastScreenTest;

TEST_F(HourlyScreenTest, PagesRunFromTodayAndOpenOnTheGivenDay) {
    MakeCity(ThreeDaysFromToday(), u"Berlin");
    const CDate second(2026, 12, 10);
    ScriptedHourly screen;
    screen.Then([&](ScriptedHourly& d) {
        EXPECT_EQ(d.GetPageCount(), 3) << "yesterday's hours make no page";
        EXPECT_EQ(d.GetCurrentPage(), 1);
        EXPECT_EQ(Switch(d).GetFirstText(), u"Berlin");
        EXPECT_EQ(Switch(d).GetSecondText(), u"Thu, 10 Dec");
        EXPECT_TRUE(ArrowOn(d, CSwitchControl::kLeftArrow));
        EXPECT_TRUE(ArrowOn(d, CSwitchControl::kRightArrow));
        EXPECT_EQ(List(d).GetCount(), 24);
        EXPECT_EQ(List(d).GetSelection(), 0);
        EXPECT_EQ(d.GetToolbar()->GetButton(2).command, 3009);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &second, nullptr), IDOK);

    const CDate later(2026, 12, 20);
    ScriptedHourly other;
    other.Then([&](ScriptedHourly& d) {
        EXPECT_EQ(d.GetCurrentPage(), 0) << "a day without a page opens the first";
        EXPECT_EQ(Switch(d).GetSecondText(), u"Wed, 09 Dec");
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kLeftArrow));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(other.Run(nullptr, u"DEBE0001", &later, nullptr), IDOK);
    EXPECT_EQ(other.Run(nullptr, nullptr, &later, nullptr), 3);
    EXPECT_EQ(other.Run(nullptr, u"FRXX0002", &later, nullptr), 3);
}

// On a turned screen the toolbar takes the right edge and the hours scroll in their list: the screen
// itself has nothing to scroll, and no scroll bar of its own stands at the edge of the toolbar.
TEST_F(HourlyScreenTest, OnATurnedScreenNoScrollBarStandsBesideTheToolbar) {
    MakeCity(ThreeDaysFromToday(), u"Berlin");
    ASSERT_TRUE(ce::SetProfileString("device", "orientation", "landscape"));
    const CDate today(2026, 12, 9);
    ScriptedHourly screen;
    screen.Then([&](ScriptedHourly& d) {
        ASSERT_GT(d.GetClientWidth(), d.GetClientHeight()) << "turned";
        EXPECT_FALSE(d.IsScrollable());
        int light = 0;
        for (int y = 0; y < d.GetClientHeight(); ++y) {
            const COLORREF c = PixelOf(d, d.GetClientWidth() - 1, y);
            light += std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) > 220 ? 1 : 0;
        }
        EXPECT_EQ(light, 0) << "a white scroll bar at the right edge";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &today, nullptr), IDOK);
    ASSERT_TRUE(ce::SetProfileString("device", "orientation", "portrait"));
}

TEST_F(HourlyScreenTest, LeftAndRightTurnTheDaysUpAndDownMoveTheHour) {
    MakeCity(ThreeDaysFromToday(), u"Berlin");
    ClockTicker ticker;
    ScriptedHourly screen;
    screen.Then([](ScriptedHourly&) { Press(VK_DOWN, 4); });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(List(d).GetSelection(), 4);
        EXPECT_EQ(d.GetCurrentPage(), 0);
        Press(VK_UP);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(List(d).GetSelection(), 3);
        Press(VK_RIGHT);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetCurrentPage(), 1);
        EXPECT_EQ(List(d).GetSelection(), 0) << "a new day opens on its first hour";
        EXPECT_EQ(Switch(d).GetSecondText(), u"Thu, 10 Dec");
        ForecastScreenTest::Stroke(d, 200, 20);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetCurrentPage(), 2) << "a stroke to the left: the next day";
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kRightArrow)) << "the last day";
        ForecastScreenTest::Stroke(d, 200, 20);
        Press(VK_RIGHT);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetCurrentPage(), 2) << "nothing after the last day";
        ForecastScreenTest::Stroke(d, 20, 230);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetCurrentPage(), 1) << "one day a stroke";
        Press(VK_LEFT);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetCurrentPage(), 0);
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kLeftArrow));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr, nullptr), IDOK);
}

TEST_F(HourlyScreenTest, WithoutHoursForTodayTheScreenShowsTheCityAndTodayAndAnEmptyList) {
    MakeCity(ModelForecast("DEBE0001", 0, 24, CalendarDate{2026, 12, 7}), u"Berlin");
    ScriptedHourly screen;
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetPageCount(), 0);
        EXPECT_EQ(Switch(d).GetFirstText(), u"Berlin");
        EXPECT_EQ(Switch(d).GetSecondText(), u"Wed, 09 Dec");
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kLeftArrow));
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kRightArrow));
        EXPECT_EQ(List(d).GetCount(), 0);
        Press(VK_RIGHT);
        Press(VK_DOWN);
        ForecastScreenTest::Stroke(d, 200, 20);
    });
    screen.Then([](ScriptedHourly& d) {
        EXPECT_EQ(d.GetResult(), -1) << "still open";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr, nullptr), IDOK);
}

TEST_F(HourlyScreenTest, TheViewCommandsEndTheScreenWithThemselves) {
    MakeCity(ThreeDaysFromToday(), u"Berlin");
    for (int command : {3009, 3010, 3012, 3014}) {
        ScriptedHourly screen;
        screen.Then([&](ScriptedHourly& d) {
            PostMessageW(d.GetHandle(), WM_COMMAND, 3034, 0);  // its own view: nothing
            PostMessageW(d.GetHandle(), WM_COMMAND, command, 0);
        });
        EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr, nullptr), command);
    }
    ScriptedHourly screen;
    screen.Then([](ScriptedHourly& d) {
        RECT bar;
        d.GetToolbar()->GetRect(&bar);
        d.Tap(bar.left + 2, (bar.top + bar.bottom) / 2);  // the first button: Back
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr, nullptr), IDOK);
}

using HourlyScreenUpdateTest = ForecastScreenUpdateTest;

// The server's forecast has today's hours from noon on: twelve of them.
TEST_F(HourlyScreenUpdateTest, AnUpdateKeepsTheSelectedHourWhenTheNewDayStillHasIt) {
    const std::string wholeDay = ModelForecast("DEBE0001", 0, 24);
    for (int selected : {4, 20}) {
        MakeCity(wholeDay, u"Berlin");
        ClockTicker ticker;
        ScriptedHourly screen;
        screen.Then([&](ScriptedHourly& d) {
            EXPECT_EQ(List(d).GetCount(), 24);
            Press(VK_DOWN, selected);
        });
        screen.Then([](ScriptedHourly& d) { PostMessageW(d.GetHandle(), WM_COMMAND, 3011, 0); },
                    [&](ScriptedHourly& d) { return Updated() && List(d).GetCount() == 12; });
        screen.Then([&](ScriptedHourly& d) {
            EXPECT_EQ(List(d).GetSelection(), selected < 12 ? selected : 0) << selected;
            EXPECT_EQ(Switch(d).GetFirstText(), u"Berlin") << "no longer downloading";
            d.EndDialog(IDOK);
        });
        EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr, nullptr), IDOK);
    }
}

}  // namespace
