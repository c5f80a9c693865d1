// The row store of the list controls: growth, inserting and removing rows in order, and indices
// outside the rows doing nothing.
#include <gtest/gtest.h>

#include <string>

#include "UserInterface/CDefaultListElementCollection.h"

namespace {

std::u16string TextOf(const CDefaultListElementCollection& rows, int index) {
    LPCWSTR text = rows.GetText(index);
    return text != nullptr ? text : u"<null>";
}

TEST(CDefaultListElementCollection, GrowsByHundredThenDoublesAndSetCountLeavesSlack) {
    CDefaultListElementCollection rows;
    EXPECT_EQ(rows.GetCapacity(), 0);
    ASSERT_TRUE(rows.Add());
    EXPECT_EQ(rows.GetCapacity(), 100);
    for (int i = 1; i < 100; ++i) {
        ASSERT_TRUE(rows.Add());
    }
    EXPECT_EQ(rows.GetCapacity(), 100);
    ASSERT_TRUE(rows.Add());
    EXPECT_EQ(rows.GetCapacity(), 200) << "the 101st row doubles the array";
    EXPECT_EQ(rows.GetCount(), 101);

    CDefaultListElementCollection sized;
    ASSERT_TRUE(sized.SetCount(5));
    EXPECT_EQ(sized.GetCapacity(), 69);
    EXPECT_EQ(sized.GetCount(), 5);
    EXPECT_EQ(sized.GetLeftImage(4), -1) << "every new index holds a default row";
    EXPECT_TRUE(sized.SetText(4, u"last"));
    ASSERT_TRUE(sized.SetCount(0));
    EXPECT_EQ(sized.GetCount(), 0);
    EXPECT_EQ(sized.GetCapacity(), 69) << "emptying keeps the array";
    EXPECT_EQ(sized.GetText(4), nullptr);
    EXPECT_FALSE(sized.SetCount(-1)) << "a negative count is refused, not wrapped";
    EXPECT_EQ(sized.GetCount(), 0);
}

TEST(CDefaultListElementCollection, ANewRowHasItsDefaultsAndFlagsChangeOnlyUnderTheMask) {
    CDefaultListElementCollection rows;
    ASSERT_TRUE(rows.Add());
    EXPECT_EQ(rows.GetLeftImage(0), -1);
    EXPECT_EQ(rows.GetRightImage(0), -1);
    EXPECT_EQ(rows.GetSecondColor(0), 0xFFFFFFu);
    EXPECT_EQ(rows.GetTextColor(0), 0u);
    EXPECT_EQ(rows.GetData(0), 0);
    EXPECT_EQ(rows.GetHeight(0), 0);
    EXPECT_EQ(rows.GetText(0), nullptr);
    EXPECT_TRUE(rows.IsEnabled(0));
    EXPECT_FALSE(rows.IsBold(0));

    rows.SetFlags(0, 0x3, 0x2);
    EXPECT_EQ(rows.GetFlags(0), 0x2u);
    EXPECT_TRUE(rows.IsBold(0));
    EXPECT_TRUE(rows.IsEnabled(0));
    rows.SetFlags(0, 0x1, 0x1);
    EXPECT_FALSE(rows.IsEnabled(0));
    EXPECT_EQ(rows.GetFlags(0), 0x3u);
}

TEST(CDefaultListElementCollection, InsertRemoveAndSwapKeepTheOtherRowsInOrder) {
    CDefaultListElementCollection rows;
    for (LPCWSTR text : {u"a", u"c", u"e"}) {
        ASSERT_TRUE(rows.Add());
        ASSERT_TRUE(rows.SetText(rows.GetCount() - 1, text));
    }
    ASSERT_TRUE(rows.InsertAt(1));
    rows.SetText(1, u"b");
    ASSERT_TRUE(rows.InsertAt(4)) << "inserting at the count appends";
    rows.SetText(4, u"f");
    EXPECT_FALSE(rows.InsertAt(6));
    EXPECT_FALSE(rows.InsertAt(-1));
    ASSERT_EQ(rows.GetCount(), 5);
    EXPECT_EQ(TextOf(rows, 0) + TextOf(rows, 1) + TextOf(rows, 2) + TextOf(rows, 3) + TextOf(rows, 4), u"abcef");

    rows.RemoveAt(2);
    rows.RemoveAt(7);
    ASSERT_EQ(rows.GetCount(), 4);
    EXPECT_EQ(TextOf(rows, 2), u"e");
    EXPECT_EQ(rows.GetText(4), nullptr) << "the freed entry is gone";

    EXPECT_TRUE(rows.Swap(0, 3));
    EXPECT_EQ(TextOf(rows, 0), u"f");
    EXPECT_EQ(TextOf(rows, 3), u"a");
    EXPECT_FALSE(rows.Swap(0, 4));
    CDefaultListElementCollection empty;
    EXPECT_FALSE(empty.Swap(0, 0));

    // The entry that the removal freed holds no row any more: growing the count again deletes no
    // row still in use (the stale pointer was row "f", now at index 0).
    ASSERT_TRUE(rows.SetCount(5));
    EXPECT_EQ(TextOf(rows, 0), u"f");
    EXPECT_EQ(TextOf(rows, 4), u"<null>");
    EXPECT_EQ(rows.GetLeftImage(4), -1) << "a new default row";
}

TEST(CDefaultListElementCollection, BadIndicesReadZeroAndChangeNothing) {
    CDefaultListElementCollection rows;
    ASSERT_TRUE(rows.Add());
    for (int bad : {-1, 1, 1000}) {
        rows.SetLeftImage(bad, 3);
        rows.SetData(bad, 7);
        rows.SetFlags(bad, 1, 1);
        EXPECT_FALSE(rows.SetText(bad, u"x"));
        EXPECT_EQ(rows.GetLeftImage(bad), 0);
        EXPECT_EQ(rows.GetRightImage(bad), 0);
        EXPECT_EQ(rows.GetSecondColor(bad), 0u);
        EXPECT_EQ(rows.GetText(bad), nullptr);
        EXPECT_FALSE(rows.IsEnabled(bad));
        EXPECT_EQ(rows.GetData(bad), 0);
    }
    EXPECT_EQ(rows.GetCount(), 1);
    EXPECT_EQ(rows.GetLeftImage(0), -1);
}

TEST(CDefaultListElementCollection, SetTextCopiesTheTextAndNullClearsItAnsweringZero) {
    CDefaultListElementCollection rows;
    ASSERT_TRUE(rows.Add());
    std::u16string source = u"Prague";
    ASSERT_TRUE(rows.SetText(0, source.c_str()));
    source[0] = u'X';
    EXPECT_EQ(TextOf(rows, 0), u"Prague") << "the row keeps its own copy";
    EXPECT_FALSE(rows.SetText(0, nullptr));
    EXPECT_EQ(rows.GetText(0), nullptr);
}

}  // namespace
