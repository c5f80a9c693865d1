#include <gtest/gtest.h>

#include <string>

#include "ce/types.h"

namespace {

template <class... Args>
std::u16string Format(const char16_t* format, Args... args) {
    WCHAR out[1100];
    int length = wsprintfW(out, format, args...);
    EXPECT_EQ(length, lstrlenW(out));
    return out;
}

TEST(WideFormatterTest, ConversionsWidthsFlagsAndPrecision) {
    EXPECT_EQ(Format(u"posid=%s&imei=%s&ver=%d&filterid=%d", u"DEXX0001", u"123456789012345", 40, 43),
              u"posid=DEXX0001&imei=123456789012345&ver=40&filterid=43");
    EXPECT_EQ(Format(u"[%5d|%-5d|%05d|%+d|% d]", 42, 42, -42, 42, 42), u"[   42|42   |-0042|+42| 42]");
    EXPECT_EQ(Format(u"%x %X %#x %08lx %o", 255u, 255u, 255u, 0xBD9A6Bu, 8u), u"ff FF 0xff 00bd9a6b 10");
    EXPECT_EQ(Format(u"%u %lu %ld", 4000000000u, 4000000000u, -5), u"4000000000 4000000000 -5");
    EXPECT_EQ(Format(u"%I64d %lld", -9000000000LL, 9000000000LL), u"-9000000000 9000000000");
    EXPECT_EQ(Format(u"%hd %hu", 70000, 70000), u"4464 4464");
    EXPECT_EQ(Format(u"%.1f %6.2f %-7.0f| %f", 21.55, -3.14159, 2.5, 1.0), u"21.6  -3.14 2      | 1.000000");
    EXPECT_EQ(Format(u"%c%c %hs %S", u'O', u'K', "narrow", "too"), u"OK narrow too");
    EXPECT_EQ(Format(u"%.3s|%8s|%-8s|", u"Skyvane", u"ab", u"ab"), u"Sky|      ab|ab      |");
    EXPECT_EQ(Format(u"%*d|%-*d|%.*s", 4, 7, 3, 7, 2, u"xyz"), u"   7|7  |xy");
    EXPECT_EQ(Format(u"100%% %s", nullptr), u"100% (null)");
    EXPECT_EQ(Format(u"%.3d %.0d|", 7, 0), u"007 |");
    EXPECT_EQ(Format(u"%k %d", 5), u"%k 5");  // unknown conversions stand as written
    EXPECT_EQ(Format(u"trailing %"), u"trailing %");
}

TEST(WideFormatterTest, BoundedFormatterCutsAndTerminates) {
    WCHAR out[8];
    EXPECT_EQ(_snwprintf(out, 8, u"%d", 1234567), 7);
    EXPECT_EQ(std::u16string(out), u"1234567");
    EXPECT_EQ(_snwprintf(out, 8, u"%d", 12345678), -1);
    EXPECT_EQ(std::u16string(out), u"1234567");
    EXPECT_EQ(_snwprintf(out, 0, u"x"), -1);
    EXPECT_EQ(_snwprintf(out, 8, u"%999999999d", 1), -1);  // a hostile width stays bounded
    EXPECT_EQ(lstrlenW(out), 7);

    std::u16string longText(3000, u'a');
    WCHAR big[1100];
    EXPECT_EQ(wsprintfW(big, u"%s", longText.c_str()), 1023);
    EXPECT_EQ(lstrlenW(big), 1023);
}

TEST(WideFormatterTest, FormatConversionsListsWhatATemplateTakes) {
    EXPECT_EQ(ce::FormatConversions(u"%d of %s"), "ds");
    EXPECT_EQ(ce::FormatConversions(u"%-5ld%% %hs %08.2f %I64u"), "ldhsfI64u");
    EXPECT_EQ(ce::FormatConversions(u"100%% sure"), "");
    EXPECT_EQ(ce::FormatConversions(u"%*d"), "*d");
    EXPECT_EQ(ce::FormatConversions(u"%-*.*s"), "*.*s");
    EXPECT_EQ(ce::FormatConversions(u"broken %"), "");
}

// An unknown conversion is copied as it stands: its '*' takes no argument either, so the arguments
// after it line up with the conversions that do take them.
TEST(WideFormatterTest, StarWidthOfUnknownConversionReadsNoArgument) {
    WCHAR out[64];
    wsprintfW(out, u"%*q %d", 42);
    EXPECT_EQ(std::u16string(out), u"%*q 42");
    wsprintfW(out, u"%.*y|%s", u"kept");
    EXPECT_EQ(std::u16string(out), u"%.*y|kept");
}

}  // namespace
