// The check box on a real window: toggled by injected taps and keys, its notifications, its size and
// its focus tint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgCheckBox.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::WindowDevice;
using UserInterface::CDlgCheckBox;
using UserInterface::CDlgControl;

constexpr COLORREF kWhite = RGB(255, 255, 255);

class CheckBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open()); }

    CDlgCheckBox& Make(LPCWSTR text, DWORD style, int x, int y, int width, int height) {
        EXPECT_TRUE(box_.Create(text, 9, style | CDlgControl::kVisible, width, height));
        box_.Move(x, y, width, height, FALSE);
        host_.Add(&box_);
        host_.Redraw(FALSE);
        WindowDevice::Pump();
        return box_;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& notice : host_.notices) {
            EXPECT_EQ(notice.control, &box_);
            codes.push_back(notice.code);
        }
        return codes;
    }
    void Tap(int x, int y) {
        POINT point = host_.ScreenPoint(x, y);
        ce::InjectTap(point.x, point.y);
        WindowDevice::Pump();
    }

    WindowDevice device_;
    RecordingSkin skin_;
    ControlHostWindow host_;
    CDlgCheckBox box_;
};

TEST_F(CheckBox, TapsAndEnterToggleTheBoxRepaintItAndTellTheHost) {
    Make(u"Update while roaming", 0, 10, 10, 180, 30);
    host_.focused = &box_;
    EXPECT_EQ(box_.GetCheck(), 0);

    Tap(100, 25);
    EXPECT_EQ(box_.GetCheck(), 1);
    ASSERT_FALSE(skin_.checkBoxes.empty());
    EXPECT_EQ(skin_.checkBoxes.back().value, 1) << "repainted in the checked look";
    EXPECT_TRUE(NearColor(host_.PixelAt(18, 25), RecordingSkin::kChecked)) << "the square at the left, centred";

    ce::InjectKey(VK_RETURN);  // down and up: only the key-down counts
    WindowDevice::Pump();
    EXPECT_EQ(box_.GetCheck(), 0);
    EXPECT_TRUE(NearColor(host_.PixelAt(18, 25), RecordingSkin::kUnchecked));

    ce::InjectKey(VK_SPACE);
    WindowDevice::Pump();
    EXPECT_EQ(box_.GetCheck(), 0) << "other keys leave it";
    EXPECT_EQ(Codes(), (std::vector<int>{CDlgCheckBox::kNotifyChecked, CDlgCheckBox::kNotifyUnchecked}));
}

TEST_F(CheckBox, ATapOnTheBorderIsOutsideTheInnerRectangleAndDoesNotToggle) {
    Make(u"Bordered", CDlgControl::kBorder, 10, 10, 180, 30);
    Tap(11, 25);  // within the 2-pixel border
    EXPECT_EQ(box_.GetCheck(), 0);
    EXPECT_TRUE(host_.notices.empty());
    POINT inside{5, 5};
    EXPECT_EQ(box_.SendMessage(CDlgControl::kMsgPointerUp, reinterpret_cast<WPARAM>(&inside), 0), 0)
        << "only the pen going down toggles";
    WindowDevice::Advance(1000);  // not a double tap
    Tap(12, 25);
    EXPECT_EQ(box_.GetCheck(), 1);
}

TEST_F(CheckBox, SetCheckDoesNotNotifyAndCutTextsStayTerminated) {
    Make(u"Weather", 0, 10, 10, 180, 30);
    EXPECT_EQ(box_.SetCheck(1, TRUE), 1);
    EXPECT_EQ(box_.GetCheck(), 1);
    EXPECT_TRUE(host_.notices.empty());

    WCHAR buffer[4];
    EXPECT_EQ(box_.SendMessage(CDlgCheckBox::kMsgGetText, reinterpret_cast<WPARAM>(buffer), 4), 1);
    EXPECT_EQ(std::u16string(buffer), u"Wea") << "at most length - 1 characters and a terminator";
}

TEST_F(CheckBox, ItMeasuresItsSquareAndTextAndOnlyTheSquareWithoutText) {
    Make(nullptr, CDlgControl::kBorder, 10, 10, 180, 30);
    EXPECT_EQ(box_.GetPreferredWidth(), RecordingSkin::kSquare + 4);
    EXPECT_EQ(box_.GetPreferredHeight(), RecordingSkin::kSquare + 4);

    box_.SendMessage(CDlgCheckBox::kMsgSetText, reinterpret_cast<WPARAM>(u"Update while roaming"), FALSE);
    const int oneLine = box_.GetPreferredHeight();
    EXPECT_GT(box_.GetPreferredWidth(), RecordingSkin::kSquare + 4 + 2 + 60);
    box_.Move(10, 10, 60, 30, FALSE);
    EXPECT_GT(box_.GetPreferredHeight(), oneLine) << "a narrow box wraps its text";
}

TEST_F(CheckBox, TheFocusIsATintOfTheWholeBoxOnlyWithItsStyle) {
    Make(nullptr, CDlgCheckBox::kTintFocus, 10, 10, 180, 30);
    box_.SetHighlightColor(0xFF0000F8, FALSE);  // opaque red
    host_.focused = &box_;
    box_.Redraw(nullptr);
    EXPECT_TRUE(NearColor(host_.PixelAt(150, 25), RGB(248, 0, 0)));

    CDlgCheckBox plain;
    ASSERT_TRUE(plain.Create(nullptr, 10, CDlgControl::kVisible, 180, 30));
    plain.Move(10, 50, 180, 30, FALSE);
    host_.Add(&plain);
    plain.SetHighlightColor(0xFF0000F8, FALSE);
    host_.focused = &plain;
    plain.Redraw(nullptr);
    EXPECT_TRUE(NearColor(host_.PixelAt(150, 65), kWhite)) << "no focus mark at all, not even the base's frame";
    EXPECT_TRUE(NearColor(host_.PixelAt(10, 50), kWhite));
}

}  // namespace
