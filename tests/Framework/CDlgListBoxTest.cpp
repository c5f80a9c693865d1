// The list box on a real window, driven by injected keys, taps and drags: selection at the ends and
// around disabled rows, notifications, scrolling with its indicator, sorting, numbered rows and the
// drawing of the selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CListElement.h"
#include "UserInterface/CListElementCollection.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgListBox;

constexpr int kRow = 24;
constexpr int kLeft = 10;
constexpr int kTop = 10;
constexpr int kWidth = 150;
constexpr int kHeight = 100;

class ListBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open(200, 200)); }

    // A list of fixed-height rows on the host; rows named "Row 0", "Row 1" ...
    CDlgListBox& Make(int rows, DWORD style = 0, int height = kHeight) {
        EXPECT_TRUE(list_.Create(7, style | CDlgControl::kVisible, kWidth, height));
        host_.Add(&list_);
        list_.SetMinItemHeight(kRow, FALSE);
        for (int i = 0; i < rows; ++i) {
            std::u16string text = u"Row " + std::u16string(1, static_cast<char16_t>(u'0' + i));
            EXPECT_TRUE(list_.AddItem(text.c_str(), -1, -1, 100 + i, FALSE));
        }
        list_.Move(kLeft, kTop, kWidth, height, FALSE);
        host_.focused = &list_;
        host_.Redraw(FALSE);
        WindowDevice::Pump();
        return list_;
    }
    void Disable(int row) { list_.GetRows()->SetFlags(row, CListElement::kDisabled, CListElement::kDisabled); }
    void Key(UINT key) {
        ce::InjectKey(key);
        WindowDevice::Pump();
    }
    // A point of the host's client area in screen coordinates.
    POINT At(int x, int y) const { return host_.ScreenPoint(x, y); }
    void Tap(int x, int y) {
        const POINT p = At(x, y);
        ce::InjectTap(p.x, p.y);
        WindowDevice::Pump();
        WindowDevice::Advance(1000);  // no double tap with the next one
    }
    // A vertical drag inside the list by dy, held still long enough that it replays no flick.
    void Drag(int x, int y, int dy) {
        POINT p = At(x, y);
        ce::InjectStylusDown(p.x, p.y);
        WindowDevice::Pump();
        for (int step = 1; step <= 4; ++step) {
            ce::InjectStylusMove(p.x, p.y + dy * step / 4);
            WindowDevice::Pump();
        }
        WindowDevice::Advance(1000);
        ce::InjectStylusUp(p.x, p.y + dy);
        WindowDevice::Pump();
    }
    // The y of the middle of a row in the host's client area, at the current scroll offset.
    int RowMiddle(int row) const { return kTop + row * kRow + kRow / 2 - list_.GetScrollOffset(); }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& notice : host_.notices) {
            codes.push_back(notice.code);
        }
        return codes;
    }

    WindowDevice device_;
    RecordingSkin skin_;
    ControlHostWindow host_;
    CDlgListBox list_;
};

TEST_F(ListBox, KeysMoveTheSelectionPastDisabledRowsAndStopAtTheEnds) {
    Make(5);
    Disable(2);
    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), 0) << "the first Down selects the first row";
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), 3) << "the disabled row is passed";
    Key(VK_DOWN);
    EXPECT_EQ(list_.GetSelection(), 4);
    EXPECT_EQ(list_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_DOWN), 1) << "Down on the last row is still the list's";
    EXPECT_EQ(list_.GetSelection(), 4);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(list_.GetSelection(), 1);
    EXPECT_EQ(Codes(), (std::vector<int>(5, CDlgListBox::kNotifySelectionChanged)))
        << "every change by a key is told but the first selection";
    Key(VK_RETURN);
    EXPECT_EQ(Codes().back(), CDlgListBox::kNotifyEnter);
    EXPECT_EQ(list_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_LEFT), 0) << "other keys are not the list's";
}

