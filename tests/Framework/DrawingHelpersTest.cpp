#include <gtest/gtest.h>

#include <cstdlib>

#include "CGdiFactory.h"
#include "CStopwatch.h"
#include "DrawingHelpers.h"
#include "Platform/GdiTestSupport.h"
#include "Platform/TempDevice.h"

namespace {

using ce::test::DibDC;
using ce::test::From565;
using ce::test::To565;

void FillRows(DibDC& surface, int width, int height, COLORREF color) {
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(surface.dc, &all, brush);
    DeleteObject(brush);
}

TEST(DrawingHelpers, CreateDibBitmapMakesBottomUp565Sections) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateDibBitmap(7, 3, 16, &bits);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_NE(bits, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 16);
    EXPECT_EQ(section.dsBmih.biHeight, 3) << "rows bottom-up";
    EXPECT_EQ(section.dsBitfields[0], 0xF800u);
    EXPECT_EQ(section.dsBitfields[1], 0x07E0u);
    EXPECT_EQ(section.dsBitfields[2], 0x001Fu);
    DeleteObject(bitmap);

    HBITMAP deep = CreateDibBitmap(4, 4, 24);
    ASSERT_NE(deep, nullptr);
    BITMAP bm{};
    GetObjectW(deep, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    DeleteObject(deep);
    EXPECT_EQ(CreateDibBitmap(0, 4, 16), nullptr);
}

TEST(DrawingHelpers, TintRectMovesOnlyTheRectangleTowardTheColour) {
    DibDC surface(8, 8);
    FillRows(surface, 8, 8, RGB(0, 0, 0));
    RECT rect{2, 2, 6, 6};

    EXPECT_TRUE(TintRect(surface.dc, &rect, RGB(255, 255, 255), 0));
    EXPECT_EQ(surface.Raw16(3, 3), 0) << "alpha 0 changes nothing";

    EXPECT_TRUE(TintRect(surface.dc, &rect, RGB(255, 255, 255), 128));
    // 5-bit red: 31 * 32 / 64 = 15; 6-bit green: 63 * 32 / 64 = 31.
    EXPECT_EQ(surface.Raw16(2, 2), (15 << 11) | (31 << 5) | 15);
    EXPECT_EQ(surface.Raw16(5, 5), (15 << 11) | (31 << 5) | 15);
    EXPECT_EQ(surface.Raw16(1, 2), 0) << "left of the rectangle";
    EXPECT_EQ(surface.Raw16(6, 5), 0) << "right edge is outside";

    EXPECT_TRUE(TintRect(surface.dc, &rect, RGB(0x20, 0x80, 0xF0), 255));
    EXPECT_EQ(surface.Raw16(4, 4), To565(RGB(0x20, 0x80, 0xF0)));
}

// A over B with B's weight 1 at the top row and 0 at the bottom row.
class GradientBlend : public ::testing::Test {
protected:
    static constexpr int kSize = 5;
    GradientBlend() : a(kSize, kSize), b(kSize, kSize), out(kSize, kSize) {
        FillRows(a, kSize, kSize, RGB(0, 0, 0));
        FillRows(b, kSize, kSize, RGB(255, 255, 255));
        FillRows(out, kSize, kSize, RGB(0, 0, 255));
    }
    DibDC a, b, out;
};

TEST_F(GradientBlend, WeightRunsFromBottomRowToTopRow) {
    ASSERT_TRUE(BlendBitmapsGradient(out.dc, 0, 0, kSize, kSize, a.dc, b.dc, 0, 0, 1.0, 0.0));
    EXPECT_EQ(out.Raw16(0, 0), 0xFFFF) << "top row is B";
    EXPECT_EQ(out.Raw16(4, 4), 0x0000) << "bottom row is A";
    // The middle row: weight 0.5, K = 32: red 31 * 32 / 64 = 15, green 63 * 32 / 64 = 31.
    EXPECT_EQ(out.Raw16(2, 2), (15 << 11) | (31 << 5) | 15);
    EXPECT_LT(From565(out.Raw16(0, 3)).g, From565(out.Raw16(0, 1)).g);
}

TEST_F(GradientBlend, OneRowRegionTakesTheBottomWeight) {
    ASSERT_TRUE(BlendBitmapsGradient(out.dc, 1, 2, 3, 1, a.dc, b.dc, 1, 2, 0.0, 1.0));
    EXPECT_EQ(out.Raw16(1, 2), 0xFFFF);
    EXPECT_EQ(out.Raw16(3, 2), 0xFFFF);
    EXPECT_EQ(out.Raw16(0, 2), To565(RGB(0, 0, 255))) << "outside the region";
    EXPECT_EQ(out.Raw16(1, 1), To565(RGB(0, 0, 255)));
}

TEST_F(GradientBlend, EqualPixelsAreCopiedAndWeightsAreClamped) {
    FillRows(b, kSize, kSize, RGB(0, 0, 0));
    SetPixel(b.dc, 4, 0, RGB(255, 255, 255));
    ASSERT_TRUE(BlendBitmapsGradient(out.dc, 0, 0, kSize, kSize, a.dc, b.dc, 0, 0, 7.0, 7.0));
    EXPECT_EQ(out.Raw16(0, 0), 0x0000);
    EXPECT_EQ(out.Raw16(4, 0), 0xFFFF) << "a weight above 1 counts as 1";
}

TEST_F(GradientBlend, RegionBeyondTheBitmapsIsClipped) {
    ASSERT_TRUE(BlendBitmapsGradient(out.dc, 3, 3, 10, 10, a.dc, b.dc, 0, 0, 1.0, 1.0));
    EXPECT_EQ(out.Raw16(3, 3), 0xFFFF);
    EXPECT_EQ(out.Raw16(4, 4), 0xFFFF);
    EXPECT_EQ(out.Raw16(2, 2), To565(RGB(0, 0, 255)));
}

TEST_F(GradientBlend, RefusesBitmapsThatAreNot16BitOrDiffer) {
    DibDC deep(kSize, kSize, 32);
    EXPECT_FALSE(BlendBitmapsGradient(out.dc, 0, 0, kSize, kSize, deep.dc, b.dc, 0, 0, 1.0, 1.0));
    EXPECT_FALSE(BlendBitmapsGradient(deep.dc, 0, 0, kSize, kSize, a.dc, b.dc, 0, 0, 1.0, 1.0));
    EXPECT_EQ(out.Raw16(0, 0), To565(RGB(0, 0, 255)));

    // 5-5-5 and 5-6-5 pixels mean different things; they are not mixed.
    HDC dc555 = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, kSize, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP bitmap555 = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HGDIOBJ old = SelectObject(dc555, bitmap555);
    EXPECT_FALSE(BlendBitmapsGradient(out.dc, 0, 0, kSize, kSize, dc555, b.dc, 0, 0, 1.0, 1.0));
    EXPECT_FALSE(BlendBitmapsGradient(out.dc, 0, 0, kSize, kSize, nullptr, b.dc, 0, 0, 1.0, 1.0));
    SelectObject(dc555, old);
    DeleteObject(bitmap555);
    DeleteDC(dc555);
}

TEST(DrawingHelpers, FillGradientRectRunsBetweenTheColoursInTheDirectionAsked) {
    DibDC surface(64, 64);
    ASSERT_TRUE(FillGradientRect(surface.dc, 0, 0, 64, 32, RGB(0, 0, 0), RGB(255, 0, 0), false));
    EXPECT_RGB_NEAR(surface.Raw16(0, 10), 0, 0, 0, 12);
    EXPECT_RGB_NEAR(surface.Raw16(32, 10), 128, 0, 0, 12);
    EXPECT_RGB_NEAR(surface.Raw16(63, 10), 255, 0, 0, 12);
    EXPECT_EQ(surface.Raw16(32, 0), surface.Raw16(32, 31)) << "constant down a column";

    ASSERT_TRUE(FillGradientRect(surface.dc, 0, 32, 64, 64, RGB(0, 0, 255), RGB(255, 255, 255), true));
    EXPECT_RGB_NEAR(surface.Raw16(10, 32), 0, 0, 255, 12);
    EXPECT_RGB_NEAR(surface.Raw16(10, 63), 255, 255, 255, 12);
    EXPECT_EQ(surface.Raw16(0, 48), surface.Raw16(63, 48)) << "constant along a row";
}

int CountPixels(const DibDC& surface, int size, bool partial) {
    int count = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint16_t pixel = surface.Raw16(x, y);
            bool isPartial = pixel != 0xFFFF && pixel != 0;
            count += partial ? isPartial : pixel == 0;
        }
    }
    return count;
}

