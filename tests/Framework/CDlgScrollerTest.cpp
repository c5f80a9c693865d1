// The scroll indicator: where its thumb lies for a range and a position, when it shows, and how it
// follows the content on a real window.
#include <gtest/gtest.h>

#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgScroller.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgScroller;
using Thumb = CDlgScroller::Thumb;

Thumb ThumbOf(int total, int page, int position, int height, int fixedLength = -1) {
    Thumb thumb{-1, -1};
    EXPECT_TRUE(CDlgScroller::GetThumb(total, page, position, height, fixedLength, 12, &thumb));
    return thumb;
}

TEST(CDlgScroller, TheThumbShowsThePageAndReachesTheEndAtTheLastPosition) {
    Thumb thumb = ThumbOf(600, 200, 0, 300);
    EXPECT_EQ(thumb.top, 0);
    EXPECT_EQ(thumb.length, 100);
    thumb = ThumbOf(600, 200, 300, 300);
    EXPECT_EQ(thumb.top, 150);
    thumb = ThumbOf(600, 200, 400, 300);
    EXPECT_EQ(thumb.top + thumb.length, 300);

    // A long list: the thumb is kept at 12 pixels and still ends at the bottom.
    thumb = ThumbOf(50'000, 100, 0, 300);
    EXPECT_EQ(thumb.length, 12);
    EXPECT_EQ(thumb.top, 0);
    thumb = ThumbOf(50'000, 100, 49'900, 300);
    EXPECT_EQ(thumb.top, 288);

    // So long that position x height no longer fits 32 bits.
    thumb = ThumbOf(100'000'000, 100, 99'999'900, 300);
    EXPECT_EQ(thumb.top, 288);

    thumb = ThumbOf(600, 200, 200, 300, 30);
    EXPECT_EQ(thumb.length, 30);
    EXPECT_EQ(thumb.top, 135);
    thumb = ThumbOf(600, 200, 0, 20, 30);
    EXPECT_EQ(thumb.length, 20) << "a fixed thumb is at most the track";

    thumb = ThumbOf(600, 200, 900, 300);
    EXPECT_EQ(thumb.top + thumb.length, 300) << "a position past the end stays on the track";

    Thumb none{};
    EXPECT_FALSE(CDlgScroller::GetThumb(200, 200, 0, 300, -1, 12, &none)) << "the page shows everything";
    EXPECT_FALSE(CDlgScroller::GetThumb(0, -5, 0, 300, -1, 12, &none));
}

TEST(CDlgScroller, ItKeepsItsIdAndOnlyItsOwnStyleBits) {
    CDlgScroller scroller;
    ASSERT_TRUE(scroller.Create(0xFFFFFFFF, 6, 100));
    EXPECT_EQ(scroller.GetId(), CDlgScroller::kScrollerId);
    EXPECT_EQ(scroller.GetFlags(), 0x10011u);
    EXPECT_FALSE(scroller.IsVisible()) << "nothing to show until it has a range";
}

class Scroller : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Open());
        ASSERT_TRUE(scroller_.Create(0, 8, 150));
        scroller_.Move(180, 20, 8, 150, FALSE);
        host_.Add(&scroller_);
    }

    WindowDevice device_;
    RecordingSkin skin_;
    ControlHostWindow host_;
    CDlgScroller scroller_;
};

TEST_F(Scroller, ItShowsOnlyWhileThePageIsSmallerThanTheContent) {
    scroller_.SetRange(0, 150, 150, TRUE);
    EXPECT_FALSE(scroller_.IsVisible());
    EXPECT_TRUE(skin_.tracks.empty());

    scroller_.SetRange(0, 450, 150, TRUE);
    EXPECT_TRUE(scroller_.IsVisible());
    ASSERT_EQ(skin_.tracks.size(), 1u);
    EXPECT_EQ(skin_.tracks[0].rect.bottom - skin_.tracks[0].rect.top, 150);

    scroller_.SetRange(0, 100, 150, TRUE);
    EXPECT_FALSE(scroller_.IsVisible());
}

TEST_F(Scroller, TheThumbFollowsTheContentOnTheWindow) {
    scroller_.SetRange(0, 450, 150, TRUE);
    EXPECT_TRUE(NearColor(host_.PixelAt(184, 30), RecordingSkin::kThumb));
    EXPECT_TRUE(NearColor(host_.PixelAt(184, 160), RecordingSkin::kTrack));

    scroller_.SetPosition(300, TRUE);  // the last page
    ASSERT_EQ(skin_.thumbs.size(), 2u);
    EXPECT_EQ(skin_.thumbs[1].rect.top, 100) << "drawn through the indicator's own buffer";
    EXPECT_EQ(skin_.thumbs[1].rect.bottom, 150);
    EXPECT_TRUE(NearColor(host_.PixelAt(184, 160), RecordingSkin::kThumb));
    EXPECT_TRUE(NearColor(host_.PixelAt(184, 30), RecordingSkin::kTrack));

    scroller_.SetPosition(300, TRUE);
    EXPECT_EQ(skin_.thumbs.size(), 2u) << "an unchanged position is not repainted";
}

}  // namespace
