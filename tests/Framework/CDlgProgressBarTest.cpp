// The progress bar: the percentage it asks the skin for, and the bar it shows on a real window.
#include <gtest/gtest.h>

#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgProgressBar.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgProgressBar;
using Progress = CDlgProgressBar::Progress;

constexpr DWORD kBoth = CDlgProgressBar::kPositionValid | CDlgProgressBar::kMaximumValid;

TEST(CDlgProgressBar, PercentIsExactForFourGigabyteTransfersAndNeverPassesAHundred) {
    EXPECT_EQ(CDlgProgressBar::GetPercent({kBoth, 50, 100}), 50);
    // 3 GB of 4 GB: the product overflows 32 bits long before this.
    EXPECT_EQ(CDlgProgressBar::GetPercent({kBoth, 3'000'000'000u, 4'000'000'000u}), 75);
    EXPECT_EQ(CDlgProgressBar::GetPercent({kBoth, 43'000'000u, 86'000'000u}), 50);
    EXPECT_EQ(CDlgProgressBar::GetPercent({kBoth, 0xFFFFFFFFu, 0xFFFFFFFFu}), 100);
    EXPECT_EQ(CDlgProgressBar::GetPercent({kBoth, 150, 100}), 100) << "a position past the maximum";
    EXPECT_EQ(CDlgProgressBar::GetPercent({CDlgProgressBar::kPositionValid, 50, 0}), 0) << "no maximum";
    EXPECT_EQ(CDlgProgressBar::GetPercent({0, 50, 100}), 0) << "nothing valid";
}

TEST(CDlgProgressBar, SettingMergesOnlyTheFieldsTheMaskNames) {
    CDlgProgressBar bar;
    ASSERT_TRUE(bar.Create(2, CDlgControl::kVisible, 100, 20));
    EXPECT_FALSE(bar.CanFocus());
    Progress position{CDlgProgressBar::kPositionValid, 40, 999};
    Progress maximum{CDlgProgressBar::kMaximumValid, 999, 80};
    EXPECT_EQ(bar.SetProgress(&position, FALSE), 1);
    EXPECT_EQ(bar.SetProgress(&maximum, FALSE), 1);
    EXPECT_EQ(bar.SetProgress(nullptr, FALSE), 0);
    Progress read{};
    ASSERT_EQ(bar.GetProgress(&read), 1);
    EXPECT_EQ(read.mask, kBoth);
    EXPECT_EQ(read.position, 40u);
    EXPECT_EQ(read.maximum, 80u);
    EXPECT_EQ(bar.GetProgress(nullptr), 0);
    EXPECT_EQ(bar.SendMessage(5891, 0, 0), 0) << "a number of no class answers 0";
}

class ProgressBar : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Open());
        ASSERT_TRUE(bar_.Create(2, CDlgControl::kVisible, 180, 20));
        bar_.Move(10, 10, 180, 20, FALSE);
        host_.Add(&bar_);
    }
    void Show(DWORD position, DWORD maximum) {
        Progress progress{kBoth, position, maximum};
        bar_.SetProgress(&progress, TRUE);
        WindowDevice::Pump();
    }

    WindowDevice device_;
    ControlHostWindow host_;
    CDlgProgressBar bar_;
};

TEST_F(ProgressBar, TheBarIsEmptyHalfAndFullyDoneOnTheWindow) {
    RecordingSkin skin;
    // The skin's done part runs from x 14 to 186: a quarter and three quarters of the way along.
    const int quarter = 14 + 172 / 4;
    const int threeQuarters = 14 + 172 * 3 / 4;
    const DWORD positions[] = {0, 5'000'000, 10'000'000};
    const COLORREF expectQuarter[] = {RecordingSkin::kBarRest, RecordingSkin::kBarDone, RecordingSkin::kBarDone};
    const COLORREF expectThreeQuarters[] = {RecordingSkin::kBarRest, RecordingSkin::kBarRest, RecordingSkin::kBarDone};
    for (int i = 0; i < 3; ++i) {
        Show(positions[i], 10'000'000);
        ASSERT_FALSE(skin.progress.empty());
        EXPECT_EQ(skin.progress.back().value, i * 50);
        EXPECT_TRUE(NearColor(host_.PixelAt(quarter, 20), expectQuarter[i])) << "step " << i;
        EXPECT_TRUE(NearColor(host_.PixelAt(threeQuarters, 20), expectThreeQuarters[i])) << "step " << i;
    }
}

TEST_F(ProgressBar, WithoutASkinNothingIsDrawn) {
    Show(10, 10);
    EXPECT_TRUE(NearColor(host_.PixelAt(100, 20), RGB(255, 255, 255)));
}

}  // namespace
