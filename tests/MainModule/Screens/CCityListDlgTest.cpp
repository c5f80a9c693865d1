// The city list screen and its first-start page, run for real on the skinned device: the list as it
// opens, keys that always reach the list, the home city, deleting with its question, a change that
// cannot be saved, a city added back with its cached forecast, and updates against the weather server.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CRegistryStore.h"
#include "Controls/CCityListBox.h"
#include "ForecastDocument.h"
#include "NmeaSender.h"
#include "ScreenAnswers.h"
#include "ScreenTest.h"
#include "Screens/CCityListDlg.h"
#include "Screens/CStartWizardCityListDlg.h"
#include "Shell/CTodayPlugin.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastCacheFile.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"

namespace {

using namespace skin_test;
using framework::test::UserInterfaceDevice;
using screen_test::ScreenAnswers;
using UserInterface::CMenuItemCollection;

constexpr uint64_t kNoonUtc = 1796817600000;  // 2026-12-09 12:00 UTC

// The screen with the add step that the choosers feed within reach.
class ListScreen : public ScriptedScreen<CCityListDlg> {
public:
    explicit ListScreen(int* shown) : ScriptedScreen<CCityListDlg>(shown) {}
    using CCityListDlg::AddCity;
};
using WizardPage = ScriptedScreen<CStartWizardCityListDlg>;

CCity City(LPCWSTR id, LPCWSTR name, bool withToday = false) {
    CCity city;
    city.SetLocationId(id);
    city.SetName(name);
    city.SetCountry(u"Germany");
    if (withToday) {
        CDayForecast day;
        CDate today;
        today.SetToday();
        day.SetDate(today);
        day.SetHighTemperature(50);
        day.SetLowTemperature(40);
        city.AddDayForecast(day);
    }
    return city;
}

std::vector<std::u16string> Names(const CCityList& list) {
    std::vector<std::u16string> names;
    for (int i = 0; i < list.GetCount(); ++i) {
        CCity city;
        list.GetCity(i, &city);
        names.push_back(city.GetName());
    }
    return names;
}

const UserInterface::CMenuItem* Entry(UserInterface::CSmartDialog& screen, int id) {
    const CMenuItemCollection* popup = screen.GetMenuInfo().GetPopup(1);
    if (popup == nullptr) {
        return nullptr;
    }
    if (const auto* item = popup->FindItem(id)) {
        return item;
    }
    const auto* views = popup->FindItem(CCityListDlg::kViewsMenu);
    return views != nullptr && views->HasSubItems() ? views->GetSubItems()->FindItem(id) : nullptr;
}

bool Enabled(UserInterface::CSmartDialog& screen, int id) {
    const auto* item = Entry(screen, id);
    return item != nullptr && !item->IsGrayed();
}

std::vector<int> Commands(const CMenuItemCollection* items) {
    std::vector<int> ids;
    for (int i = 0; items != nullptr && i < items->GetCount(); ++i) {
        ids.push_back(items->GetAt(i).GetCommand());
    }
    return ids;
}

class CityListScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ce::DisableVirtualClock();
        ce::EnableVirtualClock(kNoonUtc);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));  // the forecast XML's parser
        ASSERT_TRUE(registry_.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &registry_;
        g_pCityList = &cities_;
        g_pTodayPlugin = &notifier_;
        todayItem_ = OpenEventW(0, FALSE, CTodayPlugin::kEventName);
        ASSERT_NE(todayItem_, nullptr);
    }
    void TearDown() override {
        CloseHandle(todayItem_);
        g_pTodayPlugin = nullptr;
        g_pCityList = nullptr;
        g_pRegistry = nullptr;
        CoUninitialize();
        ScreenTest::TearDown();
    }
    void Add(const std::vector<CCity>& cities, int home = 0) {
        for (const CCity& city : cities) {
            ASSERT_TRUE(cities_.AddCity(city));
        }
        if (home >= 0) {
            ASSERT_TRUE(cities_.SetHomeIndex(home));
        }
        ASSERT_TRUE(cities_.Save());
    }
    static std::unique_ptr<CCityList> Saved() {
        auto saved = std::make_unique<CCityList>();
        saved->Load();
        return saved;
    }
    // The reload the Today item was told since the last look; -1 when none.
    int TodayReload() {
        if (WaitForSingleObject(todayItem_, 0) != WAIT_OBJECT_0) {
            return -1;
        }
        const int data = static_cast<int>(GetEventData(todayItem_));
        ResetEvent(todayItem_);
        return data;
    }
    static void Command(UserInterface::CSmartDialog& screen, int id) {
        SendMessageW(screen.GetHandle(), WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
    // Gives the command while a thread answers the boxes that it shows; their left soft keys come back.
    static std::vector<std::u16string> CommandAnswered(UserInterface::CSmartDialog& screen, int id,
                                                       std::vector<UINT> keys) {
        ScreenAnswers answers(screen.GetHandle(), ScreenAnswers::OneKeyEach(keys));
        Command(screen, id);
        answers.Join();
        return answers.Captions();
    }
    static RECT RectOf(UserInterface::CSmartDialog& screen, int id) {
        RECT rect{};
        screen.GetLayout()->FindControl(id)->GetRect(&rect);
        return rect;
    }

    CRegistryStore registry_;
    CCityList cities_;
    CTodayPlugin notifier_;
    HANDLE todayItem_ = nullptr;
    int shown_ = 0;
};

TEST_F(CityListScreenTest, OpensOnTheShownCityWithTheHomeMarkerStatusRuleListAndToolbar) {
    Add({City(u"DEXX0001", u"Aachen"), City(u"DEXX0002", u"Bonn"), City(u"DEXX0003", u"Celle")}, 1);
    shown_ = 2;
    ListScreen screen(&shown_);
    screen.passBackKeys = true;
    screen.Then([&](auto& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{0, 1, 2, 3}));
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(CCityListDlg::kStatusId)), u"Select a city");
        CCityListBox* list = d.GetListBox();
        EXPECT_EQ(list->GetCount(), 3);
        EXPECT_EQ(list->GetHomeIndex(), 1);
        EXPECT_EQ(list->GetCurSel(), 2);
        const auto select = UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0);
        EXPECT_EQ(select.caption, u"Select");
        EXPECT_TRUE(select.enabled);
        EXPECT_EQ(Commands(d.GetMenuInfo().GetPopup(1)), (std::vector<int>{3011, 3018, 3040, 3015, 3016, 3017, 3008}));
        auto* toolbar = static_cast<CToolBarControl*>(d.GetLayout()->FindControl(CCityListDlg::kToolbarId));
        EXPECT_EQ(toolbar->GetButton(0).picture, 60);
        EXPECT_EQ(toolbar->GetButton(1).command, 3017);
        EXPECT_EQ(toolbar->GetButton(3).command, 3011);

        const RECT status = RectOf(d, CCityListDlg::kStatusId);
        const RECT rule = RectOf(d, CCityListDlg::kSeparatorId);
        const RECT rows = RectOf(d, CCityListDlg::kListId);
        const RECT band = RectOf(d, CCityListDlg::kToolbarId);
        EXPECT_EQ(status.left, 2);
        EXPECT_EQ(status.top, 2);
        EXPECT_GT(status.bottom, status.top) << "as high as its text";
        EXPECT_EQ(rule.top, status.bottom + 2);
        EXPECT_EQ(rule.bottom - rule.top, 2);
        EXPECT_EQ(rows.top, rule.bottom);
        EXPECT_EQ(rows.bottom, band.top);
        EXPECT_EQ(band.bottom, d.GetClientHeight());
        EXPECT_EQ(band.bottom - band.top, 50);
        ce::InjectKey(VK_ESCAPE);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), CCityListDlg::kBack);
    EXPECT_EQ(shown_, 2) << "Back leaves the shown city";
}

