// The temperature graph on a real window with the real skin: where the markers of the highs and the
// lows land (scaled between the extremes, equal values, missing values, fewer than five days), where
// their labels stand, the series colours on themes near red and blue, and which day a tap reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "AppControlHost.h"
#include "CSysInfo.h"
#include "Controls/CTempGraphControl.h"
#include "Skin/HslColor.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace {

using appctl_test::AppControlTest;
using UserInterface::CDlgControl;

constexpr int kWidth = 240;
constexpr int kHeight = 200;
constexpr int kColumn = kWidth / 5;
constexpr int kUnknown = CTempGraphControl::kUnknownTemperature;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr DWORD kGreyTheme = 100;

// The first coloured theme whose hue byte lies in [from, to).
DWORD ThemeWithHue(int from, int to) {
    for (DWORD index = 256; index < CSysInfo::kThemeColorCount; ++index) {
        const HslColor hsl = RgbToHsl(CSysInfo::ThemeColorAt(index));
        const int hue = HslPartToByte(hsl.hue);
        if (hue >= from && hue < to && hsl.saturation > 0.3) {
            return index;
        }
    }
    return 0;
}

// Days from Friday 10 October 2025 on; temperatures in degrees Fahrenheit, the display unit here.
CDayForecastSet Days(const std::vector<std::pair<int, int>>& highLow) {
    CDayForecastSet days;
    CDate date(2025, 10, 10);
    for (const auto& [high, low] : highLow) {
        CDayForecast day;
        day.SetDate(date);
        day.SetSkyCode(32);
        day.SetHighTemperature(high);
        day.SetLowTemperature(low);
        days.insert(day);
        date.AddDays(1);
    }
    return days;
}

class TempGraph : public AppControlTest {
protected:
    explicit TempGraph(DWORD baseHue = kGreyTheme) : AppControlTest(baseHue) {}

    void SetUp() override {
        AppControlTest::SetUp();
        savedDegreeType_ = GetSettings().degreeType;
        GetSettings().degreeType = 1;
        ASSERT_TRUE(graph_.Create(2, CDlgControl::kVisible, kWidth, kHeight));
        PaintOnDark(graph_);
        host_.onNotice = [this](const auto& notice) {
            dates_.push_back(*reinterpret_cast<const CDate*>(notice.b));
        };
    }
    void TearDown() override {
        GetSettings().degreeType = savedDegreeType_;
        AppControlTest::TearDown();
    }
    void ShowDays(const std::vector<std::pair<int, int>>& highLow) {
        const CDayForecastSet days = Days(highLow);
        graph_.SetDays(&days, FALSE);
        Show(graph_, 0, 0, kWidth, kHeight);
    }
    // The centre row of the filled marker of a colour in a column: a solid 5 x 5 block on the column's
    // middle (lines are one pixel wide and text has no such block); none when there is no marker.
    std::optional<int> Marker(int column, COLORREF color, int columnWidth = kColumn) {
        const int x = column * columnWidth + columnWidth / 2;
        for (int y = 2; y < kHeight - 2; ++y) {
            if (CountNear(RECT{x - 2, y - 2, x + 3, y + 3}, color, 40) == 25) {
                return y + 1;  // the block's first full row is one above the marker's centre
            }
        }
        return std::nullopt;
    }

    CTempGraphControl graph_;
    std::vector<CDate> dates_;
    DWORD savedDegreeType_ = 0;
};

TEST_F(TempGraph, MarkersAreScaledBetweenTheLowestLowAndTheHighestHigh) {
    ShowDays({{50, 30}, {60, 35}, {70, 40}, {80, 45}, {90, 50}});
    std::vector<int> highs;
    std::vector<int> lows;
    for (int column = 0; column < 5; ++column) {
        const auto high = Marker(column, kRed);
        const auto low = Marker(column, kBlue);
        ASSERT_TRUE(high && low) << "column " << column;
        highs.push_back(*high);
        lows.push_back(*low);
    }
    const double span = lows[0] - highs[4];  // 30 at the bottom, 90 at the top
    EXPECT_GT(span, 60);
    for (int column = 0; column < 5; ++column) {
        EXPECT_NEAR(lows[0] - highs[column], span * (20 + 10 * column) / 60.0, 2) << "high " << column;
        EXPECT_NEAR(lows[0] - lows[column], span * (5 * column) / 60.0, 2) << "low " << column;
    }
    EXPECT_GT(highs[4], 36 + 4) << "below the pictures";
    EXPECT_LT(lows[0], kHeight - 24) << "above the date labels";
}

