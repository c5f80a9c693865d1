// The controls' own text copies: bounded hand-out that always leaves a terminated string.
#include <gtest/gtest.h>

#include <string>

#include "UserInterface/CDlgString.h"

using UserInterface::CDlgString;

namespace {

TEST(CDlgString, CopyKeepsRoomForTheTerminatorAndNeverWritesPastTheLength) {
    CDlgString text;
    ASSERT_TRUE(text.Set(u"Weather"));
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(text.CopyTo(buffer, 4), 1);
    EXPECT_EQ(std::u16string(buffer), u"Wea");
    EXPECT_EQ(buffer[4], u'#');

    EXPECT_EQ(text.CopyTo(buffer, 8), 1);
    EXPECT_EQ(std::u16string(buffer), u"Weather");
}

TEST(CDlgString, ZeroLengthOrNullBufferWritesNothingAndAbsentTextGivesEmpty) {
    CDlgString text;
    WCHAR buffer[4] = {u'x', u'y', 0, 0};
    EXPECT_EQ(text.CopyTo(buffer, 0), 0);
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(text.CopyTo(nullptr, 4), 0);

    EXPECT_EQ(text.CopyTo(buffer, 4), 1);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(text.Get(), nullptr);
    EXPECT_EQ(text.GetLength(), 0);

    ASSERT_TRUE(text.Set(u"Oslo"));
    ASSERT_TRUE(text.Set(nullptr));
    EXPECT_EQ(text.Get(), nullptr);
}

}  // namespace
