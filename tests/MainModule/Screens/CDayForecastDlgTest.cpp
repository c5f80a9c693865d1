// The day forecast screen run for real over cities whose forecasts come from forecast XML of the
// server's form or from the weather server itself: its pages, how they turn, what each page shows,
// the commands that end it and its following of the forecast updater.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "CGdiFactory.h"
#include "Controls/CDayPartsForecastControl.h"
#include "Controls/CDetailForecastControl.h"
#include "Controls/CSwitchControl.h"
#include "Controls/CToolBarControl.h"
#include "ScreenTest.h"
#include "Screens/CDayForecastDlg.h"
#include "Screens/CDetailPartOfDayForecastDlg.h"
#include "UserInterface/CMenuItemCollection.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"

namespace {

using namespace skin_test;
using framework::test::UserInterfaceDevice;
using ScriptedDay = ScriptedScreen<CDayForecastDlg>;

constexpr char16_t kCityId[] = u"DEBE0001";
constexpr char16_t kCityName[] = u"Berlin";

std::string Digits(DWORD value, int width) {
    std::string text = std::to_string(value);
    return std::string(static_cast<size_t>(width) - std::min<size_t>(text.size(), width), '0') + text;
}

std::string DateAttribute(const CDate& date) {
    return Digits(date.GetYear(), 4) + Digits(date.GetMonth(), 2) + Digits(date.GetDay(), 2);
}

CDate DaysFromToday(int days) {
    CDate date;
    date.SetToday();
    date.AddDays(days);
    return date;
}

// Forecast XML of the server's form: `count` days from `first`, each with a high of 50 F plus its number,
// and for the days of `hours` those hours of the day (7, 13, 19 and 23 are the four parts).
std::string ForecastXml(const CDate& first, int count, const std::map<int, std::set<int>>& hours = {}) {
    std::string xml = "<WEATHER><FORECAST LOCATIONID=\"DEBE0001\" ";
    CDate date = first;
    for (int day = 1; day <= count; ++day, date.AddDays(1)) {
        const std::string prefix = "DAY" + std::to_string(day);
        xml += prefix + "FCST_VALID_DAY=\"" + DateAttribute(date) + "\" " + prefix + "HITMPF=\"" +
               std::to_string(50 + day) + "\" " + prefix + "LOTMPF=\"32\" " + prefix + "WSPDM=\"10\" " + prefix +
               "RH=\"60\" " + prefix + "SUNRISE=\"7:00 AM\" " + prefix + "SUNSET=\"6:00 PM\" " + prefix + "UVIDX=\"3\" " + prefix + "WDIR=\"NW\" " + prefix + "SKY24=\"65\" ";
    }
    xml += "/><hc>";
    date = first;
    for (int day = 0; day < count; ++day, date.AddDays(1)) {
        auto found = hours.find(day);
        if (found == hours.end()) {
            continue;
        }
        const std::string localDate = Digits(date.GetYear(), 4) + "-" + Digits(date.GetMonth(), 2) + "-" +
                                      Digits(date.GetDay(), 2) + " 00:00:00";
        for (int hour : found->second) {
            xml += "<data LocalDate=\"" + localDate + "\" LocalTime=\"" + std::to_string(hour * 10000) +
                   "\" TemperatureFahrenHeit=\"41\" WindSpeedMph=\"5\" RelativeHumidity=\"70\" SkyCode=\"85\"/>";
        }
    }
    return xml + "</hc></WEATHER>";
}

const std::set<int> kAllParts{7, 13, 19, 23};
const std::set<int> kNoMorning{13, 19, 23};

class DayForecastTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        fonts_ = std::make_unique<CGdiFactory>(device_.SysInfo());
        g_pGdiFactory = fonts_.get();
        g_pCityList = &cities_;
        GetSettings() = CSettings();
    }
    void TearDown() override {
        g_pCityList = nullptr;
        g_pGdiFactory = nullptr;
        GetSettings() = CSettings();
        CoUninitialize();
        ScreenTest::TearDown();
    }

    void AddCity(const std::string& xml) {
        CCity city;
        city.SetLocationId(kCityId);
        city.SetName(kCityName);
        ASSERT_TRUE(city.ParseForecastXml(xml.c_str()));
        ASSERT_TRUE(cities_.AddCity(city));
    }

    static CSwitchControl& Switch(CDayForecastDlg& d) {
        return *static_cast<CSwitchControl*>(d.GetLayout()->FindControl(CDayForecastDlg::kSwitch));
    }
    static std::u16string DateText(const CDate& date) {
        WCHAR text[64] = {};
        date.FormatDayMonth(text, 64);
        return text;
    }
    static bool IsShown(CDayForecastDlg& d, int id) { return d.GetLayout()->FindControl(id)->IsVisible() != FALSE; }
    static const UserInterface::CMenuItem* MenuBack(CDayForecastDlg& d) {
        return d.GetMenuInfo().GetPopup(1)->FindItem(CDayForecastDlg::kBack);
    }
    // A horizontal stroke across the middle of the screen, in several moves.
    static void Stroke(ScriptedDay& d, int fromX, int toX) {
        const int y = d.GetClientHeight() / 2;
        d.Down(fromX, y);
        for (int step = 1; step <= 5; ++step) {
            d.MoveTo(fromX + (toX - fromX) * step / 5, y);
        }
        d.Up(toX, y);
    }
    // The part-of-day screen in front of the day screen, or null.
    static CDetailPartOfDayForecastDlg* PartScreen(CDayForecastDlg& d) {
        HWND front = GetForegroundWindow();
        if (front == nullptr || front == d.GetHandle()) {
            return nullptr;
        }
        auto* dialog = reinterpret_cast<UserInterface::CGenericDialog*>(GetWindowLongW(front, GWL_USERDATA));
        return dynamic_cast<CDetailPartOfDayForecastDlg*>(dialog);
    }
    static std::function<bool(ScriptedDay&)> PartScreenIsUp() {
        return [](ScriptedDay& d) { return PartScreen(d) != nullptr; };
    }
    static POINT ArrowPoint(CDayForecastDlg& d, int arrow) {
        RECT rect = Switch(d).GetArrowRect(arrow);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    std::unique_ptr<CGdiFactory> fonts_;
    CCityList cities_;
};