TEST_F(TempGraph, EqualHighsAndLowsLieOnOneLineAtTheBottomOfTheGraph) {
    ShowDays({{60, 60}, {60, 60}, {60, 60}, {60, 60}, {60, 60}});
    const auto first = Marker(0, kBlue);
    ASSERT_TRUE(first);
    for (int column = 1; column < 5; ++column) {
        EXPECT_EQ(Marker(column, kBlue), first) << "column " << column;
    }
    EXPECT_GT(*first, kHeight / 2) << "at the graph's bottom, not its top";
    EXPECT_LT(*first, kHeight - 24);
}

TEST_F(TempGraph, TheRangeSpansEveryKnownValueWhenLowsAreMissing) {
    // Where the graph area ends: one day's high marks its top and its low its bottom.
    ShowDays({{90, 10}});
    const auto top = Marker(0, kRed);
    const auto bottom = Marker(0, kBlue);
    ASSERT_TRUE(top && bottom);

    // No lows at all: the highs alone span the graph.
    ShowDays({{50, kUnknown}, {90, kUnknown}, {70, kUnknown}, {40, kUnknown}, {60, kUnknown}});
    EXPECT_EQ(Marker(1, kRed), top) << "90 is the highest value";
    EXPECT_EQ(Marker(3, kRed), bottom) << "40 is the lowest value";
    ASSERT_TRUE(Marker(2, kRed));
    EXPECT_NEAR(*Marker(2, kRed), *bottom - (*bottom - *top) * 3 / 5, 2) << "70 is three fifths up from 40 to 90";

    // One low, higher than two of the highs: those highs still lie on the graph.
    ShowDays({{50, kUnknown}, {90, kUnknown}, {70, kUnknown}, {40, kUnknown}, {60, 55}});
    EXPECT_EQ(Marker(3, kRed), bottom);
    EXPECT_EQ(Marker(1, kRed), top);
    EXPECT_TRUE(Marker(4, kBlue)) << "the one low";
    EXPECT_FALSE(Marker(0, kBlue));
}

TEST_F(TempGraph, ThreeDaysGiveThreePointsAndNoLineBeyondTheThird) {
    ShowDays({{70, 50}, {72, 52}, {74, 54}});
    for (int column = 0; column < 3; ++column) {
        EXPECT_TRUE(Marker(column, kRed)) << column;
        EXPECT_TRUE(Marker(column, kBlue)) << column;
    }
    EXPECT_FALSE(Marker(3, kRed));
    EXPECT_FALSE(Marker(4, kBlue));
    const int highRow = *Marker(2, kRed);
    const int afterThird = 2 * kColumn + kColumn / 2 + 6;
    EXPECT_EQ(CountNear(RECT{afterThird, highRow - 6, kWidth, highRow + 6}, kRed, 40), 0) << "no line to nothing";
    EXPECT_GT(CountNear(RECT{kColumn / 2 + 6, highRow - 12, 2 * kColumn + kColumn / 2 - 6, highRow + 12}, kRed, 40), 20)
        << "lines join the days that exist";

    for (int column = 0; column < 5; ++column) {
        const RECT label{column * kColumn, kHeight - 24, column * kColumn + kColumn, kHeight};
        EXPECT_GT(CountNear(label, kDark, 30), 0);
        EXPECT_LT(CountNear(label, kDark, 30), kColumn * 24) << "a date label under column " << column;
    }
}

