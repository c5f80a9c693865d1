// The animation control and its image list: frames stepped by the control's own thread on the virtual
// clock only while the dialog is active, frames replaced whole, placement of the frame, and a thread
// that is stopped and joined with the control.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgAnimationControl.h"
#include "UserInterface/CDlgImageArray.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::WindowDevice;
using UserInterface::CDlgAnimationControl;
using UserInterface::CDlgControl;
using UserInterface::CDlgImageArray;
using UserInterface::IDlgImage;

// A square of one colour.
class ColorImage : public IDlgImage {
public:
    ColorImage(int side = 0, COLORREF color = 0) : m_side(side), m_color(color) {}
    BOOL Clone(IDlgImage** copy) const override {
        if (copy == nullptr || refuseClone) {
            return FALSE;
        }
        *copy = new ColorImage();
        return TRUE;
    }
    BOOL Assign(const IDlgImage* other) override {
        const auto* same = static_cast<const ColorImage*>(other);
        m_side = same->m_side;
        m_color = same->m_color;
        return TRUE;
    }
    void Clear() override { m_side = 0; }
    BOOL IsValid() const override { return m_side > 0; }
    BOOL GetSize(SIZE* size) const override {
        *size = SIZE{m_side, m_side};
        return TRUE;
    }
    int GetWidth() const override { return m_side; }
    int GetHeight() const override { return m_side; }
    BOOL Draw(HDC dc, int x, int y, int width, int height, int, int) const override {
        RECT rect{x, y, x + width, y + height};
        HBRUSH brush = CreateSolidBrush(m_color);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        return TRUE;
    }
    BOOL DrawInRect(HDC dc, const RECT* rect, const RECT*, BOOL) const override {
        return Draw(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, 0, 0);
    }
    bool refuseClone = false;

private:
    int m_side;
    COLORREF m_color;
};

constexpr COLORREF kRed = RGB(248, 0, 0);
constexpr COLORREF kGreen = RGB(0, 248, 0);
constexpr COLORREF kBlue = RGB(0, 0, 248);

// Moves the virtual clock on in small steps until the frame thread shows the frame (bounded on the
// real clock); the virtual milliseconds that took, or -1. The thread notices the clock in its own time,
// so the count says little about the interval.
int WaitForFrame(CDlgAnimationControl& control, int frame) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int waited = 0;
    while (control.GetCurrentFrame() != frame) {
        if (std::chrono::steady_clock::now() > limit) {
            return -1;
        }
        WindowDevice::Advance(10);
        waited += 10;
        std::this_thread::yield();
    }
    return waited;
}

class Animation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Open());
        ColorImage red(10, kRed);
        ColorImage green(20, kGreen);
        ColorImage blue(10, kBlue);
        ASSERT_TRUE(frames_.AddImage(&red));
        ASSERT_TRUE(frames_.AddImage(&green));
        ASSERT_TRUE(frames_.AddImage(&blue));
    }
    void Make(DWORD style, DWORD interval = 0) {
        ASSERT_TRUE(control_.Create(&frames_, interval, 3, style | CDlgControl::kVisible, 40, 40));
        control_.Move(10, 10, 40, 40, FALSE);
        host_.Add(&control_);
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }

    WindowDevice device_;
    ControlHostWindow host_;
    CDlgImageArray frames_;
    CDlgAnimationControl control_;
};

TEST_F(Animation, FramesAdvanceEachIntervalOnlyWhileTheDialogIsActiveAndWrapAround) {
    Make(0);
    EXPECT_EQ(control_.SendMessage(CDlgAnimationControl::kMsgGetInterval, 0, 0), 500) << "0 keeps the default";
    WindowDevice::Advance(600);
    WindowDevice::Advance(600);
    EXPECT_EQ(control_.GetCurrentFrame(), 0) << "an inactive dialog's animation stands still";

    control_.SendMessage(CDlgControl::kMsgActivate, 0, 0);
    for (int expected : {1, 2, 0, 1}) {
        ASSERT_GE(WaitForFrame(control_, expected), 0) << "frame " << expected;
    }
    WindowDevice::Pump();
    EXPECT_TRUE(NearColor(host_.PixelAt(15, 15), kGreen)) << "the thread drew the new frame";

    control_.SendMessage(CDlgControl::kMsgDeactivate, 0, 0);
    WindowDevice::Advance(500);
    WindowDevice::Advance(500);
    EXPECT_EQ(control_.GetCurrentFrame(), 1);
}

