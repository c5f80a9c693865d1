#include <gtest/gtest.h>

#include <string>

#include "ce/types.h"

namespace {

TEST(WideStringsTest, CompareWithAndWithoutCase) {
    EXPECT_EQ(lstrlenW(u"Skyvane"), 7);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_LT(lstrcmpW(u"Apple", u"apple"), 0);
    EXPECT_EQ(lstrcmpiW(u"Stra\u00dfe \u00c4rger", u"STRA\u00dfE \u00e4RGER"), 0);
    EXPECT_LT(lstrcmpiW(u"abc", u"ABD"), 0);
    EXPECT_GT(lstrcmpiW(u"abcd", u"ABC"), 0);
    EXPECT_LT(lstrcmpW(nullptr, u""), 0);
    EXPECT_EQ(_wcsnicmp(u"cmd_auto_update:3", u"CMD_AUTO_UPDATE", 15), 0);
    EXPECT_NE(_wcsnicmp(u"cmd_auto", u"CMD_AUTO_UPDATE", 15), 0);
    EXPECT_EQ(_wcsicmp(u"\u0416", u"\u0436"), 0);  // Cyrillic
}

TEST(WideStringsTest, BoundedCopyAlwaysTerminates) {
    WCHAR buffer[6];
    lstrcpynW(buffer, u"Forecast", 6);
    EXPECT_EQ(std::u16string(buffer), u"Forec");
    lstrcpynW(buffer, u"ab", 6);
    EXPECT_EQ(std::u16string(buffer), u"ab");
    lstrcatW(buffer, u"cd");
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    WCHAR text[] = u"Gr\u00fc\u00dfe aus K\u00f6ln";
    EXPECT_EQ(std::u16string(CharUpperW(text)), u"GR\u00dc\u00dfE AUS K\u00d6LN");
    EXPECT_EQ(std::u16string(CharLowerW(text)), u"gr\u00fc\u00dfe aus k\u00f6ln");
    EXPECT_EQ(reinterpret_cast<uintptr_t>(CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t{u'q'}))),
              uintptr_t{u'Q'});
}

TEST(WideStringsTest, NumberParsingStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(_wtoi(u"  -42abc"), -42);
    EXPECT_EQ(_wtoi(u"+7"), 7);
    EXPECT_EQ(_wtoi(u"x1"), 0);
    EXPECT_EQ(_wtol(u"99999999999"), 2147483647L);  // the device's long is 32 bits
    EXPECT_EQ(_wtol(u"-99999999999"), -2147483647L - 1);
    LPWSTR end = nullptr;
    const char16_t* hex = u"0x1Fz";
    EXPECT_EQ(wcstolW(hex, &end, 16), 31);
    EXPECT_EQ(end, hex + 4);
    EXPECT_EQ(wcstolW(u"0755", nullptr, 0), 493);
    EXPECT_EQ(wcstoulW(u"4294967295", nullptr, 10), 4294967295UL);
    EXPECT_EQ(wcstoulW(u"-1", nullptr, 10), 4294967295UL);
    const char16_t* none = u"abc";
    EXPECT_EQ(wcstolW(none, &end, 10), 0);
    EXPECT_EQ(end, none);
    const char16_t* real = u" -12.5e1km";
    EXPECT_DOUBLE_EQ(wcstodW(real, &end), -125.0);
    EXPECT_EQ(end, real + 8);
    EXPECT_DOUBLE_EQ(_wtof(u"29.92"), 29.92);
    EXPECT_DOUBLE_EQ(_wtof(u"."), 0.0);
}

}  // namespace
