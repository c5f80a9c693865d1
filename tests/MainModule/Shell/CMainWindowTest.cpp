// The main window as a real window of the process: the city it opens on, its soft keys without a city,
// the city chosen by a second start, swipes, the exit command, the first start, the program-update
// check, and an update run from its menu against the weather server.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "Controls/CSwitchControl.h"
#include "Controls/CTempGraphControl.h"
#include "Controls/CToolBarControl.h"
#include "MainWindowDevice.h"
#include "ScreenAnswers.h"
#include "Shell/CMainWindow.h"
#include "Shell/CTodayPlugin.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"

namespace {

using framework::test::UserInterfaceDevice;
using mainwindow::test::MainWindowDevice;
using mainwindow::test::RunningClock;
using screen_test::ScreenAnswers;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The exit code of a quit message waiting in the queue; -1 when there is none.
int TakeQuit() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            return static_cast<int>(message.wParam);
        }
        DispatchMessageW(&message);
    }
    return -1;
}

class CMainWindowTest : public ::testing::Test {
protected:
    // Makes the window on a city and lets its start-up steps run.
    void Open(int index) {
        window_ = std::make_unique<CMainWindow>();
        ASSERT_TRUE(window_->Create(index));
        device_.Pump();
    }
    void Drag(int fromX, int toX) {
        const int y = 150;
        ce::InjectStylusDown(fromX, y);
        for (int step = 1; step <= 4; ++step) {
            ce::InjectStylusMove(fromX + (toX - fromX) * step / 4, y);
        }
        ce::InjectStylusUp(toX, y);
        RunningClock clock;
        device_.Pump();
    }

    CSwitchControl& Switch() { return *static_cast<CSwitchControl*>(window_->GetLayout().FindControl(0)); }
    CTempGraphControl& Graph() { return *static_cast<CTempGraphControl*>(window_->GetLayout().FindControl(2)); }
    // A tap at a point of the window's client area.
    void TapClient(int x, int y) {
        POINT point{x, y};
        ClientToScreen(window_->GetHandle(), &point);
        ce::InjectTap(point.x, point.y);
        RunningClock clock;
        device_.Pump();
    }

    MainWindowDevice device_;
    std::unique_ptr<CMainWindow> window_;
};

TEST_F(CMainWindowTest, OpensOnTheGivenCityAndOnTheFirstForAnIndexOutsideTheList) {
    device_.AddCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"});
    Open(2);
    EXPECT_EQ(window_->GetCityIndex(), 2);
    EXPECT_EQ(FindWindowW(u"__Skyvane", nullptr), window_->GetHandle());
    EXPECT_TRUE(window_->IsStartupFinished());
    EXPECT_FALSE(window_->IsPaintingFrozen());
    EXPECT_EQ(window_->ComposeSwitchState({}).firstLine, u"GBXX0003");
    EXPECT_EQ(Switch().GetFirstText(), u"GBXX0003");
    EXPECT_EQ(Switch().GetSecondText(), u"Updated at 11:00 AM");
    EXPECT_EQ(Switch().GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kDisabled);

    window_.reset();
    Open(7);
    EXPECT_EQ(window_->GetCityIndex(), 0);
    window_.reset();
    Open(-3);
    EXPECT_EQ(window_->GetCityIndex(), 0);
}

TEST_F(CMainWindowTest, WithoutACityDetailsIsOffAndTheSwitchEmptyButEnterStillRunsTheViews) {
    ASSERT_TRUE(g_pCityList->Save());  // an empty list, not a first start
    Open(0);
    auto details = UserInterfaceDevice::ButtonOf(window_->GetMenuBar(), 0);
    EXPECT_EQ(details.command, 3009);
    EXPECT_FALSE(details.enabled);
    EXPECT_TRUE(window_->GetMenuInfo().GetPopup(1)->FindItem(3011)->IsGrayed());
    CMainWindow::SwitchState state = window_->ComposeSwitchState({});
    EXPECT_TRUE(state.firstLine.empty());
    EXPECT_TRUE(state.secondLine.empty());
    EXPECT_FALSE(state.leftEnabled);
    EXPECT_FALSE(state.rightEnabled);

    ce::InjectKey(VK_RETURN);
    device_.Pump();
    EXPECT_FALSE(window_->IsPaintingFrozen()) << "the views loop ended and let the window paint";
}