TEST_F(Animation, NewFramesStartAtTheFirstAndReplaceTheOldOnesWhole) {
    Make(0, 100);
    EXPECT_EQ(control_.SendMessage(CDlgAnimationControl::kMsgGetInterval, 0, 0), 100);
    control_.SendMessage(CDlgControl::kMsgActivate, 0, 0);
    ASSERT_GE(WaitForFrame(control_, 1), 0);

    CDlgImageArray single;
    ColorImage blue(10, kBlue);
    single.AddImage(&blue);
    ASSERT_TRUE(control_.SetFrames(&single, TRUE));
    EXPECT_EQ(control_.GetCurrentFrame(), 0);
    EXPECT_TRUE(NearColor(host_.PixelAt(12, 12), kBlue));
    for (int i = 0; i < 3; ++i) {
        WindowDevice::Advance(100);  // one frame: the same picture again
    }
    EXPECT_EQ(control_.GetCurrentFrame(), 0);
    EXPECT_EQ(control_.GetPreferredWidth(), 10);

    control_.SendMessage(CDlgAnimationControl::kMsgSetInterval, 250, 0);
    EXPECT_EQ(control_.SendMessage(CDlgAnimationControl::kMsgGetInterval, 0, 0), 250);
    control_.SetFrames(nullptr, TRUE);
    EXPECT_EQ(control_.GetPreferredHeight(), 0) << "no frames, no proportion to follow";
    EXPECT_EQ(control_.SendMessage(6148, 0, 0), 0);
}

TEST_F(Animation, TheFrameIsPlacedAtTheCornerCentredOrStretched) {
    Make(0);
    EXPECT_TRUE(NearColor(host_.PixelAt(12, 12), kRed));
    EXPECT_FALSE(NearColor(host_.PixelAt(30, 30), kRed));

    CDlgAnimationControl centred;
    ASSERT_TRUE(centred.Create(&frames_, 0, 4, CDlgAnimationControl::kCenter | CDlgControl::kVisible, 40, 40));
    centred.Move(60, 10, 40, 40, FALSE);
    host_.Add(&centred);
    CDlgAnimationControl stretched;
    ASSERT_TRUE(stretched.Create(&frames_, 0, 5, CDlgAnimationControl::kStretch | CDlgControl::kVisible, 40, 40));
    stretched.Move(110, 10, 40, 40, FALSE);
    host_.Add(&stretched);
    host_.Redraw(FALSE);
    WindowDevice::Pump();
    EXPECT_TRUE(NearColor(host_.PixelAt(80, 30), kRed));
    EXPECT_FALSE(NearColor(host_.PixelAt(62, 12), kRed));
    EXPECT_TRUE(NearColor(host_.PixelAt(147, 47), kRed));

    EXPECT_EQ(stretched.GetPreferredWidth(), 20) << "the widest frame";
    EXPECT_EQ(stretched.GetPreferredHeight(), 40) << "at its proportion over the control's width";
}

TEST(DlgImageArray, KeepsPrivateCopiesAndHandsOutNewOnes) {
    CDlgImageArray images;
    ColorImage red(10, kRed);
    EXPECT_FALSE(images.AddImage(nullptr));
    ColorImage stubborn(10, kRed);
    stubborn.refuseClone = true;
    EXPECT_FALSE(images.AddImage(&stubborn));
    ASSERT_TRUE(images.AddImage(&red));
    red.Clear();
    IDlgImage* copy = nullptr;
    ASSERT_TRUE(images.GetImage(0, &copy));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetWidth(), 10) << "the list's copy did not follow the original";
    delete copy;
    EXPECT_FALSE(images.GetImage(1, &copy));
    EXPECT_EQ(copy, nullptr);
    SIZE size{};
    EXPECT_FALSE(images.GetImageSize(-1, &size));
    EXPECT_FALSE(images.GetImageSize(0, nullptr));

    CDlgImageArray other;
    ColorImage green(20, kGreen);
    other.AddImage(&green);
    other.AddImage(&green);
    ASSERT_TRUE(images.CopyFrom(&other));
    EXPECT_EQ(images.GetCount(), 2);
    ASSERT_TRUE(images.GetImageSize(1, &size));
    EXPECT_EQ(size.cx, 20);
}

}  // namespace
