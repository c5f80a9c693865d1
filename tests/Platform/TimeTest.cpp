#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "support/SystemTimes.h"
#include "time/TimeZone.h"

namespace {

using ce::test::TempDevice;

using ce::test::MakeSystemTime;

uint64_t UnixMs(const SYSTEMTIME& time) {
    FILETIME file{};
    EXPECT_TRUE(SystemTimeToFileTime(&time, &file));
    return ((static_cast<uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime) - 116444736000000000ULL) /
           10000;
}

std::string Text(const SYSTEMTIME& t) {
    std::ostringstream out;
    out << t.wYear << '-' << t.wMonth << '-' << t.wDay << ' ' << t.wHour << ':' << t.wMinute << ':'
        << t.wSecond << " dow" << t.wDayOfWeek;
    return out.str();
}

class DeviceTimeTest : public ::testing::Test {
protected:
    void UseZone(const char* zone) { ASSERT_TRUE(ce::SetProfileString("device", "timezone", zone)); }
    void At(const SYSTEMTIME& utc) { ce::EnableVirtualClock(UnixMs(utc)); }
    std::string Local() {
        SYSTEMTIME local{};
        GetLocalTime(&local);
        return Text(local);
    }
    void TearDown() override { ce::DisableVirtualClock(); }
    TempDevice device;
};

TEST(TimeConversionTest, SystemTimeAndFileTimeRoundTrip) {
    SYSTEMTIME epoch = MakeSystemTime(1601, 1, 1);
    FILETIME file{};
    ASSERT_TRUE(SystemTimeToFileTime(&epoch, &file));
    EXPECT_EQ(file.dwLowDateTime | file.dwHighDateTime, 0u);
    EXPECT_EQ(UnixMs(MakeSystemTime(1970, 1, 1)), 0u);

    SYSTEMTIME leap = MakeSystemTime(2024, 2, 29, 23, 59, 58);
    leap.wMilliseconds = 999;
    ASSERT_TRUE(SystemTimeToFileTime(&leap, &file));
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&file, &back));
    EXPECT_EQ(Text(back), "2024-2-29 23:59:58 dow4");
    EXPECT_EQ(back.wMilliseconds, 999);

    SYSTEMTIME bad = MakeSystemTime(2023, 2, 29);
    EXPECT_FALSE(SystemTimeToFileTime(&bad, &file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    bad = MakeSystemTime(2023, 13, 1);
    EXPECT_FALSE(SystemTimeToFileTime(&bad, &file));
    FILETIME huge{0, 0x80000000};
    EXPECT_FALSE(FileTimeToSystemTime(&huge, &back));
}

TEST_F(DeviceTimeTest, LocalTimeFollowsTheZoneWithDaylightSaving) {
    UseZone("Europe/Berlin");
    At(MakeSystemTime(2024, 1, 15, 12));
    EXPECT_EQ(Local(), "2024-1-15 13:0:0 dow1");
    At(MakeSystemTime(2024, 7, 1, 12));
    EXPECT_EQ(Local(), "2024-7-1 14:0:0 dow1");
    At(MakeSystemTime(2024, 3, 31, 0, 59, 59));
    EXPECT_EQ(Local(), "2024-3-31 1:59:59 dow0");
    ce::AdvanceVirtualClock(1000);
    EXPECT_EQ(Local(), "2024-3-31 3:0:0 dow0");
    At(MakeSystemTime(2051, 8, 1, 12));  // past the listed transitions: the zone's rule
    EXPECT_EQ(Local(), "2051-8-1 14:0:0 dow2");

    UseZone("America/New_York");
    At(MakeSystemTime(2024, 7, 1, 12));
    EXPECT_EQ(Local(), "2024-7-1 8:0:0 dow1");
    At(MakeSystemTime(2024, 12, 1, 12));
    EXPECT_EQ(Local(), "2024-12-1 7:0:0 dow0");
}

TEST_F(DeviceTimeTest, UnknownOrHostileZoneNamesGiveUtc) {
    At(MakeSystemTime(2024, 7, 1, 12));
    for (const char* zone : {"Nowhere/City", "../../../etc/passwd", "/etc/localtime", ""}) {
        UseZone(zone);
        EXPECT_EQ(Local(), "2024-7-1 12:0:0 dow1") << zone;
    }
}

TEST_F(DeviceTimeTest, SetLocalTimeSetsTheDeviceClockButNotTheTickCount) {
    UseZone("Europe/Berlin");
    At(MakeSystemTime(2024, 1, 1));
    DWORD tick = GetTickCount();
    SYSTEMTIME local = MakeSystemTime(2024, 7, 1, 14, 30);
    ASSERT_TRUE(SetLocalTime(&local));
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    EXPECT_EQ(Text(utc), "2024-7-1 12:30:0 dow1");
    EXPECT_EQ(GetTickCount(), tick);
    ce::AdvanceVirtualClock(1500);
    EXPECT_EQ(GetTickCount(), tick + 1500);
    SYSTEMTIME bad = MakeSystemTime(2024, 7, 1, 24);
    EXPECT_FALSE(SetSystemTime(&bad));
}

TEST_F(DeviceTimeTest, LocalFileTimeUsesTheOffsetOfThatDate) {
    UseZone("Europe/Berlin");
    At(MakeSystemTime(2024, 1, 1));
    SYSTEMTIME summer = MakeSystemTime(2024, 7, 1, 12);
    FILETIME utc{};
    FILETIME local{};
    SystemTimeToFileTime(&summer, &utc);
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    SYSTEMTIME shown{};
    FileTimeToSystemTime(&local, &shown);
    EXPECT_EQ(shown.wHour, 14);
    FILETIME again{};
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &again));
    EXPECT_EQ(CompareFileTime(&again, &utc), 0);
}

