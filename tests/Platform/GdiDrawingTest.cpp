// Pens, brushes, shapes, regions and clipping.
#include <gtest/gtest.h>

#include "Platform/GdiTestSupport.h"
#include "ce/gdi.h"
#include "gdi/GdiInternal.h"

namespace {

using ce::test::DibDC;

TEST(GdiDrawingTest, FillRectLeavesTheRightAndBottomEdgesOut) {
    DibDC target(4, 4);
    RECT r{1, 1, 3, 3};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_TRUE(FillRect(target.dc, &r, red));
    EXPECT_EQ(target.Raw16(1, 1), 0xF800);
    EXPECT_EQ(target.Raw16(2, 2), 0xF800);
    EXPECT_EQ(target.Raw16(3, 3), 0);
    EXPECT_EQ(target.Raw16(0, 0), 0);
    RECT all{0, 0, 4, 4};
    EXPECT_TRUE(FillRect(target.dc, &all, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1))));
    EXPECT_EQ(target.Raw16(3, 3), 0xFFFF) << "a system colour index + 1 is that colour's brush";
    DeleteObject(red);
}

TEST(GdiDrawingTest, RectangleFramesWithThePenAndFillsWithTheBrush) {
    DibDC target(5, 5);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(target.dc, pen);
    SelectObject(target.dc, brush);
    EXPECT_TRUE(Rectangle(target.dc, 0, 0, 4, 4));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(target.Raw16(i, 0), 0xF800) << i;
        EXPECT_EQ(target.Raw16(i, 3), 0xF800) << i;
        EXPECT_EQ(target.Raw16(0, i), 0xF800) << i;
        EXPECT_EQ(target.Raw16(3, i), 0xF800) << i;
    }
    EXPECT_EQ(target.Raw16(1, 1), 0x001F);
    EXPECT_EQ(target.Raw16(2, 2), 0x001F);
    EXPECT_EQ(target.Raw16(4, 4), 0);

    SelectObject(target.dc, GetStockObject(NULL_PEN));
    SelectObject(target.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(Rectangle(target.dc, 0, 0, 4, 4));
    EXPECT_EQ(target.Raw16(2, 2), 0xFFFF);
    EXPECT_EQ(target.Raw16(3, 3), 0xF800) << "without a pen the box is one pixel smaller";
    SelectObject(target.dc, GetStockObject(BLACK_PEN));
    SelectObject(target.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(GdiDrawingTest, LinesStopBeforeTheirLastPointAndDashesLeaveGaps) {
    DibDC target(30, 3);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(target.dc, pen);
    POINT previous{};
    MoveToEx(target.dc, 2, 0, nullptr);
    EXPECT_TRUE(LineTo(target.dc, 5, 0));
    MoveToEx(target.dc, 0, 0, &previous);
    EXPECT_EQ(previous.x, 5) << "LineTo moves the pen";
    EXPECT_EQ(target.Raw16(1, 0), 0);
    EXPECT_EQ(target.Raw16(2, 0), 0xFFFF);
    EXPECT_EQ(target.Raw16(4, 0), 0xFFFF);
    EXPECT_EQ(target.Raw16(5, 0), 0);

    HPEN dash = CreatePen(PS_DASH, 1, RGB(255, 255, 255));
    SelectObject(target.dc, dash);
    SetBkMode(target.dc, TRANSPARENT);
    MoveToEx(target.dc, 0, 1, nullptr);
    LineTo(target.dc, 30, 1);
    int lit = 0;
    for (int x = 0; x < 30; ++x) lit += target.Raw16(x, 1) == 0xFFFF;
    EXPECT_GT(lit, 10);
    EXPECT_LT(lit, 30) << "a dashed line has gaps";

    SetBkMode(target.dc, OPAQUE);
    SetBkColor(target.dc, RGB(255, 0, 0));
    MoveToEx(target.dc, 0, 2, nullptr);
    LineTo(target.dc, 30, 2);
    int gaps = 0;
    for (int x = 0; x < 30; ++x) gaps += target.Raw16(x, 2) == 0xF800;
    EXPECT_EQ(gaps, 30 - lit) << "an opaque background fills the gaps";
    SelectObject(target.dc, old);
    DeleteObject(pen);
    DeleteObject(dash);
}

TEST(GdiDrawingTest, EllipseAndPolygonFillInsideTheirOutline) {
    DibDC target(21, 21);
    SelectObject(target.dc, GetStockObject(NULL_PEN));
    SelectObject(target.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(Ellipse(target.dc, 0, 0, 21, 21));
    EXPECT_EQ(target.Raw16(10, 10), 0xFFFF);
    EXPECT_EQ(target.Raw16(10, 0), 0xFFFF);
    EXPECT_EQ(target.Raw16(0, 0), 0) << "corners stay outside";
    EXPECT_EQ(target.Raw16(20, 20), 0);

    DibDC triangle(10, 10);
    SelectObject(triangle.dc, GetStockObject(WHITE_BRUSH));
    POINT points[3] = {{0, 0}, {9, 0}, {0, 9}};
    EXPECT_TRUE(Polygon(triangle.dc, points, 3));
    EXPECT_EQ(triangle.Raw16(2, 2), 0xFFFF);
    EXPECT_EQ(triangle.Raw16(8, 8), 0);
    EXPECT_EQ(triangle.Raw16(9, 0), 0) << "the black pen outlines it";
}

TEST(GdiDrawingTest, PatternBrushRepeatsItsBitmap) {
    DibDC pattern(2, 2);
    SetPixel(pattern.dc, 0, 0, RGB(255, 255, 255));
    SetPixel(pattern.dc, 1, 1, RGB(255, 255, 255));
    HBRUSH brush = CreatePatternBrush(pattern.bitmap);
    SetPixel(pattern.dc, 1, 0, RGB(255, 0, 0));  // the brush keeps its own copy
    DibDC target(4, 4);
    RECT all{0, 0, 4, 4};
    FillRect(target.dc, &all, brush);
    EXPECT_EQ(target.Raw16(0, 0), 0xFFFF);
    EXPECT_EQ(target.Raw16(1, 0), 0);
    EXPECT_EQ(target.Raw16(2, 2), 0xFFFF);
    EXPECT_EQ(target.Raw16(3, 3), 0xFFFF);
    EXPECT_EQ(target.Raw16(3, 2), 0);
    DeleteObject(brush);
}

TEST(GdiDrawingTest, ClipRegionsLimitEveryDrawingCall) {
    DibDC target(8, 8);
    RECT all{0, 0, 8, 8};
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(IntersectClipRect(target.dc, 2, 2, 6, 6), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(target.dc, 3, 3, 4, 4), COMPLEXREGION);
    RECT box{};
    EXPECT_EQ(GetClipBox(target.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 6);
    FillRect(target.dc, &all, white);
    EXPECT_EQ(target.Raw16(1, 1), 0);
    EXPECT_EQ(target.Raw16(2, 2), 0xFFFF);
    EXPECT_EQ(target.Raw16(3, 3), 0) << "excluded";
    EXPECT_EQ(target.Raw16(6, 6), 0);
    EXPECT_EQ(SetPixel(target.dc, 0, 0, RGB(255, 0, 0)), CLR_INVALID);
    EXPECT_EQ(GetPixel(target.dc, 0, 0), CLR_INVALID);

    DibDC source(8, 8);
    source.Fill(RGB(0, 255, 0));
    BitBlt(target.dc, 0, 0, 8, 8, source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(target.Raw16(7, 7), 0);
    EXPECT_EQ(target.Raw16(5, 5), 0x07E0);

    HRGN region = CreateRectRgn(0, 0, 1, 8);
    EXPECT_EQ(SelectClipRgn(target.dc, region), SIMPLEREGION);
    SetRectRgn(region, 0, 0, 8, 8);  // the DC holds a copy
    FillRect(target.dc, &all, white);
    EXPECT_EQ(target.Raw16(0, 7), 0xFFFF);
    EXPECT_EQ(target.Raw16(7, 7), 0);
    EXPECT_EQ(GetClipRgn(target.dc, region), 1);
    RECT clipBox{};
    GetRgnBox(region, &clipBox);
    EXPECT_EQ(clipBox.right, 1);
    SelectClipRgn(target.dc, nullptr);
    EXPECT_EQ(GetClipRgn(target.dc, region), 0);
    FillRect(target.dc, &all, white);
    EXPECT_EQ(target.Raw16(7, 7), 0xFFFF);
    DeleteObject(region);
}

TEST(GdiDrawingTest, RegionsCombine) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(out, 7, 7));
    EXPECT_FALSE(PtInRegion(out, 2, 2));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(out, 14, 14));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(out, 7, 7));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(out, 12, 12));
    EXPECT_EQ(CombineRgn(a, a, a, RGN_DIFF), NULLREGION) << "the target may be a source";
    EXPECT_EQ(OffsetRgn(b, -5, -5), SIMPLEREGION);
    RECT box{};
    GetRgnBox(b, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(CombineRgn(out, a, nullptr, 99), ERROR);
    for (HRGN r : {a, b, out}) DeleteObject(r);
}

TEST(GdiDrawingTest, RectangleHelpersTreatTheRightAndBottomEdgesAsOutside) {
    RECT a{}, b{}, out{};
    SetRect(&a, 0, 0, 10, 10);
    SetRect(&b, 5, 5, 15, 15);
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    RECT overlap{5, 5, 10, 10};
    EXPECT_TRUE(EqualRect(&out, &overlap));
    OffsetRect(&b, 10, 0);
    EXPECT_FALSE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(IsRectEmpty(&out));
    SetRectEmpty(&out);
    EXPECT_TRUE(UnionRect(&out, &out, &a)) << "an empty rectangle adds nothing";
    EXPECT_TRUE(EqualRect(&out, &a));
    InflateRect(&out, -5, -5);
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
}

TEST(GdiDrawingTest, FocusRectInvertsDottedAndTwiceRestores) {
    DibDC target(6, 6);
    RECT r{0, 0, 6, 6};
    EXPECT_TRUE(DrawFocusRect(target.dc, &r));
    EXPECT_EQ(target.Raw16(0, 0), 0xFFFF);
    EXPECT_EQ(target.Raw16(1, 0), 0);
    EXPECT_EQ(target.Raw16(2, 2), 0) << "inside untouched";
    EXPECT_TRUE(DrawFocusRect(target.dc, &r));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(target.Raw16(x, y), 0);
}

TEST(GdiDrawingTest, WindowDCDrawsAtItsOriginInsideItsVisibleRegion) {
    HBITMAP surface = ce::gdi::CreateSurfaceBitmap(10, 10);
    HRGN visible = CreateRectRgn(2, 2, 6, 6);
    HDC window = ce::gdi::CreateWindowDC(surface, POINT{2, 2}, visible);
    ASSERT_NE(window, nullptr);
    HDC memory = CreateCompatibleDC(window);
    HGDIOBJ placeholder = SelectObject(memory, surface);
    RECT all{-5, -5, 20, 20};
    FillRect(window, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetPixel(memory, 2, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 6, 6), RGB(0, 0, 0)) << "outside the window";
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(window, 0, 0), RGB(255, 255, 255)) << "the window's own (0, 0)";
    RECT box{};
    GetClipBox(window, &box);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(SelectObject(window, CreateCompatibleBitmap(window, 2, 2)), nullptr)
        << "a window DC keeps its surface";
    EXPECT_EQ(GetDeviceCaps(window, BITSPIXEL), 16);
    SelectObject(memory, placeholder);
    DeleteDC(memory);
    DeleteDC(window);
    DeleteObject(visible);
    DeleteObject(surface);
}

}  // namespace