TEST_F(DayForecastTest, PagesRunFromTodayOnAndTheScreenOpensOnTheGivenDate) {
    AddCity(ForecastXml(DaysFromToday(-1), 5));
    GetSettings().degreeType = 1;
    const CDate dayAfterTomorrow = DaysFromToday(2);
    ScriptedDay screen;
    screen.Then([&](ScriptedDay& d) {
        auto& detail = *static_cast<CDetailForecastControl*>(d.GetLayout()->FindControl(CDayForecastDlg::kDetail));
        EXPECT_EQ(detail.GetData().secondTemperature, 54) << "the fourth day of the forecast";
        ASSERT_EQ(d.GetPageCount(), 4) << "yesterday is left out";
        EXPECT_TRUE(d.GetPage(0)->day.GetDate() == DaysFromToday(0));
        EXPECT_EQ(d.GetCurrentPage(), 2);
        EXPECT_EQ(Switch(d).GetFirstText(), kCityName);
        EXPECT_EQ(Switch(d).GetSecondText(), DateText(dayAfterTomorrow));
        EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kNormal);
        EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kNormal);
    });
    EXPECT_EQ(screen.Run(nullptr, kCityId, &dayAfterTomorrow, nullptr), ScriptedDay::kScriptEnded);

    const CDate farAway = DaysFromToday(30);
    for (const CDate* date : {static_cast<const CDate*>(nullptr), &farAway}) {
        ScriptedDay first;
        first.Then([](ScriptedDay& d) {
            EXPECT_EQ(d.GetCurrentPage(), 0);
            EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kDisabled);
        });
        EXPECT_EQ(first.Run(nullptr, kCityId, date, nullptr), ScriptedDay::kScriptEnded);
    }
}

