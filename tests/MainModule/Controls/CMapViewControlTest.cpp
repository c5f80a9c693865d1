// The map view on a real window: where the picture lands in both views, scrolling by keys and by
// dragging, the exit button, and the title thread on the virtual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Controls/CMapViewControl.h"
#include "Framework/ControlHostWindow.h"
#include "Framework/RecordingSkin.h"
#include "Platform/PictureFiles.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class MapView : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open(240, 268)); }

    // A control of the size at the host's origin showing a quadrant picture of the size.
    void Show(int width, int height, int pictureWidth, int pictureHeight) {
        ce::test::Bytes png = ce::test::EncodePng(ce::test::Quadrants(pictureWidth, pictureHeight));
        ASSERT_TRUE(picture_.LoadFromMemory(png.data(), static_cast<DWORD>(png.size())));
        ASSERT_TRUE(view_.Create(1, CDlgControl::kVisible, width, height));
        view_.Move(0, 0, width, height, FALSE);
        ASSERT_TRUE(view_.SetPicture(&picture_, u"Satellite", FALSE));
        host_.Add(&view_);
        host_.focused = &view_;
        Repaint();
    }
    void Repaint() {
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }
    void Key(UINT key) { view_.SendMessage(CDlgControl::kMsgKeyDown, 0, key); }
    void Pointer(UINT message, int x, int y) {
        POINT point{x, y};
        view_.SendMessage(message, reinterpret_cast<WPARAM>(&point), 0);
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& notice : host_.notices) {
            codes.push_back(notice.code);
        }
        return codes;
    }
    // Moves the virtual clock on in small steps until the title thread reaches the progress (at most
    // 8 virtual seconds); the virtual milliseconds it took.
    uint64_t AdvanceUntil(int progress) {
        uint64_t moved = 0;
        while (view_.GetTitleProgress() < progress && moved < 8000) {
            WindowDevice::Advance(20);
            moved += 20;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return moved;
    }

    WindowDevice device_;
    framework::test::RecordingSkin skin_;
    ControlHostWindow host_;
    CSprite picture_;
    CMapViewControl view_;
};

TEST(MapViewSize, TheFitViewShowsAllAndFullScreenCoversTheArea) {
    SIZE size = CMapViewControl::ComputeScaledSize(400, 300, 240, 200, false);
    EXPECT_EQ(size.cx, 240);
    EXPECT_EQ(size.cy, 180);
    size = CMapViewControl::ComputeScaledSize(400, 300, 240, 200, true);
    EXPECT_EQ(size.cx, 400);
    EXPECT_EQ(size.cy, 300);
    size = CMapViewControl::ComputeScaledSize(200, 100, 240, 268, true);
    EXPECT_EQ(size.cx, 536);
    EXPECT_EQ(size.cy, 268);
    size = CMapViewControl::ComputeScaledSize(200, 100, 240, 268, false);
    EXPECT_EQ(size.cx, 240);
    EXPECT_EQ(size.cy, 120);
    size = CMapViewControl::ComputeScaledSize(120, 100, 240, 200, true);
    EXPECT_EQ(size.cx, 240);
    EXPECT_EQ(size.cy, 200);
    size = CMapViewControl::ComputeScaledSize(0, 100, 240, 200, false);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
}

TEST_F(MapView, TheFitViewCentresTheWholePicture) {
    Show(240, 200, 400, 300);
    EXPECT_FALSE(NearColor(host_.PixelAt(60, 5), kRed)) << "a band above the picture";
    EXPECT_TRUE(NearColor(host_.PixelAt(60, 55), kRed));
    EXPECT_TRUE(NearColor(host_.PixelAt(180, 55), kGreen));
    EXPECT_TRUE(NearColor(host_.PixelAt(60, 145), kBlue));
    EXPECT_TRUE(NearColor(host_.PixelAt(180, 145), kWhite));
    EXPECT_FALSE(NearColor(host_.PixelAt(60, 195), kBlue)) << "and one below it";

    Pointer(CDlgControl::kMsgPointerDown, 100, 100);
    Pointer(CDlgControl::kMsgPointerMove, 10, 10);
    EXPECT_EQ(view_.GetScrollPosition().x, 0) << "the fit view does not scroll";
    Key(VK_RIGHT);
    EXPECT_EQ(view_.GetScrollPosition().x, 0);
    Key(VK_RETURN);
    EXPECT_EQ(Codes(), (std::vector<int>{CMapViewControl::kNotifyEnterFullScreen}));
}

