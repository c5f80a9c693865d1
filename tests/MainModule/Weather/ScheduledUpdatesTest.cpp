// Scheduled updates: the due times, and the notifications that the device server keeps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstalledDevice.h"
#include "Weather/CSettings.h"
#include "Weather/ScheduledUpdates.h"
#include "ce/device.h"
#include "ce/notify.h"
#include "support/SystemTimes.h"

namespace {

SYSTEMTIME At(WORD day, WORD hour, WORD minute, WORD second = 0) {
    return ce::test::MakeSystemTime(2026, 12, day, hour, minute, second);
}

// Minutes from 2026-12-09 00:00.
long MinutesOf(const SYSTEMTIME& time) {
    return ((static_cast<long>(time.wDay) - 9) * 24 + time.wHour) * 60 + time.wMinute;
}

struct Pending {
    std::u16string program;
    std::u16string arguments;
    SYSTEMTIME start;
};

std::vector<Pending> PendingNotifications() {
    std::vector<Pending> pending;
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);
    std::vector<HANDLE> handles(count + 1);
    if (count == 0 || !CeGetUserNotificationHandles(handles.data(), count + 1, &count)) {
        return pending;
    }
    for (DWORD i = 0; i < count; ++i) {
        DWORD needed = 0;
        CeGetUserNotification(handles[i], 0, &needed, nullptr);
        std::vector<BYTE> buffer(needed);
        if (needed > 0 && CeGetUserNotification(handles[i], needed, &needed, buffer.data())) {
            const auto* trigger = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data())->pcent;
            pending.push_back({trigger->lpszApplication, trigger->lpszArguments ? trigger->lpszArguments : u"",
                               trigger->stStartTime});
        }
    }
    return pending;
}

TEST(ScheduledUpdateTimes, IntervalsAreClampedToOneToTwentyFourHours) {
    EXPECT_EQ(MinutesOf(IntervalDueTime(At(9, 10, 15), 12)), MinutesOf(At(9, 22, 15)));
    EXPECT_EQ(MinutesOf(IntervalDueTime(At(9, 10, 15), 0)), MinutesOf(At(9, 11, 15))) << "0 is not now";
    EXPECT_EQ(MinutesOf(IntervalDueTime(At(9, 10, 15), 1000)), MinutesOf(At(10, 10, 15)));
}

TEST(ScheduledUpdateTimes, DailyTimesLessThanAnHourAheadMoveToTomorrowWithinTheSpread) {
    EXPECT_EQ(MinutesOf(DailyDueTime(At(9, 6, 30), 7, 0, 0)), MinutesOf(At(10, 7, 0)) - 29);
    EXPECT_EQ(MinutesOf(DailyDueTime(At(9, 6, 30), 7, 0, 32767)), MinutesOf(At(10, 7, 0)) + 31);
    EXPECT_EQ(MinutesOf(DailyDueTime(At(9, 5, 59, 59), 7, 0, 16384)), MinutesOf(At(9, 7, 1)));
    EXPECT_EQ(MinutesOf(DailyDueTime(At(9, 6, 0), 7, 0, 0)), MinutesOf(At(9, 7, 0)) - 29)
        << "exactly one hour ahead stays today";
    EXPECT_EQ(MinutesOf(DailyDueTime(At(9, 23, 0), 7, 0, 0)), MinutesOf(At(10, 7, 0)) - 29);
}

TEST(ScheduledUpdates, ReArmingKeepsOneNotificationOfTheProgram) {
    ce::test::InstalledDevice device;
    // The device's day before the due time, whatever the date: a notification already due would start
    // its program and be gone from the list.
    ce::EnableVirtualClock(1796817600000);  // 2026-12-09 12:00 UTC
    SYSTEMTIME due = At(10, 7, 0);
    ASSERT_TRUE(SetUpdateNotificationFor(u"\\Program Files\\Skyvane\\Skyvane.exe", due));
    ASSERT_TRUE(SetUpdateNotificationFor(u"\\Storage Card\\SKYVANE.EXE", due));
    ASSERT_TRUE(SetUpdateNotificationFor(u"\\Windows\\calendar.exe", due));
    ASSERT_EQ(PendingNotifications().size(), 3u);

    CSettings settings;
    settings.updateType = 0;
    EXPECT_TRUE(RescheduleForecastUpdate(settings));
    std::vector<Pending> pending = PendingNotifications();
    ASSERT_EQ(pending.size(), 1u) << "only the other program's notification stays";
    EXPECT_EQ(pending[0].program, u"\\Windows\\calendar.exe");

    ASSERT_TRUE(SetUpdateNotificationFor(u"\\Program Files\\Skyvane\\Skyvane.exe", due));
    pending = PendingNotifications();
    ASSERT_EQ(pending.size(), 2u);
    for (const Pending& p : pending) {
        if (p.program.find(u"Skyvane") != std::u16string::npos) {
            EXPECT_EQ(p.arguments, u"cmd_auto_update");
            EXPECT_EQ(MinutesOf(p.start), MinutesOf(due));
        }
    }
    settings.updateType = 3;
    EXPECT_FALSE(RescheduleForecastUpdate(settings));
    ClearScheduledUpdates();
    EXPECT_EQ(PendingNotifications().size(), 1u);
    ce::DisableVirtualClock();
}

}  // namespace
