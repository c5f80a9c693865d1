// The label: text shortened with "..." at either end, the picture beside the text, and the text
// messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ControlHostWindow.h"
#include "Platform/GdiTestSupport.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgStatic.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgStatic;
using UserInterface::IDlgImage;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPicture = RGB(0, 200, 0);
constexpr int kCanvasWidth = 200;
constexpr int kCanvasHeight = 24;

// A flat square of a colour; copies of it are images of their own.
class SquareImage : public IDlgImage {
public:
    explicit SquareImage(int side = 0) : m_side(side) {}
    BOOL Clone(IDlgImage** copy) const override {
        if (copy == nullptr) {
            return FALSE;
        }
        *copy = new SquareImage();
        return TRUE;
    }
    BOOL Assign(const IDlgImage* other) override {
        m_side = static_cast<const SquareImage*>(other)->m_side;
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
        HBRUSH brush = CreateSolidBrush(kPicture);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        return TRUE;
    }
    BOOL DrawInRect(HDC dc, const RECT* rect, const RECT*, BOOL) const override {
        return Draw(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, 0, 0);
    }

private:
    int m_side;
};

std::vector<uint32_t> Pixels(const ce::test::DibDC& canvas) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kCanvasWidth) * kCanvasHeight);
    for (int y = 0; y < kCanvasHeight; ++y) {
        for (int x = 0; x < kCanvasWidth; ++x) {
            pixels[static_cast<size_t>(y) * kCanvasWidth + x] = canvas.Raw32(x, y) & 0xFFFFFF;
        }
    }
    return pixels;
}