TEST_F(DeviceTimeTest, TimeZoneInformationDescribesTheRule) {
    UseZone("Europe/Berlin");
    At(MakeSystemTime(2024, 7, 1, 12));
    TIME_ZONE_INFORMATION info{};
    EXPECT_EQ(GetTimeZoneInformation(&info), static_cast<DWORD>(TIME_ZONE_ID_DAYLIGHT));
    EXPECT_EQ(info.Bias, -60);
    EXPECT_EQ(info.DaylightBias, -60);
    EXPECT_EQ(std::u16string(info.StandardName), u"CET");
    EXPECT_EQ(info.DaylightDate.wMonth, 3);
    EXPECT_EQ(info.DaylightDate.wDay, 5);
    EXPECT_EQ(info.DaylightDate.wHour, 2);
    EXPECT_EQ(info.StandardDate.wMonth, 10);
    EXPECT_EQ(info.StandardDate.wHour, 3);

    UseZone("UTC");
    EXPECT_EQ(GetTimeZoneInformation(&info), static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN));
    EXPECT_EQ(info.Bias, 0);
}

TEST(TimeZoneTest, DamagedZoneDataGivesUtc) {
    std::ifstream in("/usr/share/zoneinfo/Europe/Berlin", std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(data.size(), 100u);
    for (size_t cut : {size_t{0}, size_t{10}, size_t{60}, data.size() / 2}) {
        auto zone = ce::detail::TimeZone::FromData("Europe/Berlin", data.substr(0, cut));
        EXPECT_EQ(zone->StateAt(1719835200).utcOffset, 0) << cut;
    }
    std::string hostile = data;
    hostile[24 + 15] = '\x7f';  // an absurd count of types
    EXPECT_EQ(ce::detail::TimeZone::FromData("x", hostile)->StateAt(1719835200).utcOffset, 0);
}

TEST(TimeZoneTest, SouthernHemisphereRuleWrapsTheYear) {
    auto rule = ce::detail::PosixTzRule::Parse("AEST-10AEDT,M10.1.0,M4.1.0/3");
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->StateAt(1705320000).utcOffset, 11 * 3600);  // 2024-01-15
    EXPECT_EQ(rule->StateAt(1719835200).utcOffset, 10 * 3600);  // 2024-07-01
    EXPECT_FALSE(ce::detail::PosixTzRule::Parse("X"));
    EXPECT_FALSE(ce::detail::PosixTzRule::Parse("CET-1CEST,M13.5.0,M10.5.0"));
}

}  // namespace
