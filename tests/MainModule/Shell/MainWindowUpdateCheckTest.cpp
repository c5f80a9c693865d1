// The main window's program-update checks: the automatic one when its interval has passed since the
// last check, and the manual one from the menu, with the time of the check kept in the registry.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "MainWindowDevice.h"
#include "ScreenAnswers.h"
#include "Shell/CMainWindow.h"
#include "Weather/CSettings.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"

namespace {

using mainwindow::test::MainWindowDevice;
using mainwindow::test::RunningClock;
using screen_test::ScreenAnswers;

constexpr LONGLONG kDayMs = 86400000;

class MainWindowUpdateCheck : public ::testing::Test {
protected:
    void SetUp() override { device_.AddCities({u"DEBE0001"}); }
    void TearDown() override {
        window_.reset();
        GetSettings() = CSettings();
    }

    void StoreLastCheck(int daysAgo) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        FILETIME time;
        SystemTimeToFileTime(&now, &time);
        CSysInfo::AddToFileTime(&time, -daysAgo * kDayMs);
        SYSTEMTIME then;
        FileTimeToSystemTime(&time, &then);
        ASSERT_TRUE(g_pRegistry->SetBinary(u"LastOnlineUpdate", &then, sizeof then));
    }
    // Whole days from the stored time of the last check to now; -1 without one, -2 for no time.
    LONGLONG DaysSinceLastCheck() {
        SYSTEMTIME stored{};
        FILETIME readable{};
        if (!g_pRegistry->GetBinary(u"LastOnlineUpdate", &stored, sizeof stored)) {
            return -1;
        }
        if (!SystemTimeToFileTime(&stored, &readable)) {
            return -2;
        }
        SYSTEMTIME now;
        GetLocalTime(&now);
        return CSysInfo::SystemTimeDiff(&now, &stored, kDayMs);
    }
    // Makes the window and lets its start-up run, answering the screens that come up on the way.
    std::vector<std::u16string> Open(std::vector<UINT> answers) {
        window_ = std::make_unique<CMainWindow>();
        EXPECT_TRUE(window_->Create(0));
        ScreenAnswers screens(window_->GetHandle(), ScreenAnswers::OneKeyEach(answers));
        RunningClock clock;
        device_.Pump();
        screens.Join();
        return screens.Captions();
    }

    MainWindowDevice device_;
    std::unique_ptr<CMainWindow> window_;
};

TEST_F(MainWindowUpdateCheck, ADueAutomaticCheckAsksFirstAndIsNotedBeforeItRuns) {
    GetSettings().onlineUpdateInterval = 15;
    StoreLastCheck(16);
    EXPECT_EQ(Open({VK_TSOFT2}), (std::vector<std::u16string>{u"Done"})) << "the Done/Cancel question came up";
    EXPECT_EQ(DaysSinceLastCheck(), 0) << "noted although the user declined";
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
    EXPECT_FALSE(window_->IsPaintingFrozen());
}

TEST_F(MainWindowUpdateCheck, AnAutomaticCheckWaitsForItsIntervalToPass) {
    GetSettings().onlineUpdateInterval = 15;
    StoreLastCheck(15);
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    device_.Pump();
    EXPECT_EQ(DaysSinceLastCheck(), 15) << "15 whole days are not more than 15";
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());

    GetSettings().onlineUpdateInterval = 0;
    StoreLastCheck(400);
    PostMessageW(window_->GetHandle(), CMainWindow::WMU_CHECK_ONLINE_UPDATE, 0, 0);
    device_.Pump();
    EXPECT_EQ(DaysSinceLastCheck(), 400) << "switched off";
}

TEST_F(MainWindowUpdateCheck, ALastCheckThatIsDamagedOrAheadOfTheClockCountsFromNow) {
    GetSettings().onlineUpdateInterval = 15;
    const BYTE damaged[16] = {0xFF, 0xFF, 0x7F, 0x00, 0x03, 0x00, 0x40, 0x00};
    ASSERT_TRUE(g_pRegistry->SetBinary(u"LastOnlineUpdate", damaged, sizeof damaged));
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    device_.Pump();
    EXPECT_EQ(DaysSinceLastCheck(), 0) << "replaced by now, without a check";

    StoreLastCheck(-400);  // the clock was set back after the last check
    PostMessageW(window_->GetHandle(), CMainWindow::WMU_CHECK_ONLINE_UPDATE, 0, 0);
    device_.Pump();
    EXPECT_EQ(DaysSinceLastCheck(), 0);
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
}

TEST_F(MainWindowUpdateCheck, TheIntervalChosenInTheSettingsIsStoredForLaterStarts) {
    Open({});
    {
        ScreenAnswers keys(window_->GetHandle(), {{VK_LEFT, VK_TSOFT1}});
        RunningClock clock;
        SendMessageW(window_->GetHandle(), WM_COMMAND, 3038, 0);
        EXPECT_EQ(keys.Join(), 1);
    }
    DWORD stored = 0;
    ASSERT_TRUE(g_pRegistry->GetDWORD(u"OUpdateInterval", &stored)) << "saved, not only changed in memory";
    EXPECT_EQ(stored, 15u) << "from Monthly one step back";
    EXPECT_EQ(GetSettings().onlineUpdateInterval, 15u);
}

// The check from the menu against the update server on loopback.
class MainWindowManualCheck : public MainWindowUpdateCheck {
protected:
    void SetUp() override {
        MainWindowUpdateCheck::SetUp();
        ASSERT_GT(server_.Port(), 0);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ce::SetProfileString("hosts", "update.skyvane.example", "127.0.0.1:" + std::to_string(server_.Port()));
        ce::ReloadProfile();
        GetSettings().onlineUpdateInterval = 0;  // no automatic check, no time noted at the start
        Open({});
    }
    void TearDown() override {
        MainWindowUpdateCheck::TearDown();
        CoUninitialize();
    }
    // Runs the menu's check with the screens answered in turn; the left keys of those answered.
    std::vector<std::u16string> CheckFromTheMenu(std::vector<UINT> answers) {
        ScreenAnswers screens(window_->GetHandle(), ScreenAnswers::OneKeyEach(answers));
        RunningClock clock;
        SendMessageW(window_->GetHandle(), WM_COMMAND, 3037, 0);
        screens.Join();
        return screens.Captions();
    }

    WeatherServerProcess server_;
};

TEST_F(MainWindowManualCheck, ACancelledConnectionAsksTheServerNothingAndNotesNoCheck) {
    EXPECT_EQ(CheckFromTheMenu({VK_TSOFT2}), (std::vector<std::u16string>{u"Done"}));
    EXPECT_EQ(server_.Control("/control/update-requests"), "");
    EXPECT_EQ(DaysSinceLastCheck(), -1);
}

TEST_F(MainWindowManualCheck, TheCheckRunsItsConnectionScreenFirstAndKeepsTheChoice) {
    const std::vector<std::u16string> screens = CheckFromTheMenu({VK_TSOFT1, VK_TSOFT1});
    ASSERT_FALSE(screens.empty());
    GUID chosen{};
    DWORD size = sizeof chosen;
    EXPECT_TRUE(g_pRegistry->QueryBinary(u"LastOUConnection", &chosen, &size)) << "Done on the connection screen";
    EXPECT_TRUE(IsEqualGUID(chosen, IID_DestNetInternet));
}

}  // namespace