TEST_F(CMainWindowTest, TheSwitchArrowsFollowThePlaceInTheList) {
    device_.AddCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"});
    Open(0);
    CMainWindow::SwitchState first = window_->ComposeSwitchState({});
    EXPECT_FALSE(first.leftEnabled);
    EXPECT_TRUE(first.rightEnabled);
    EXPECT_TRUE(first.fitFirstLine);
    ASSERT_TRUE(window_->ChangeCity(2, FALSE));
    CMainWindow::SwitchState last = window_->ComposeSwitchState({});
    EXPECT_TRUE(last.leftEnabled);
    EXPECT_FALSE(last.rightEnabled);
    EXPECT_FALSE(window_->ChangeCity(3, FALSE));
    EXPECT_FALSE(window_->ChangeCity(-1, FALSE));
    EXPECT_EQ(window_->GetCityIndex(), 2);
}

TEST_F(CMainWindowTest, ASecondStartsCityIsShownOnlyWhenItIsInTheList) {
    device_.AddCities({u"DEBE0001", u"FRXX0002"});
    Open(0);
    PostMessageW(window_->GetHandle(), CMainWindow::WMU_SELECT_CITY, 1, 0);
    device_.Pump();
    EXPECT_EQ(window_->GetCityIndex(), 1);
    EXPECT_EQ(Switch().GetFirstText(), u"FRXX0002");
    PostMessageW(window_->GetHandle(), CMainWindow::WMU_SELECT_CITY, 2, 0);
    PostMessageW(window_->GetHandle(), CMainWindow::WMU_SELECT_CITY, static_cast<WPARAM>(-1), 0);
    device_.Pump();
    EXPECT_EQ(window_->GetCityIndex(), 1);
    EXPECT_FALSE(window_->IsPaintingFrozen());
}

TEST_F(CMainWindowTest, ASwipeBeyondEightyPixelsSwitchesOnceAStrokeTowardsItsSide) {
    device_.AddCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"});
    Open(0);
    Drag(150, 80);
    EXPECT_EQ(window_->GetCityIndex(), 0) << "70 pixels are no swipe";
    Drag(230, 10);
    EXPECT_EQ(window_->GetCityIndex(), 1) << "to the left: the next city, once";
    Drag(10, 230);
    EXPECT_EQ(window_->GetCityIndex(), 0) << "to the right: the previous city";
    Drag(10, 230);
    EXPECT_EQ(window_->GetCityIndex(), 0) << "no city before the first";
}

TEST_F(CMainWindowTest, TheSwitchArrowsChangeTheCityAndTheToolbarRunsItsCommands) {
    device_.AddCities({u"DEBE0001", u"FRXX0002"});
    Open(0);
    RECT client;
    GetClientRect(window_->GetHandle(), &client);
    TapClient(client.right - 20, 20);
    EXPECT_EQ(window_->GetCityIndex(), 1) << "the right arrow";
    TapClient(client.right - 20, 20);
    EXPECT_EQ(window_->GetCityIndex(), 1) << "no city after the last";
    TapClient(20, 20);
    EXPECT_EQ(window_->GetCityIndex(), 0) << "the left arrow";

    TapClient(client.right / 8, client.bottom - 25);
    EXPECT_EQ(TakeQuit(), 0) << "the toolbar's first button is Exit";
}

TEST_F(CMainWindowTest, TheExitCommandQuitsWithZero) {
    device_.AddCities({u"DEBE0001"});
    Open(0);
    SendMessageW(window_->GetHandle(), WM_COMMAND, 3005, 0);
    EXPECT_EQ(TakeQuit(), 0);
}