TEST_F(DayForecastTest, AGapEndsThePagesAndAnUnknownCityShowsNothing) {
    CCity city;
    city.SetLocationId(kCityId);
    city.SetName(kCityName);
    for (int day : {0, 1, 3}) {
        CDayForecast forecast;
        forecast.SetDate(DaysFromToday(day));
        city.AddDayForecast(forecast);
    }
    ASSERT_TRUE(cities_.AddCity(city));
    ScriptedDay screen;
    screen.Then([](ScriptedDay& d) { EXPECT_EQ(d.GetPageCount(), 2); });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);

    CDayForecastDlg unknown;
    EXPECT_EQ(unknown.Run(nullptr, u"FRXX0002", nullptr, nullptr), 3);
    EXPECT_EQ(unknown.Run(nullptr, nullptr, nullptr, nullptr), 3);
    EXPECT_EQ(unknown.GetHandle(), nullptr);
}

TEST_F(DayForecastTest, WithoutTodaysForecastNoPageIsShownAndEnterOpensNothing) {
    AddCity(ForecastXml(DaysFromToday(-5), 3, {{2, kAllParts}}));
    ScriptedDay screen;
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(d.GetPageCount(), 0);
        EXPECT_EQ(d.GetPage(d.GetCurrentPage()), nullptr);
        EXPECT_EQ(Switch(d).GetFirstText(), kCityName);
        EXPECT_EQ(Switch(d).GetSecondText(), DateText(DaysFromToday(0)));
        EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kDisabled);
        EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kDisabled);
        EXPECT_TRUE(IsShown(d, CDayForecastDlg::kDetail));
        EXPECT_FALSE(IsShown(d, CDayForecastDlg::kParts));
        auto& detail = *static_cast<CDetailForecastControl*>(d.GetLayout()->FindControl(CDayForecastDlg::kDetail));
        EXPECT_EQ(detail.GetData().flags, 0u) << "no values";
        EXPECT_EQ(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).command, CDayForecastDlg::kBack);
        ce::InjectKey(VK_RETURN);
    });
    screen.Then([](ScriptedDay& d) { EXPECT_EQ(GetForegroundWindow(), d.GetHandle()) << "nothing opened"; });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);
}

TEST_F(DayForecastTest, ADayWithAllFourPartsShowsThemWithDetailsOnTheLeftKeyAndBackInTheMenu) {
    AddCity(ForecastXml(DaysFromToday(0), 3, {{0, kAllParts}, {1, kNoMorning}}));
    ScriptedDay screen;
    ClockTicker clock;
    screen.Then([](ScriptedDay& d) {
        EXPECT_TRUE(d.IsPartsView());
        EXPECT_TRUE(IsShown(d, CDayForecastDlg::kParts));
        EXPECT_FALSE(IsShown(d, CDayForecastDlg::kDetail));
        auto left = UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0);
        EXPECT_EQ(left.command, CDayForecastDlg::kDetails);
        EXPECT_EQ(left.caption, u"Details");
        EXPECT_FALSE(MenuBack(d)->IsHidden());
        ce::InjectKey(VK_RIGHT);
    });
    screen.Then([](ScriptedDay& d) {
        ASSERT_EQ(d.GetCurrentPage(), 1);
        EXPECT_FALSE(d.IsPartsView()) << "three parts are not enough";
        EXPECT_TRUE(IsShown(d, CDayForecastDlg::kDetail));
        EXPECT_FALSE(IsShown(d, CDayForecastDlg::kParts));
        auto left = UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0);
        EXPECT_EQ(left.command, CDayForecastDlg::kBack);
        EXPECT_EQ(left.caption, u"Back");
        EXPECT_TRUE(MenuBack(d)->IsHidden());
        ce::InjectKey(VK_LEFT);
    });
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 0);
        EXPECT_EQ(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).command, CDayForecastDlg::kDetails);
    });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);
}

