// Modes 1 and 2 of the program: whole forecast updates without a window, run as real processes. How a
// run went is read from the program's device log ("Skyvane"): the exit code only says whether the
// update could be started, as the device's scheduler and the plug-ins expect.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <thread>

#include "CSysInfo.h"
#include "SkyvaneDevice.h"
#include "Weather/DeviceUtilities.h"
#include "support/SavedCityTimes.h"

namespace endtoend {
namespace {

using ce::test::LocalNow;
using ce::test::SavedUpdateTime;

const std::vector<std::u16string> kTwoCities = {u"DEBE0001", u"FRXX0002"};

SYSTEMTIME LocalTimeIn(LONGLONG milliseconds) {
    SYSTEMTIME local;
    GetLocalTime(&local);
    CSysInfo::AddToSystemTime(&local, milliseconds);
    return local;
}

bool DeviceWasSwitchedOn() {
    std::vector<std::string> power = ce::ReadDeviceLog("power");
    return std::any_of(power.begin(), power.end(),
                       [](const std::string& line) { return line.find("SetSystemPowerState") != std::string::npos; });
}

// A program that the device started on its own is not the test's child: wait for it through the
// process table before the device goes.
bool WaitUntilNoProgramRuns() {
    for (int i = 0; i < 2000; ++i) {
        if (CountRunningProcesses(u"Skyvane.exe") == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

using SilentUpdate = SkyvaneDevice;

TEST_F(SilentUpdate, WritesEveryCacheAndTheListWithTheNewTimes) {
    WriteCities(kTwoCities);
    EXPECT_EQ(device.Run("cmd_silent_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "0")) << LastProgramLine();
    EXPECT_TRUE(Installed("Cache/DEBE0001.xml"));
    EXPECT_TRUE(Installed("Cache/FRXX0002.xml"));
    FILETIME expected = LocalNow();
    for (int index = 0; index < 2; ++index) {
        FILETIME saved = SavedUpdateTime(index);
        EXPECT_EQ(CompareFileTime(&saved, &expected), 0) << index;
    }
}

TEST_F(SilentUpdate, ADamagedSecondReplyKeepsTheFirstCacheAndTheOldList) {
    WriteCities(kTwoCities);
    SetFault("damage-body@1*1");
    EXPECT_EQ(device.Run("cmd_silent_update"), 0) << "the update ran; its result is in the log";
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "-11")) << LastProgramLine();
    EXPECT_TRUE(Installed("Cache/DEBE0001.xml"));
    EXPECT_FALSE(Installed("Cache/FRXX0002.xml"));
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList) << "Cities.dat keeps its old times";
}

// The run does not read the cached forecasts: a city whose update fails keeps its cache file as it was,
// for the plug-ins and the next start.
TEST_F(SilentUpdate, ACityWhoseUpdateFailsKeepsItsCachedForecast) {
    WriteCities(kTwoCities);
    ASSERT_EQ(device.Run("cmd_silent_update"), 0);
    const std::string cached = ReadInstalled("Cache/FRXX0002.xml");
    ASSERT_FALSE(cached.empty());
    SetFault("damage-body@1*1");
    EXPECT_EQ(device.Run("cmd_silent_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "-11")) << LastProgramLine();
    EXPECT_EQ(ReadInstalled("Cache/FRXX0002.xml"), cached);
}

TEST_F(SilentUpdate, TheNoWeatherDataPageGivesMinusNine) {
    WriteCities(kTwoCities);
    SetFault("code:2007");
    EXPECT_EQ(device.Run("cmd_silent_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "-9")) << LastProgramLine();
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList);
}

TEST_F(SilentUpdate, AStalledServerIsCutOffByTheWatchdog) {
    WriteCities(kTwoCities);
    SetFault("stall");
    DeviceProgram run = device.Start("cmd_silent_update");
    ASSERT_TRUE(WaitForServerRequests(1));
    EXPECT_TRUE(run.StillRunningAfter(std::chrono::milliseconds(200))) << "nothing ends it but the watchdog";
    const uint64_t kWatchdogStep = 121 * 1000;
    EXPECT_EQ(AdvanceUntilEnd(run, kWatchdogStep), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "-11")) << LastProgramLine();
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList);
}

TEST_F(SilentUpdate, ASecondRunWhileTheFirstRunsDoesNothing) {
    WriteCities(kTwoCities);
    SetFault("stall");
    DeviceProgram first = device.Start("cmd_silent_update");
    ASSERT_TRUE(WaitForServerRequests(1));
    EXPECT_EQ(device.Run("cmd_silent_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "not run: another update runs")) << LastProgramLine();
    EXPECT_EQ(ServerRequests(), 1u) << "the second run asked the server nothing";
    EXPECT_EQ(AdvanceUntilEnd(first, 121 * 1000), 0);
}

TEST_F(SilentUpdate, WithoutCitiesNothingIsFetchedOrWritten) {
    EXPECT_EQ(device.Run("cmd_silent_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "skipped: no cities")) << LastProgramLine();
    EXPECT_FALSE(Installed("Cities.dat")) << "a first start must still find no list";
    EXPECT_EQ(ServerRequests(), 0u);
}

using ScheduledUpdate = SkyvaneDevice;

TEST_F(ScheduledUpdate, RearmsTheNotificationThatTheDeviceThenFires) {
    WriteCities(kTwoCities);
    WriteSettings(1, 3, 1);
    EXPECT_EQ(device.Run("cmd_auto_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "0")) << LastProgramLine();
    std::vector<Notification> pending = PendingNotifications();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_NE(pending[0].program.find(u"Skyvane.exe"), std::u16string::npos);
    EXPECT_EQ(pending[0].arguments, u"cmd_auto_update");
    SYSTEMTIME due = LocalTimeIn(3 * 3600 * 1000);
    EXPECT_EQ(pending[0].start.wHour, due.wHour);
    EXPECT_EQ(pending[0].start.wMinute, due.wMinute);
    EXPECT_TRUE(DeviceWasSwitchedOn());

    ce::AdvanceVirtualClock(3 * 3600 * 1000 + 60 * 1000);
    std::vector<std::string> lines = ProgramLog(2);
    ASSERT_EQ(lines.size(), 2u) << "the device started the program at the due time";
    EXPECT_TRUE(HasField(lines[1], "mode", "cmd_auto_update"));
    EXPECT_TRUE(HasField(lines[1], "result", "0")) << lines[1];
    std::vector<std::string> started = device.LogLines("programs", 1);
    ASSERT_FALSE(started.empty());
    EXPECT_TRUE(HasField(started.back(), "by", "notification"));
    EXPECT_TRUE(WaitUntilNoProgramRuns());
}

TEST_F(ScheduledUpdate, RoamingOrNoCitiesSkipTheUpdateButStillRearm) {
    WriteSettings(1, 2, 0);
    EXPECT_EQ(device.Run("cmd_auto_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "skipped: no cities")) << LastProgramLine();
    EXPECT_FALSE(Installed("Cities.dat"));
    EXPECT_EQ(PendingNotifications().size(), 1u);

    WriteCities(kTwoCities);
    ASSERT_TRUE(ce::SetProfileString("device", "registration", "roaming"));
    EXPECT_EQ(device.Run("cmd_auto_update"), 0);
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "skipped: roaming")) << LastProgramLine();
    EXPECT_EQ(ServerRequests(), 0u);
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList);
    EXPECT_EQ(PendingNotifications().size(), 1u) << "the old notification was replaced, not added to";
}

}  // namespace
}  // namespace endtoend
