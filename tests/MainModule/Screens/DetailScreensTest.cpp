// The two detail screens run for real over cities whose forecasts come from the weather server's model:
// what the switch and the detail control show, day and night pictures, the part-of-day pages turned by
// key, arrow and stroke, the commands that end them, and an update run from a screen against the
// weather server on loopback.
#include <gtest/gtest.h>

#include <string>

#include "Controls/CDetailForecastControl.h"
#include "ForecastScreenTest.h"
#include "Screens/CDetailCurConditionDlg.h"
#include "Screens/CDetailPartOfDayForecastDlg.h"
#include "Weather/CUnitConversion.h"
#include "Weather/WeatherStateTable.h"

namespace {

using namespace skin_test;
using namespace forecast_screen_test;
using ScriptedCurrent = ScriptedScreen<CDetailCurConditionDlg>;
using ScriptedPart = ScriptedScreen<CDetailPartOfDayForecastDlg>;

constexpr int kMorning = 0;
constexpr int kDay = 1;
constexpr int kEvening = 2;

CDetailForecastControl& Detail(CDetailForecastDlg& d) { return *d.GetDetail(); }
CSwitchControl& Switch(CDetailForecastDlg& d) { return *d.GetSwitch(); }
bool ArrowOn(CDetailForecastDlg& d, int arrow) { return IsArrowOn(d.GetSwitch(), arrow); }

int Temperature(const CCity& city, int part) {
    CDayPartsForecast parts;
    CHourForecast hour;
    EXPECT_TRUE(city.GetDayPartsForecast(CDate(2026, 12, 9), &parts));
    EXPECT_TRUE(parts.GetPart(part, &hour));
    return hour.GetTemperature(0);
}

class DetailScreensTest : public ForecastScreenTest {
protected:
    static CCity AddCity(const std::string& forecast, LPCWSTR name) { return MakeCity(forecast, name); }
};

TEST_F(DetailScreensTest, TheCurrentConditionsShowTheCityTheForecastTimeAndTheObservedValues) {
    GetSettings().windSpeedUnit = 0;
    GetSettings().pressureUnit = 0;
    const CCity city = AddCity(ModelForecast("DEBE0001", 12, 24), u"Berlin");
    CCurrentCondition observed;
    ASSERT_TRUE(city.GetCurrentCondition(&observed));
    ScriptedCurrent screen;
    screen.Then([&](ScriptedCurrent& d) {
        EXPECT_EQ(Switch(d).GetFirstText(), u"Berlin");
        EXPECT_EQ(Switch(d).GetSecondText(), u"Forecast of 11:00 AM");
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kLeftArrow));
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kRightArrow));
        const DetailForecastData data = Detail(d).GetData();
        EXPECT_EQ(data.flags & 0x1FFF, 0x1u | 0x2 | 0x4 | 0x40 | 0x80 | 0x100 | 0x200 | 0x1000);
        EXPECT_EQ(data.firstTemperature, observed.GetTemperature(0));
        EXPECT_EQ(data.windSpeed, observed.GetWindSpeed(0)) << "km/h by default";
        EXPECT_EQ(data.humidity, observed.GetHumidity());
        EXPECT_FLOAT_EQ(data.pressure, observed.GetPressure(0));
        EXPECT_EQ(std::u16string(data.windUnit), u"km/h");
        EXPECT_EQ(std::u16string(data.pressureUnit), u"inHg");
        EXPECT_EQ(data.pictures[0], observed.GetIconIndex()) << "noon is daylight";
        const CToolBarControl& toolbar = *d.GetToolbar();
        EXPECT_EQ(toolbar.GetButton(2).picture, 63);
        EXPECT_EQ(toolbar.GetButton(2).command, 3009);
        EXPECT_EQ(d.GetMenuInfo().GetCommand(0), 3008);
        const auto* views = d.GetMenuInfo().GetPopup(1)->FindItem(3040);
        ASSERT_NE(views, nullptr);
        ASSERT_EQ(views->GetSubItems()->GetCount(), 3);
        EXPECT_EQ(views->GetSubItems()->GetAt(0).GetCommand(), 3009);
        EXPECT_EQ(views->GetSubItems()->GetAt(1).GetCommand(), 3034);
        // Neither the arrows' keys nor a stroke have anything to turn here.
        ce::InjectKey(VK_RIGHT);
        const int y = d.GetClientHeight() / 2;
        d.Down(200, y);
        d.MoveTo(20, y);
        d.Up(20, y);
    });
    screen.Then([&](ScriptedCurrent& d) {
        EXPECT_EQ(Switch(d).GetFirstText(), u"Berlin");
        EXPECT_EQ(screen.GetResult(), -1) << "still open";
        RECT bar;
        d.GetToolbar()->GetRect(&bar);
        d.Tap((bar.left + bar.right) / 2 + 5, (bar.top + bar.bottom) / 2);  // the third of four buttons
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr), 3009) << "the day forecast's button ends the screen with it";
}

