// User notifications kept by the device server and fired on the device's (virtual) clock.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "Platform/ServerConnection.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/notify.h"
#include "ce/registry.h"
#include "devserver/Message.h"
#include "support/SystemTimes.h"

namespace {

using ce::test::ServerConnection;
using ce::test::TempDevice;

constexpr uint64_t kHour = 3600 * 1000;

// 2026-03-02 10:00:00 UTC.
constexpr uint64_t kStartUnixMs = 1772445600000ull;

using ce::test::MakeSystemTime;

class NotificationTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(device_.Fs("Windows"));
        std::filesystem::create_symlink(CE_TEST_PROGRAM, device_.Fs("Windows/test.exe"));
        ce::EnableVirtualClock(kStartUnixMs);
    }

    HANDLE Set(const SYSTEMTIME& at, const char16_t* arguments,
               const char16_t* program = u"\\Windows\\test.exe", HANDLE replacing = nullptr) {
        std::u16string application(program);
        std::u16string line(arguments);
        CE_NOTIFICATION_TRIGGER trigger{};
        trigger.dwSize = sizeof trigger;
        trigger.dwType = CNT_TIME;
        trigger.lpszApplication = application.data();
        trigger.lpszArguments = line.data();
        trigger.stStartTime = at;
        trigger.stEndTime = at;
        return CeSetUserNotificationEx(replacing, &trigger, nullptr);
    }

    static std::vector<HANDLE> Pending() {
        DWORD count = 0;
        EXPECT_TRUE(CeGetUserNotificationHandles(nullptr, 0, &count));
        std::vector<HANDLE> handles(count);
        if (count > 0) {
            EXPECT_TRUE(CeGetUserNotificationHandles(handles.data(), count, &count));
        }
        return handles;
    }

    // The notification as CeGetUserNotification lays it out: first the size, then the contents.
    static std::vector<BYTE> Read(HANDLE notification) {
        DWORD needed = 0;
        EXPECT_FALSE(CeGetUserNotification(notification, 0, &needed, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        std::vector<BYTE> buffer(needed);
        EXPECT_TRUE(CeGetUserNotification(notification, needed, &needed, buffer.data()));
        return buffer;
    }

    static const CE_NOTIFICATION_TRIGGER& TriggerOf(const std::vector<BYTE>& info) {
        return *reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(info.data())->pcent;
    }

    // What the started test program wrote to the registry, once it has (bounded).
    static std::u16string RecordedCommandLine() {
        auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        do {
            HKEY key = nullptr;
            char16_t text[MAX_PATH] = {};
            DWORD size = sizeof text;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Test\\Program", 0, 0, &key) == ERROR_SUCCESS) {
                LONG result = RegQueryValueExW(key, u"CommandLine", nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(text), &size);
                RegCloseKey(key);
                if (result == ERROR_SUCCESS) {
                    return text;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < giveUp);
        return {};
    }

    void KillServer() {
        ServerConnection server(device_.Root() + "/run/devserver.sock");
        ASSERT_GT(server.pid, 0);
        ASSERT_EQ(kill(server.pid, SIGKILL), 0);
        ASSERT_TRUE(server.HungUp());
    }

    TempDevice device_;
};

TEST_F(NotificationTest, ProgramStartsOnlyOnceTheClockReachesItsTime) {
    ASSERT_NE(Set(MakeSystemTime(2026, 3, 2, 11, 0), u"record cmd_auto_update"), nullptr);

    ce::AdvanceVirtualClock(kHour - 1);
    EXPECT_EQ(Pending().size(), 1u) << "the server looks at the clock before it answers";
    EXPECT_TRUE(ce::ReadDeviceLog("programs").empty());

    ce::AdvanceVirtualClock(1);
    EXPECT_TRUE(Pending().empty()) << "a fired notification is gone";
    auto log = ce::ReadDeviceLog("programs");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0],
              R"({"program":"\\Windows\\test.exe","arguments":"record cmd_auto_update","by":"notification",)"
              R"("status":"started"})");
    EXPECT_EQ(RecordedCommandLine(), u"record cmd_auto_update");
}