TEST_F(ListBox, DownWithOnlyDisabledRowsBelowLeavesTheKeyToTheHost) {
    Make(3);
    Disable(1);
    Disable(2);
    ASSERT_TRUE(list_.SetSelection(0, FALSE));
    EXPECT_EQ(list_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_DOWN), 0);
    EXPECT_EQ(list_.GetSelection(), 0);
    EXPECT_TRUE(host_.notices.empty());
}

TEST_F(ListBox, UpOnTheFirstEnabledRowBringsTheHeadingAboveIntoView) {
    Make(10);
    Disable(0);
    ASSERT_TRUE(list_.SetSelection(9, FALSE));
    EXPECT_GT(list_.GetScrollOffset(), 0);
    ASSERT_TRUE(list_.SetSelection(1, TRUE));
    EXPECT_EQ(list_.GetScrollOffset(), kRow) << "the selected row just in view";
    Key(VK_UP);
    EXPECT_EQ(list_.GetSelection(), 1) << "the selection stays";
    EXPECT_EQ(list_.GetScrollOffset(), 0) << "the heading came into view";
    EXPECT_TRUE(host_.notices.empty());
}

TEST_F(ListBox, TapsSelectEnabledRowsAndReportTheRowTapped) {
    Make(4);
    Disable(3);
    Tap(kLeft + 50, RowMiddle(2));
    EXPECT_EQ(list_.GetSelection(), 2);
    ASSERT_EQ(Codes(), (std::vector<int>{CDlgListBox::kNotifySelectionChanged, CDlgListBox::kNotifyTap}));
    EXPECT_EQ(host_.notices[1].a, 2);

    host_.notices.clear();
    Tap(kLeft + 50, RowMiddle(3));
    EXPECT_EQ(list_.GetSelection(), 2) << "a disabled row is not selected";
    ASSERT_EQ(Codes(), (std::vector<int>{CDlgListBox::kNotifyTap})) << "but the tap on it is reported";
    EXPECT_EQ(host_.notices[0].a, 3);

    host_.notices.clear();
    Tap(kLeft + 50, RowMiddle(2));
    EXPECT_EQ(Codes(), (std::vector<int>{CDlgListBox::kNotifyTap})) << "the selected row again: no change";
    host_.notices.clear();
    Tap(kLeft + 50, kTop + kHeight - 3);
    EXPECT_TRUE(host_.notices.empty()) << "below the last row";
    EXPECT_EQ(list_.GetItemData(2), 102);
}

TEST_F(ListBox, DragsScrollWithinTheContentAndMoveTheIndicator) {
    Make(10);
    const int maximum = 10 * kRow - kHeight;
    ASSERT_TRUE(list_.GetScroller().IsVisible());
    EXPECT_EQ(list_.GetContentHeight(), 10 * kRow);
    RECT inner;
    list_.GetInnerRect(&inner);
    EXPECT_EQ(inner.right, kLeft + kWidth - 6) << "the rows leave room for the indicator";

    Drag(kLeft + 50, kTop + 80, -60);
    const int after = list_.GetScrollOffset();
    EXPECT_GT(after, 30);
    EXPECT_LE(after, 60);
    EXPECT_EQ(list_.GetScroller().GetPosition(), after);
    ASSERT_FALSE(skin_.thumbs.empty());
    const std::vector<int> codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CDlgListBox::kNotifyTap), 0) << "a drag is no tap";

    Drag(kLeft + 50, kTop + 80, -70);
    Drag(kLeft + 50, kTop + 80, -70);
    EXPECT_EQ(list_.GetScrollOffset(), maximum) << "never past the last row";
    Drag(kLeft + 50, kTop + 10, 80);
    Drag(kLeft + 50, kTop + 10, 80);
    Drag(kLeft + 50, kTop + 10, 80);
    EXPECT_EQ(list_.GetScrollOffset(), 0) << "never above the first";
}

