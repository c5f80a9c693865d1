// Automatic forecast updates while the program is closed: one timed user notification that starts the
// program with "cmd_auto_update" at the next due time. Re-arming first removes every notification that
// would start the program.
#pragma once

#include "ce/kernel.h"

class CSettings;

constexpr LPCWSTR kAutoUpdateArguments = u"cmd_auto_update";

// By the settings' update type: 0 removes the program's notifications (true), 1 schedules after the
// interval, 2 daily at the update time; any other type gives false.
bool RescheduleForecastUpdate(const CSettings& settings);
bool ScheduleUpdateAfterInterval(const CSettings& settings);
bool ScheduleDailyUpdate(const BYTE time[2]);
// Removes every notification whose program path contains "Skyvane.exe" in any letter case.
void ClearScheduledUpdates();
// Registers the notification for the running program at a local time; false when it was not taken.
bool SetUpdateNotification(const SYSTEMTIME& dueTime);
bool SetUpdateNotificationFor(LPCWSTR program, const SYSTEMTIME& dueTime);

// The interval clamped to 1-24 hours: 0 would schedule "now" on every run.
DWORD ClampUpdateInterval(DWORD hours);
// now + the interval.
SYSTEMTIME IntervalDueTime(const SYSTEMTIME& now, DWORD hours);
// Today at the given hour and minute, or tomorrow when that is less than an hour away, moved by a spread
// of -29 to +31 minutes taken from a random number of 0 to 32767.
SYSTEMTIME DailyDueTime(const SYSTEMTIME& now, int hour, int minute, int random);