TEST_F(CityListScreenTest, KeysAlwaysReachTheListAndEnterShowsTheSelectedCity) {
    Add({City(u"DEXX0001", u"Aachen"), City(u"DEXX0002", u"Bonn"), City(u"DEXX0003", u"Celle")});
    ListScreen screen(&shown_);
    screen.Then([](auto& d) {
        d.SetFocusIndex(CCityListDlg::kToolbarId, FALSE);
        ce::InjectKey(VK_DOWN);
    });
    screen.Then([](auto& d) {
        EXPECT_EQ(d.GetListBox()->GetCurSel(), 1);
        ce::InjectKey(VK_RETURN);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(shown_, 1);
}

TEST_F(CityListScreenTest, TheViewsNeedTodaysForecastAndTakeTheSelectedCityButMapsKeepTheShownOne) {
    Add({City(u"DEXX0001", u"Aachen", true), City(u"DEXX0002", u"Bonn")});
    shown_ = 1;
    ListScreen screen(&shown_);
    screen.Then([](auto& d) {
        EXPECT_FALSE(Enabled(d, CCityListDlg::kDayForecast)) << "Bonn has no forecast for today";
        EXPECT_FALSE(Enabled(d, CCityListDlg::kHourlyForecast));
        EXPECT_TRUE(Enabled(d, CCityListDlg::kMaps));
        ce::InjectKey(VK_UP);
    });
    screen.Then([](auto& d) {
        EXPECT_TRUE(Enabled(d, CCityListDlg::kCurrentCondition));
        Command(d, CCityListDlg::kCurrentCondition);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), CCityListDlg::kCurrentCondition);
    EXPECT_EQ(shown_, 0);

    shown_ = 1;
    ListScreen maps(&shown_);
    maps.Then([](auto&) { ce::InjectKey(VK_UP); });
    maps.Then([](auto& d) { Command(d, CCityListDlg::kMaps); });
    EXPECT_EQ(maps.RunModal(nullptr, 0, nullptr, nullptr, nullptr), CCityListDlg::kMaps);
    EXPECT_EQ(shown_, 1);
}

TEST_F(CityListScreenTest, MakingTheThirdCityHomeMovesItFirstAndTheViewsKeepTheirCity) {
    Add({City(u"DEXX0001", u"Aachen"), City(u"DEXX0002", u"Bonn"), City(u"DEXX0003", u"Celle")});
    ListScreen screen(&shown_);
    screen.Then([](auto&) {
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_DOWN);
    });
    screen.Then([&](auto& d) {
        ASSERT_TRUE(Enabled(d, CCityListDlg::kHomeCity));
        Command(d, CCityListDlg::kHomeCity);
        EXPECT_EQ(Names(*Saved()), (std::vector<std::u16string>{u"Celle", u"Bonn", u"Aachen"}));
        EXPECT_EQ(Saved()->GetHomeIndex(), 0);
        EXPECT_EQ(d.GetListBox()->GetHomeIndex(), 0) << "the marker is on the top row";
        EXPECT_EQ(TodayReload(), static_cast<int>(CTodayPlugin::TODAY_RELOAD_CITIES));
        EXPECT_EQ(shown_, 2) << "Aachen, shown before, is now the third city";
        ce::InjectKey(VK_UP);
        ce::InjectKey(VK_UP);
    });
    screen.Then([&](auto& d) {
        EXPECT_FALSE(Enabled(d, CCityListDlg::kHomeCity)) << "the home city is selected";
        Command(d, CCityListDlg::kHomeCity);
        EXPECT_EQ(TodayReload(), -1) << "nothing changed";
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
}

TEST_F(CityListScreenTest, DeletingAsksFirstAndTheFirstRemainingCityBecomesHome) {
    ClockTicker clock;  // the question blends in over the screen
    Add({City(u"DEXX0001", u"Aachen"), City(u"DEXX0002", u"Bonn"), City(u"DEXX0003", u"Celle")});
    shown_ = 2;
    ListScreen screen(&shown_);
    screen.Then([](auto&) { ce::InjectKey(VK_UP); });
    screen.Then([](auto&) { ce::InjectKey(VK_UP); });
    screen.Then([&](auto& d) {
        EXPECT_EQ(CommandAnswered(d, CCityListDlg::kDeleteCity, {VK_TSOFT2}), (std::vector<std::u16string>{u"Yes"}));
        EXPECT_EQ(Saved()->GetCount(), 3) << "No keeps the city";
        EXPECT_EQ(CommandAnswered(d, CCityListDlg::kDeleteCity, {VK_TSOFT1}).size(), 1u);
        auto saved = Saved();
        EXPECT_EQ(Names(*saved), (std::vector<std::u16string>{u"Bonn", u"Celle"}));
        EXPECT_EQ(saved->GetHomeIndex(), 0);
        EXPECT_EQ(d.GetListBox()->GetCount(), 2);
        EXPECT_EQ(d.GetListBox()->GetHomeIndex(), 0);
        EXPECT_EQ(shown_, 1) << "Celle moved up a row and is still the one shown";
        EXPECT_EQ(TodayReload(), static_cast<int>(CTodayPlugin::TODAY_RELOAD_CITIES));
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
}

TEST_F(CityListScreenTest, DeletingTheLastCityLeavesNothingToSelectDeleteOrUpdate) {
    ClockTicker clock;
    Add({City(u"DEXX0001", u"Aachen", true)});
    ListScreen screen(&shown_);
    screen.Then([&](auto& d) {
        EXPECT_TRUE(Enabled(d, CCityListDlg::kUpdateForecast));
        CommandAnswered(d, CCityListDlg::kDeleteCity, {VK_TSOFT1});
        EXPECT_EQ(Saved()->GetCount(), 0);
        EXPECT_EQ(Saved()->GetHomeIndex(), -1);
        EXPECT_EQ(d.GetListBox()->GetCount(), 0);
        EXPECT_FALSE(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).enabled);
        for (int id : {CCityListDlg::kDeleteCity, CCityListDlg::kHomeCity, CCityListDlg::kUpdateForecast,
                       CCityListDlg::kDayForecast, CCityListDlg::kCurrentCondition, CCityListDlg::kHourlyForecast}) {
            EXPECT_FALSE(Enabled(d, id)) << id;
        }
        EXPECT_TRUE(Enabled(d, CCityListDlg::kAddCity));
        EXPECT_EQ(shown_, 0);
        ce::InjectKey(VK_RETURN);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded)
        << "Enter on an empty list chooses nothing";
}

TEST_F(CityListScreenTest, AChangeThatCannotBeSavedLeavesListFileAndScreenAsTheyWere) {
    ClockTicker clock;
    Add({City(u"DEXX0001", u"Aachen"), City(u"DEXX0002", u"Bonn"), City(u"DEXX0003", u"Celle")});
    const std::string before = device_.ReadHostFile(device_.InstallFolder("Cities.dat"));
    std::filesystem::create_directory(device_.InstallFolder("Cities.dat.tmp"));  // no new file can be written
    ListScreen screen(&shown_);
    screen.Then([](auto&) { ce::InjectKey(VK_DOWN); });
    screen.Then([&](auto& d) {
        Command(d, CCityListDlg::kHomeCity);
        CommandAnswered(d, CCityListDlg::kDeleteCity, {VK_TSOFT1});
        CCity dessau = City(u"DEXX0004", u"Dessau");
        EXPECT_FALSE(screen.AddCity(dessau));
        EXPECT_EQ(Names(cities_), (std::vector<std::u16string>{u"Aachen", u"Bonn", u"Celle"}));
        EXPECT_EQ(cities_.GetHomeIndex(), 0);
        EXPECT_EQ(d.GetListBox()->GetCount(), 3);
        EXPECT_EQ(d.GetListBox()->GetHomeIndex(), 0);
        EXPECT_EQ(d.GetListBox()->GetCurSel(), 1);
        EXPECT_EQ(TodayReload(), -1);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
    EXPECT_EQ(device_.ReadHostFile(device_.InstallFolder("Cities.dat")), before);
}

TEST_F(CityListScreenTest, ACityAddedBackShowsItsCachedForecastAtTheLocalTimeOfTheCache) {
    ASSERT_TRUE(ce::SetProfileString("device", "timezone", "Europe/Berlin"));
    ce::ReloadProfile();
    ForecastRequest request;
    request.place = Place{"DEXX0009", 52.5, 13.4};
    request.today = CalendarDate{2026, 12, 9};
    request.reportedId = "DEXX0009";
    ASSERT_TRUE(CForecastCacheFile::Write(u"DEXX0009", ForecastDocument::Build(request).c_str()));
    // Written at 10:00 UTC in winter: 11:00 in Berlin.
    const std::chrono::sys_seconds utc{std::chrono::sys_days{std::chrono::December / 1 / 2026} + std::chrono::hours(10)};
    const auto written = std::chrono::file_clock::from_sys(utc);
    std::filesystem::last_write_time(device_.InstallFolder("Cache/DEXX0009.xml"), written);
    Add({City(u"DEXX0001", u"Aachen")});

    ListScreen screen(&shown_);
    screen.Then([&](auto& d) {
        CCity berlin = City(u"DEXX0009", u"Berlin");
        ASSERT_TRUE(screen.AddCity(berlin));
        EXPECT_EQ(d.GetListBox()->GetCount(), 2);
        EXPECT_EQ(d.GetListBox()->GetCurSel(), 1) << "the new row is selected";
        EXPECT_TRUE(Enabled(d, CCityListDlg::kDayForecast)) << "today's forecast came from the cache";
        EXPECT_EQ(TodayReload(), static_cast<int>(CTodayPlugin::TODAY_RELOAD_CITIES));
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
    auto saved = Saved();
    ASSERT_EQ(saved->GetCount(), 2);
    CCity berlin;
    ASSERT_TRUE(saved->GetCity(1, &berlin));
    SYSTEMTIME updated{};
    berlin.GetUpdateSystemTime(&updated);
    EXPECT_EQ(updated.wDay, 1);
    EXPECT_EQ(updated.wHour, 11);
    EXPECT_EQ(updated.wMinute, 0);
}

// Adding by position: a receiver on a pseudo-terminal as the configured port and the built city database.
class CityListGpsTest : public CityListScreenTest {
protected:
    void SetUp() override {
        CityListScreenTest::SetUp();
        terminal_.MapPort("COM3");
        std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat",
                                   device_.InstallFolder("CityDB.dat"));
    }
    void TearDown() override {
        GetSettings() = CSettings();
        CityListScreenTest::TearDown();
    }
    // Presses Select on the next screen over this one (not the one passed before) once its Select key
    // is enabled, which on the search screen means that cities were found; that screen comes back.
    static HWND SelectWhenReady(HWND over, HWND passed = nullptr) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < giveUp) {
            HWND front = GetForegroundWindow();
            HWND bar = front != over && front != passed ? SHFindMenuBar(front) : nullptr;
            if (bar != nullptr && UserInterfaceDevice::ButtonOf(bar, 0).enabled) {
                ce::InjectKey(VK_TSOFT1);
                return front;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return nullptr;
    }

    gps_test::PseudoTerminal terminal_;
};

TEST_F(CityListGpsTest, WithoutAPortThePortScreenComesFirstAndCancelAddsNothing) {
    ClockTicker clock;
    GetSettings().gpsPort = static_cast<DWORD>(-1);
    Add({City(u"DEXX0001", u"Aachen")});
    ListScreen screen(&shown_);
    screen.Then([&](auto& d) {
        EXPECT_EQ(CommandAnswered(d, CCityListDlg::kAddByGps, {VK_TSOFT2}), (std::vector<std::u16string>{u"Done"}))
            << "the port screen, and no search after it";
        EXPECT_EQ(cities_.GetCount(), 1);
        EXPECT_FALSE(d.IsBusy());
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
}

TEST_F(CityListGpsTest, TheCityNearestTheFixIsAddedOnceAndOfferedAgainOnlyWithABox) {
    ClockTicker clock;  // the receiver's reads wait on the clock
    GetSettings().gpsPort = 3;
    gps_test::Receiver sending(terminal_.Master(), gps_test::Nmea("GPGGA,123519,6448.000,N,14742.000,W,1,08,0.9,545.4,M,46.9,M,,"));
    Add({City(u"DEXX0001", u"Aachen")});
    ListScreen screen(&shown_);
    screen.Then([&](auto& d) {
        std::thread user([&] { EXPECT_NE(SelectWhenReady(d.GetHandle()), nullptr); });
        Command(d, CCityListDlg::kAddByGps);
        user.join();
        EXPECT_EQ(Names(*Saved()), (std::vector<std::u16string>{u"Aachen", u"Fairbanks"}));
        EXPECT_EQ(d.GetListBox()->GetCount(), 2);
        EXPECT_EQ(d.GetListBox()->GetCurSel(), 1);
        EXPECT_EQ(TodayReload(), static_cast<int>(CTodayPlugin::TODAY_RELOAD_CITIES));
    });
    screen.Then([&](auto& d) {
        std::thread user([&] {
            HWND search = SelectWhenReady(d.GetHandle());
            EXPECT_NE(search, nullptr);
            EXPECT_NE(SelectWhenReady(d.GetHandle(), search), nullptr) << "the box that says it is there";
        });
        Command(d, CCityListDlg::kAddByGps);
        user.join();
        EXPECT_EQ(Saved()->GetCount(), 2);
        EXPECT_EQ(TodayReload(), -1);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
}

// Adding by name over the real pickers: country, state when the country has states, then city. Each
// step gives the next picker that comes up its text to search, then Select.
class CityListByNameTest : public CityListGpsTest {
protected:
    static std::thread Pick(HWND over, std::vector<std::u16string> searches) {
        return std::thread([over, searches] {
            HWND passed = nullptr;
            for (const std::u16string& text : searches) {
                HWND picker = WaitForPicker(over, passed);
                ASSERT_NE(picker, nullptr) << ce::ToUtf8(text);
                if (!text.empty()) {
                    ce::InjectText(text);
                }
                ce::InjectKey(VK_TSOFT1);
                passed = picker;
            }
        });
    }
    static HWND WaitForPicker(HWND over, HWND passed) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < giveUp) {
            HWND front = GetForegroundWindow();
            HWND bar = front != over && front != passed ? SHFindMenuBar(front) : nullptr;
            if (bar != nullptr && UserInterfaceDevice::ButtonOf(bar, 0).enabled) {
                return front;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return nullptr;
    }
};

TEST_F(CityListByNameTest, ACountryWithStatesGoesThroughItsStateAndTheCountryIsOfferedFirstNextTime) {
    ClockTicker clock;
    Add({City(u"DEXX0001", u"Aachen")});
    ListScreen screen(&shown_);
    screen.Then([&](auto& d) {
        std::thread user = Pick(d.GetHandle(), {u"United States", u"New York", u"New York"});
        Command(d, CCityListDlg::kAddCity);
        user.join();
        auto saved = Saved();
        ASSERT_EQ(saved->GetCount(), 2);
        CCity added;
        ASSERT_TRUE(saved->GetCity(1, &added));
        EXPECT_EQ(std::u16string(added.GetName()), u"New York");
        EXPECT_EQ(std::u16string(added.GetState()), u"New York");
        EXPECT_EQ(std::u16string(added.GetCountry()), u"United States");
        EXPECT_EQ(std::u16string(added.GetLocationId()).substr(0, 4), u"USNY");
        EXPECT_EQ(d.GetListBox()->GetCurSel(), 1);
        WCHAR last[64] = {};
        ASSERT_TRUE(registry_.GetString(u"LastSelCountry", last, 64));
        EXPECT_EQ(std::u16string(last), u"United States");
    });
    screen.Then([&](auto& d) {
        // No search: the country of last time is the one selected; the same city is there already.
        std::thread user = Pick(d.GetHandle(), {u"", u"New York", u"New York", u""});
        Command(d, CCityListDlg::kAddCity);
        user.join();
        EXPECT_EQ(Saved()->GetCount(), 2);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
}

TEST_F(CityListByNameTest, ACountryWithoutStatesGoesStraightToItsCitiesAndCancelEndsTheAdd) {
    ClockTicker clock;
    Add({City(u"DEXX0001", u"Aachen")});
    ListScreen screen(&shown_);
    screen.Then([&](auto& d) {
        std::thread user = Pick(d.GetHandle(), {u"Andorra", u"Canillo"});
        Command(d, CCityListDlg::kAddCity);
        user.join();
        EXPECT_EQ(Names(*Saved()), (std::vector<std::u16string>{u"Aachen", u"Canillo"}));
    });
    screen.Then([&](auto& d) {
        ScreenAnswers cancel(d.GetHandle(), {{VK_TSOFT2}});
        Command(d, CCityListDlg::kAddCity);
        EXPECT_EQ(cancel.Join(), 1);
        EXPECT_EQ(Saved()->GetCount(), 2);
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
}

// The updater's news comes from its worker thread; the screen brings itself up to date on its own.
class CityListUpdateTest : public CityListScreenTest {
protected:
    void SetUp() override {
        CityListScreenTest::SetUp();
        ASSERT_GT(server_.Port(), 0);
        ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server_.Port()));
        ce::ReloadProfile();
        updater_ = std::make_unique<CForecastUpdater>(&cities_, IID_DestNetInternet);
        ASSERT_TRUE(updater_->Initialize());
        g_pForecastUpdater = updater_.get();
    }
    void TearDown() override {
        updater_->Shutdown();
        g_pForecastUpdater = nullptr;
        updater_.reset();
        CityListScreenTest::TearDown();
    }
    // Done once the run is over and its news has reached the screen.
    static bool UpdateSeen(CCityListDlg& d, const std::u16string& status) {
        return !g_pForecastUpdater->IsRunning() && TextOf(d.GetLayout()->FindControl(CCityListDlg::kStatusId)) == status;
    }

    WeatherServerProcess server_{{"--date", "2026120912"}};
    std::unique_ptr<CForecastUpdater> updater_;
};

TEST_F(CityListUpdateTest, TheUpdateCommandFetchesEveryCityAndTheListShowsTodaysWeather) {
    Add({City(u"DEXX0001", u"Aachen"), City(u"DEXX0002", u"Bonn")});
    ListScreen screen(&shown_);
    screen.Then(
        [](auto& d) {
            EXPECT_FALSE(Enabled(d, CCityListDlg::kDayForecast));
            Command(d, CCityListDlg::kUpdateForecast);
        },
        [](auto& d) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return UpdateSeen(d, u"Select a city") && Enabled(d, CCityListDlg::kDayForecast);
        });
    screen.Then([](auto& d) {
        EXPECT_TRUE(Enabled(d, CCityListDlg::kDayForecast)) << "the rows were filled anew";
        EXPECT_EQ(GetForegroundWindow(), d.GetHandle()) << "no box for a run that went well";
    });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
    CCity bonn;
    ASSERT_TRUE(cities_.GetCity(1, &bonn));
    CDayForecast today;
    CDate date;
    date.SetToday();
    EXPECT_TRUE(bonn.GetDayForecast(date, &today));
}

TEST_F(CityListUpdateTest, AFailedUpdateShowsItsResultOverTheScreen) {
    ClockTicker clock;
    ASSERT_FALSE(server_.Control("/control/fault?spec=code:2007").empty());
    Add({City(u"DEXX0001", u"Aachen")});
    ListScreen screen(&shown_);
    // The box runs its own loop, in which the script goes on: it is answered from there.
    std::u16string answeredKey;
    screen.Then([](auto& d) { Command(d, CCityListDlg::kUpdateForecast); },
                [&](auto& d) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    HWND front = GetForegroundWindow();
                    HWND bar = front != d.GetHandle() ? SHFindMenuBar(front) : nullptr;
                    if (answeredKey.empty() && bar != nullptr) {
                        answeredKey = UserInterfaceDevice::ButtonOf(bar, 0).caption;
                        ce::InjectKey(VK_TSOFT1);
                    }
                    return !answeredKey.empty() && front == d.GetHandle() && UpdateSeen(d, u"Select a city");
                });
    EXPECT_EQ(screen.RunModal(nullptr, 0, nullptr, nullptr, nullptr), ListScreen::kScriptEnded);
    EXPECT_EQ(answeredKey, u"Done");
}

TEST_F(CityListScreenTest, TheFirstStartPageWantsACityBeforeDoneAndIgnoresBack) {
    ClockTicker clock;
    ASSERT_TRUE(cities_.Save());
    WizardPage page(&shown_);
    page.passBackKeys = true;
    page.Then([](WizardPage& d) {
        EXPECT_EQ(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).caption, u"Done");
        EXPECT_EQ(Commands(d.GetMenuInfo().GetPopup(1)), (std::vector<int>{3018, 3015, 3016, 3017}));
        auto* toolbar = static_cast<CToolBarControl*>(d.GetLayout()->FindControl(CCityListDlg::kToolbarId));
        EXPECT_EQ(toolbar->GetButton(2).picture, 72);
        EXPECT_EQ(toolbar->GetButton(2).command, 3016);
        ce::InjectKey(VK_ESCAPE);
    });
    page.Then([](WizardPage& d) {
        EXPECT_GE(d.backKeys, 1);
        EXPECT_EQ(CommandAnswered(d, CCityListDlg::kBack, {VK_TSOFT1}), (std::vector<std::u16string>{u"Done"}))
            << "the box that asks for a city";
        EXPECT_TRUE(IsWindow(d.GetHandle())) << "the page stays";
        ASSERT_TRUE(g_pCityList->AddCity(City(u"DEXX0001", u"Aachen")));
        d.Refresh(static_cast<DWORD>(-1));
        ce::InjectKey(VK_RETURN);
    });
    EXPECT_EQ(page.RunModal(nullptr, 0, nullptr, nullptr, nullptr), IDOK);
}

}  // namespace