// The steps of the script run on in the part screen's own loop, which the day screen waits in.
TEST_F(DayForecastTest, DetailsAndATapOnAPartOpenThatPartAndAViewChosenThereEndsTheDayScreenToo) {
    AddCity(ForecastXml(DaysFromToday(0), 2, {{0, kAllParts}}));
    ScriptedDay screen;
    ClockTicker clock;
    screen.Then([](ScriptedDay&) { ce::InjectKey(VK_TSOFT1); }, PartScreenIsUp());
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(PartScreen(d)->GetPart(), 0) << "Details opens the morning";
        EXPECT_TRUE(PartScreen(d)->GetDate() == DaysFromToday(0));
        ce::InjectKey(VK_ESCAPE);
    }, [](ScriptedDay& d) { return GetForegroundWindow() == d.GetHandle(); });
    screen.Then([](ScriptedDay& d) {
        RECT parts;
        d.GetLayout()->FindControl(CDayForecastDlg::kParts)->GetRect(&parts);
        EXPECT_EQ(parts.right, d.GetClientWidth()) << "no scroll indicator takes room";
        d.Tap(parts.right - 10, parts.bottom - 10);
    }, PartScreenIsUp());
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(PartScreen(d)->GetPart(), 3) << "the bottom right quarter is the night";
        PostMessageW(PartScreen(d)->GetHandle(), WM_COMMAND, CDayForecastDlg::kHourly, 0);
    });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), CDayForecastDlg::kHourly);
}

// Today's morning is often past: Enter then opens the first part that the day still has.
TEST_F(DayForecastTest, EnterOnADayWithoutItsMorningOpensItsFirstPart) {
    AddCity(ForecastXml(DaysFromToday(0), 2, {{0, kNoMorning}}));
    ScriptedDay screen;
    ClockTicker clock;
    screen.Then([](ScriptedDay&) { ce::InjectKey(VK_RETURN); }, PartScreenIsUp());
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(PartScreen(d)->GetPart(), 1);
        PostMessageW(PartScreen(d)->GetHandle(), WM_COMMAND, CDayForecastDlg::kBack, 0);
    }, [](ScriptedDay& d) { return GetForegroundWindow() == d.GetHandle(); });
    screen.Then([](ScriptedDay& d) { EXPECT_EQ(d.GetCurrentPage(), 0) << "the day screen is back"; });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);
}

TEST_F(DayForecastTest, StrokesArrowsAndKeysTurnOnePageAtATimeWithinThePages) {
    AddCity(ForecastXml(DaysFromToday(0), 3));
    ScriptedDay screen;
    ClockTicker clock;
    const int right = 230;
    screen.Then([](ScriptedDay& d) { Stroke(d, 150, 80); });
    screen.Then([&](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 0) << "70 pixels are no swipe";
        Stroke(d, right, 10);
    });
    screen.Then([&](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 1) << "a long stroke to the left: the next day, once";
        EXPECT_EQ(Switch(d).GetSecondText(), DateText(DaysFromToday(1)));
        ce::InjectKey(VK_RIGHT);
    });
    screen.Then([&](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 2);
        EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kDisabled);
        ce::InjectKey(VK_RIGHT);
        Stroke(d, right, 10);
    });
    screen.Then([&](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 2) << "nothing after the last page";
        POINT left = ArrowPoint(d, CSwitchControl::kLeftArrow);
        d.Tap(left.x, left.y);
    });
    screen.Then([&](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 1) << "the left arrow";
        Stroke(d, 10, right);
    });
    screen.Then([&](ScriptedDay& d) {
        EXPECT_EQ(d.GetCurrentPage(), 0) << "a stroke to the right: the previous day";
        EXPECT_EQ(Switch(d).GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kDisabled);
        Stroke(d, 10, right);
        ce::InjectKey(VK_LEFT);
    });
    screen.Then([](ScriptedDay& d) { EXPECT_EQ(d.GetCurrentPage(), 0) << "nothing before the first page"; });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);
}