TEST(DrawingHelpers, SmoothLineIsPlainWhenStraightAndAntialiasedOtherwise) {
    DibDC surface(32, 32);
    FillRows(surface, 32, 32, RGB(255, 255, 255));
    ASSERT_TRUE(DrawSmoothLine(surface.dc, 20, 10, 10, 10, RGB(0, 0, 0), 1));
    EXPECT_EQ(CountPixels(surface, 32, true), 0) << "a horizontal line has no blended pixels";
    EXPECT_GE(CountPixels(surface, 32, false), 10);

    FillRows(surface, 32, 32, RGB(255, 255, 255));
    ASSERT_TRUE(DrawSmoothLine(surface.dc, 10, 3, 0, 0, RGB(0, 0, 0), 1));
    EXPECT_GT(CountPixels(surface, 32, true), 4) << "a shallow slope blends its edges";
    EXPECT_EQ(surface.Raw16(0, 0), 0) << "end points are solid";
    EXPECT_EQ(surface.Raw16(10, 3), 0);
    // Every touched pixel lies within a pixel of the ideal line y = 0.3 x.
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (surface.Raw16(x, y) != 0xFFFF) {
                EXPECT_LE(std::abs(y * 10 - 3 * x), 20) << x << "," << y;
            }
        }
    }
}

