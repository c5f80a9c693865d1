#include "SkyvaneDevice.h"

#include <thread>

#include "ce/notify.h"

namespace endtoend {

namespace {

std::vector<HANDLE> NotificationHandles() {
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);
    std::vector<HANDLE> handles(count);
    if (count == 0 || !CeGetUserNotificationHandles(handles.data(), count, &count)) {
        return {};
    }
    handles.resize(count);
    return handles;
}

}  // namespace

std::vector<Notification> PendingNotifications() {
    std::vector<Notification> found;
    for (HANDLE handle : NotificationHandles()) {
        DWORD needed = 0;
        CeGetUserNotification(handle, 0, &needed, nullptr);
        std::vector<BYTE> buffer(needed);
        if (needed != 0 && CeGetUserNotification(handle, needed, &needed, buffer.data())) {
            const auto* trigger = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data())->pcent;
            found.push_back({trigger->lpszApplication, trigger->lpszArguments, trigger->stStartTime});
        }
    }
    return found;
}

void ClearNotifications() {
    for (HANDLE handle : NotificationHandles()) {
        CeClearUserNotification(handle);
    }
}

bool SkyvaneDevice::WaitForServerRequests(size_t count) const {
    for (int i = 0; i < 1000; ++i) {
        if (ServerRequests() >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int SkyvaneDevice::AdvanceUntilEnd(DeviceProgram& run, uint64_t stepMs) const {
    for (int i = 0; i < 20; ++i) {
        ce::AdvanceVirtualClock(stepMs);
        if (!run.StillRunningAfter(std::chrono::milliseconds(500))) {
            return run.Wait();
        }
    }
    return run.Wait(std::chrono::milliseconds(0));
}

}  // namespace endtoend
