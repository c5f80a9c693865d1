// The city switch on a real window with the real skin: arrows answering taps and keys, the pressed
// arrow, a single city without arrows, and the lines centred and shortened between the arrows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppControlHost.h"
#include "Controls/CSwitchControl.h"
#include "Controls/ControlDrawing.h"
#include "Platform/GdiTestSupport.h"

namespace {

using appctl_test::AppControlTest;
using appctl_test::PenRoutingHost;
using UserInterface::CDlgControl;

constexpr int kHeight = 40;
constexpr COLORREF kText = RGB(255, 255, 255);
// With a 40-pixel control on the 240 class the arrows are 34-pixel squares 3 pixels in from the ends.
constexpr RECT kLeftArrow{3, 3, 37, 37};
constexpr RECT kRightArrow{203, 3, 237, 37};
constexpr RECT kBetween{37, 0, 203, kHeight};
constexpr WCHAR kLongName[] = u"Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch";

class Switch : public AppControlTest {
protected:
    void SetUp() override {
        AppControlTest::SetUp();
        ASSERT_TRUE(switch_.Create(0, CDlgControl::kVisible | CDlgControl::kHostBackground, 240, kHeight));
        switch_.SetTextColor(kText, FALSE);
        switch_.SetTexts(u"London", u"Updated 10:15", FALSE);
        Show(switch_, 0, 0, 240, kHeight);
    }
    // The rows of the white text pixels in a rectangle, as their lowest and highest row.
    struct Span {
        int first = -1;
        int last = -1;
    };
    Span TextRows(const RECT& rect) {
        Span span;
        for (int y = rect.top; y < rect.bottom; ++y) {
            if (CountNear(RECT{rect.left, y, rect.right, y + 1}, kText, 60) > 0) {
                span.first = span.first < 0 ? y : span.first;
                span.last = y;
            }
        }
        return span;
    }
    Span TextColumns(const RECT& rect) {
        Span span;
        for (int x = rect.left; x < rect.right; ++x) {
            if (CountNear(RECT{x, rect.top, x + 1, rect.bottom}, kText, 60) > 0) {
                span.first = span.first < 0 ? x : span.first;
                span.last = x;
            }
        }
        return span;
    }
    std::vector<COLORREF> Rows(const RECT& rect, int shift) {
        std::vector<COLORREF> pixels;
        for (int y = rect.top + 2; y < rect.bottom - 2; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                pixels.push_back(Pixel(x, y + shift));
            }
        }
        return pixels;
    }

    CSwitchControl switch_;
};

TEST_F(Switch, TapsOnTheArrowsAskForThePreviousAndTheNextCity) {
    Tap(20, 20);
    Pause();
    Tap(220, 20);
    Pause();
    Tap(120, 20);  // the city name itself
    EXPECT_EQ(Codes(), (std::vector<int>{CSwitchControl::kNotifyPrevious, CSwitchControl::kNotifyNext}));
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kNormal);
}

TEST_F(Switch, APressedArrowSinksAPixelAndAPenThatLeavesItSendsNothing) {
    EXPECT_GT(CountNear(kLeftArrow, PenRoutingHost::kHostBackground, 12), 0);
    EXPECT_LT(CountNear(kLeftArrow, PenRoutingHost::kHostBackground, 12), 34 * 34) << "the arrow is drawn";
    const std::vector<COLORREF> normal = Rows(kLeftArrow, 0);

    PenDown(20, 20);
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kPressed);
    EXPECT_EQ(Rows(kLeftArrow, 1), normal) << "the same picture one pixel lower";

    PenMove(120, 20);
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kNormal);
    EXPECT_EQ(Rows(kLeftArrow, 0), normal);
    PenUp(120, 20);

    Pause();
    PenDown(220, 20);
    PenUp(120, 20);  // lifted beside the arrow
    EXPECT_TRUE(host_.notices.empty());
}

TEST_F(Switch, ASingleCityShowsNoArrowsAndIgnoresTapsAndKeys) {
    switch_.SetArrowEnabled(CSwitchControl::kLeftArrow, FALSE, FALSE);
    switch_.SetArrowEnabled(CSwitchControl::kRightArrow, FALSE, TRUE);
    Pump();
    const int square = (kLeftArrow.right - kLeftArrow.left) * (kLeftArrow.bottom - kLeftArrow.top);
    EXPECT_EQ(CountNear(kLeftArrow, PenRoutingHost::kHostBackground, 12), square);
    EXPECT_EQ(CountNear(kRightArrow, PenRoutingHost::kHostBackground, 12), square);

    host_.focused = &switch_;
    Tap(20, 20);
    Pause();
    Tap(220, 20);
    KeyDown(VK_LEFT);
    KeyUp(VK_LEFT);
    KeyDown(VK_RIGHT);
    KeyUp(VK_RIGHT);
    EXPECT_TRUE(host_.notices.empty());
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kDisabled);
}

TEST_F(Switch, AKeyPressesItsArrowAndAsksAtOnce) {
    host_.focused = &switch_;
    KeyDown(VK_RIGHT);
    EXPECT_EQ(Codes(), (std::vector<int>{CSwitchControl::kNotifyNext})) << "on the key going down";
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kPressed);
    KeyUp(VK_RIGHT);
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kNormal);

    // The last city: the right arrow is off, the left one still works.
    switch_.SetArrowEnabled(CSwitchControl::kRightArrow, FALSE, TRUE);
    KeyDown(VK_RIGHT);
    KeyUp(VK_RIGHT);
    KeyDown(VK_LEFT);
    KeyUp(VK_LEFT);
    EXPECT_EQ(Codes(), (std::vector<int>{CSwitchControl::kNotifyNext, CSwitchControl::kNotifyPrevious}));
    switch_.SetArrowEnabled(CSwitchControl::kRightArrow, TRUE, FALSE);
    EXPECT_EQ(switch_.GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kNormal);
}