TEST_F(DetailScreensTest, WithoutSunTimesForTodayDaylightRunsFromSevenToEight) {
    CCity city;  // no forecast: no sunrise or sunset known
    SYSTEMTIME at{2026, 12, 3, 9, 6, 59, 0, 0};
    EXPECT_FALSE(CDetailCurConditionDlg::IsDaytime(city, at));
    at.wMinute = 0;
    at.wHour = 7;
    EXPECT_TRUE(CDetailCurConditionDlg::IsDaytime(city, at));
    at.wHour = 19;
    at.wMinute = 59;
    EXPECT_TRUE(CDetailCurConditionDlg::IsDaytime(city, at));
    at.wHour = 20;
    at.wMinute = 0;
    EXPECT_FALSE(CDetailCurConditionDlg::IsDaytime(city, at));

    ASSERT_TRUE(city.ParseForecastXml(
        "<W><FORECAST LOCATIONID=\"DEBE0001\" DAY1FCST_VALID_DAY=\"20261209\" DAY1SUNRISE=\"8:15 am\" "
        "DAY1SUNSET=\"4:00 pm\"/></W>"));
    at.wHour = 8;
    at.wMinute = 14;
    EXPECT_FALSE(CDetailCurConditionDlg::IsDaytime(city, at)) << "before today's own sunrise";
    at.wMinute = 15;
    EXPECT_TRUE(CDetailCurConditionDlg::IsDaytime(city, at));
    at.wHour = 16;
    at.wMinute = 0;
    EXPECT_FALSE(CDetailCurConditionDlg::IsDaytime(city, at));
    at.wDay = 10;
    at.wHour = 17;
    EXPECT_TRUE(CDetailCurConditionDlg::IsDaytime(city, at)) << "another day's sun times do not count";
}

TEST_F(DetailScreensTest, BeforeSevenWithoutSunTimesTheScreenShowsTheNightPicture) {
    ce::EnableVirtualClock(kNoonUtc - 5 * 60 * kMinuteMs - kMinuteMs);  // 06:59
    AddCity("<W><FORECAST LOCATIONID=\"DEBE0001\"/><WXWSOBS TEMPERATURE=\"41\" SKY=\"Sunny\"/></W>", u"Berlin");
    const int sunny = WeatherStateTable::FindByEnglishText(u"Sunny");
    ASSERT_NE(WeatherStateTable::GetNightImage(sunny), WeatherStateTable::GetDayImage(sunny));
    ScriptedCurrent screen;
    screen.Then([&](ScriptedCurrent& d) {
        const DetailForecastData data = Detail(d).GetData();
        EXPECT_EQ(data.pictureCount, 1);
        EXPECT_EQ(data.pictures[0], WeatherStateTable::GetNightImage(sunny));
        EXPECT_EQ(data.firstTemperature, 5);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr), IDOK);
}

TEST_F(DetailScreensTest, ACityWithoutObservationsShowsTheFirstStateAndNoValues) {
    AddCity("<W><FORECAST LOCATIONID=\"DEBE0001\"/></W>", u"Berlin");
    ScriptedCurrent screen;
    screen.Then([&](ScriptedCurrent& d) {
        const DetailForecastData data = Detail(d).GetData();
        EXPECT_EQ(data.flags, 0x1u | 0x2);
        EXPECT_EQ(data.pictures[0], WeatherStateTable::GetDayImage(0));
        EXPECT_EQ(std::u16string(data.weatherText), u"No forecast");
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr), IDOK);
}

TEST_F(DetailScreensTest, ALocaleTimeWithSecondsShowsTheForecastTimeInHoursAndMinutes) {
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "de-DE"));
    ce::ReloadProfile();
    AddCity(ModelForecast("DEBE0001", 12, 2), u"Berlin");
    ScriptedCurrent screen;
    screen.Then([&](ScriptedCurrent& d) {
        EXPECT_EQ(Switch(d).GetSecondText(), u"Forecast of 11:00");
        d.EndDialog(IDOK);
    });
    screen.Run(nullptr, u"DEBE0001", nullptr);
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "en-US"));
    ce::ReloadProfile();
}

TEST_F(DetailScreensTest, RunShowsNothingForANullIdOrDateOrACityNotInTheList) {
    AddCity(ModelForecast("DEBE0001", 12, 2), u"Berlin");
    const CDate today(2026, 12, 9);
    CDetailCurConditionDlg current;
    EXPECT_EQ(current.Run(nullptr, nullptr, nullptr), 3);
    EXPECT_EQ(current.Run(nullptr, u"FRXX0002", nullptr), 3);
    CDetailPartOfDayForecastDlg part;
    EXPECT_EQ(part.Run(nullptr, nullptr, &today, kMorning, nullptr), 3);
    EXPECT_EQ(part.Run(nullptr, u"DEBE0001", nullptr, kMorning, nullptr), 3);
    EXPECT_EQ(part.Run(nullptr, u"FRXX0002", &today, kMorning, nullptr), 3);
}

