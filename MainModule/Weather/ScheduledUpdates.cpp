#include "Weather/ScheduledUpdates.h"

#include <cstdlib>
#include <vector>

#include "CSysInfo.h"
#include "Weather/CSettings.h"
#include "ce/notify.h"

namespace {

constexpr LONGLONG kMinuteMs = 60 * 1000;
constexpr LONGLONG kHourMs = 60 * kMinuteMs;
constexpr LONGLONG kDayMs = 24 * kHourMs;
constexpr LPCWSTR kProgramName = u"Skyvane.exe";

// The program path of one notification; empty when it cannot be read.
std::u16string NotificationProgram(HANDLE notification) {
    DWORD needed = 0;
    CeGetUserNotification(notification, 0, &needed, nullptr);
    if (needed < sizeof(CE_NOTIFICATION_INFO_HEADER)) {
        return {};
    }
    std::vector<BYTE> buffer(needed);
    if (!CeGetUserNotification(notification, needed, &needed, buffer.data())) {
        return {};
    }
    const auto* info = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
    if (info->pcent == nullptr || info->pcent->lpszApplication == nullptr) {
        return {};
    }
    return info->pcent->lpszApplication;
}

}  // namespace

DWORD ClampUpdateInterval(DWORD hours) { return hours < 1 ? 1 : (hours > 24 ? 24 : hours); }

SYSTEMTIME IntervalDueTime(const SYSTEMTIME& now, DWORD hours) {
    SYSTEMTIME due = now;
    CSysInfo::AddToSystemTime(&due, static_cast<LONGLONG>(ClampUpdateInterval(hours)) * kHourMs);
    return due;
}

SYSTEMTIME DailyDueTime(const SYSTEMTIME& now, int hour, int minute, int random) {
    SYSTEMTIME due = now;
    due.wHour = static_cast<WORD>(hour);
    due.wMinute = static_cast<WORD>(minute);
    due.wSecond = 0;
    // Exactly one hour ahead is soon enough.
    if (CSysInfo::SystemTimeDiff(&due, &now, 1) < kHourMs) {
        CSysInfo::AddToSystemTime(&due, kDayMs);
    }
    LONGLONG spread = static_cast<LONGLONG>(random) * 60 / 32767 - 29;
    CSysInfo::AddToSystemTime(&due, spread * kMinuteMs);
    return due;
}

bool RescheduleForecastUpdate(const CSettings& settings) {
    switch (settings.updateType) {
        case 0: ClearScheduledUpdates(); return true;
        case 1: return ScheduleUpdateAfterInterval(settings);
        case 2: return ScheduleDailyUpdate(settings.updateTime);
        default: return false;
    }
}

bool ScheduleUpdateAfterInterval(const CSettings& settings) {
    ClearScheduledUpdates();
    SYSTEMTIME now;
    GetLocalTime(&now);
    return SetUpdateNotification(IntervalDueTime(now, settings.updateInterval));
}

bool ScheduleDailyUpdate(const BYTE time[2]) {
    ClearScheduledUpdates();
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::srand(GetTickCount());
    int hour = time[0] < 24 ? time[0] : 0;
    int minute = time[1] < 60 ? time[1] : 0;
    return SetUpdateNotification(DailyDueTime(now, hour, minute, std::rand() % 32768));
}

void ClearScheduledUpdates() {
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);
    if (count == 0) {
        return;
    }
    std::vector<HANDLE> handles(count);
    if (!CeGetUserNotificationHandles(handles.data(), count, &count)) {
        return;
    }
    handles.resize(std::min<size_t>(count, handles.size()));
    for (HANDLE notification : handles) {
        std::u16string program = NotificationProgram(notification);
        if (!program.empty() && CSysInfo::FindNoCase(program.c_str(), kProgramName) != nullptr) {
            CeClearUserNotification(notification);
        }
    }
}

bool SetUpdateNotification(const SYSTEMTIME& dueTime) {
    WCHAR program[MAX_PATH];
    if (GetModuleFileNameW(nullptr, program, MAX_PATH) == 0) {
        return false;
    }
    return SetUpdateNotificationFor(program, dueTime);
}

bool SetUpdateNotificationFor(LPCWSTR program, const SYSTEMTIME& dueTime) {
    std::u16string application = program != nullptr ? program : u"";
    std::u16string arguments = kAutoUpdateArguments;
    CE_NOTIFICATION_TRIGGER trigger{};
    trigger.dwSize = sizeof trigger;
    trigger.dwType = CNT_TIME;
    trigger.dwEvent = NOTIFICATION_EVENT_NONE;
    trigger.lpszApplication = application.data();
    trigger.lpszArguments = arguments.data();
    trigger.stStartTime = dueTime;
    trigger.stEndTime = dueTime;
    CE_USER_NOTIFICATION nothing{};
    HANDLE notification = CeSetUserNotificationEx(nullptr, &trigger, &nothing);
    return notification != nullptr;
}
