// The settings commands of the main window, run through the window with their dialogs answered by keys:
// what lands in the registry and what follows a Done (the schedule armed anew, the start-screen item
// told, the menu rebuilt).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "CLocalization.h"
#include "MainWindowDevice.h"
#include "ScreenAnswers.h"
#include "ScreenTest.h"
#include "Shell/CMainWindow.h"
#include "Shell/CTodayPlugin.h"
#include "Weather/CCityList.h"
#include "Weather/CSettings.h"
#include "Weather/ScheduledUpdates.h"
#include "ce/notify.h"

namespace {

using mainwindow::test::MainWindowDevice;
using screen_test::ScreenAnswers;

// The notifications that the device keeps.
std::vector<HANDLE> PendingNotifications() {
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);
    std::vector<HANDLE> handles(count);
    if (count > 0 && !CeGetUserNotificationHandles(handles.data(), count, &count)) {
        count = 0;
    }
    handles.resize(count);
    return handles;
}

class MainWindowSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetSettings() = CSettings();
        g_pTodayPlugin = &notifier_;
        todayItem_ = OpenEventW(0, FALSE, CTodayPlugin::kEventName);
        ASSERT_NE(todayItem_, nullptr);
    }
    void TearDown() override {
        window_.reset();
        g_pTodayPlugin = nullptr;
        CloseHandle(todayItem_);
        GetSettings() = CSettings();
    }
    void Open() {
        device_.AddCities({u"DEBE0001"});
        window_ = std::make_unique<CMainWindow>();
        ASSERT_TRUE(window_->Create(0));
        device_.Pump();
    }
    // Runs a command of the window with its screens answered step by step; the steps answered.
    int RunCommand(int command, std::vector<ScreenAnswers::Keys> steps) {
        ScreenAnswers keys(window_->GetHandle(), std::move(steps));
        skin_test::ClockTicker clock;
        SendMessageW(window_->GetHandle(), WM_COMMAND, static_cast<WPARAM>(command), 0);
        return keys.Join();
    }
    DWORD Stored(const char16_t* name) {
        DWORD value = 0;
        return g_pRegistry->GetDWORD(name, &value) ? value : static_cast<DWORD>(-1);
    }
    // The data the Today item was told, -1 when it was not told.
    long TodayItemTold() {
        return WaitForSingleObject(todayItem_, 0) == WAIT_OBJECT_0 ? static_cast<long>(GetEventData(todayItem_)) : -1;
    }

    MainWindowDevice device_;
    CTodayPlugin notifier_;
    HANDLE todayItem_ = nullptr;
    std::unique_ptr<CMainWindow> window_;
};

TEST_F(MainWindowSettingsTest, AutoUpdatesTurnedOnAreStoredAndTheScheduleArmedAnew) {
    constexpr char16_t kProgram[] = u"\\Program Files\\Skyvane\\Skyvane.exe";
    SYSTEMTIME due{};
    GetLocalTime(&due);
    ++due.wYear;
    ASSERT_TRUE(SetUpdateNotificationFor(kProgram, due));
    const std::vector<HANDLE> before = PendingNotifications();
    ASSERT_EQ(before.size(), 1u);
    Open();
    EXPECT_EQ(RunCommand(3023, {{VK_RIGHT, VK_TSOFT2}}), 1);
    EXPECT_EQ(PendingNotifications(), before) << "Cancel arms nothing";
    EXPECT_EQ(Stored(u"FUpdateType"), static_cast<DWORD>(-1));

    EXPECT_EQ(RunCommand(3023, {{VK_RIGHT, VK_TSOFT1}, {VK_TSOFT1}}), 2) << "the dialog, then the warning";
    EXPECT_EQ(Stored(u"FUpdateType"), 1u);
    const std::vector<HANDLE> after = PendingNotifications();
    EXPECT_EQ(std::count(after.begin(), after.end(), before[0]), 0) << "armed anew: the old notification went";
}

TEST_F(MainWindowSettingsTest, NewUnitsAreStoredAndTheTodayItemReloadsItsSettings) {
    Open();
    EXPECT_EQ(RunCommand(3025, {{VK_TSOFT2}}), 1);
    EXPECT_EQ(TodayItemTold(), -1) << "Cancel tells nobody";

    EXPECT_EQ(RunCommand(3025, {{VK_RIGHT, VK_TSOFT1}}), 1);
    EXPECT_EQ(Stored(u"DegreeType"), 1u);
    EXPECT_TRUE(GetSettings().IsFahrenheit());
    EXPECT_EQ(TodayItemTold(), static_cast<long>(CTodayPlugin::TODAY_RELOAD_SETTINGS));
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
    EXPECT_FALSE(window_->IsPaintingFrozen());
}

TEST_F(MainWindowSettingsTest, ANewLanguageRebuildsTheMenuAndTheTodayItemReloadsItsTexts) {
    device_.WriteUtf16("Loc/loc.0407.txt", u"IDS_APP_NAME\tSkyvane\r\nIDS_CAP_MENU\tMen\u00fc\r\n");
    ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
    Open();
    EXPECT_EQ(RunCommand(3026, {{VK_LEFT, VK_TSOFT2}}), 1);
    EXPECT_EQ(TodayItemTold(), -1) << "Cancel tells nobody";
    EXPECT_EQ(std::u16string(window_->GetMenuInfo().GetCaption(1)), u"Menu");

    EXPECT_EQ(RunCommand(3026, {{VK_LEFT, VK_TSOFT1}}), 1);
    EXPECT_EQ(Stored(u"Language"), 0x0407u);
    EXPECT_EQ(std::u16string(window_->GetMenuInfo().GetCaption(1)), u"Men\u00fc") << "the menu in the new language";
    EXPECT_EQ(TodayItemTold(), static_cast<long>(CTodayPlugin::TODAY_RELOAD_LANGUAGE));

    EXPECT_EQ(RunCommand(3026, {{VK_TSOFT1}}), 1);
    EXPECT_EQ(TodayItemTold(), -1) << "the same language again changes nothing";
    CLocalization::Global().SetLanguage(CLocalization::kEnglish);
}

TEST_F(MainWindowSettingsTest, AFirstStartAsksForTheLanguageBeforeTheWelcomePage) {
    ASSERT_TRUE(g_pRegistry->DeleteValue(u"Language"));
    ASSERT_FALSE(CCityList::FileExists());
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    {
        ScreenAnswers pages(window_->GetHandle(), {{VK_TSOFT1}, {VK_TSOFT1}, {VK_TSOFT1}, {VK_TSOFT1}});
        skin_test::ClockTicker clock;
        device_.Pump();
        EXPECT_EQ(pages.Join(), 4) << "the language page, then the welcome, city list and network pages";
    }
    EXPECT_EQ(Stored(u"Language"), 0x0409u) << "the next start does not ask again";
    EXPECT_TRUE(CCityList::FileExists());
    EXPECT_TRUE(window_->IsStartupFinished());
}

TEST_F(MainWindowSettingsTest, TheHomeViewIsStoredFromTheSettingsMenu) {
    Open();
    EXPECT_EQ(RunCommand(3039, {{VK_RIGHT, VK_TSOFT1}}), 1);
    EXPECT_EQ(Stored(u"HomePluginMode"), 1u);
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
}

}  // namespace
