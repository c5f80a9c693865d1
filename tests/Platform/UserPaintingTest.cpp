// Invalid regions and WM_PAINT: what a hidden or moved child uncovers is painted again, and a child's
// drawing stays inside its parents.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "GdiTestSupport.h"
#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/device.h"
#include "ce/gdi.h"
#include "ce/user.h"
#include "user/ScreenComposer.h"

using ce::test::Pump;
using ce::test::Recorder;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class UserPainting : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
        top_ = CreateWindowExW(0, u"Recorder", u"paint", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                               nullptr);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(top_);
        Pump();
        Recorder::Reset();
    }
    HWND Child(HWND parent, int x, int y, int w, int h) {
        return CreateWindowExW(0, u"Recorder", u"", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr, nullptr,
                               nullptr);
    }
    static RECT UpdateOf(HWND window) {
        RECT rect{};
        EXPECT_TRUE(GetUpdateRect(window, &rect, FALSE));
        return rect;
    }
    static bool SameRect(const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }

    ce::test::TempDevice device_;
    HWND top_ = nullptr;
};

TEST_F(UserPainting, WhatAHiddenOrMovedChildUncoversIsPaintedAgainInItsSiblingsToo) {
    HWND under = Child(top_, 10, 10, 100, 100);
    HWND over = Child(top_, 50, 50, 100, 100);
    HWND apart = Child(top_, 10, 200, 40, 40);
    Pump();
    ASSERT_FALSE(GetUpdateRect(under, nullptr, FALSE));

    ShowWindow(over, SW_HIDE);
    EXPECT_TRUE(SameRect(UpdateOf(top_), RECT{50, 50, 150, 150}));
    EXPECT_TRUE(SameRect(UpdateOf(under), RECT{40, 40, 100, 100})) << "the sibling below shows through";
    EXPECT_FALSE(GetUpdateRect(apart, nullptr, FALSE));
    Pump();
    EXPECT_FALSE(GetUpdateRect(under, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(over, nullptr, FALSE)) << "a hidden window is never painted";

    ShowWindow(over, SW_SHOW);
    Pump();
    SetWindowPos(over, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(SameRect(UpdateOf(under), RECT{40, 40, 100, 100}));
    EXPECT_TRUE(GetUpdateRect(over, nullptr, FALSE));
    Pump();
    EXPECT_FALSE(GetUpdateRect(top_, nullptr, FALSE));
}

TEST_F(UserPainting, PaintingAChildStaysInsideItsParentAndLeavesItsOwnChildrenAlone) {
    HWND panel = Child(top_, 10, 10, 100, 100);
    HWND wide = Child(panel, 80, 10, 100, 50);  // reaches 80 pixels beyond the panel
    Child(wide, 5, 5, 10, 10);
    Pump();
    Recorder::Handlers()[WM_PAINT] = [wide](HWND window, WPARAM, LPARAM) -> LRESULT {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (window == wide) {
            HBRUSH red = CreateSolidBrush(kRed);
            RECT all{-50, -50, 250, 250};  // far beyond the child on every side
            FillRect(dc, &all, red);
            DeleteObject(red);
        }
        EndPaint(window, &paint);
        return 0;
    };
    InvalidateRect(wide, nullptr, FALSE);
    UpdateWindow(wide);

    ce::test::DibDC screen(240, -320);
    ce::detail::ScreenComposer::Compose(screen.dc);
    auto at = [&](int x, int y) {  // a point of the top-level's client area on the screen
        POINT point{x, y};
        ClientToScreen(top_, &point);
        return GetPixel(screen.dc, point.x, point.y);
    };
    // The child covers x 90..190 and y 20..70 of the top-level, the panel x 10..110.
    EXPECT_EQ(at(100, 50), kRed) << "inside the panel";
    EXPECT_NE(at(120, 50), kRed) << "beyond the panel's right edge";
    EXPECT_NE(at(100, 75), kRed) << "below the child";
    EXPECT_NE(at(10 + 80 + 5 + 2, 10 + 10 + 5 + 2), kRed) << "the child's own child is clipped out";
}

TEST_F(UserPainting, TheUpdateAreaGrowsByUnionAndGoesWhenValidatedOrPainted) {
    HWND child = Child(top_, 0, 0, 200, 200);
    Pump();
    RECT a{10, 10, 20, 20};
    RECT b{50, 60, 70, 80};
    InvalidateRect(child, &a, FALSE);
    InvalidateRect(child, &b, TRUE);
    EXPECT_TRUE(SameRect(UpdateOf(child), RECT{10, 10, 70, 80}));
    RECT outside{300, 300, 400, 400};
    InvalidateRect(child, &outside, FALSE);
    EXPECT_TRUE(SameRect(UpdateOf(child), RECT{10, 10, 70, 80})) << "clipped to the client area";
    ValidateRect(child, &a);
    EXPECT_TRUE(GetUpdateRect(child, nullptr, FALSE)) << "a part validated leaves the rest";
    ValidateRect(child, nullptr);
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));

    InvalidateRect(child, &b, TRUE);
    Recorder::Log().clear();
    Pump();
    EXPECT_EQ(Recorder::Messages(child, {WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}))
        << "erase comes from BeginPaint inside WM_PAINT";
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
}

// Single pixels land exactly where a fill lands: inside the bitmap, the window's visible part (its
// parent cuts it, its own child is left out) and the clip region selected into the DC.
TEST_F(UserPainting, SetPixelKeepsToTheSameClipAsAFill) {
    HWND panel = Child(top_, 10, 10, 100, 100);
    HWND wide = Child(panel, 80, 10, 100, 50);
    Child(wide, 5, 5, 10, 10);
    Pump();
    HRGN clip = CreateRectRgn(-5, 2, 30, 40);
    HRGN other = CreateRectRgn(12, -8, 60, 20);
    CombineRgn(clip, clip, other, RGN_OR);
    auto paint = [&](bool pixelByPixel) {
        HDC dc = GetDC(wide);
        HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
        RECT all{-20, -20, 120, 80};
        FillRect(dc, &all, black);
        DeleteObject(black);
        SelectClipRgn(dc, clip);
        if (pixelByPixel) {
            for (int y = all.top; y < all.bottom; ++y) {
                for (int x = all.left; x < all.right; ++x) {
                    COLORREF set = SetPixel(dc, x, y, kRed);
                    EXPECT_EQ(set, GetPixel(dc, x, y)) << x << "," << y;
                }
            }
        } else {
            HBRUSH red = CreateSolidBrush(kRed);
            FillRect(dc, &all, red);
            DeleteObject(red);
        }
        ReleaseDC(wide, dc);
        auto screen = std::make_unique<ce::test::DibDC>(240, -320);
        ce::detail::ScreenComposer::Compose(screen->dc);
        return screen;
    };
    auto filled = paint(false);
    auto set = paint(true);
    EXPECT_EQ(std::memcmp(filled->pixels, set->pixels, static_cast<size_t>(filled->stride) * 320), 0);
    DeleteObject(other);
    DeleteObject(clip);
}

}  // namespace
