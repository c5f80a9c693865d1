#include <gtest/gtest.h>

#include <string>

#include "ce/kernel.h"

namespace {

std::u16string ToWide(UINT codePage, const std::string& text) {
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(length), u'\0');
    EXPECT_EQ(
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length),
        length);
    return wide;
}

std::string ToNarrow(UINT codePage, const std::u16string& text, BOOL* usedDefault = nullptr) {
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, usedDefault);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                        nullptr, usedDefault);
    return narrow;
}

TEST(CodePagesTest, Windows1252RoundTripsEveryByte) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    std::u16string wide = ToWide(1252, all);
    ASSERT_EQ(wide.size(), all.size());
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');  // the euro sign
    EXPECT_EQ(wide[0xE4 - 1], u'\u00E4');
    EXPECT_EQ(ToNarrow(CP_ACP, wide), all);
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePagesTest, UnmappableCharactersUseTheDefault) {
    BOOL usedDefault = FALSE;
    EXPECT_EQ(ToNarrow(1252, u"a\u4E2Db\U0001F600", &usedDefault), "a?b?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ToNarrow(1252, u"Gr\u00FC\u00DFe", &usedDefault),
              "Gr\xFC\xDF"
              "e");
    EXPECT_FALSE(usedDefault);
    char out[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"x", 1, out, 8, "?", nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CodePagesTest, Utf8RoundTripsAndCountsTheTerminator) {
    std::u16string text = u"M\u00E4rz \u20AC \U0001F600";
    std::string utf8 = ToNarrow(CP_UTF8, text);
    EXPECT_EQ(utf8, "M\xC3\xA4rz \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(ToWide(CP_UTF8, utf8), text);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4);
    WCHAR small[2];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(ToWide(CP_UTF8, "\xC3("), u"\uFFFD(");
    EXPECT_EQ(MultiByteToWideChar(437, 0, "a", 1, small, 2), 0);
}

}  // namespace