TEST_F(DayForecastTest, ViewCommandsEndTheScreenWithThemselvesAndBackEndsItWithOne) {
    AddCity(ForecastXml(DaysFromToday(0), 2));
    for (int command : {3010, 3012, 3014, 3034, 3008, 1}) {
        ScriptedDay screen;
        screen.Then([command](ScriptedDay& d) { PostMessageW(d.GetHandle(), WM_COMMAND, command, 0); });
        const INT_PTR expected = command == 3008 ? 1 : command;
        EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), expected) << command;
    }
    ScriptedDay back;
    back.passBackKeys = true;
    back.Then([](ScriptedDay&) { ce::InjectKey(VK_ESCAPE); });
    EXPECT_EQ(back.Run(nullptr, kCityId, nullptr, nullptr), 1) << "the Back key's release";

    ScriptedDay toolbar;
    toolbar.Then([](ScriptedDay& d) {
        auto& bar = *static_cast<CToolBarControl*>(d.GetLayout()->FindControl(CDayForecastDlg::kToolbar));
        RECT rect;
        bar.GetRect(&rect);
        RECT cell = bar.GetCellRect(RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top}, 1);
        d.Tap(rect.left + (cell.left + cell.right) / 2, rect.top + (cell.top + cell.bottom) / 2);
    });
    EXPECT_EQ(toolbar.Run(nullptr, kCityId, nullptr, nullptr), 3010) << "the toolbar's city list button";
}

TEST_F(DayForecastTest, TheDetailRecordHoldsWhatTheDayKnowsInTheChosenUnits) {
    CDayForecast day;
    day.SetDate(DaysFromToday(0));
    day.SetSkyCode(1);
    day.SetHighTemperature(68);
    day.SetWindSpeed(10);
    day.SetUvIndex(6);
    GetSettings().degreeType = 0;
    GetSettings().windSpeedUnit = 0;
    DetailForecastData data{};
    CDayForecastDlg::FillDayDetail(day, &data);
    EXPECT_EQ(data.secondTemperature, 20);
    EXPECT_EQ(data.windSpeed, 16);
    EXPECT_EQ(std::u16string(data.windUnit), u"km/h");
    EXPECT_EQ(data.uvIndex, 6);
    const DWORD known = DetailForecastData::kPictures | DetailForecastData::kWeatherText |
                        DetailForecastData::kSecondTemperature | DetailForecastData::kWindSpeed |
                        DetailForecastData::kUvIndex | DetailForecastData::kUvText;
    EXPECT_EQ(data.flags, known) << "no low, wind direction or humidity; a day has no pressure or gust";
    EXPECT_GE(data.pictureCount, 1);

    GetSettings().degreeType = 1;
    GetSettings().windSpeedUnit = 1;
    GetSettings().pressureUnit = 2;
    day.SetLowTemperature(50);
    CDayForecastDlg::FillDayDetail(day, &data);
    EXPECT_EQ(data.firstTemperature, 50);
    EXPECT_EQ(data.secondTemperature, 68);
    EXPECT_EQ(data.windSpeed, 10);
    EXPECT_EQ(std::u16string(data.windUnit), u"mph");
    EXPECT_NE(data.flags & DetailForecastData::kFirstTemperature, 0u);
    EXPECT_EQ(data.flags & DetailForecastData::kPressure, 0u);
    EXPECT_NE(std::u16string(data.pressureUnit), u"");
}

TEST_F(DayForecastTest, OnASmartphoneThereIsNoToolbarAndTheDayReachesTheBottom) {
    ce::SetProfileString("device", "kind", "smartphone");
    ce::ReloadProfile();
    CSysInfo smartphone(GetModuleHandleW(nullptr));
    g_pSysInfo = &smartphone;
    AddCity(ForecastXml(DaysFromToday(0), 2));
    ScriptedDay screen;
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(d.GetLayout()->FindControl(CDayForecastDlg::kToolbar), nullptr);
        RECT detail;
        d.GetLayout()->FindControl(CDayForecastDlg::kDetail)->GetRect(&detail);
        EXPECT_EQ(detail.bottom, d.GetClientHeight());
        EXPECT_EQ(detail.right, d.GetClientWidth()) << "no scroll indicator takes room";
    });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);
    g_pSysInfo = &device_.SysInfo();
    ce::SetProfileString("device", "kind", "pocketpc");
    ce::ReloadProfile();
}

