#include <gtest/gtest.h>

#include <string>

#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "support/SystemTimes.h"

namespace {

using ce::test::TempDevice;

constexpr LCID kEnglish = 0x0409;
constexpr LCID kGerman = 0x0407;

SYSTEMTIME Moment(WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time = ce::test::MakeSystemTime(2024, 3, 5, hour, minute, second);  // a Tuesday
    time.wDayOfWeek = 6;  // wrong on purpose: the date decides
    return time;
}

std::u16string Date(LCID locale, DWORD flags, const char16_t* picture, SYSTEMTIME when = Moment(0, 0, 0)) {
    WCHAR out[128];
    int length = GetDateFormatW(locale, flags, &when, picture, out, 128);
    return length > 0 ? std::u16string(out, static_cast<size_t>(length - 1)) : u"<error>";
}

std::u16string Time(LCID locale, DWORD flags, const char16_t* picture, SYSTEMTIME when) {
    WCHAR out[128];
    int length = GetTimeFormatW(locale, flags, &when, picture, out, 128);
    return length > 0 ? std::u16string(out, static_cast<size_t>(length - 1)) : u"<error>";
}

TEST(DateFormatTest, LocaleDatesAndPictures) {
    EXPECT_EQ(Date(kEnglish, DATE_SHORTDATE, nullptr), u"3/5/2024");
    EXPECT_EQ(Date(kEnglish, DATE_LONGDATE, nullptr), u"Tuesday, March 5, 2024");
    EXPECT_EQ(Date(kGerman, DATE_SHORTDATE, nullptr), u"05.03.2024");
    EXPECT_EQ(Date(kGerman, DATE_LONGDATE, nullptr), u"Dienstag, 5. M\u00e4rz 2024");
    EXPECT_EQ(Date(kEnglish, 0, u"ddd',' dd MMM"), u"Tue, 05 Mar");
    EXPECT_EQ(Date(kGerman, 0, u"ddd',' dd MMM"), u"Di, 05 M\u00e4r");
    EXPECT_EQ(Date(kEnglish, 0, u"d dd ddd dddd M MM MMM MMMM y yy yyyy"),
              u"5 05 Tue Tuesday 3 03 Mar March 24 24 2024");
    EXPECT_EQ(Date(kEnglish, 0, u"'It''s' d 'of' MMMM hh:mm"), u"It's 5 of March hh:mm");
    EXPECT_EQ(Date(kEnglish, 0, u"''dd''"), u"'05'");
    EXPECT_EQ(Date(kEnglish, 0, u"dd 'unclosed"), u"05 unclosed");
}

TEST(DateFormatTest, RefusesBadDatesAndSmallBuffers) {
    SYSTEMTIME bad = Moment(0, 0, 0);
    bad.wDay = 31;
    bad.wMonth = 4;
    WCHAR out[4];
    EXPECT_EQ(GetDateFormatW(kEnglish, 0, &bad, u"d", out, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SYSTEMTIME good = Moment(0, 0, 0);
    EXPECT_EQ(GetDateFormatW(kEnglish, DATE_LONGDATE, &good, nullptr, nullptr, 0), 23);
    EXPECT_EQ(GetDateFormatW(kEnglish, DATE_LONGDATE, &good, nullptr, out, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(TimeFormatTest, LocaleTimesPicturesAndFlags) {
    SYSTEMTIME evening = Moment(21, 7, 3);
    SYSTEMTIME morning = Moment(0, 30, 0);
    EXPECT_EQ(Time(kEnglish, 0, nullptr, evening), u"9:07:03 PM");
    EXPECT_EQ(Time(kEnglish, 0, nullptr, morning), u"12:30:00 AM");
    EXPECT_EQ(Time(kGerman, 0, nullptr, evening), u"21:07:03");
    EXPECT_EQ(Time(kEnglish, TIME_NOSECONDS, nullptr, evening), u"9:07 PM");
    EXPECT_EQ(Time(kEnglish, TIME_NOMINUTESORSECONDS, nullptr, evening), u"9 PM");
    EXPECT_EQ(Time(kEnglish, TIME_NOTIMEMARKER, nullptr, evening), u"9:07:03");
    EXPECT_EQ(Time(kEnglish, TIME_FORCE24HOURFORMAT, nullptr, evening), u"21:07:03");
    EXPECT_EQ(Time(kGerman, TIME_NOSECONDS, nullptr, evening), u"21:07");
    EXPECT_EQ(Time(kEnglish, 0, u"h hh H HH m mm s ss t tt", Moment(9, 5, 7)), u"9 09 9 09 5 05 7 07 A AM");
    EXPECT_EQ(Time(kEnglish, 0, u"HH'h'mm", evening), u"21h07");
    SYSTEMTIME bad = Moment(24, 0, 0);
    WCHAR out[16];
    EXPECT_EQ(GetTimeFormatW(kEnglish, 0, &bad, nullptr, out, 16), 0);
}

TEST(LocaleInfoTest, ProfileLocaleDecidesTheDefaults) {
    TempDevice device;
    EXPECT_EQ(GetUserDefaultLCID(), kEnglish);
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "0x0407"));
    EXPECT_EQ(GetUserDefaultLCID(), kGerman);
    EXPECT_EQ(GetUserDefaultUILanguage(), kGerman);
    WCHAR out[64];
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, out, 64), 0);
    EXPECT_EQ(std::u16string(out), u"dd.MM.yyyy");
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, out, 64), 0);
    EXPECT_EQ(std::u16string(out), u",");
    ASSERT_GT(GetLocaleInfoW(kEnglish, LOCALE_STIMEFORMAT, out, 64), 0);
    EXPECT_EQ(std::u16string(out), u"h:mm:ss tt");
    EXPECT_EQ(GetLocaleInfoW(kEnglish, LOCALE_SENGLANGUAGE, nullptr, 0), 8);
    EXPECT_EQ(GetLocaleInfoW(kEnglish, 0x7777, out, 64), 0);

    // Locales the device does not have are refused, not answered with English names or formats.
    EXPECT_EQ(GetLocaleInfoW(0x040C, LOCALE_SLANGUAGE, out, 64), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SYSTEMTIME date{2024, 3, 0, 5, 0, 0, 0, 0};
    EXPECT_EQ(GetDateFormatW(0x0809, DATE_SHORTDATE, &date, nullptr, out, 64), 0);
    EXPECT_GT(GetDateFormatW(0x0007, DATE_SHORTDATE, &date, nullptr, out, 64), 0);
    EXPECT_EQ(std::u16string(out), u"05.03.2024");

    // A locale the device has no data for is served as English (United States).
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "0x040C"));
    EXPECT_EQ(GetUserDefaultLCID(), kEnglish);
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "garbage"));
    EXPECT_EQ(GetUserDefaultLCID(), kEnglish);
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "de-DE"));
    EXPECT_EQ(GetUserDefaultLangID(), kGerman);
}

}  // namespace