TEST_F(MapView, KeysScrollTheFullScreenPictureWithinItsEdges) {
    Show(240, 200, 400, 300);
    view_.SetFullScreen(TRUE, TRUE);
    for (int i = 0; i < 5; ++i) {
        Key(VK_RIGHT);
        Key(VK_DOWN);
    }
    POINT scroll = view_.GetScrollPosition();
    EXPECT_EQ(scroll.x, 160);
    EXPECT_EQ(scroll.y, 100);
    WindowDevice::Pump();
    EXPECT_TRUE(NearColor(host_.PixelAt(200, 180), kWhite)) << "the bottom right corner of the picture";
    EXPECT_TRUE(NearColor(host_.PixelAt(10, 10), kRed));
    Key(VK_LEFT);
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_UP);
    scroll = view_.GetScrollPosition();
    EXPECT_EQ(scroll.x, 110);
    EXPECT_EQ(scroll.y, 0);
    host_.focused = nullptr;
    Key(VK_LEFT);
    EXPECT_EQ(view_.GetScrollPosition().x, 110) << "keys count only with the focus";
    host_.focused = &view_;
    Key(VK_RETURN);
    EXPECT_EQ(Codes(), (std::vector<int>{CMapViewControl::kNotifyLeaveFullScreen}));
    view_.SetFullScreen(FALSE, FALSE);
    EXPECT_EQ(view_.GetScrollPosition().x, 0);
}

TEST_F(MapView, AWidePictureCoversTheScreenAndScrollsSidewaysOnly) {
    Show(240, 268, 200, 100);
    view_.SetFullScreen(TRUE, TRUE);
    SIZE scaled = view_.GetScaledSize();
    EXPECT_EQ(scaled.cx, 536);
    EXPECT_EQ(scaled.cy, 268);
    Key(VK_DOWN);
    EXPECT_EQ(view_.GetScrollPosition().y, 0);
    Pointer(CDlgControl::kMsgPointerDown, 100, 100);
    Pointer(CDlgControl::kMsgPointerMove, 60, 60);
    EXPECT_EQ(view_.GetScrollPosition().x, 40) << "dragged to the left shows more of the right";
    EXPECT_EQ(view_.GetScrollPosition().y, 0);
    Pointer(CDlgControl::kMsgPointerMove, 500, 60);
    EXPECT_EQ(view_.GetScrollPosition().x, 0);
    Pointer(CDlgControl::kMsgPointerUp, 500, 60);
    EXPECT_TRUE(Codes().empty());
}

// The exit button lies 5 pixels in from the top right corner, 35 pixels square.
TEST_F(MapView, TheExitButtonLeavesFullScreenOnlyWhenLiftedOnIt) {
    Show(240, 200, 400, 300);
    view_.SetFullScreen(TRUE, TRUE);
    Pointer(CDlgControl::kMsgPointerDown, 217, 22);
    Pointer(CDlgControl::kMsgPointerMove, 120, 120);
    Pointer(CDlgControl::kMsgPointerUp, 120, 120);
    EXPECT_TRUE(Codes().empty()) << "slid off before lifting";
    EXPECT_EQ(view_.GetScrollPosition().x, 0) << "a press on the button does not drag";

    Pointer(CDlgControl::kMsgPointerDown, 217, 22);
    Pointer(CDlgControl::kMsgPointerMove, 218, 23);
    Pointer(CDlgControl::kMsgPointerUp, 218, 23);
    EXPECT_EQ(Codes(), (std::vector<int>{CMapViewControl::kNotifyLeaveFullScreen}));
}

// The thread starts its wait when it runs, so the clock is moved in small steps until it gets there.
TEST_F(MapView, TheTitleFadesAfterASecondAndARestartWaitsForTheRunningThread) {
    Show(240, 200, 400, 300);
    EXPECT_EQ(view_.GetTitleProgress(), 100);
    view_.StartTitleAnimation();
    EXPECT_EQ(view_.GetTitleProgress(), 0);
    const uint64_t shown = AdvanceUntil(1);
    EXPECT_GE(shown, 1000u) << "the title stands for a whole second";
    const uint64_t faded = shown + AdvanceUntil(100);
    EXPECT_GE(faded, 2000u);
    EXPECT_LT(faded, 4000u);

    view_.StartTitleAnimation();
    AdvanceUntil(1);
    ASSERT_LT(view_.GetTitleProgress(), 100);
    view_.StartTitleAnimation();
    EXPECT_EQ(view_.GetTitleProgress(), 0) << "the old thread ended before the new one began";
    view_.StopTitleAnimation();
    EXPECT_EQ(view_.GetTitleProgress(), 100);
}

TEST_F(MapView, WithoutAPictureNothingIsScaled) {
    Show(240, 200, 400, 300);
    ASSERT_TRUE(view_.SetPicture(nullptr, nullptr, TRUE));
    EXPECT_EQ(view_.GetScaledSize().cx, 0);
    view_.SetFullScreen(TRUE, TRUE);
    Key(VK_RIGHT);
    EXPECT_EQ(view_.GetScrollPosition().x, 0);
}

}  // namespace