// A scrolling dialog offsets its controls; the embedded indicator goes with the list.
TEST_F(ListBox, TheIndicatorFollowsWhenTheDialogOffsetsTheList) {
    Make(10);
    RECT before;
    list_.GetScroller().GetRect(&before);
    list_.Offset(3, -30, FALSE);
    RECT after;
    list_.GetScroller().GetRect(&after);
    EXPECT_EQ(after.top, before.top - 30);
    EXPECT_EQ(after.bottom, before.bottom - 30);
    EXPECT_EQ(after.left, before.left + 3);
    EXPECT_TRUE(list_.GetScroller().IsVisible());
}

TEST_F(ListBox, AFlickScrollsOnAfterThePenIsLifted) {
    Make(10);
    POINT p = At(kLeft + 50, kTop + 80);
    ce::InjectStylusDown(p.x, p.y);
    WindowDevice::Pump();
    ce::InjectStylusMove(p.x, p.y - 15);
    WindowDevice::Pump();
    ce::InjectStylusMove(p.x, p.y - 30);
    WindowDevice::Pump();
    const int beforeUp = list_.GetScrollOffset();
    ce::InjectStylusUp(p.x, p.y - 30);
    WindowDevice::Pump();
    EXPECT_GT(list_.GetScrollOffset(), beforeUp);
}

TEST_F(ListBox, ContentThatFitsShowsNoIndicatorAndNeverScrolls) {
    Make(2);
    EXPECT_FALSE(list_.GetScroller().IsVisible());
    RECT inner;
    list_.GetInnerRect(&inner);
    EXPECT_EQ(inner.right, kLeft + kWidth);
    Drag(kLeft + 50, kTop + 40, -40);
    EXPECT_EQ(list_.GetScrollOffset(), 0);
    list_.EnsureVisible(1, TRUE);
    EXPECT_EQ(list_.GetScrollOffset(), 0);
}

TEST_F(ListBox, ASortedListOrdersWithoutRegardToCaseAndFindsTheNearestRow) {
    Make(0, CDlgListBox::kSorted);
    ASSERT_TRUE(list_.AddItem(u"delta", -1, -1, 4, FALSE));
    ASSERT_TRUE(list_.AddItem(u"charlie", -1, -1, 3, FALSE));
    ASSERT_TRUE(list_.SetSelection(1, FALSE));  // delta
    ASSERT_TRUE(list_.AddItem(u"Bravo", -1, -1, 2, FALSE));
    ASSERT_TRUE(list_.AddItem(u"alpha", -1, -1, 1, FALSE));
    ASSERT_TRUE(list_.AddItem(u"Echo", -1, -1, 5, FALSE));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list_.GetItemData(i), i + 1);
    }
    EXPECT_EQ(list_.GetSelection(), 3) << "the selection moved with the inserts before it";
    EXPECT_EQ(list_.FindItem(u"BRAVO", TRUE), 1);
    EXPECT_EQ(list_.FindItem(u"c", TRUE), -1);
    EXPECT_EQ(list_.FindItem(u"c", FALSE), 2) << "the first row not before it";
    EXPECT_EQ(list_.FindItem(u"zulu", FALSE), 4) << "after every row: the last";
    EXPECT_EQ(list_.FindItem(nullptr, FALSE), -1);
    EXPECT_FALSE(list_.AddItem(nullptr, -1, -1, 0, FALSE));

    list_.ResetContent(FALSE);
    EXPECT_EQ(list_.FindItem(u"c", FALSE), -1);
    EXPECT_EQ(list_.GetSelection(), -1);
}

TEST_F(ListBox, NumberedRowsTakeEveryKeyAndDigitsSelectTheirRows) {
    Make(3, CDlgListBox::kNumbered);
    Disable(2);
    EXPECT_EQ(list_.SendMessage(CDlgControl::kMsgKeyDown, 0, '5'), 1);
    EXPECT_EQ(list_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_DOWN), 1);
    EXPECT_EQ(list_.GetSelection(), -1) << "neither a missing row nor Down selects";
    Key('2');
    EXPECT_EQ(list_.GetSelection(), 1);
    Key('3');
    EXPECT_EQ(list_.GetSelection(), 2) << "a number names its row, enabled or not";
    Key('3');
    EXPECT_EQ(Codes(), (std::vector<int>(2, CDlgListBox::kNotifySelectionChanged)));
    EXPECT_EQ(list_.SendMessage(CDlgControl::kMsgKeyUp, 0, 'X'), 1);
}

