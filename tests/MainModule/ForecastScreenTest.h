// The fixture of the forecast screens' tests: the skin, the English texts and fonts, a city list of the
// process whose cities hold forecasts of the weather server's model, the virtual clock at noon of
// 2026-12-09 (the device's local time too), and for the update tests the weather server on loopback
// with the process's forecast updater.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>

#include "CGdiFactory.h"
#include "Controls/CSwitchControl.h"
#include "ForecastDocument.h"
#include "ScreenTest.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"

namespace forecast_screen_test {

constexpr uint64_t kNoonUtc = 1796817600000;  // 2026-12-09 12:00 UTC
constexpr uint64_t kMinuteMs = 60000;

// The model's forecast text of a day, its hourly forecasts from `firstHour` of that day on.
inline std::string ModelForecast(const std::string& id, int firstHour, int hours,
                                 CalendarDate today = CalendarDate{2026, 12, 9}) {
    ForecastRequest request;
    request.place = Place{id, 52.5, 13.4};
    request.today = today;
    request.hour = firstHour;
    request.hours = hours;
    return ForecastDocument::Build(request);
}

// A forecast of only the given hours of 2026-12-09, each at 40 F plus the hour.
inline std::string HoursOnly(const std::string& id, std::initializer_list<int> hours) {
    std::string out = "<W><FORECAST LOCATIONID=\"" + id +
                      "\" DAY1FCST_VALID_DAY=\"20261209\" DAY1SUNRISE=\"7:30 am\" DAY1SUNSET=\"4:00 pm\"/><hc>";
    for (int hour : hours) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "<data LocalDate=\"2026-12-09 %02d:00:00\" LocalTime=\"%d\" TemperatureFahrenHeit=\"%d\" "
                      "SkyCode=\"66\"/>",
                      hour, hour * 10000, 40 + hour);
        out += line;
    }
    return out + "</hc></W>";
}

inline bool IsArrowOn(const CSwitchControl* control, int arrow) {
    return control->GetArrowState(arrow) != CSwitchControl::kDisabled;
}

// The process's forecast updater, its server names pointed at the weather server; null when the
// server did not come up or the updater cannot be set up.
inline std::unique_ptr<CForecastUpdater> MakeUpdater(const WeatherServerProcess& server) {
    if (server.Port() <= 0) {
        return nullptr;
    }
    ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
    ce::ReloadProfile();
    auto updater = std::make_unique<CForecastUpdater>(g_pCityList, IID_DestNetInternet);
    return updater->Initialize() ? std::move(updater) : nullptr;
}

class ForecastScreenTest : public skin_test::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ce::EnableVirtualClock(kNoonUtc);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        fonts_ = std::make_unique<CGdiFactory>(device_.SysInfo());
        g_pGdiFactory = fonts_.get();
        cities_ = std::make_unique<CCityList>();
        g_pCityList = cities_.get();
        GetSettings() = CSettings();
    }
    void TearDown() override {
        g_pCityList = nullptr;
        g_pGdiFactory = nullptr;
        CoUninitialize();
        ScreenTest::TearDown();
    }

    // The city of the forecast text, named and last updated an hour ago; added to the list unless it
    // is there, else put in place of it.
    static CCity MakeCity(const std::string& forecast, LPCWSTR name) {
        CCity city;
        EXPECT_TRUE(city.ParseForecastXml(forecast.c_str()));
        city.SetName(name);
        SYSTEMTIME now;
        GetLocalTime(&now);
        FILETIME updated;
        SystemTimeToFileTime(&now, &updated);
        CSysInfo::AddToFileTime(&updated, -3600000);
        city.SetUpdateFileTime(&updated);
        if (!g_pCityList->SetCityById(city.GetLocationId(), &city)) {
            EXPECT_TRUE(g_pCityList->AddCity(city));
        }
        return city;
    }
    // A sideways stroke across the middle of a screen.
    template <class Screen>
    static void Stroke(Screen& d, int fromX, int toX) {
        const int y = d.GetClientHeight() / 2;
        d.Down(fromX, y);
        for (int step = 1; step <= 4; ++step) {
            d.MoveTo(fromX + (toX - fromX) * step / 4, y);
        }
        d.Up(toX, y);
    }

    std::unique_ptr<CGdiFactory> fonts_;
    std::unique_ptr<CCityList> cities_;
};

// The same with the weather server answering the process's forecast updater.
class ForecastScreenUpdateTest : public ForecastScreenTest {
protected:
    void SetUp() override {
        ForecastScreenTest::SetUp();
        updater_ = MakeUpdater(server_);
        ASSERT_NE(updater_, nullptr);
        g_pForecastUpdater = updater_.get();
    }
    void TearDown() override {
        if (updater_ != nullptr) {
            updater_->Shutdown();
        }
        g_pForecastUpdater = nullptr;
        ForecastScreenTest::TearDown();
    }
    // For a script's step that waits on the update: the updater's worker runs in real time, so a step
    // that finds it still running gives it a few milliseconds before the script asks again.
    bool Updated() const {
        if (!updater_->IsRunning()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return false;
    }

    WeatherServerProcess server_{{"--date", "2026120912"}};
    std::unique_ptr<CForecastUpdater> updater_;
};

}  // namespace forecast_screen_test
