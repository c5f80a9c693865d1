// The row flow of the control layout, its measures, hit testing and painting (without a dialog; the
// scrolling runs in the dialog's tests).
#include <gtest/gtest.h>

#include "RecordingControl.h"
#include "UserInterface/CDlgLayout.h"

using framework::test::RecordingControl;
using UserInterface::CDlgControl;
using UserInterface::CDlgLayout;

namespace {

constexpr int kMargin = 2;
constexpr int kGap = 3;

RECT RectOf(const CDlgControl* control) {
    RECT rect;
    control->GetRect(&rect);
    return rect;
}

class CDlgLayoutTest : public ::testing::Test {
protected:
    RecordingControl* Add(int id, int width, int height, DWORD flags = RecordingControl::kShown) {
        auto* control = new RecordingControl(id, width, height, flags);
        EXPECT_TRUE(layout_.AddControl(control));
        return control;
    }
    void Arrange(int width = 240, int height = 320) {
        layout_.SetBounds(RECT{0, 0, width, height}, kMargin, kGap);
        layout_.Arrange();
    }

    CDlgLayout layout_;
};

TEST_F(CDlgLayoutTest, ControlsFlowIntoRowsAndAContinuingControlSharesTheRow) {
    auto* first = Add(1, 100, 20);
    auto* second = Add(2, 60, 30, RecordingControl::kShown | CDlgControl::kContinuesRow);
    auto* hidden = Add(3, 80, 500, 0);
    auto* third = Add(4, 40, 10);
    Arrange();
    EXPECT_EQ(RectOf(first).left, kMargin);
    EXPECT_EQ(RectOf(first).top, kGap);
    EXPECT_EQ(RectOf(second).left, kMargin + 100 + kMargin);
    EXPECT_EQ(RectOf(second).top, kGap);
    EXPECT_EQ(RectOf(third).left, kMargin);
    EXPECT_EQ(RectOf(third).top, kGap + 30 + kGap) << "the first row is as tall as its tallest control";
    EXPECT_EQ(RectOf(hidden).top, 0) << "an invisible control is not placed";

    EXPECT_EQ(layout_.GetContentHeight(), kGap + 30 + kGap + 10 + kGap);
    EXPECT_EQ(layout_.GetContentWidth(), 100 + kMargin + 60 + 2 * kMargin);
}

TEST_F(CDlgLayoutTest, SizeModesTakeTheirShareOfTheView) {
    auto* top = Add(1, 10, 100 - 2 * kGap);
    auto* fill = Add(2, 0, 0, RecordingControl::kShown | CDlgControl::kFillWidth | CDlgControl::kFillHeight);
    auto* half = Add(3, 50, 10, RecordingControl::kShown | CDlgControl::kPercentWidth);
    auto* same = Add(4, 0, 0, RecordingControl::kShown | CDlgControl::kContinuesRow | CDlgControl::kRecordWidth |
                                   CDlgControl::kRecordHeight);
    auto* preferred = Add(5, 0, 0, RecordingControl::kShown | CDlgControl::kPreferredWidth |
                                       CDlgControl::kPreferredHeight);
    Arrange(240, 320);
    ASSERT_EQ(RectOf(fill).top, 100);
    EXPECT_EQ(fill->GetHeight(), 320 - kGap - 100) << "a filling control takes the rest of the view";
    EXPECT_EQ(fill->GetWidth(), 240 - 2 * kMargin);
    EXPECT_EQ(half->GetWidth(), (240 - kMargin) / 2);
    EXPECT_EQ(same->GetWidth(), half->GetWidth()) << "the size record is the previous control's size";
    EXPECT_EQ(same->GetHeight(), half->GetHeight());
    EXPECT_EQ(preferred->GetWidth(), 50);
    EXPECT_EQ(preferred->GetHeight(), 20);
    EXPECT_EQ(top->GetHeight(), 100 - 2 * kGap);
}

TEST_F(CDlgLayoutTest, ControlsAreFoundByIdByPointAndByIndex) {
    auto* a = Add(7, 100, 20);
    auto* twin = Add(7, 100, 20);
    auto* hidden = Add(9, 100, 20, 0);
    Arrange();
    EXPECT_EQ(layout_.FindControl(7), a) << "the first of two with one id";
    EXPECT_EQ(layout_.FindControl(8), nullptr);
    EXPECT_EQ(layout_.ControlFromPoint(kMargin + 5, kGap + 5), a);
    EXPECT_EQ(layout_.ControlFromPoint(kMargin + 5, RectOf(twin).top + 5), twin);
    EXPECT_EQ(layout_.ControlFromPoint(200, 5), nullptr);
    EXPECT_EQ(layout_.ControlFromPoint(0, 0), nullptr) << "the unplaced invisible control is not hit";
    EXPECT_EQ(layout_.IndexOfControl(hidden), 2);
    EXPECT_EQ(layout_.IndexOfControl(nullptr), -1);
    EXPECT_EQ(layout_.GetControlAt(3), nullptr);
    EXPECT_EQ(layout_.GetControlAt(-1), nullptr);
    EXPECT_FALSE(layout_.AddControl(nullptr));
    EXPECT_FALSE(layout_.ScrollTo(10, FALSE)) << "no scrolling without a host";

    layout_.DeleteAllControls();
    EXPECT_EQ(layout_.GetControlCount(), 0);
    EXPECT_EQ(layout_.GetContentHeight(), 0);
}

// A control taller than the view has no corner inside it, yet it shows and must be painted.
TEST_F(CDlgLayoutTest, AControlThatCoversTheWholeViewIsPainted) {
    auto* tall = Add(1, 200, 900);
    auto* below = Add(2, 200, 20);
    Arrange();
    tall->Offset(0, -300, FALSE);
    below->Offset(0, -300, FALSE);
    const RECT view{0, 0, 240, 320};
    EXPECT_TRUE(CDlgLayout::IsControlInRect(tall, view));
    EXPECT_FALSE(CDlgLayout::IsControlInRect(below, view));

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 240, 320);
    SelectObject(dc, bitmap);
    layout_.PaintControls(dc, nullptr);
    EXPECT_EQ(tall->draws, 1);
    EXPECT_EQ(below->draws, 0);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

}  // namespace