TEST_F(ListBox, SeparatorsLieBetweenRowsOnlyAndBelongToTheRowAbove) {
    Make(3, CDlgListBox::kSeparators | CDlgControl::kBorder, 150);
    list_.SetRowSpacing(3, FALSE);
    skin_.rowSeparators.clear();
    list_.Redraw(nullptr);
    EXPECT_EQ(list_.GetContentHeight(), 3 * kRow + 2 * 3) << "no spacing after the last row";
    EXPECT_EQ(list_.GetPreferredHeight(), 3 * kRow + 3 * 3 + 2) << "the rows, a spacing after each, the border";
    ASSERT_EQ(skin_.rowSeparators.size(), 2u);
    EXPECT_EQ(skin_.rowSeparators[0].rect.top, 1 + kRow) << "drawn in the list's own buffer, below the border";
    EXPECT_EQ(skin_.rowSeparators[1].rect.top, 1 + 2 * kRow + 3);
    EXPECT_EQ(skin_.rowSeparators[0].rect.bottom - skin_.rowSeparators[0].rect.top, 3);
    EXPECT_TRUE(NearColor(host_.PixelAt(kLeft + 100, kTop + 1 + kRow + 1), RecordingSkin::kRowSeparator));
    EXPECT_EQ(list_.RowFromPoint(1 + kRow + 1), 0);
    EXPECT_EQ(list_.RowFromPoint(1 + kRow + 3), 1);
}

TEST_F(ListBox, EmptyingAScrolledListStartsTheNextContentAtTheTop) {
    Make(10);
    ASSERT_TRUE(list_.SetSelection(9, TRUE));
    ASSERT_GT(list_.GetScrollOffset(), 0);
    list_.ResetContent(TRUE);
    EXPECT_EQ(list_.GetScrollOffset(), 0);
    EXPECT_FALSE(list_.GetScroller().IsVisible());
    ASSERT_TRUE(list_.AddItem(u"First", -1, -1, 0, TRUE));
    EXPECT_EQ(list_.RowFromPoint(5), 0) << "the new first row is in view";
}

TEST_F(ListBox, TheSelectionIsABevelledBarTheSkinsPictureOrATint) {
    Make(3);
    ASSERT_TRUE(list_.SetSelection(1, TRUE));
    WindowDevice::Pump();
    const int y = kTop + kRow + kRow / 2;
    EXPECT_TRUE(NearColor(host_.PixelAt(kLeft + kWidth - 10, y), RGB(255, 255, 255)));
    EXPECT_TRUE(NearColor(host_.PixelAt(kLeft, y), RGB(0xA9, 0xA9, 0xA9))) << "the bevel's outer left line";
    EXPECT_TRUE(NearColor(host_.PixelAt(kLeft + kWidth - 1, y), RGB(0x7F, 0x7F, 0x7F)));

    CDlgListBox skinned;
    ASSERT_TRUE(skinned.Create(8, CDlgControl::kVisible | CDlgListBox::kSkinSelection, 40, 60));
    host_.Add(&skinned);
    skinned.SetMinItemHeight(kRow, FALSE);
    skinned.AddItem(u"a", -1, -1, 0, FALSE);
    skinned.AddItem(u"b", -1, -1, 0, FALSE);
    skinned.Move(160, 10, 40, 60, FALSE);
    skinned.SetSelection(0, TRUE);
    EXPECT_TRUE(NearColor(host_.PixelAt(195, 20), RecordingSkin::kListSelection));

    CDlgListBox tinted;
    ASSERT_TRUE(tinted.Create(9, CDlgControl::kVisible | CDlgListBox::kTintSelection, 40, 60));
    host_.Add(&tinted);
    tinted.SetBackgroundBrush(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), FALSE);
    tinted.SetSelectionTint(0x80FFFFFF, FALSE);
    tinted.SetMinItemHeight(kRow, FALSE);
    tinted.AddItem(u"a", -1, -1, 0, FALSE);
    tinted.Move(160, 100, 40, 60, FALSE);
    tinted.SetSelection(0, TRUE);
    const COLORREF half = host_.PixelAt(195, 110);
    EXPECT_GT(GetRValue(half), 100);
    EXPECT_LT(GetRValue(half), 160) << "half way from black to white";
    EXPECT_TRUE(NearColor(host_.PixelAt(195, 140), RGB(0, 0, 0))) << "below the row no tint";
}