class Label : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open()); }

    // What a label `width` wide shows, drawn alone on a white canvas.
    std::vector<uint32_t> Shown(CDlgStatic& label, LPCWSTR text, DWORD style, int width) {
        EXPECT_TRUE(label.Create(text, nullptr, 1, style | CDlgControl::kVisible, width, kCanvasHeight));
        label.Move(0, 0, width, kCanvasHeight, FALSE);
        label.SetHost(&host_);
        ce::test::DibDC canvas(kCanvasWidth, -kCanvasHeight, 32);
        FillRect(canvas.dc, &kCanvas, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        label.Draw(canvas.dc, 0, 0, nullptr, FALSE);
        return Pixels(canvas);
    }
    // The same place with the text drawn directly, clipped to the label as the label is.
    static std::vector<uint32_t> Direct(HFONT font, const std::u16string& text, int width) {
        ce::test::DibDC canvas(kCanvasWidth, -kCanvasHeight, 32);
        FillRect(canvas.dc, &kCanvas, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        IntersectClipRect(canvas.dc, 0, 0, width, kCanvasHeight);
        SetBkMode(canvas.dc, TRANSPARENT);
        SelectObject(canvas.dc, font);
        RECT rect{0, 0, width, kCanvasHeight};
        DrawTextW(canvas.dc, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        return Pixels(canvas);
    }
    // The cut of the text that the label shows: the number of characters kept beside "...", or -1.
    int KeptCharacters(const std::u16string& text, DWORD ellipsis, int width) {
        CDlgStatic label;
        const auto shown = Shown(label, text.c_str(), CDlgStatic::kSingleLine | ellipsis, width);
        for (size_t kept = 0; kept < text.size(); ++kept) {
            const std::u16string cut = ellipsis == CDlgStatic::kEllipsisBack
                                           ? text.substr(0, kept) + u"..."
                                           : u"..." + text.substr(text.size() - kept);
            if (Direct(label.GetFont(), cut, width) == shown) {
                return static_cast<int>(kept);
            }
        }
        return Direct(label.GetFont(), text, width) == shown ? static_cast<int>(text.size()) : -1;
    }

    static constexpr RECT kCanvas{0, 0, kCanvasWidth, kCanvasHeight};
    WindowDevice device_;
    ControlHostWindow host_;
};

TEST_F(Label, ATooLongTextKeepsItsStartOrItsEndBesideThreeDots) {
    const std::u16string text = u"Partly cloudy with showers";
    const int back = KeptCharacters(text, CDlgStatic::kEllipsisBack, 90);
    EXPECT_GT(back, 2);
    EXPECT_LT(back, static_cast<int>(text.size()));
    const int front = KeptCharacters(text, CDlgStatic::kEllipsisFront, 90);
    EXPECT_GT(front, 2);
    EXPECT_LT(front, static_cast<int>(text.size()));

    EXPECT_EQ(KeptCharacters(text, CDlgStatic::kEllipsisBack, 199), static_cast<int>(text.size()))
        << "a text that fits is drawn whole, without dots";
}

// The first placing of a wrapped label, made 0 wide, measures its text at the width it gets, not
// word by word at its old width.
TEST_F(Label, AWrappedLabelIsAsHighAsItsTextAtTheWidthItIsPlacedIn) {
    const DWORD style = CDlgControl::kVisible | CDlgControl::kFillWidth | CDlgControl::kPreferredHeight |
                        CDlgStatic::kWordBreak;
    CDlgStatic wrapped;
    ASSERT_TRUE(wrapped.Create(u"Several updates are available", nullptr, 1, style, 0, 0));
    wrapped.SetHost(&host_);
    CDlgStatic oneLine;
    ASSERT_TRUE(oneLine.Create(u"Several", nullptr, 2, style, 0, 0));
    oneLine.SetHost(&host_);
    oneLine.Place(0, 0, 400, 300, nullptr, FALSE);
    ASSERT_GT(oneLine.GetHeight(), 0);
    wrapped.Place(0, 0, 400, 300, nullptr, FALSE);
    EXPECT_EQ(wrapped.GetWidth(), 400);
    EXPECT_EQ(wrapped.GetHeight(), oneLine.GetHeight()) << "one line at 400 pixels";
    wrapped.Place(0, 0, 60, 300, nullptr, FALSE);
    EXPECT_GT(wrapped.GetHeight(), 2 * oneLine.GetHeight()) << "wrapped at 60 pixels";
}

TEST_F(Label, ALabelNarrowerThanTheDotsShowsOnlyTheDots) {
    const std::u16string text = u"Showers";
    EXPECT_EQ(KeptCharacters(text, CDlgStatic::kEllipsisBack, 4), 0);
    EXPECT_EQ(KeptCharacters(text, CDlgStatic::kEllipsisFront, 4), 0);
    EXPECT_EQ(KeptCharacters(text, CDlgStatic::kEllipsisBack, 0), 0);
}

TEST_F(Label, ThePictureIsAPrivateCopyDrawnBesideTheText) {
    CDlgStatic label;
    {
        SquareImage picture(16);
        ASSERT_TRUE(label.Create(u"Oslo", &picture, 1,
                                 CDlgControl::kVisible | CDlgStatic::kImageRight | CDlgStatic::kImageVCenter, 150,
                                 30));
    }  // the label's copy outlives the picture it was given
    label.Move(20, 20, 150, 30, FALSE);
    host_.Add(&label);
    label.Redraw(nullptr);
    EXPECT_TRUE(NearColor(host_.PixelAt(168, 35), kPicture)) << "at the right edge, centred";
    EXPECT_TRUE(NearColor(host_.PixelAt(150, 22), kWhite));
    EXPECT_FALSE(label.CanFocus());

    const int withPicture = label.GetPreferredWidth();
    EXPECT_EQ(label.SendMessage(CDlgStatic::kMsgSetImage, 0, TRUE), 1);
    EXPECT_EQ(label.GetPreferredWidth(), withPicture - 16 - 2);

    SquareImage again(16);
    label.SendMessage(CDlgStatic::kMsgSetImage, reinterpret_cast<WPARAM>(&again), FALSE);
    label.SetText(nullptr, TRUE);
    host_.Redraw(FALSE);
    WindowDevice::Pump();
    EXPECT_EQ(label.GetPreferredWidth(), 0);
    EXPECT_EQ(label.GetPreferredHeight(), 0);
    EXPECT_TRUE(NearColor(host_.PixelAt(168, 35), kWhite)) << "without text not even the picture is drawn";
}

TEST_F(Label, GetTextCopiesAtMostOneLessThanTheLengthAndTerminates) {
    CDlgStatic label;
    ASSERT_TRUE(label.Create(u"Weather", nullptr, 1, CDlgControl::kVisible, 100, 20));
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(label.SendMessage(CDlgStatic::kMsgGetText, reinterpret_cast<WPARAM>(buffer), 4), 1);
    EXPECT_EQ(std::u16string(buffer), u"Wea");
    EXPECT_EQ(buffer[4], u'#');
    EXPECT_EQ(label.SendMessage(CDlgStatic::kMsgGetText, reinterpret_cast<WPARAM>(buffer), 0), 0);
    EXPECT_EQ(buffer[0], u'W') << "a length of 0 writes nothing";
    EXPECT_EQ(label.SendMessage(CDlgStatic::kMsgGetTextLength, 0, 0), 7);

    label.SetText(nullptr, FALSE);
    EXPECT_EQ(label.SendMessage(CDlgStatic::kMsgGetText, reinterpret_cast<WPARAM>(buffer), 8), 1);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(label.SendMessage(1285, 0, 0), 0);
}

}  // namespace
