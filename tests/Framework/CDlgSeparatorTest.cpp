// The separator's rules on a real window: skin picture, solid, dashed and engraved, and the spacer.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgSeparator.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgSeparator;

constexpr COLORREF kRule = RGB(248, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Separator : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open()); }

    // A rule 160 wide and 4 high at (20, y).
    CDlgSeparator& Make(DWORD style, int y) {
        separators_.push_back(std::make_unique<CDlgSeparator>());
        CDlgSeparator& rule = *separators_.back();
        EXPECT_TRUE(rule.Create(1, style | CDlgControl::kVisible, 160, 4));
        rule.Move(20, y, 160, 4, FALSE);
        rule.SetBorderColor(kRule, FALSE);
        host_.Add(&rule);
        return rule;
    }
    void Paint() {
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }
    int CountRow(int y, COLORREF color) {
        int count = 0;
        for (int x = 20; x < 180; ++x) {
            count += NearColor(host_.PixelAt(x, y), color) ? 1 : 0;
        }
        return count;
    }

    WindowDevice device_;
    RecordingSkin skin_;
    ControlHostWindow host_;
    std::vector<std::unique_ptr<CDlgSeparator>> separators_;
};

TEST_F(Separator, EachStyleDrawsItsOwnRuleAndTheSkinComesFirst) {
    Make(0, 10);
    Make(CDlgSeparator::kSolid, 20);
    Make(CDlgSeparator::kDashed, 30);
    Make(CDlgSeparator::kSkinPicture | CDlgSeparator::kSolid, 40);
    Paint();

    EXPECT_EQ(CountRow(11, kWhite), 160) << "a spacer paints nothing";
    EXPECT_EQ(CountRow(21, kRule), 160);
    const int dashes = CountRow(31, kRule);
    EXPECT_GT(dashes, 40);
    EXPECT_LT(dashes, 140) << "dashes with gaps between them";
    EXPECT_EQ(CountRow(33, kRule), dashes) << "every row of the rule is dashed alike";
    EXPECT_EQ(CountRow(41, RecordingSkin::kSeparator), 160);
    EXPECT_FALSE(separators_[0]->CanFocus());
}

TEST_F(Separator, TheEngravedRuleFadesFromTheBackgroundToBlackAboveAndWhiteBelow) {
    Make(CDlgSeparator::kEngraved | CDlgControl::kHostBackground, 50);
    Paint();
    auto dark = [](COLORREF c) { return GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) < 40; };
    auto light = [](COLORREF c) { return GetRValue(c) > 215 && GetGValue(c) > 215 && GetBValue(c) > 215; };
    EXPECT_TRUE(NearColor(host_.PixelAt(20, 50), ControlHostWindow::kHostBackground)) << "the corners keep it";
    EXPECT_TRUE(NearColor(host_.PixelAt(20, 53), ControlHostWindow::kHostBackground));
    EXPECT_TRUE(dark(host_.PixelAt(99, 50))) << "black in the middle of the upper half";
    EXPECT_TRUE(dark(host_.PixelAt(101, 51)));
    EXPECT_TRUE(light(host_.PixelAt(99, 53))) << "white in the middle of the lower half";
    EXPECT_TRUE(light(host_.PixelAt(101, 52)));
}

TEST(CDlgSeparator, CreationDropsThePreferredWidthBit) {
    CDlgSeparator rule;
    ASSERT_TRUE(rule.Create(3, CDlgControl::kPreferredWidth | CDlgControl::kFillWidth | CDlgSeparator::kEngraved, 0, 1));
    EXPECT_EQ(rule.GetFlags(), static_cast<DWORD>(CDlgControl::kFillWidth | CDlgSeparator::kEngraved));
    EXPECT_EQ(rule.GetPreferredWidth(), 0);
    EXPECT_EQ(rule.GetPreferredHeight(), 0);
}

}  // namespace