TEST_F(ListBox, RowsTakeTheListsTextColourAndATintedSelectionHasNoShadowCopy) {
    CDlgListBox tinted;
    ASSERT_TRUE(tinted.Create(9, CDlgControl::kVisible | CDlgListBox::kTintSelection, 120, 60));
    host_.Add(&tinted);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 160));
    tinted.SetBackgroundBrush(blue, FALSE);
    tinted.SetSelectionTint(0x40FFFFFF, FALSE);
    tinted.SetTextColor(RGB(255, 255, 255), FALSE);
    tinted.SetMinItemHeight(kRow, FALSE);
    tinted.AddItem(u"Wyoming", -1, -1, 0, FALSE);
    tinted.AddItem(u"Wisconsin", -1, -1, 1, FALSE);
    EXPECT_EQ(tinted.GetRows()->GetTextColor(0), RGB(255, 255, 255));
    EXPECT_EQ(tinted.GetRows()->GetTextColor(1), RGB(255, 255, 255));
    tinted.Move(20, 20, 120, 60, FALSE);
    tinted.SetSelection(0, TRUE);
    WindowDevice::Pump();
    // Tinted, the blue stays blue and the white text white; a black copy would turn dark grey.
    int white = 0;
    int dark = 0;
    for (int y = 20; y < 20 + kRow; ++y) {
        for (int x = 20; x < 140; ++x) {
            const COLORREF pixel = host_.PixelAt(x, y);
            white += NearColor(pixel, RGB(255, 255, 255)) ? 1 : 0;
            dark += GetBValue(pixel) < 120 ? 1 : 0;
        }
    }
    EXPECT_GT(white, 0) << "the selected row's text is white";
    EXPECT_EQ(dark, 0) << "no shadow copy under it";
    int whiteBelow = 0;
    for (int y = 20 + kRow; y < 20 + 2 * kRow; ++y) {
        for (int x = 20; x < 140; ++x) {
            whiteBelow += NearColor(host_.PixelAt(x, y), RGB(255, 255, 255)) ? 1 : 0;
        }
    }
    EXPECT_GT(whiteBelow, 0) << "the other row's text is white too";
    DeleteObject(blue);
}

TEST_F(ListBox, TheSelectionMessageSelectsAnyRowQuietlyAndNoSelectionModeRefusesIt) {
    Make(3);
    Disable(1);
    EXPECT_TRUE(list_.SetSelection(1, TRUE)) << "the message does not test the disabled flag";
    EXPECT_FALSE(list_.SetSelection(3, TRUE));
    EXPECT_FALSE(list_.SetSelection(-1, TRUE));
    EXPECT_EQ(list_.GetSelection(), 1);
    EXPECT_TRUE(host_.notices.empty());

    CDlgListBox passive;
    ASSERT_TRUE(passive.Create(8, CDlgControl::kVisible | CDlgListBox::kNoSelection, 40, 60));
    host_.Add(&passive);
    passive.AddItem(u"a", -1, -1, 0, FALSE);
    passive.Move(160, 10, 40, 60, FALSE);
    EXPECT_FALSE(passive.SetSelection(0, FALSE));
    EXPECT_EQ(passive.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_DOWN), 0);
    EXPECT_EQ(passive.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_RETURN), 0);
    EXPECT_EQ(passive.GetSelection(), -1);
}

}  // namespace