TEST_F(Switch, OneLineIsCentredAndTwoLinesShareTheMiddle) {
    switch_.SetTexts(u"London", nullptr, TRUE);
    Pump();
    const Span rows = TextRows(kBetween);
    const Span columns = TextColumns(kBetween);
    ASSERT_GE(rows.first, 0);
    EXPECT_NEAR((rows.first + rows.last) / 2, kHeight / 2, 4);
    EXPECT_NEAR((columns.first + columns.last) / 2, 120, 4);

    switch_.SetTexts(u"London", u"Updated 10:15", TRUE);
    Pump();
    const Span both = TextRows(kBetween);
    EXPECT_LT(both.first, rows.first) << "the name moves up to make room";
    EXPECT_GT(both.last, kHeight / 2 + 2) << "the second line is below the middle";
}

TEST_F(Switch, ALongNameIsShortenedBetweenTheArrowsAndNeverCutAtItsSides) {
    // Without arrows on the screen, every white pixel is text.
    switch_.SetArrowEnabled(CSwitchControl::kLeftArrow, FALSE, FALSE);
    switch_.SetArrowEnabled(CSwitchControl::kRightArrow, FALSE, FALSE);
    switch_.SetTexts(kLongName, nullptr, TRUE);
    Pump();
    const Span cut = TextColumns(kBetween);
    ASSERT_GE(cut.first, 0);
    EXPECT_LE(TextColumns(RECT{0, 0, kBetween.left, kHeight}).first, -1) << "no text where the left arrow goes";
    EXPECT_LE(TextColumns(RECT{kBetween.right, 0, 240, kHeight}).first, -1) << "no text where the right arrow goes";
    EXPECT_GT(cut.first, kBetween.left) << "without the fit flag too the name starts inside the room";
    EXPECT_LT(cut.last, kBetween.right - 1);

    switch_.SetFitFlags(TRUE, FALSE, TRUE);
    Pump();
    const Span fitted = TextColumns(kBetween);
    EXPECT_GT(fitted.first, kBetween.left) << "shortened with \"...\" it starts inside the room";
    EXPECT_LT(fitted.last, kBetween.right - 1);

    // A status line too long for the room is shortened whatever the flags: cut at both ends it
    // would lose its first and last letters.
    switch_.SetFitFlags(FALSE, FALSE, FALSE);
    switch_.SetTexts(u"Berlin", kLongName, TRUE);
    Pump();
    const Span status = TextColumns(RECT{kBetween.left, kHeight / 2 + 2, kBetween.right, kHeight});
    EXPECT_GT(status.first, kBetween.left);
    EXPECT_LT(status.last, kBetween.right - 1);
}

// A line too wide for the room takes the smaller font where it fits whole there ("Downloading..." on
// a Smartphone), and a status line too wide in both smaller fonts shows its shorter text whole.
TEST_F(Switch, ATooWideLineIsDrawnSmallerOrAsItsShorterText) {
    switch_.SetArrowEnabled(CSwitchControl::kLeftArrow, FALSE, FALSE);
    switch_.SetArrowEnabled(CSwitchControl::kRightArrow, FALSE, FALSE);
    HDC dc = GetDC(nullptr);
    HFONT bold = CreateDerivedFont(switch_.GetFont(), FontChange{FW_BOLD, 0, false, true});
    HFONT small = CreateDerivedFont(switch_.GetFont(), FontChange{0, -3, false, true});
    const std::u16string title = u"Australia and Oceania";
    HGDIOBJ old = SelectObject(dc, bold);
    const int boldWidth = MeasureText(dc, title).cx;
    SelectObject(dc, small);
    const int smallWidth = MeasureText(dc, title).cx;
    const int shortWidth = MeasureText(dc, u"Updated today").cx;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteFontHandles({&bold, &small});
    const int room = (boldWidth + smallWidth) / 2;
    ASSERT_GT(room, shortWidth);
    // A switch whose room between the arrows lies between the title's width in the two fonts.
    const int width = room + kBetween.left * 2;
    switch_.Move(0, 0, width, kHeight, FALSE);
    const RECT between{kBetween.left, 0, width - kBetween.left, kHeight};

    switch_.SetTexts(title.c_str(), nullptr, TRUE);
    Pump();
    const Span whole = TextColumns(between);
    EXPECT_NEAR(whole.last - whole.first + 1, smallWidth, 3) << "the whole title in the smaller font";

    switch_.SetTexts(u"Berlin", kLongName, FALSE);
    switch_.SetShortSecondText(u"Updated today", TRUE);
    Pump();
    const Span status = TextColumns(RECT{between.left, kHeight / 2 + 2, between.right, kHeight});
    EXPECT_LE(status.last - status.first + 1, shortWidth + 1) << "the shorter text, at most as wide as in the smaller font";
    EXPECT_GT(status.last - status.first + 1, shortWidth / 2);
    EXPECT_NEAR((status.first + status.last) / 2, width / 2, 3) << "and centred";
}

}  // namespace