TEST_F(CMainWindowTest, AFirstStartSavesTheThreeDefaultCitiesAndShowsTheFirst) {
    ASSERT_FALSE(CCityList::FileExists());
    CTodayPlugin notifier;
    g_pTodayPlugin = &notifier;
    HANDLE todayItem = OpenEventW(0, FALSE, CTodayPlugin::kEventName);
    ASSERT_NE(todayItem, nullptr);
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    {
        ScreenAnswers pages(window_->GetHandle(), ScreenAnswers::OneKeyEach({VK_TSOFT1, VK_TSOFT1, VK_TSOFT1}));
        RunningClock clock;
        device_.Pump();
        EXPECT_EQ(pages.Join(), 3) << "the welcome page, the city list page, then the network page";
    }
    CSettings stored;
    ASSERT_TRUE(stored.Load(g_pRegistry));
    EXPECT_EQ(stored.connection, IID_DestNetInternet) << "the network page's choice";
    g_pTodayPlugin = nullptr;
    EXPECT_EQ(WaitForSingleObject(todayItem, 0), WAIT_OBJECT_0) << "the Today item is told";
    EXPECT_EQ(GetEventData(todayItem), static_cast<DWORD>(CTodayPlugin::TODAY_RELOAD_CITIES));
    CloseHandle(todayItem);
    ASSERT_TRUE(CCityList::FileExists());
    CCityList saved;
    ASSERT_TRUE(saved.Load());
    ASSERT_EQ(saved.GetCount(), 3);
    EXPECT_EQ(saved.GetHomeIndex(), 0);
    CCity city;
    ASSERT_TRUE(saved.GetCity(2, &city));
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"USNY0996");
    EXPECT_EQ(std::u16string(city.GetState()), u"New York");
    EXPECT_EQ(window_->GetCityIndex(), 0);
    EXPECT_EQ(window_->ComposeSwitchState({}).firstLine, u"Moscow");
    EXPECT_TRUE(window_->IsStartupFinished());
}

TEST_F(CMainWindowTest, AFirstStartWithoutItsWelcomeTextEndsTheProgramAndSavesNothing) {
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    // A language file without the welcome page's texts, read before the start-up steps run.
    device_.WriteUtf16("Loc/loc.0409.txt", u"IDS_APP_NAME\tSkyvane\r\n");
    ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
    EXPECT_EQ(TakeQuit(), 0);
    EXPECT_FALSE(CCityList::FileExists());
    EXPECT_EQ(g_pCityList->GetCount(), 0);
}

TEST_F(CMainWindowTest, ADamagedCityListIsReportedOnceInABoxAndItsCopyKept) {
    device_.AddCities({u"DEBE0001", u"FRXX0002"});
    const std::string citiesDat = device_.Installed("Cities.dat");
    std::string cut = ReadFile(citiesDat);
    cut.resize(cut.size() - 5);
    device_.WriteHostFile(citiesDat, cut);
    ASSERT_TRUE(g_pCityList->Load(CCityList::DamagedFile::kKeepCopy));
    EXPECT_EQ(g_pCityList->GetCount(), 1);
    for (int start = 0; start < 2; ++start) {
        window_ = std::make_unique<CMainWindow>();
        ASSERT_TRUE(window_->Create(0));
        ScreenAnswers done(window_->GetHandle(), {{VK_TSOFT1}});
        RunningClock clock;
        device_.Pump();
        EXPECT_EQ(done.Join(), start == 0 ? 1 : 0) << "the damage is told once, start " << start;
        EXPECT_TRUE(window_->IsStartupFinished());
        window_.reset();
    }
    EXPECT_EQ(ReadFile(citiesDat + ".damaged"), cut);
}

TEST_F(CMainWindowTest, AListWithoutOneReadableCityIsReportedThenStartsOverWithTheThreeCities) {
    const std::string citiesDat = device_.Installed("Cities.dat");
    const std::string noise(64, '\xA5');
    device_.WriteHostFile(citiesDat, noise);
    ASSERT_TRUE(g_pCityList->Load(CCityList::DamagedFile::kKeepCopy));
    ASSERT_EQ(g_pCityList->GetCount(), 0);
    GetSettings().connection = IID_DestNetInternet;  // no network page
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    {
        ScreenAnswers pages(window_->GetHandle(), ScreenAnswers::OneKeyEach({VK_TSOFT1, VK_TSOFT1, VK_TSOFT1}));
        RunningClock clock;
        device_.Pump();
        EXPECT_EQ(pages.Join(), 3) << "the box about the kept copy, then the welcome and city list pages";
    }
    GetSettings() = CSettings();
    CCityList saved;
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.GetCount(), 3);
    EXPECT_EQ(window_->ComposeSwitchState({}).firstLine, u"Moscow");
    EXPECT_EQ(ReadFile(citiesDat + ".damaged"), noise) << "the copy stays as it was";
}

