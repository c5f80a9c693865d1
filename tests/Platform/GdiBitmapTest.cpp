// Bitmaps, DIB sections and block transfers on 5-6-5 and 32-bit surfaces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "Platform/GdiTestSupport.h"
#include "Platform/TempDevice.h"
#include "ce/gdi.h"

namespace {

using ce::test::DibDC;
using ce::test::To565;

TEST(GdiBitmapTest, DibSectionRowsArePaddedAndOrderedByTheSignOfTheHeight) {
    DibDC bottomUp(3, 2);
    DibDC topDown(3, -2);
    EXPECT_EQ(bottomUp.stride, 8);
    SetPixel(bottomUp.dc, 0, 0, RGB(255, 0, 0));
    SetPixel(topDown.dc, 0, 0, RGB(255, 0, 0));
    auto* bottomUpMemory = static_cast<uint16_t*>(bottomUp.pixels);
    auto* topDownMemory = static_cast<uint16_t*>(topDown.pixels);
    EXPECT_EQ(bottomUpMemory[4], 0xF800) << "the top row is the last in memory";
    EXPECT_EQ(bottomUpMemory[0], 0);
    EXPECT_EQ(topDownMemory[0], 0xF800);

    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(bottomUp.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
    EXPECT_EQ(ds.dsBm.bmBits, bottomUp.pixels);
    EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(bottomUp.bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmHeight, 2);
}

TEST(GdiBitmapTest, DibSectionRefusesHeadersItCannotDraw) {
    ce::test::Bitfields565Info info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 4;
    info.header.biHeight = 4;
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0x001F, info.masks[1] = 0x07E0, info.masks[2] = 0xF800;  // blue-red swapped
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.masks[0] = 0xF800, info.masks[2] = 0x001F;
    info.header.biWidth = -4;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.header.biWidth = 100000;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.header.biWidth = 4;
    info.header.biBitCount = 4;
    info.header.biCompression = BI_RGB;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GdiBitmapTest, CopyBetweenBottomUpAndTopDownKeepsThePictureUpright) {
    DibDC source(4, 4);
    DibDC target(4, -4);
    SetPixel(source.dc, 1, 0, RGB(255, 0, 0));
    SetPixel(source.dc, 2, 3, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(target.dc, 0, 0, 4, 4, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.Raw16(1, 0), 0xF800);
    EXPECT_EQ(target.Raw16(2, 3), 0x001F);
    EXPECT_EQ(target.Raw16(0, 0), 0);

    // Back again, shifted, into a 32-bit bottom-up surface.
    DibDC wide(4, 4, 32);
    ASSERT_TRUE(BitBlt(wide.dc, 1, 1, 3, 3, target.dc, 1, 0, SRCCOPY));
    EXPECT_EQ(wide.Raw32(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(GetPixel(wide.dc, 2, 4 - 0), CLR_INVALID) << "outside the bitmap";
}

TEST(GdiBitmapTest, CopyReadsOnlyWhatTheSourceHas) {
    DibDC source(2, 2);
    DibDC target(4, 4);
    target.Fill(RGB(0, 255, 0));
    source.Fill(RGB(255, 0, 0));
    ASSERT_TRUE(BitBlt(target.dc, 0, 0, 4, 4, source.dc, -1, -1, SRCCOPY));
    EXPECT_EQ(target.Raw16(0, 0), 0x07E0) << "no source pixel there: left alone";
    EXPECT_EQ(target.Raw16(1, 1), 0xF800);
    EXPECT_EQ(target.Raw16(2, 2), 0xF800);
    EXPECT_EQ(target.Raw16(3, 3), 0x07E0);
}

TEST(GdiBitmapTest, StretchDoublesEachPixelAndMirrorsWithANegativeWidth) {
    DibDC source(2, 2);
    DibDC target(4, 4);
    SetPixel(source.dc, 0, 0, RGB(255, 0, 0));
    SetPixel(source.dc, 1, 0, RGB(0, 255, 0));
    SetPixel(source.dc, 0, 1, RGB(0, 0, 255));
    SetPixel(source.dc, 1, 1, RGB(255, 255, 255));
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.Raw16(0, 0), 0xF800);
    EXPECT_EQ(target.Raw16(1, 1), 0xF800);
    EXPECT_EQ(target.Raw16(2, 0), 0x07E0);
    EXPECT_EQ(target.Raw16(3, 1), 0x07E0);
    EXPECT_EQ(target.Raw16(0, 3), 0x001F);
    EXPECT_EQ(target.Raw16(3, 3), 0xFFFF);

    ASSERT_TRUE(StretchBlt(target.dc, 4, 0, -4, 2, source.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(target.Raw16(0, 0), 0x07E0) << "mirrored";
    EXPECT_EQ(target.Raw16(3, 0), 0xF800);

    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_NE(target.Raw16(0, 0), 0x07E0) << "shrunk: one of the source's pixels";
}

TEST(GdiBitmapTest, RasterOperationsCombineBitsInThePixelFormat) {
    DibDC source(1, 1);
    DibDC target(1, 1);
    SetPixel(source.dc, 0, 0, RGB(0xF8, 0xFC, 0));
    SetPixel(target.dc, 0, 0, RGB(0xF8, 0, 0xF8));
    uint16_t s = To565(RGB(0xF8, 0xFC, 0)), d = To565(RGB(0xF8, 0, 0xF8));
    struct Case {
        DWORD rop;
        uint16_t expected;
    } cases[] = {{SRCAND, uint16_t(s & d)}, {SRCPAINT, uint16_t(s | d)}, {SRCINVERT, uint16_t(s ^ d)},
                 {NOTSRCCOPY, uint16_t(~s)}, {DSTINVERT, uint16_t(~d)}};
    for (const Case& c : cases) {
        SetPixel(target.dc, 0, 0, RGB(0xF8, 0, 0xF8));
        ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, c.rop));
        EXPECT_EQ(target.Raw16(0, 0), c.expected) << std::hex << c.rop;
    }
    EXPECT_TRUE(PatBlt(target.dc, 0, 0, 1, 1, BLACKNESS));
    EXPECT_EQ(target.Raw16(0, 0), 0);
    EXPECT_TRUE(PatBlt(target.dc, 0, 0, 1, 1, WHITENESS));
    EXPECT_EQ(target.Raw16(0, 0), 0xFFFF);
    SelectObject(target.dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(PatBlt(target.dc, 0, 0, 1, 1, PATCOPY));
    EXPECT_EQ(target.Raw16(0, 0), 0);
    EXPECT_FALSE(PatBlt(target.dc, 0, 0, 1, 1, SRCCOPY)) << "PatBlt has no source";
}

TEST(GdiBitmapTest, AlphaBlendTakesPremultipliedSourceOver565) {
    DibDC source(2, 1, 32);
    DibDC target(2, 1);
    target.Fill(RGB(255, 255, 255));
    source.SetRaw32(0, 0, 0x80800000);  // half-covered red, premultiplied
    source.SetRaw32(1, 0, 0x00000000);  // fully transparent
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(target.dc, 0, 0, 2, 1, source.dc, 0, 0, 2, 1, blend));
    EXPECT_RGB_NEAR(target.Raw16(0, 0), 255, 127, 127, 8);
    EXPECT_EQ(target.Raw16(1, 0), 0xFFFF);

    // A constant alpha over an opaque 16-bit source.
    DibDC opaque(1, 1);
    SetPixel(opaque.dc, 0, 0, RGB(0, 0, 0));
    BLENDFUNCTION quarter{AC_SRC_OVER, 0, 64, 0};
    ASSERT_TRUE(AlphaBlend(target.dc, 1, 0, 1, 1, opaque.dc, 0, 0, 1, 1, quarter));
    EXPECT_RGB_NEAR(target.Raw16(1, 0), 191, 191, 191, 8);

    EXPECT_FALSE(AlphaBlend(target.dc, 0, 0, 1, 1, source.dc, 1, 0, 2, 1, blend)) << "source outside its bitmap";
}

TEST(GdiBitmapTest, AlphaBlendStretchesTheSource) {
    DibDC source(1, 1, 32);
    DibDC target(4, 4);
    source.SetRaw32(0, 0, 0xFF00FF00);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(target.dc, 1, 1, 3, 3, source.dc, 0, 0, 1, 1, blend));
    EXPECT_EQ(target.Raw16(0, 0), 0);
    EXPECT_EQ(target.Raw16(1, 1), 0x07E0);
    EXPECT_EQ(target.Raw16(3, 3), 0x07E0);
}

TEST(GdiBitmapTest, GradientRunsFromTheFirstEdgeAndStopsBeforeTheLast) {
    DibDC target(4, 2);
    target.Fill(RGB(9, 9, 9));
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {4, 1, 0xFF00, 0, 0xFF00, 0}};
    GRADIENT_RECT rect{0, 1};
    ASSERT_TRUE(GradientFill(target.dc, v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(target.Raw16(0, 0), 0);
    EXPECT_RGB_NEAR(target.Raw16(1, 0), 63, 0, 63, 8);
    EXPECT_RGB_NEAR(target.Raw16(2, 0), 127, 0, 127, 8);
    EXPECT_RGB_NEAR(target.Raw16(3, 0), 191, 0, 191, 8);
    EXPECT_RGB_NEAR(target.Raw16(0, 1), 9, 9, 9, 8);  // the bottom edge is excluded

    // Vertical, corners given in the other order: the colours stay with their corners.
    TRIVERTEX w[2] = {{0, 2, 0, 0xFF00, 0, 0}, {4, 0, 0, 0, 0, 0}};
    ASSERT_TRUE(GradientFill(target.dc, w, 2, &rect, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(target.Raw16(0, 0), 0);
    EXPECT_RGB_NEAR(target.Raw16(0, 1), 0, 127, 0, 8);

    GRADIENT_RECT bad{0, 7};
    EXPECT_FALSE(GradientFill(target.dc, v, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

// The gradient as one solid fill a row (or column), each in the step's colour: what GradientFill
// must draw, pixel for pixel.
void FillGradientByLines(HDC dc, const TRIVERTEX& a, const TRIVERTEX& b, bool vertical) {
    const TRIVERTEX& first = (vertical ? a.y <= b.y : a.x <= b.x) ? a : b;
    const TRIVERTEX& last = &first == &a ? b : a;
    RECT box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    int steps = vertical ? box.bottom - box.top : box.right - box.left;
    for (int i = 0; i < steps; ++i) {
        auto channel = [&](COLOR16 from, COLOR16 to) {
            return static_cast<BYTE>((from + (static_cast<int64_t>(to) - from) * i / steps) >> 8);
        };
        HBRUSH brush = CreateSolidBrush(RGB(channel(first.Red, last.Red), channel(first.Green, last.Green),
                                            channel(first.Blue, last.Blue)));
        RECT line = vertical ? RECT{box.left, box.top + i, box.right, box.top + i + 1}
                             : RECT{box.left + i, box.top, box.left + i + 1, box.bottom};
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
}

TEST(GdiBitmapTest, GradientMatchesLineByLineFillsOnEveryDepthAndClip) {
    constexpr int kWidth = 37, kHeight = 29;
    std::srand(20261210);
    auto random = [](int below) { return std::rand() % below; };
    for (int bits : {16, 24, 32}) {
        for (int round = 0; round < 150; ++round) {
            int height = round % 2 ? -kHeight : kHeight;
            DibDC expected(kWidth, height, bits), actual(kWidth, height, bits);
            // A clip of two overlapping rectangles, or none; corners may lie off the bitmap.
            HRGN clip = nullptr;
            if (round % 3) {
                clip = CreateRectRgn(random(20), random(15), 10 + random(30), 8 + random(25));
                HRGN other = CreateRectRgn(random(30), random(25), 5 + random(40), 5 + random(30));
                CombineRgn(clip, clip, other, RGN_OR);
                DeleteObject(other);
            }
            TRIVERTEX v[2] = {{random(50) - 6, random(40) - 6, COLOR16(random(0x10000)), COLOR16(random(0x10000)),
                               COLOR16(random(0x10000)), 0},
                              {random(50) - 6, random(40) - 6, COLOR16(random(0x10000)), COLOR16(random(0x10000)),
                               COLOR16(random(0x10000)), 0}};
            bool vertical = random(2);
            for (DibDC* target : {&expected, &actual}) {
                std::memset(target->pixels, 0x5A, static_cast<size_t>(target->stride) * kHeight);
                SelectClipRgn(target->dc, clip);
            }
            FillGradientByLines(expected.dc, v[0], v[1], vertical);
            GRADIENT_RECT rect{0, 1};
            ASSERT_TRUE(GradientFill(actual.dc, v, 2, &rect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H));
            ASSERT_EQ(std::memcmp(expected.pixels, actual.pixels, static_cast<size_t>(expected.stride) * kHeight), 0)
                << bits << " bits, round " << round;
            if (clip) {
                DeleteObject(clip);
            }
        }
    }
}

TEST(GdiBitmapTest, DeletedBitmapStaysDrawableWhileSelected) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 16) << "a memory DC's bitmaps are the screen's depth";
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH))) << "stock objects ignore deletion";
    EXPECT_NE(GetObjectType(GetStockObject(BLACK_BRUSH)), 0u);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(GdiBitmapTest, MonochromeAndEightBitSourcesUseTheirColours) {
    // A two-colour DIB with its own palette.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 8, 1, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    info.colors[0] = RGBQUAD{0, 0, 255, 0};  // red
    info.colors[1] = RGBQUAD{255, 0, 0, 0};  // blue
    void* bits = nullptr;
    HBITMAP mono = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(mono, nullptr);
    static_cast<uint8_t*>(bits)[0] = 0x80;  // leftmost pixel uses colour 1
    HDC monoDC = CreateCompatibleDC(nullptr);
    SelectObject(monoDC, mono);
    DibDC target(2, 1);
    ASSERT_TRUE(BitBlt(target.dc, 0, 0, 2, 1, monoDC, 0, 0, SRCCOPY));
    EXPECT_EQ(target.Raw16(0, 0), 0x001F);
    EXPECT_EQ(target.Raw16(1, 0), 0xF800);
    DeleteDC(monoDC);
    DeleteObject(mono);
}

TEST(GdiBitmapTest, FiveFiveFiveAndTwentyFourBitSurfacesKeepTheirLayout) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -1, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    void* bits555 = nullptr;
    HBITMAP b555 = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits555, nullptr, 0);
    info.bmiHeader.biBitCount = 24;
    void* bits24 = nullptr;
    HBITMAP b24 = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits24, nullptr, 0);
    ASSERT_TRUE(b555 && b24);
    HDC dc555 = CreateCompatibleDC(nullptr), dc24 = CreateCompatibleDC(nullptr);
    SelectObject(dc555, b555);
    SelectObject(dc24, b24);
    RECT one{1, 0, 2, 1};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc555, &one, green);
    EXPECT_EQ(static_cast<uint16_t*>(bits555)[1], 0x03E0) << "16 bits without masks are 5-5-5";
    ASSERT_TRUE(BitBlt(dc24, 0, 0, 2, 1, dc555, 0, 0, SRCCOPY));
    auto* bytes = static_cast<uint8_t*>(bits24);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(bytes[4], 255) << "blue, green, red";
    EXPECT_EQ(bytes[5], 0);
    // Shapes reach these formats through a 32-bit copy.
    SelectObject(dc555, GetStockObject(WHITE_BRUSH));
    SelectObject(dc555, GetStockObject(NULL_PEN));
    Ellipse(dc555, 0, 0, 1, 1);
    EXPECT_EQ(static_cast<uint16_t*>(bits555)[0], 0x7FFF);
    EXPECT_EQ(static_cast<uint16_t*>(bits555)[1], 0x03E0);
    DeleteDC(dc555);
    DeleteDC(dc24);
    DeleteObject(b555);
    DeleteObject(b24);
    DeleteObject(green);
}

TEST(GdiBitmapTest, FarOutCoordinatesAreRefusedOrClippedNotOverflowed) {
    DibDC source(4, 4);
    DibDC target(4, 4);
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, source.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, 4, 4, source.dc, -0x7FFFFFFF - 1, 0, -0x7FFFFFFF - 1, 4, SRCCOPY));
    RECT huge{-0x7FFFFFFF - 1, -0x7FFFFFFF - 1, 0x7FFFFFFF, 0x7FFFFFFF};
    EXPECT_TRUE(FillRect(target.dc, &huge, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(target.Raw16(3, 3), 0xFFFF);
    TRIVERTEX v[2] = {{-0x7FFFFFFF, 0, 0, 0, 0, 0}, {0x7FFFFFFF, 4, 0xFF00, 0, 0, 0}};
    GRADIENT_RECT rect{0, 1};
    EXPECT_TRUE(GradientFill(target.dc, v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
    EXPECT_RGB_NEAR(target.Raw16(0, 0), 127, 0, 0, 8);
}

TEST(GdiBitmapTest, ScreenMetricsFollowTheProfile) {
    ce::test::TempDevice device;
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);

    ce::SetProfileString("device", "screen_width", "480");
    ce::SetProfileString("device", "screen_height", "640");
    ce::SetProfileString("device", "orientation", "landscape");
    ce::ReloadProfile();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 192);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 640);

    ce::SetProfileString("device", "screen_width", "320");
    ce::SetProfileString("device", "screen_height", "320");
    ce::ReloadProfile();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 131);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0x6B9ABDu) << "the theme colour";
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    DeleteDC(dc);
}

}  // namespace
