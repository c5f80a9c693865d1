#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Platform/TempDevice.h"
#include "support/DeviceScreenshot.h"
#include "Weather/DeviceUtilities.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/user.h"

namespace {

std::u16string DeviceId() {
    WCHAR id[17] = {};
    return GetDeviceId(id, 17) ? std::u16string(id) : u"<none>";
}

TEST(DeviceId, FifteenDigitsThatFollowTheDevice) {
    ce::test::TempDevice device;
    ce::SetProfileString("device", "device_id", "SKYVANE-TEST-0001");
    ce::ReloadProfile();
    std::u16string first = DeviceId();
    ASSERT_EQ(first.size(), 15u);
    EXPECT_EQ(first.find_first_not_of(u"0123456789"), std::u16string::npos);
    EXPECT_EQ(DeviceId(), first);

    ce::SetProfileString("device", "device_id", "SKYVANE-TEST-0002");
    ce::ReloadProfile();
    EXPECT_NE(DeviceId(), first);
    WCHAR tooSmall[16];
    EXPECT_FALSE(GetDeviceId(tooSmall, 16));
}

// Each pair of digits is (b[i] + b[i + 8]) mod 100 of the identifier the device gives for the maker's
// name; the sixteenth digit is cut.
TEST(DeviceId, TheDigitsAreTheSumsOfTheIdentifiersHalves) {
    ce::test::TempDevice device;
    ce::SetProfileString("device", "device_id", "SKYVANE-TEST-0003");
    ce::ReloadProfile();
    BYTE name[16];
    const char maker[] = "Quillon Software";
    for (int i = 0; i < 16; ++i) {
        name[i] = static_cast<BYTE>(maker[i]);
    }
    BYTE bytes[GETDEVICEUNIQUEID_V1_OUTPUT] = {};
    DWORD size = sizeof bytes;
    ASSERT_GE(GetDeviceUniqueID(name, sizeof name, GETDEVICEUNIQUEID_V1, bytes, &size), 0);
    std::u16string expected;
    for (int i = 0; i < 8; ++i) {
        const int pair = (bytes[i] + bytes[i + 8]) % 100;
        expected += static_cast<char16_t>(u'0' + pair / 10);
        expected += static_cast<char16_t>(u'0' + pair % 10);
    }
    expected.resize(15);
    EXPECT_EQ(DeviceId(), expected);
}

}  // namespace

namespace {

size_t IdleTimerResets() {
    std::vector<std::string> lines = ce::ReadDeviceLog("power");
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("SystemIdleTimerReset") != std::string::npos;
    }));
}

// True once the log holds this many resets, within a bounded real wait.
bool WaitForResets(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    auto giveUp = std::chrono::steady_clock::now() + limit;
    while (IdleTimerResets() < count) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class KeepAwake : public ::testing::Test {
protected:
    void SetUp() override {
        ce::SetProfileString("power", "battery_idle", "180");
        ce::SetProfileString("power", "external_idle", "0");
        ce::SetProfileString("power", "wakeup_idle", "60");
        ce::ReloadProfile();
        ce::EnableVirtualClock(1796817600000);
    }
    void TearDown() override {
        StopKeepAwake();
        ce::DisableVirtualClock();
    }
    // A stopped thread resets nothing more, however far the clock moves.
    void ExpectStopped() {
        size_t before = IdleTimerResets();
        ce::AdvanceVirtualClock(10 * 60 * 1000);
        EXPECT_FALSE(WaitForResets(before + 1, std::chrono::milliseconds(300)));
    }

    // The period counts from the thread's wait, so the clock moves only once it sleeps.
    static bool WaitForSleepingThread() {
        auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ce::TimedWaitsInProgress() == 0) {
            if (std::chrono::steady_clock::now() >= giveUp) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    ce::test::TempDevice device;
};

TEST(KeepAwakePeriod, IsASecondShortOfTheShortestTimeoutBelowTheBatteryOne) {
    EXPECT_EQ(KeepAwakePeriodMs(180, 0, 60), 59000u);
    EXPECT_EQ(KeepAwakePeriodMs(180, 120, 60), 119000u) << "external power comes first";
    EXPECT_EQ(KeepAwakePeriodMs(60, 120, 30), 29000u) << "an external time-out above the battery one is passed over";
    EXPECT_EQ(KeepAwakePeriodMs(60, 120, 90), 59000u);
    EXPECT_EQ(KeepAwakePeriodMs(0, 0, 0), 1000u) << "never less than a second";
    EXPECT_EQ(KeepAwakePeriodMs(1, 0, 0), 1000u);
}

TEST_F(KeepAwake, ResetsTheIdleTimerEveryPeriodUntilStopped) {
    ASSERT_TRUE(StartKeepAwake());
    ASSERT_TRUE(WaitForResets(1));
    ASSERT_TRUE(StartKeepAwake()) << "a second start changes nothing";
    ASSERT_TRUE(WaitForSleepingThread());
    ce::AdvanceVirtualClock(59000);
    ASSERT_TRUE(WaitForResets(2));
    EXPECT_EQ(IdleTimerResets(), 2u) << "one thread, one reset a period";
    StopKeepAwake();
    ExpectStopped();
}

TEST_F(KeepAwake, AStopTooManyDoesNotKeepTheDeviceAwakeForever) {
    StopKeepAwake();
    ASSERT_TRUE(StartKeepAwake());
    ASSERT_TRUE(WaitForResets(1));
    StopKeepAwake();
    ExpectStopped();
    ASSERT_TRUE(StartKeepAwake()) << "and it starts again";
    ASSERT_TRUE(WaitForResets(2));
}

TEST(WaitCursor, NestsAndBringsBackTheCursorShownBefore) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(arrow);
    BeginWaitCursor();
    EXPECT_EQ(GetCursor(), wait);
    BeginWaitCursor();
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), wait) << "an inner end keeps the wait cursor";
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow);
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow) << "an end too many does nothing";
    BeginWaitCursor();
    EXPECT_EQ(GetCursor(), wait) << "and the depth did not go below zero";
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow);
}

