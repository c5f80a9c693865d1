// cedevice notify: the device's pending user notifications, one a line: handle, local start time,
// program and command line, separated by tabs.
#include <cstdio>
#include <iostream>
#include <vector>

#include "Commands.h"
#include "ce/notify.h"

namespace cedevice {
namespace {

std::string LocalTimeText(const SYSTEMTIME& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

bool PrintNotification(HANDLE handle) {
    DWORD needed = 0;
    CeGetUserNotification(handle, 0, &needed, nullptr);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !CeGetUserNotification(handle, needed, &needed, buffer.data())) {
        return false;  // cleared or fired meanwhile
    }
    const auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
    const CE_NOTIFICATION_TRIGGER& trigger = *header->pcent;
    std::cout << reinterpret_cast<uintptr_t>(handle) << "\t" << LocalTimeText(trigger.stStartTime) << "\t"
              << ce::ToUtf8(trigger.lpszApplication) << "\t" << ce::ToUtf8(trigger.lpszArguments) << "\n";
    return true;
}

}  // namespace

int ListNotifications(const std::string&, const Arguments& arguments) {
    if (!arguments.empty()) {
        return Fail(kExitUsage, "notify takes no arguments");
    }
    DWORD count = 0;
    if (!CeGetUserNotificationHandles(nullptr, 0, &count)) {
        return Fail(kExitFailed,
                    "the device server cannot be reached (error " + std::to_string(GetLastError()) + ")");
    }
    std::vector<HANDLE> handles(count);
    if (count > 0 && !CeGetUserNotificationHandles(handles.data(), count, &count)) {
        return Fail(kExitFailed, "the notifications changed while they were read; try again");
    }
    for (HANDLE handle : handles) {
        PrintNotification(handle);
    }
    return kExitDone;
}

}  // namespace cedevice