TEST(DrawingHelpers, SmoothLineWidthAddsSolidCore) {
    DibDC surface(32, 32);
    FillRows(surface, 32, 32, RGB(255, 255, 255));
    ASSERT_TRUE(DrawSmoothLine(surface.dc, 5, 2, 8, 28, RGB(0, 0, 0), 3));
    for (int y = 4; y < 26; ++y) {
        int solid = 0;
        for (int x = 0; x < 32; ++x) {
            solid += surface.Raw16(x, y) == 0;
        }
        EXPECT_GE(solid, 2) << "row " << y;
    }
}

TEST(DrawingHelpers, RotatedTextReadsTopToBottomCentredInTheRectangle) {
    ce::test::TempDevice device;
    DibDC surface(40, 120);
    FillRows(surface, 40, 120, RGB(255, 255, 255));
    LOGFONTW logFont{};
    logFont.lfHeight = 20;
    HFONT font = CreateFontIndirectW(&logFont);
    HGDIOBJ oldFont = SelectObject(surface.dc, font);
    SetTextColor(surface.dc, RGB(0, 0, 0));
    RECT rect{0, 0, 40, 120};
    ASSERT_TRUE(DrawRotatedText(surface.dc, u"iiiWWW", -1, &rect));

    RECT ink = ce::test::InkBounds(surface, 40, 120, 0xFFFF);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << "the text runs down";
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 60, 6);
    EXPECT_NEAR((ink.left + ink.right) / 2, 20, 6);
    // Trailing spaces take room at the end: the letters sit in the upper half when the text runs down.
    FillRows(surface, 40, 120, RGB(255, 255, 255));
    SelectObject(surface.dc, font);
    ASSERT_TRUE(DrawRotatedText(surface.dc, u"WW            ", -1, &rect));
    ink = ce::test::InkBounds(surface, 40, 120, 0xFFFF);
    EXPECT_LT(ink.bottom, 55);
    EXPECT_GT(ink.top, 0);
    SelectObject(surface.dc, oldFont);
    DeleteObject(font);
}

TEST(DrawingHelpers, StopwatchMeasuresTheLayersClock) {
    ce::test::TempDevice device;
    ce::EnableVirtualClock(1765288800000);
    CStopwatch stopwatch;
    stopwatch.Start();
    EXPECT_EQ(stopwatch.GetElapsedMs(), 0u);
    ce::AdvanceVirtualClock(250);
    EXPECT_EQ(stopwatch.GetElapsedMs(), 250u);
    ce::DisableVirtualClock();
}

}  // namespace