// A day with its morning and evening only: the pages skip the missing day part.
TEST_F(DetailScreensTest, ThePartPagesStepOverMissingPartsByKeyArrowAndStroke) {
    const CCity city = AddCity(HoursOnly("DEBE0001", {7, 19}), u"Berlin");
    const CDate today(2026, 12, 9);
    ClockTicker ticker;
    ScriptedPart screen;
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(Switch(d).GetFirstText(), u"Wed, 09 Dec");
        EXPECT_EQ(Switch(d).GetSecondText(), u"Morning");
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kLeftArrow)) << "the first part of the day";
        EXPECT_TRUE(ArrowOn(d, CSwitchControl::kRightArrow));
        EXPECT_EQ(Detail(d).GetData().firstTemperature, Temperature(city, kMorning));
        ce::InjectKey(VK_RIGHT);
    });
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(d.GetPart(), kEvening) << "over the missing day part";
        EXPECT_EQ(Switch(d).GetSecondText(), u"Evening");
        EXPECT_TRUE(ArrowOn(d, CSwitchControl::kLeftArrow));
        EXPECT_FALSE(ArrowOn(d, CSwitchControl::kRightArrow)) << "the last part of the day";
        EXPECT_EQ(Detail(d).GetData().firstTemperature, Temperature(city, kEvening));
        ce::InjectKey(VK_RIGHT);
        Stroke(d, 200, 20);
    });
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(d.GetPart(), kEvening) << "nothing after the last part";
        Stroke(d, 100, 160);
    });
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(d.GetPart(), kEvening) << "60 pixels are no stroke";
        Stroke(d, 20, 230);
    });
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(d.GetPart(), kMorning) << "a stroke to the right goes back, one part a stroke";
        const POINT right = CentreOf(&Switch(d));
        RECT arrow = Switch(d).GetArrowRect(CSwitchControl::kRightArrow);
        RECT place;
        Switch(d).GetRect(&place);
        d.Tap(place.left + (arrow.left + arrow.right) / 2, right.y);
    });
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(d.GetPart(), kEvening) << "the switch's right arrow";
        EXPECT_EQ(Detail(d).GetData().firstTemperature, Temperature(city, kEvening));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &today, kMorning, nullptr), IDOK);
}

TEST_F(DetailScreensTest, APartScreenEndsWithItsViewCommandsAndGoesBackOnTheBackKey) {
    AddCity(ModelForecast("DEBE0001", 7, 20), u"Berlin");
    const CDate today(2026, 12, 9);
    for (int command : {3010, 3012, 3014, 3034}) {
        ScriptedPart screen;
        screen.Then([&](ScriptedPart& d) {
            EXPECT_EQ(d.GetMenuInfo().GetCommand(0), 3008);
            PostMessageW(d.GetHandle(), WM_COMMAND, 3009, 0);  // not a view of this screen
            PostMessageW(d.GetHandle(), WM_COMMAND, command, 0);
        });
        EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &today, kDay, nullptr), command);
    }
    ScriptedPart screen;
    screen.passBackKeys = true;
    screen.Then([](ScriptedPart&) { ce::InjectKey(VK_ESCAPE); });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &today, kDay, nullptr), IDOK);
}

TEST_F(DetailScreensTest, APartThatIsNotThereShowsNothingAndKeepsTheScreenOpen) {
    AddCity(HoursOnly("DEBE0001", {7}), u"Berlin");
    const CDate today(2026, 12, 9);
    ScriptedPart screen;
    screen.Then([&](ScriptedPart& d) {
        EXPECT_EQ(Detail(d).GetData().flags, 0u) << "the night is not known";
        EXPECT_EQ(Switch(d).GetSecondText(), u"Night");
        EXPECT_EQ(d.GetToolbar()->GetButton(2).command, 3012) << "the toolbar still has its buttons";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &today, 3, nullptr), IDOK);
}

// The rectangles of the switch, the separator, the detail control and the toolbar on the client area.
struct Placement {
    RECT client{};
    RECT cities{};
    RECT separator{};
    RECT detail{};
    RECT toolbar{};
    bool hasToolbar = false;
};

Placement PlacementOf(CDetailForecastDlg& d) {
    Placement p;
    d.GetClientRect(&p.client);
    d.GetSwitch()->GetRect(&p.cities);
    d.GetLayout()->FindControl(CDetailForecastDlg::kSeparator)->GetRect(&p.separator);
    d.GetDetail()->GetRect(&p.detail);
    if (CToolBarControl* toolbar = d.GetToolbar()) {
        toolbar->GetRect(&p.toolbar);
        p.hasToolbar = true;
    }
    return p;
}