// The wait cursor is a ring in the theme colour in the middle of the screen.
TEST(WaitCursor, TheScreenShowsItWhileItIsSetAndNotAfterTheRestore) {
    using ce::test::DeviceScreenshot;
    ce::test::TempDevice device;
    HWND window = CreateWindowExW(0, u"Static", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const std::string path = device.Root() + "/screen.png";
    const COLORREF theme = static_cast<COLORREF>(ce::ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF;
    const int ringX = 120 + 9, ringY = 160;
    DeviceScreenshot before = DeviceScreenshot::Capture(path);
    ASSERT_TRUE(before.Valid());
    EXPECT_FALSE(before.Near(ringX, ringY, theme));

    BeginWaitCursor();
    EXPECT_TRUE(DeviceScreenshot::Capture(path).Near(ringX, ringY, theme));
    BeginWaitCursor();
    EndWaitCursor();
    EXPECT_TRUE(DeviceScreenshot::Capture(path).Near(ringX, ringY, theme)) << "an inner end keeps it";
    EndWaitCursor();
    DeviceScreenshot after = DeviceScreenshot::Capture(path);
    ASSERT_TRUE(after.Valid());
    EXPECT_EQ(after.Changed(before, 0, before.height), 0.0) << "the restore leaves the screen as it was";
    DestroyWindow(window);
}

TEST(CellularRegistration, FollowsTheCellularLine) {
    ce::test::TempDevice device;
    const std::pair<const char*, int> cases[] = {
        {"home", 0}, {"roaming", 1}, {"denied", 2}, {"unregistered", 2}, {"attempting", 2}, {"none", -1},
    };
    for (const auto& [registration, status] : cases) {
        ce::SetProfileString("device", "registration", registration);
        ce::ReloadProfile();
        EXPECT_EQ(GetCellularRegistrationStatus(), status) << registration;
    }
}

TEST(RunningProcesses, AreCountedByFileNameInAnyLetterCase) {
    ce::test::TempDevice device;
    std::filesystem::create_directories(device.Fs("Windows"));
    std::filesystem::create_symlink(CE_TEST_PROGRAM, device.Fs("Windows/wceload.exe"));
    EXPECT_EQ(CountRunningProcesses(u"wceload.exe"), 0);
    PROCESS_INFORMATION info{};
    std::u16string commandLine = u"wait";
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\wceload.exe", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &info));
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (CountRunningProcesses(u"WCELOAD.EXE") == 0 && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(CountRunningProcesses(u"WCELOAD.EXE"), 1);
    EXPECT_EQ(CountRunningProcesses(u"wceload"), 0) << "the whole file name";
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 20000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

TEST(StorageCards, AreCountedAndDescribedInOrder) {
    ce::test::TempDevice device;
    EXPECT_EQ(GetStorageCardCount(), 0);
    StorageCardInfo info;
    EXPECT_FALSE(GetStorageCardInfo(0, &info));
    std::filesystem::create_directories(device.Fs("Storage Card"));
    std::filesystem::create_directories(device.Fs("SD Card"));
    ce::SetProfileString("storage", "cards", "Storage Card:SD Memory;SD Card");
    ce::ReloadProfile();
    ASSERT_EQ(GetStorageCardCount(), 2);
    ASSERT_TRUE(GetStorageCardInfo(1, &info));
    EXPECT_EQ(info.name, u"SD Memory") << "the name of the card's store";
    EXPECT_EQ(info.path, u"\\Storage Card");
    EXPECT_GT(info.freeBytes, 0u);
    ASSERT_TRUE(GetStorageCardInfo(0, &info));
    EXPECT_EQ(info.name, u"SD Card") << "a store without a name of its own";
    EXPECT_EQ(info.path, u"\\SD Card");
    EXPECT_FALSE(GetStorageCardInfo(2, &info));
    EXPECT_FALSE(GetStorageCardInfo(-1, &info));
    EXPECT_FALSE(GetStorageCardInfo(0, nullptr));
}

}  // namespace