TEST_F(NotificationTest, TimeIsLocalToTheDevicesZone) {
    ASSERT_TRUE(ce::SetProfileString("device", "timezone", "Europe/Berlin"));  // UTC+1 in March
    ASSERT_NE(Set(MakeSystemTime(2026, 3, 2, 11, 0), u"record now"), nullptr);      // 10:00 UTC: now
    EXPECT_TRUE(Pending().empty());
    EXPECT_EQ(ce::ReadDeviceLog("programs").size(), 1u);
    EXPECT_EQ(RecordedCommandLine(), u"record now");
}

TEST_F(NotificationTest, HandlesListAndContentsReadBack) {
    HANDLE first = Set(MakeSystemTime(2026, 3, 3, 7, 15), u"cmd_auto_update");
    HANDLE second = Set(MakeSystemTime(2026, 3, 4, 8, 0), u"");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Pending(), (std::vector<HANDLE>{first, second}));

    DWORD needed = 0;
    HANDLE one = nullptr;
    EXPECT_FALSE(CeGetUserNotificationHandles(&one, 1, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 2u);

    std::vector<BYTE> info = Read(first);
    auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(info.data());
    EXPECT_EQ(header->hNotification, first);
    EXPECT_EQ(header->pceun, nullptr);
    const CE_NOTIFICATION_TRIGGER& trigger = TriggerOf(info);
    EXPECT_GE(reinterpret_cast<const BYTE*>(&trigger), info.data());
    EXPECT_LT(reinterpret_cast<const BYTE*>(trigger.lpszArguments), info.data() + info.size());
    EXPECT_EQ(trigger.dwType, static_cast<DWORD>(CNT_TIME));
    EXPECT_EQ(std::u16string(trigger.lpszApplication), u"\\Windows\\test.exe");
    EXPECT_EQ(std::u16string(trigger.lpszArguments), u"cmd_auto_update");
    EXPECT_EQ(trigger.stStartTime.wDay, 3);
    EXPECT_EQ(trigger.stStartTime.wHour, 7);
    EXPECT_EQ(trigger.stStartTime.wMinute, 15);
    EXPECT_EQ(trigger.stStartTime.wDayOfWeek, 2) << "a Tuesday";

    std::vector<BYTE> small(info.size() - 1);
    EXPECT_FALSE(CeGetUserNotification(first, static_cast<DWORD>(small.size()), &needed, small.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, info.size());
}

TEST_F(NotificationTest, ClearingRemovesOnlyThatNotification) {
    // A program that is not there: what the log says is enough here.
    HANDLE first = Set(MakeSystemTime(2026, 3, 3, 7, 0), u"a", u"\\Windows\\gone.exe");
    HANDLE second = Set(MakeSystemTime(2026, 3, 3, 8, 0), u"b", u"\\Windows\\gone.exe");
    EXPECT_TRUE(CeClearUserNotification(first));
    EXPECT_EQ(Pending(), std::vector<HANDLE>{second});
    EXPECT_FALSE(CeClearUserNotification(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DWORD needed = 0;
    EXPECT_FALSE(CeGetUserNotification(first, 0, &needed, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    ce::AdvanceVirtualClock(30 * kHour);
    EXPECT_TRUE(Pending().empty());
    auto log = ce::ReadDeviceLog("programs");
    ASSERT_EQ(log.size(), 1u) << "the cleared one never fires";
    EXPECT_NE(log[0].find(R"("arguments":"b")"), std::string::npos);
}

TEST_F(NotificationTest, ReplacingKeepsTheHandleAndTakesTheNewTrigger) {
    HANDLE handle = Set(MakeSystemTime(2026, 3, 3, 7, 0), u"old");
    ASSERT_EQ(Set(MakeSystemTime(2026, 3, 5, 9, 0), u"new", u"\\Windows\\test.exe", handle), handle);
    std::vector<BYTE> info = Read(handle);
    EXPECT_EQ(std::u16string(TriggerOf(info).lpszArguments), u"new");
    EXPECT_EQ(TriggerOf(info).stStartTime.wDay, 5);
    EXPECT_EQ(Pending().size(), 1u);
}

TEST_F(NotificationTest, BadTriggersAreRefused) {
    EXPECT_EQ(CeSetUserNotificationEx(nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Set(MakeSystemTime(2026, 13, 1, 7, 0), u"x"), nullptr) << "month 13";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Set(MakeSystemTime(2026, 3, 3, 7, 0), u"x", u""), nullptr) << "no application";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    std::u16string huge(40000, u'a');
    EXPECT_EQ(Set(MakeSystemTime(2026, 3, 3, 7, 0), huge.c_str()), nullptr)
        << "a command line beyond any program's";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Set(MakeSystemTime(2026, 3, 3, 7, 0), u"x", huge.substr(0, MAX_PATH).c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Set(MakeSystemTime(2026, 3, 3, 7, 0), u"x", u"\\Windows\\test.exe", reinterpret_cast<HANDLE>(999)),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    CE_NOTIFICATION_TRIGGER periodic{};
    periodic.dwType = CNT_PERIOD;
    std::u16string application = u"\\Windows\\test.exe";
    periodic.lpszApplication = application.data();
    periodic.stStartTime = MakeSystemTime(2026, 3, 3, 7, 0);
    EXPECT_EQ(CeSetUserNotificationEx(nullptr, &periodic, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_TRUE(Pending().empty());
}

TEST_F(NotificationTest, MissingProgramIsLoggedAndTheNotificationGoes) {
    ASSERT_NE(Set(MakeSystemTime(2026, 3, 2, 10, 30), u"x", u"\\Windows\\gone.exe"), nullptr);
    ce::AdvanceVirtualClock(kHour);
    EXPECT_TRUE(Pending().empty());
    auto log = ce::ReadDeviceLog("programs");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(R"("status":"not started)"), std::string::npos) << log[0];
}

TEST_F(NotificationTest, NotificationsOutliveTheServerAndOverdueOnesFireWhenTheNextStarts) {
    HANDLE soon = Set(MakeSystemTime(2026, 3, 2, 11, 0), u"record soon");
    HANDLE tomorrow = Set(MakeSystemTime(2026, 3, 3, 11, 0), u"tomorrow");
    ASSERT_NE(soon, nullptr);
    ASSERT_NE(tomorrow, nullptr);
    KillServer();
    ce::AdvanceVirtualClock(2 * kHour);  // no server runs while "soon" becomes due

    EXPECT_EQ(Pending(), std::vector<HANDLE>{tomorrow}) << "a new server starts and fires the overdue one";
    EXPECT_EQ(RecordedCommandLine(), u"record soon");
    EXPECT_EQ(std::u16string(TriggerOf(Read(tomorrow)).lpszArguments), u"tomorrow");
    HANDLE next = Set(MakeSystemTime(2026, 3, 4, 11, 0), u"next");
    EXPECT_NE(next, soon) << "handles are not given out twice";
    EXPECT_NE(next, tomorrow);
}

TEST_F(NotificationTest, DamagedFileIsSetAsideAndWhatItHeldBeforeTheDamageIsKept) {
    using ce::devserver::Message;
    std::string file = Message(1).Add(int64_t{8}).Encode();
    file += Message(2)
                .Add(int64_t{7})
                .Add("\\Windows\\test.exe")
                .Add("kept")
                .Add(int64_t{0})
                .Add(int64_t{0})
                .Add(int64_t{0})
                .Add(static_cast<int64_t>(kStartUnixMs + kHour))
                .Encode();
    file += std::string("\x40\0\0\0garbage", 11);
    device_.WriteHostFile(device_.Root() + "/run/notifications", file);

    EXPECT_EQ(Pending(), std::vector<HANDLE>{reinterpret_cast<HANDLE>(7)});
    EXPECT_TRUE(std::filesystem::exists(device_.Root() + "/run/notifications.damaged"));
    EXPECT_EQ(std::u16string(TriggerOf(Read(reinterpret_cast<HANDLE>(7))).lpszArguments), u"kept");
}

TEST_F(NotificationTest, SetFailsWhenTheNotificationCannotBeKept) {
    std::filesystem::create_directories(device_.Root() + "/run/notifications");  // cannot be replaced
    EXPECT_EQ(Set(MakeSystemTime(2026, 3, 3, 7, 0), u"x"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_TRUE(Pending().empty());
}

}  // namespace