TEST_F(CMainWindowTest, QueuedUpdateChecksRunOnceAndAFirstCheckOnlyNotesTheTime) {
    device_.AddCities({u"DEBE0001"});
    GetSettings().onlineUpdateInterval = 7;
    Open(0);
    SYSTEMTIME stored{};
    ASSERT_TRUE(g_pRegistry->GetBinary(u"LastOnlineUpdate", &stored, sizeof stored)) << "noted at the first check";
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(CSysInfo::SystemTimeDiff(&now, &stored, 1000), 0);

    for (int i = 0; i < 3; ++i) {
        PostMessageW(window_->GetHandle(), CMainWindow::WMU_CHECK_ONLINE_UPDATE, 0, 0);
    }
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, window_->GetHandle(), CMainWindow::WMU_CHECK_ONLINE_UPDATE,
                             CMainWindow::WMU_CHECK_ONLINE_UPDATE, PM_REMOVE));
    DispatchMessageW(&message);
    EXPECT_FALSE(PeekMessageW(&message, window_->GetHandle(), CMainWindow::WMU_CHECK_ONLINE_UPDATE,
                              CMainWindow::WMU_CHECK_ONLINE_UPDATE, PM_NOREMOVE))
        << "the copies waiting in the queue were dropped";
    GetSettings().onlineUpdateInterval = 0;
}

// The updater tells the window from its worker thread; the window brings itself up to date on its own.
TEST_F(CMainWindowTest, TheUpdateCommandFetchesEveryCityAndTheSwitchShowsTheNewTime) {
    WeatherServerProcess server{{"--date", "2026120912"}};
    ASSERT_GT(server.Port(), 0);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
    ce::ReloadProfile();
    device_.AddCities({u"DEBE0001", u"FRXX0002"}, 24 * 20);
    CForecastUpdater updater(g_pCityList, IID_DestNetInternet);
    ASSERT_TRUE(updater.Initialize());
    g_pForecastUpdater = &updater;
    Open(1);
    EXPECT_EQ(window_->ComposeSwitchState({}).secondLine, u"Not updated");

    SendMessageW(window_->GetHandle(), WM_COMMAND, 3011, 0);
    for (int i = 0; i < 2000 && updater.IsRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    device_.Pump();
    EXPECT_FALSE(updater.IsRunning());
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME local;
    SystemTimeToFileTime(&now, &local);
    EXPECT_EQ(Switch().GetSecondText(), u"Updated at 12:00 PM");
    ASSERT_FALSE(Graph().GetDays().empty());
    CDate today;
    today.SetToday();
    EXPECT_TRUE(Graph().GetDays().begin()->GetDate() == today) << "the graph's days begin today";

    window_.reset();
    updater.Shutdown();
    g_pForecastUpdater = nullptr;
    CoUninitialize();
}

TEST_F(CMainWindowTest, AFailedUpdateShowsItsResultOverTheWindowUntilDone) {
    WeatherServerProcess server{{"--date", "2026120912"}};
    ASSERT_GT(server.Port(), 0);
    ASSERT_FALSE(server.Control("/control/fault?spec=code:2007").empty());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
    ce::ReloadProfile();
    device_.AddCities({u"DEBE0001"}, 24 * 20);
    CForecastUpdater updater(g_pCityList, IID_DestNetInternet);
    ASSERT_TRUE(updater.Initialize());
    g_pForecastUpdater = &updater;
    Open(0);

    SendMessageW(window_->GetHandle(), WM_COMMAND, 3011, 0);
    for (int i = 0; i < 2000 && updater.IsRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    {
        ScreenAnswers done(window_->GetHandle(), {{VK_TSOFT1}});
        RunningClock clock;
        device_.Pump();
        EXPECT_TRUE(done.Join()) << "the result came up in a box";
    }
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle()) << "and Done closed it";
    EXPECT_EQ(Switch().GetSecondText(), u"Not updated");

    window_.reset();
    updater.Shutdown();
    g_pForecastUpdater = nullptr;
    CoUninitialize();
}

TEST_F(CMainWindowTest, TheAboutCommandOpensTheAboutBoxOverTheWindow) {
    device_.AddCities({u"DEBE0001"});
    Open(0);
    ScreenAnswers done(window_->GetHandle(), {{VK_TSOFT1}});
    RunningClock clock;
    PostMessageW(window_->GetHandle(), WM_COMMAND, 3004, 0);
    device_.Pump();
    EXPECT_TRUE(done.Join());
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
}

TEST_F(CMainWindowTest, TheGpsSettingsCommandSavesThePortChosenOverTheWindow) {
    HKEY driver = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Drivers\\Active\\12", 0, nullptr, 0, 0, nullptr, &driver, nullptr),
              ERROR_SUCCESS);
    const std::u16string port = u"COM2:";
    RegSetValueExW(driver, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                   static_cast<DWORD>((port.size() + 1) * sizeof(char16_t)));
    RegCloseKey(driver);
    device_.AddCities({u"DEBE0001"});
    Open(0);
    ScreenAnswers done(window_->GetHandle(), {{VK_TSOFT1}});
    RunningClock clock;
    PostMessageW(window_->GetHandle(), WM_COMMAND, 3028, 0);
    device_.Pump();
    EXPECT_TRUE(done.Join());
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
    CSettings stored;
    ASSERT_TRUE(stored.Load(g_pRegistry));
    EXPECT_EQ(stored.gpsPort, 2u);
    GetSettings() = CSettings();
}