TEST_F(TempGraph, LabelsStandClearOfTheLinesAndApartFromEachOther) {
    // A cold week whose highs fall steeply after the third day, past the labels on either side.
    ShowDays({{-2, -12}, {-1, -12}, {0, -12}, {-10, -16}, {-8, -15}});
    // Away from the markers, nothing of a series' colour lies 3 to 5 pixels from its line: a label
    // there would touch it.
    for (const COLORREF color : {kRed, kBlue}) {
        for (int column = 0; column + 1 < 5; ++column) {
            const auto from = Marker(column, color);
            const auto to = Marker(column + 1, color);
            ASSERT_TRUE(from && to) << "column " << column;
            const double x0 = column * kColumn + kColumn / 2;
            const double dx = kColumn;
            const double dy = *to - *from;
            const double length = std::hypot(dx, dy);
            for (int y = std::min(*from, *to) - 6; y <= std::max(*from, *to) + 6; ++y) {
                for (int x = static_cast<int>(x0); x <= x0 + dx; ++x) {
                    const double along = ((x - x0) * dx + (y - *from) * dy) / length;
                    const double across = std::abs((x - x0) * dy - (y - *from) * dx) / length;
                    if (along > 7 && along < length - 7 && across >= 3 && across <= 5) {
                        EXPECT_EQ(CountNear(RECT{x, y, x + 1, y + 1}, color, 40), 0)
                            << "something touches the line from column " << column << " at " << x << "," << y;
                    }
                }
            }
        }
    }
    // On the Smartphone's 176 pixels, the equal lows of the first three days keep a gap between their
    // labels: three pixel columns side by side near each divider hold none of their colour below the
    // markers.
    constexpr int kNarrowColumn = 176 / 5;
    LOGFONTW description{};
    description.lfHeight = 18;  // large enough that the labels must shrink to fit
    HFONT font = CreateFontIndirectW(&description);
    graph_.SetFont(font, FALSE);
    Show(graph_, 0, 0, 176, kHeight);
    const auto row = Marker(0, kBlue, kNarrowColumn);
    ASSERT_TRUE(row);
    for (const int divider : {kNarrowColumn, 2 * kNarrowColumn}) {
        int widest = 0;
        for (int x = divider - 5, empty = 0; x <= divider + 5; ++x) {
            empty = CountNear(RECT{x, *row + 4, x + 1, kHeight}, kBlue, 40) == 0 ? empty + 1 : 0;
            widest = std::max(widest, empty);
        }
        EXPECT_GE(widest, 7) << "the labels run together at " << divider;
    }
    graph_.SetFont(nullptr, FALSE);
    DeleteObject(font);
}

TEST_F(TempGraph, ATapReportsTheDayOfItsColumnOnlyWhenItEndsThere) {
    ShowDays({{70, 50}, {72, 52}, {74, 54}});
    const RECT strip{kColumn + 2, 2, 2 * kColumn - 2, 6};
    const int normal = MeanBrightness(strip);
    PenDown(kColumn + 20, 100);
    EXPECT_EQ(graph_.GetSelectedColumn(), 1);
    EXPECT_GT(MeanBrightness(strip), normal + 60) << "the pressed column is lit";
    PenUp(kColumn + 20, 100);
    ASSERT_EQ(dates_.size(), 1u);
    EXPECT_EQ(dates_[0], CDate(2025, 10, 11));
    EXPECT_EQ(host_.notices[0].a, 1);
    EXPECT_LT(MeanBrightness(strip), normal + 15);

    Pause();
    PenDown(kColumn + 20, 100);
    PenMove(2 * kColumn + 20, 100);
    PenUp(2 * kColumn + 20, 100);
    Pause();
    Tap(4 * kColumn + 20, 100);  // a column without a day
    EXPECT_EQ(dates_.size(), 1u);
}

class RedThemeTempGraph : public TempGraph {
protected:
    RedThemeTempGraph() : TempGraph(ThemeWithHue(0, 28)) {}
};

TEST_F(RedThemeTempGraph, HighsTurnMagentaOnARedTheme) {
    ASSERT_GE(device_.SysInfo().GetBaseHue(), 256u);
    ShowDays({{70, 50}, {72, 52}});
    EXPECT_TRUE(Marker(0, kMagenta));
    EXPECT_FALSE(Marker(0, kRed));
    EXPECT_TRUE(Marker(0, kBlue));
}

class BlueThemeTempGraph : public TempGraph {
protected:
    BlueThemeTempGraph() : TempGraph(ThemeWithHue(150, 190)) {}
};

TEST_F(BlueThemeTempGraph, LowsTurnCyanOnABlueTheme) {
    ASSERT_GE(device_.SysInfo().GetBaseHue(), 256u);
    ShowDays({{70, 50}, {72, 52}});
    EXPECT_TRUE(Marker(1, kCyan));
    EXPECT_FALSE(Marker(1, kBlue));
    EXPECT_TRUE(Marker(1, kRed));
}

}  // namespace