// The forecast updater against the weather server, with the device's clock on the server's date.
class DayForecastUpdateTest : public DayForecastTest {
protected:
    void SetUp() override {
        DayForecastTest::SetUp();
        SYSTEMTIME now;
        GetLocalTime(&now);
        server_ = std::make_unique<WeatherServerProcess>(std::vector<std::string>{
            "--date", DateAttribute(CDate(now)) + Digits(now.wHour, 2)});
        ASSERT_GT(server_->Port(), 0);
        ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server_->Port()));
        ce::ReloadProfile();
        updater_ = std::make_unique<CForecastUpdater>(g_pCityList, IID_DestNetInternet);
        ASSERT_TRUE(updater_->Initialize());
        g_pForecastUpdater = updater_.get();
    }
    void TearDown() override {
        updater_->Shutdown();
        g_pForecastUpdater = nullptr;
        updater_.reset();
        server_.reset();
        DayForecastTest::TearDown();
    }
    // A step's end: the run is over and the screen has had its news (bounded by the script's waits).
    std::function<bool(ScriptedDay&)> UpdateEnded() {
        return [this](ScriptedDay&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return !updater_->IsRunning();
        };
    }

    std::unique_ptr<WeatherServerProcess> server_;
    std::unique_ptr<CForecastUpdater> updater_;
};

TEST_F(DayForecastUpdateTest, AnUpdateBuildsThePagesAnewAndKeepsTheShownPage) {
    AddCity(ForecastXml(DaysFromToday(0), 4));
    const CDate third = DaysFromToday(2);
    ScriptedDay screen;
    screen.Then([](ScriptedDay& d) { PostMessageW(d.GetHandle(), WM_COMMAND, CDayForecastDlg::kUpdate, 0); },
                UpdateEnded());
    screen.Then([](ScriptedDay&) {});  // the posted news is handled
    screen.Then([](ScriptedDay& d) {
        EXPECT_GE(d.GetPageCount(), 3);
        EXPECT_EQ(d.GetCurrentPage(), 2) << "the third page stays";
        EXPECT_NE(d.GetPage(0)->day.GetHighTemperature(1), 51) << "the server's forecast replaced the old one";
        EXPECT_EQ(Switch(d).GetFirstText(), kCityName);
        EXPECT_EQ(Switch(d).GetSecondText(), DateText(DaysFromToday(2)));
    });
    EXPECT_EQ(screen.Run(nullptr, kCityId, &third, nullptr), ScriptedDay::kScriptEnded);
}

TEST_F(DayForecastUpdateTest, AFailedUpdateShowsItsResultOverTheScreen) {
    ASSERT_FALSE(server_->Control("/control/fault?spec=code:2007").empty());
    AddCity(ForecastXml(DaysFromToday(0), 2));
    ScriptedDay screen;
    HWND box = nullptr;
    ClockTicker clock;
    screen.Then([](ScriptedDay& d) { PostMessageW(d.GetHandle(), WM_COMMAND, CDayForecastDlg::kUpdate, 0); },
                UpdateEnded());
    // The box's own loop runs the script on; it answers the box once it is up.
    screen.Then([](ScriptedDay&) {},
                [&](ScriptedDay& d) {
                    HWND front = GetForegroundWindow();
                    if (front == nullptr || front == d.GetHandle()) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        return false;
                    }
                    box = front;
                    ce::InjectKey(VK_TSOFT1);
                    return true;
                });
    screen.Then([](ScriptedDay&) {}, [](ScriptedDay& d) { return GetForegroundWindow() == d.GetHandle(); });
    screen.Then([](ScriptedDay& d) {
        EXPECT_EQ(d.GetPageCount(), 2) << "the old forecast stays";
        EXPECT_EQ(Switch(d).GetFirstText(), kCityName);
    });
    EXPECT_EQ(screen.Run(nullptr, kCityId, nullptr, nullptr), ScriptedDay::kScriptEnded);
    EXPECT_NE(box, nullptr) << "the result came up in a box";
}

}  // namespace