TEST_F(CMainWindowTest, TheMapsCommandRunsTheMapsViewOverTheWindowUntilItsBackKey) {
    device_.AddCities({u"DEBE0001"});
    std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/MapDB.dat", device_.Installed("MapDB.dat"));
    Open(0);
    ScreenAnswers back(window_->GetHandle(), {{VK_TSOFT1}});
    RunningClock clock;
    PostMessageW(window_->GetHandle(), WM_COMMAND, 3014, 0);
    device_.Pump();
    EXPECT_TRUE(back.Join());
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
    WCHAR shown[64] = {};
    g_pRegistry->GetString(u"LastMapID", shown, 64);
    EXPECT_EQ(std::u16string(shown), u"africa_sat") << "the maps view ran and remembered its map";
}

TEST_F(CMainWindowTest, TheNetworkCommandStoresTheChosenDestinationAndTheNextUpdateGoesThroughIt) {
    WeatherServerProcess server{{"--date", "2026120912"}};
    ASSERT_GT(server.Port(), 0);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
    ce::SetProfileString("connection", "destinations", "Work;The Internet");
    ce::ReloadProfile();
    device_.AddCities({u"DEBE0001"}, 24 * 20);
    // A destination that the device no longer has: no update gets through it.
    const GUID gone = {0x12345678, 0x1234, 0x4321, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    GetSettings().connection = gone;
    CForecastUpdater updater(g_pCityList, gone);
    ASSERT_TRUE(updater.Initialize());
    g_pForecastUpdater = &updater;
    Open(0);
    {
        ScreenAnswers done(window_->GetHandle(), {{VK_TSOFT1}});
        RunningClock clock;
        PostMessageW(window_->GetHandle(), WM_COMMAND, 3024, 0);
        device_.Pump();
        EXPECT_TRUE(done.Join()) << "the network screen came up";
    }
    CSettings stored;
    ASSERT_TRUE(stored.Load(g_pRegistry));
    EXPECT_EQ(stored.connection, IID_DestNetInternet) << "the Internet, preselected for the gone one";

    SendMessageW(window_->GetHandle(), WM_COMMAND, 3011, 0);
    for (int i = 0; i < 2000 && updater.IsRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    {
        // A failed update would show its result in a box.
        ScreenAnswers failure(window_->GetHandle(), {{VK_TSOFT1}});
        RunningClock clock;
        device_.Pump();
        EXPECT_FALSE(failure.Join()) << "the update failed";
    }
    EXPECT_EQ(Switch().GetSecondText(), u"Updated at 12:00 PM");

    window_.reset();
    updater.Shutdown();
    g_pForecastUpdater = nullptr;
    GetSettings() = CSettings();
    CoUninitialize();
}

// The network page comes only while no destination was ever chosen.
TEST_F(CMainWindowTest, AFirstStartWithAChosenDestinationShowsNoNetworkPage) {
    const GUID work = {0x12345678, 0x1234, 0x4321, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    GetSettings().connection = work;
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(0));
    {
        ScreenAnswers pages(window_->GetHandle(), {{VK_TSOFT1}, {VK_TSOFT1}, {VK_TSOFT1}});
        RunningClock clock;
        device_.Pump();
        EXPECT_EQ(pages.Join(), 2) << "the welcome and city list pages alone";
    }
    EXPECT_TRUE(window_->IsStartupFinished());
    EXPECT_EQ(GetSettings().connection, work);
    GetSettings() = CSettings();
}

}  // namespace
