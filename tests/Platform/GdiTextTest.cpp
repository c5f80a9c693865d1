// Fonts and text: the height sign rule, measuring, and DrawTextW measuring and drawing alike.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Platform/GdiTestSupport.h"
#include "ce/gdi.h"

namespace {

using ce::test::DibDC;
using ce::test::InkBounds;

HFONT MakeFont(LONG height, LONG weight = FW_NORMAL, BYTE quality = CLEARTYPE_QUALITY) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfQuality = quality;
    std::u16string face = u"Tahoma";
    face.copy(lf.lfFaceName, face.size());
    return CreateFontIndirectW(&lf);
}

// A white 5-6-5 surface with black transparent text in a font of the given height.
class TextSurface : public DibDC {
public:
    TextSurface(int width, int height, LONG fontHeight) : DibDC(width, height), width(width), height(height) {
        Fill(RGB(255, 255, 255));
        font = MakeFont(fontHeight);
        oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
    }
    ~TextSurface() {
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
    RECT Ink() const { return InkBounds(*this, width, height, 0xFFFF); }

    int width, height;
    HFONT font;
    HGDIOBJ oldFont;
};

TEST(GdiTextTest, NegativeHeightIsTheCharacterHeightAndPositiveTheCell) {
    DibDC surface(4, 4);
    for (LONG size : {11, 16, 27}) {
        HFONT character = MakeFont(-size);
        HGDIOBJ old = SelectObject(surface.dc, character);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(surface.dc, &tm));
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, size);
        EXPECT_GT(tm.tmInternalLeading, 0);
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);

        HFONT cell = MakeFont(size);
        SelectObject(surface.dc, cell);
        ASSERT_TRUE(GetTextMetricsW(surface.dc, &tm));
        EXPECT_EQ(tm.tmHeight, size);
        SelectObject(surface.dc, old);
        DeleteObject(character);
        DeleteObject(cell);
    }
}

TEST(GdiTextTest, BoldIsWiderAndFontsDescribeThemselves) {
    DibDC surface(4, 4);
    HFONT regular = MakeFont(-14);
    HFONT bold = MakeFont(-14, FW_BOLD);
    SIZE regularSize{}, boldSize{};
    HGDIOBJ old = SelectObject(surface.dc, regular);
    GetTextExtentPoint32W(surface.dc, u"Weather", 7, &regularSize);
    SelectObject(surface.dc, bold);
    GetTextExtentPoint32W(surface.dc, u"Weather", 7, &boldSize);
    EXPECT_GT(boldSize.cx, regularSize.cx);
    EXPECT_EQ(boldSize.cy, regularSize.cy);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(bold, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"Tahoma");
    SelectObject(surface.dc, old);
    DeleteObject(regular);
    DeleteObject(bold);
}

TEST(GdiTextTest, ExtentsCountTheCharactersThatFit) {
    TextSurface surface(8, 8, -12);
    const char16_t* text = u"Partly cloudy";
    SIZE whole{};
    ASSERT_TRUE(GetTextExtentPoint32W(surface.dc, text, 13, &whole));
    int dx[13] = {};
    int fit = -1;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointW(surface.dc, text, 13, whole.cx / 2, &fit, dx, &size));
    EXPECT_EQ(size.cx, whole.cx);
    EXPECT_GT(fit, 0);
    EXPECT_LT(fit, 13);
    EXPECT_LE(dx[fit - 1], whole.cx / 2);
    for (int i = 1; i < fit; ++i) EXPECT_GE(dx[i], dx[i - 1]);
    ASSERT_TRUE(GetTextExtentExPointW(surface.dc, text, 13, whole.cx, &fit, dx, &size));
    EXPECT_EQ(fit, 13);
    EXPECT_EQ(dx[12], whole.cx);
    EXPECT_FALSE(GetTextExtentExPointW(surface.dc, nullptr, 3, 0, nullptr, nullptr, &size));
}

TEST(GdiTextTest, DrawTextWrapsTheSameWayWhenMeasuringAndDrawing) {
    TextSurface surface(120, 200, -12);
    const char16_t* text = u"Light rain in the morning, clearing towards the evening with a fresh breeze";
    RECT measured{10, 10, 110, 10};
    UINT format = DT_WORDBREAK | DT_NOPREFIX;
    int height = DrawTextW(surface.dc, text, -1, &measured, format | DT_CALCRECT);
    TEXTMETRICW tm{};
    GetTextMetricsW(surface.dc, &tm);
    EXPECT_EQ(height, measured.bottom - measured.top);
    EXPECT_GE(height / tm.tmHeight, 3) << "wrapped onto several lines";
    EXPECT_EQ(height % tm.tmHeight, 0);
    EXPECT_LE(measured.right, 110);

    RECT drawn{10, 10, 110, 190};
    EXPECT_EQ(DrawTextW(surface.dc, text, -1, &drawn, format), height);
    RECT ink = surface.Ink();
    EXPECT_GE(ink.left, measured.left);
    EXPECT_LE(ink.right, measured.right);
    EXPECT_GE(ink.top, measured.top);
    EXPECT_LE(ink.bottom, measured.bottom);
    EXPECT_GT(ink.bottom, measured.bottom - tm.tmHeight) << "the last measured line holds ink";
    EXPECT_GT(ink.right, measured.right - tm.tmAveCharWidth * 3) << "the widest line reaches the measured edge";
}

