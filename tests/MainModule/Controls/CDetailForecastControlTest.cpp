// The detail control on a real window with the real skin: the weather picture running through its
// frames on the drawing thread, a picture count larger than the record holds, and the bottom row that
// keeps two items at most.
#include <gtest/gtest.h>

#include <vector>

#include "AppControlHost.h"
#include "Controls/CDetailForecastControl.h"

namespace {

using appctl_test::AppControlTest;
using appctl_test::Eventually;
using UserInterface::CDlgControl;
using Data = DetailForecastData;

constexpr int kWidth = 240;
constexpr int kHeight = 200;

Data Record(std::vector<int> pictures, DWORD flags) {
    Data data{};
    for (size_t i = 0; i < pictures.size() && i < Data::kMaxPictures; ++i) {
        data.pictures[i] = pictures[i];
    }
    data.pictureCount = static_cast<int>(pictures.size());
    data.flags = flags;
    data.firstTemperature = -3;
    data.secondTemperature = 5;
    data.pressure = 1013.6f;
    data.uvIndex = 4;
    data.humidity = 71;
    for (auto [text, value] : {std::pair{data.temperatureUnit, u"C"}, std::pair{data.pressureUnit, u"mb"},
                               std::pair{data.uvText, u"Moderate"}, std::pair{data.windUnit, u"km/h"}}) {
        lstrcpynW(text, value, Data::kShortTextLength);
    }
    return data;
}

class DetailForecast : public AppControlTest {
protected:
    DetailForecast() : AppControlTest(100) {}

    void SetUp() override {
        AppControlTest::SetUp();
        ASSERT_TRUE(control_.Create(5, CDlgControl::kVisible, kWidth, kHeight));
        PaintOnDark(control_);
        Show(control_, 0, 0, kWidth, kHeight);
    }
    void ShowData(const Data& data) {
        control_.SetData(&data, TRUE);
        Pump();
    }
    // Advances the clock a tick at a time until the frame is the expected one.
    bool TickUntilFrame(int frame) {
        for (int i = 0; i < 10 && control_.GetCurrentFrame() != frame; ++i) {
            ce::AdvanceVirtualClock(300);
            Eventually([&] { return control_.GetCurrentFrame() == frame; });
        }
        return control_.GetCurrentFrame() == frame;
    }
    // The drawing thread redraws after it has moved the frame on, so the screen follows a little later.
    bool ScreenShowsEventually(const RECT& area, const std::vector<COLORREF>& pixels, bool same) {
        return Eventually([&] {
            Pump();
            return (PixelsOf(area) == pixels) == same;
        });
    }

    CDetailForecastControl control_;
};

TEST_F(DetailForecast, ThePictureRunsThroughItsFramesOnlyWhileAnimated) {
    // Sunny, cloudy, rain: three clearly different pictures.
    ShowData(Record({21, 3, 18}, Data::kPictures));
    const RECT middle{60, 40, 180, 160};
    const std::vector<COLORREF> first = PixelsOf(middle);

    control_.ResumeAnimation();
    ASSERT_TRUE(TickUntilFrame(1));
    EXPECT_TRUE(ScreenShowsEventually(middle, first, false)) << "the second frame is on the screen";
    ASSERT_TRUE(TickUntilFrame(2));
    ASSERT_TRUE(TickUntilFrame(0)) << "and back to the first";
    EXPECT_TRUE(ScreenShowsEventually(middle, first, true));

    // Three ticks' time while paused: the frame stays (this waits out its limit once).
    control_.PauseAnimation();
    ce::AdvanceVirtualClock(900);
    EXPECT_FALSE(Eventually([&] { return control_.GetCurrentFrame() != 0; }));
    control_.ResumeAnimation();
    ASSERT_TRUE(TickUntilFrame(1));
    control_.SetData(nullptr, TRUE);
    EXPECT_EQ(control_.GetCurrentFrame(), 0) << "new data starts at its first frame";
}

TEST_F(DetailForecast, APictureCountBeyondTheRecordWrapsWithinItsTwentyFrames) {
    Data data = Record({}, Data::kPictures);
    for (int i = 0; i < Data::kMaxPictures; ++i) {
        data.pictures[i] = i % 2 == 0 ? 21 : 3;
    }
    data.pictureCount = 1000;  // a screen's mistake: only twenty frames exist
    ShowData(data);
    control_.ResumeAnimation();
    for (int frame = 1; frame < Data::kMaxPictures; ++frame) {
        ASSERT_TRUE(TickUntilFrame(frame));
    }
    ASSERT_TRUE(TickUntilFrame(0)) << "after the twentieth frame the first comes again";
}

TEST_F(DetailForecast, TheBottomRowHoldsTwoItemsAndHumidityOnlyWhenThereIsRoom) {
    const RECT row{0, kHeight - 30, kWidth, kHeight};
    ShowData(Record({21}, Data::kPressure | Data::kUvIndex | Data::kUvText));
    const std::vector<COLORREF> pressureAndUv = PixelsOf(row);
    EXPECT_LT(CountNear(row, kDark, 20), kWidth * 30) << "the row shows text";

    ShowData(Record({21}, Data::kPressure | Data::kUvIndex | Data::kUvText | Data::kHumidity));
    EXPECT_EQ(PixelsOf(row), pressureAndUv) << "humidity would be a third item";

    ShowData(Record({21}, Data::kPressure));
    const std::vector<COLORREF> pressureOnly = PixelsOf(row);
    ShowData(Record({21}, Data::kPressure | Data::kHumidity));
    EXPECT_NE(PixelsOf(row), pressureOnly) << "with room, humidity is the second item";
    EXPECT_LT(CountNear(RECT{kWidth / 2 + 10, row.top, kWidth, row.bottom}, kDark, 20), (kWidth / 2 - 10) * 30)
        << "at the right end";

    ShowData(Record({21}, 0));
    EXPECT_EQ(CountNear(RECT{0, 0, kWidth, kHeight}, kDark, 20), kWidth * kHeight) << "an empty record shows nothing";
}

}  // namespace
