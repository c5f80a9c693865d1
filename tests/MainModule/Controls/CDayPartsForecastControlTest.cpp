// The day-parts control on a real window with the real skin: which part a tap opens, a missing part
// drawn blank, and the dividers shaded from the theme.
#include <gtest/gtest.h>

#include <vector>

#include "AppControlHost.h"
#include "CLocalization.h"
#include "Controls/CDayPartsForecastControl.h"

namespace {

using appctl_test::AppControlTest;
using UserInterface::CDlgControl;

constexpr int kWidth = 240;
constexpr int kHeight = 200;

CHourForecast Hour(int skyCode, int fahrenheit) {
    CHourForecast hour;
    hour.SetSkyCode(skyCode);
    hour.SetTemperature(fahrenheit);
    return hour;
}

class DayParts : public AppControlTest {
protected:
    DayParts() : AppControlTest(100) {}  // a grey theme: grey dividers

    void SetUp() override {
        AppControlTest::SetUp();
        ASSERT_TRUE(control_.Create(6, CDlgControl::kVisible, kWidth, kHeight));
        PaintOnDark(control_);
        for (int part = 0; part < CDayPartsForecast::kPartCount; ++part) {
            const CHourForecast hour = Hour(part == 3 ? 33 : 21, 50 + part);
            parts_.SetPart(part, &hour);
        }
        control_.SetParts(&parts_, FALSE);
        Show(control_, 0, 0, kWidth, kHeight);
    }
    static RECT Quarter(int part) {
        const int left = (part % 2) * kWidth / 2;
        const int top = (part / 2) * kHeight / 2;
        return RECT{left, top, left + kWidth / 2, top + kHeight / 2};
    }
    // The quarter's corner where the temperature stands.
    static RECT TemperatureCorner(int part) {
        const RECT quarter = Quarter(part);
        return RECT{quarter.right - 40, quarter.bottom - 16, quarter.right - 1, quarter.bottom - 1};
    }

    CDayPartsForecast parts_;
    CDayPartsForecastControl control_;
};

TEST_F(DayParts, ATapOpensThePartOfItsQuarterOnlyWhenItEndsThere) {
    const RECT strip{kWidth / 2 + 30, 2, kWidth - 30, 6};
    const int normal = MeanBrightness(strip);
    PenDown(180, 50);
    EXPECT_EQ(control_.GetPressedPart(), 1);
    EXPECT_GT(MeanBrightness(strip), normal + 60) << "the pressed quarter is lit";
    PenUp(180, 50);
    Pause();
    Tap(60, 150);
    Pause();
    PenDown(60, 50);
    PenMove(180, 150);
    PenUp(180, 150);
    ASSERT_EQ(Codes(), (std::vector<int>{CDayPartsForecastControl::kNotifyPart, CDayPartsForecastControl::kNotifyPart}));
    EXPECT_EQ(host_.notices[0].a, 1);
    EXPECT_EQ(host_.notices[1].a, 2);
    EXPECT_EQ(control_.GetPressedPart(), -1);
}

TEST_F(DayParts, AMissingPartShowsItsNameAndABlankPictureWithoutATemperature) {
    EXPECT_LT(CountNear(TemperatureCorner(2), kDark, 20), 39 * 15) << "a known temperature is shown";
    parts_.SetPart(2, nullptr);  // no evening
    control_.SetParts(&parts_, TRUE);
    Pump();
    EXPECT_EQ(CountNear(TemperatureCorner(2), kDark, 20), 39 * 15) << "no temperature for the missing part";
    const RECT quarter = Quarter(2);
    const RECT nameStrip{quarter.left + 1, quarter.top + 10, quarter.left + 16, quarter.bottom - 10};
    EXPECT_LT(CountNear(nameStrip, kDark, 20), 15 * (kHeight / 2 - 20)) << "its name is still written";
    EXPECT_LT(CountNear(RECT{quarter.left + 30, quarter.top + 20, quarter.right - 30, quarter.bottom - 20}, kDark,
                        20),
              (kWidth / 2 - 60) * (kHeight / 2 - 40))
        << "the picture of sky code 0 stands for it";

    control_.SetParts(nullptr, TRUE);
    Pump();
    for (int part = 0; part < 4; ++part) {
        EXPECT_EQ(CountNear(TemperatureCorner(part), kDark, 20), 39 * 15) << part;
    }
}

TEST_F(DayParts, TheDividersFadeFromTheBackgroundIntoTheThemeShade) {
    const COLORREF shade = RGB(159, 159, 159);  // a grey theme: saturation 0, lightness 159
    EXPECT_TRUE(skin_test::Near(Pixel(kWidth / 2, kHeight / 2 - 12), shade, 24)) << "brightest at the middle";
    EXPECT_TRUE(skin_test::Near(Pixel(kWidth / 2, 11), kDark, 24)) << "the background's colour at the end";
    EXPECT_TRUE(skin_test::Near(Pixel(kWidth / 2 - 12, kHeight / 2), shade, 24));
    EXPECT_TRUE(skin_test::Near(Pixel(kWidth - 11, kHeight / 2), kDark, 24));
    EXPECT_TRUE(skin_test::Near(Pixel(kWidth / 2, 5), kDark, 4)) << "ten pixels short of the edge";
}

}  // namespace