TEST(GdiTextTest, SingleLineIgnoresBreaksAndAlignsVertically) {
    TextSurface surface(200, 60, -12);
    TEXTMETRICW tm{};
    GetTextMetricsW(surface.dc, &tm);
    RECT measured{0, 0, 200, 0};
    EXPECT_EQ(DrawTextW(surface.dc, u"Sunny\nand warm", -1, &measured, DT_SINGLELINE | DT_CALCRECT), tm.tmHeight);
    RECT multi{0, 0, 200, 0};
    EXPECT_EQ(DrawTextW(surface.dc, u"Sunny\r\nand warm", -1, &multi, DT_CALCRECT), 2 * tm.tmHeight);

    RECT box{0, 0, 200, 60};
    DrawTextW(surface.dc, u"Sunny", -1, &box, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT);
    RECT ink = surface.Ink();
    EXPECT_GE(ink.top, 60 - tm.tmHeight);
    EXPECT_GT(ink.left, 150);
    surface.Fill(RGB(255, 255, 255));
    DrawTextW(surface.dc, u"Sunny", -1, &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    ink = surface.Ink();
    EXPECT_GE(ink.top, (60 - tm.tmHeight) / 2);
    EXPECT_LE(ink.bottom, (60 + tm.tmHeight) / 2 + 1);
    EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3);
}

TEST(GdiTextTest, EllipsisAndPrefixesChangeWhatIsMeasured) {
    TextSurface surface(100, 40, -12);
    RECT narrow{0, 0, 60, 0};
    DrawTextW(surface.dc, u"Thunderstorms expected", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(narrow.right, 60);
    EXPECT_GT(narrow.right, 30);
    RECT plain{0, 0, 200, 0}, prefixed{0, 0, 200, 0}, literal{0, 0, 200, 0};
    DrawTextW(surface.dc, u"File", -1, &plain, DT_SINGLELINE | DT_CALCRECT);
    DrawTextW(surface.dc, u"&File", -1, &prefixed, DT_SINGLELINE | DT_CALCRECT);
    DrawTextW(surface.dc, u"&File", -1, &literal, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(prefixed.right, plain.right);
    EXPECT_GT(literal.right, plain.right);
}

TEST(GdiTextTest, ExtTextOutClipsAndFillsItsRectangle) {
    TextSurface surface(100, 30, -16);
    RECT clip{0, 0, 20, 30};
    ASSERT_TRUE(ExtTextOutW(surface.dc, 2, 2, ETO_CLIPPED, &clip, u"Overcast", 8, nullptr));
    RECT ink = surface.Ink();
    EXPECT_GT(ink.right, 2);
    EXPECT_LE(ink.right, 20);

    SetBkColor(surface.dc, RGB(255, 0, 0));
    RECT band{50, 0, 100, 30};
    ASSERT_TRUE(ExtTextOutW(surface.dc, 50, 0, ETO_OPAQUE, &band, u"", 0, nullptr));
    EXPECT_EQ(surface.Raw16(99, 29), 0xF800);
    EXPECT_EQ(surface.Raw16(49, 29), 0xFFFF);

    surface.Fill(RGB(255, 255, 255));
    SetBkMode(surface.dc, OPAQUE);
    SetBkColor(surface.dc, RGB(0, 0, 255));
    ExtTextOutW(surface.dc, 0, 0, 0, nullptr, u"i", 1, nullptr);
    EXPECT_EQ(surface.Raw16(0, 0), 0x001F) << "an opaque background fills the text cell";
}

TEST(GdiTextTest, AbsurdFontHeightsStayBounded) {
    DibDC surface(4, 4);
    for (LONG height : {LONG(-0x7FFFFFFF) - 1, LONG(0x7FFFFFFF)}) {
        HFONT font = MakeFont(height);
        ASSERT_NE(font, nullptr);
        HGDIOBJ old = SelectObject(surface.dc, font);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(surface.dc, &tm));
        EXPECT_GT(tm.tmHeight, 100);
        EXPECT_LT(tm.tmHeight, 10000);
        SelectObject(surface.dc, old);
        DeleteObject(font);
    }
}

TEST(GdiTextTest, WorkerThreadsDrawTextWhileOthersMeasure) {
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            TextSurface surface(80, 40, -10 - t % 2);
            for (int i = 0; i < 50; ++i) {
                RECT r{0, 0, 80, 40};
                if (DrawTextW(surface.dc, u"Wind 12 km/h from the north", -1, &r, DT_WORDBREAK) <= 0) ++failures;
                SIZE size{};
                if (!GetTextExtentPoint32W(surface.dc, u"Humidity", 8, &size) || size.cx <= 0) ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, 0);
}

}  // namespace
