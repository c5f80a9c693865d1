#include <gtest/gtest.h>

#include "CDate.h"

namespace {

CDate Parsed(const char16_t* text) {
    CDate date(2001, 1, 1);
    date.SetFromString(text);
    return date;
}

TEST(CDate, SetFromStringReadsEightCharactersAndClearsOnShortText) {
    EXPECT_EQ(Parsed(u"20091231"), CDate(2009, 12, 31));
    const CDate letters = Parsed(u"2009ab01");
    EXPECT_EQ(letters, CDate(2009, 0, 1));
    EXPECT_FALSE(letters.IsValid());
    EXPECT_EQ(Parsed(u"2009123"), CDate(0, 0, 0)) << "a short text is never read past its end";
    EXPECT_EQ(Parsed(u""), CDate(0, 0, 0));
    EXPECT_EQ(Parsed(nullptr), CDate(0, 0, 0));
}

TEST(CDate, AddDaysRollsOverMonthsYearsAndLeapDays) {
    CDate date(2008, 2, 28);
    date.AddDays(1);
    EXPECT_EQ(date, CDate(2008, 2, 29));
    date = CDate(2009, 12, 31);
    EXPECT_EQ(date++, CDate(2009, 12, 31));
    EXPECT_EQ(date, CDate(2010, 1, 1));
    date = CDate(2010, 3, 1);
    date.AddDays(-1);
    EXPECT_EQ(date, CDate(2010, 2, 28));
    date.AddDays(365 * 4 + 1);
    EXPECT_EQ(date, CDate(2014, 2, 28));
}

TEST(CDate, DaysUntilAndOrderCompareByYearMonthDay) {
    EXPECT_EQ(CDate(2009, 3, 10).DaysUntil(CDate(2009, 3, 7)), -3);
    EXPECT_EQ(CDate(2008, 12, 31).DaysUntil(CDate(2009, 3, 1)), 60);
    EXPECT_LT(CDate(2009, 1, 31), CDate(2009, 2, 1));
    EXPECT_GT(CDate(2010, 1, 1), CDate(2009, 12, 31));
    EXPECT_NE(CDate(2009, 1, 1), CDate(2009, 1, 2));
}

TEST(CDate, IsValidChecksRangesOnly) {
    EXPECT_TRUE(CDate(2099, 12, 31).IsValid());
    EXPECT_TRUE(CDate(2009, 2, 31).IsValid());
    EXPECT_FALSE(CDate(2000, 12, 31).IsValid());
    EXPECT_FALSE(CDate(2100, 1, 1).IsValid());
    EXPECT_TRUE(CDate(99, 1, 1).IsTwoDigitYear());
}

TEST(CDate, ToSystemTimeCarriesOnlyTheDate) {
    SYSTEMTIME time;
    CDate(2009, 7, 4).ToSystemTime(&time);
    EXPECT_EQ(time.wYear, 2009);
    EXPECT_EQ(time.wMonth, 7);
    EXPECT_EQ(time.wDay, 4);
    EXPECT_EQ(time.wHour + time.wMinute + time.wSecond + time.wMilliseconds + time.wDayOfWeek, 0);
    EXPECT_EQ(CDate(time), CDate(2009, 7, 4));
}

}  // namespace