Placement PlaceOn(const char* kind) {
    EXPECT_TRUE(ce::SetProfileString("device", "kind", kind));
    ce::ReloadProfile();
    CSysInfo device(GetModuleHandleW(nullptr));
    g_pSysInfo = &device;
    Placement placed;
    const CDate today(2026, 12, 9);
    ScriptedPart screen;
    screen.Then([&](ScriptedPart& d) {
        placed = PlacementOf(d);
        d.EndDialog(IDOK);
    });
    screen.Run(nullptr, u"DEBE0001", &today, kMorning, nullptr);
    g_pSysInfo = nullptr;
    return placed;
}

TEST_F(DetailScreensTest, TheToolbarTakesTheBottomBandAndASmartphoneHasNone) {
    AddCity(ModelForecast("DEBE0001", 7, 20), u"Berlin");
    CSysInfo* own = g_pSysInfo;

    const Placement portrait = PlaceOn("pocketpc");
    ASSERT_TRUE(portrait.hasToolbar);
    EXPECT_EQ(portrait.toolbar.bottom, portrait.client.bottom);
    EXPECT_EQ(portrait.toolbar.bottom - portrait.toolbar.top, 50);
    EXPECT_EQ(portrait.toolbar.right - portrait.toolbar.left, portrait.client.right);
    EXPECT_EQ(portrait.cities.top, 0);
    EXPECT_EQ(portrait.cities.bottom, 40);
    EXPECT_EQ(portrait.separator.top, 40);
    EXPECT_EQ(portrait.separator.bottom, 42);
    EXPECT_EQ(portrait.detail.top, 42);
    EXPECT_EQ(portrait.detail.bottom, portrait.toolbar.top) << "the detail control fills the rest";

    const Placement smartphone = PlaceOn("smartphone");
    EXPECT_FALSE(smartphone.hasToolbar);
    EXPECT_EQ(smartphone.detail.bottom, smartphone.client.bottom) << "down to the bottom of the screen";
    EXPECT_EQ(smartphone.cities.right, smartphone.client.right);
    ce::SetProfileString("device", "kind", "pocketpc");
    ce::ReloadProfile();
    g_pSysInfo = own;
}

// The updater tells the screen from its worker thread; the screen brings itself up to date on its own.
class DetailScreensUpdateTest : public ForecastScreenUpdateTest {
protected:
    static CCity AddCity(const std::string& forecast, LPCWSTR name) { return MakeCity(forecast, name); }
};

TEST_F(DetailScreensUpdateTest, AnUpdateFromThePartScreenShowsTheNewValues) {
    AddCity(HoursOnly("DEBE0001", {7, 13, 19}), u"Berlin");
    const CDate today(2026, 12, 9);
    ScriptedPart screen;
    screen.Then([](ScriptedPart& d) { PostMessageW(d.GetHandle(), WM_COMMAND, 3011, 0); },
                [&](ScriptedPart& d) { return Updated() && Switch(d).GetSecondText() == u"Day"; });
    screen.Then([&](ScriptedPart& d) {
        CCity updated;
        ASSERT_TRUE(g_pCityList->GetCityById(u"DEBE0001", &updated));
        EXPECT_EQ(Detail(d).GetData().firstTemperature, Temperature(updated, kDay));
        EXPECT_NE(Detail(d).GetData().firstTemperature, CUnitConversion::Temperature(40 + 13, 0))
            << "no longer the cached value";
        EXPECT_TRUE(ArrowOn(d, CSwitchControl::kRightArrow));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", &today, kDay, nullptr), IDOK);
}

TEST_F(DetailScreensUpdateTest, AFailedUpdateShowsItsResultOverTheScreen) {
    ASSERT_FALSE(server_.Control("/control/fault?spec=code:2007").empty());
    AddCity(ModelForecast("DEBE0001", 12, 2), u"Berlin");
    ClockTicker ticker;
    ScriptedCurrent screen;
    screen.Then([](ScriptedCurrent& d) { PostMessageW(d.GetHandle(), WM_COMMAND, 3011, 0); },
                [&](ScriptedCurrent& d) { return Updated() && GetForegroundWindow() != d.GetHandle(); });
    screen.Then([](ScriptedCurrent&) { ce::InjectKey(VK_TSOFT1); },
                [](ScriptedCurrent& d) { return GetForegroundWindow() == d.GetHandle(); });
    screen.Then([&](ScriptedCurrent& d) {
        EXPECT_EQ(Switch(d).GetSecondText(), u"Forecast of 11:00 AM") << "the city is as it was";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(screen.Run(nullptr, u"DEBE0001", nullptr), IDOK);
}

}  // namespace
