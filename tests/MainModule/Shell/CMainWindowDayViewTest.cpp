// The day view run from the main window: straight onto the city's forecast, or after the question
// whether to update first when the city has no forecast for today; Yes starts the update.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "MainWindowDevice.h"
#include "ScreenAnswers.h"
#include "Shell/CMainWindow.h"
#include "Weather/CForecastUpdater.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"

namespace {

using mainwindow::test::MainWindowDevice;

using screen_test::ScreenAnswers;

// The day view plays its transitions on the stopped virtual clock, which the answers move on.
constexpr ScreenAnswers::Timing kTransitionsPlay{.clockStepMs = 10, .waitForSoftKeys = false};

class MainWindowDayViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override {
        window_.reset();
        CoUninitialize();
    }

    void Open() {
        window_ = std::make_unique<CMainWindow>();
        ASSERT_TRUE(window_->Create(0));
        device_.Pump();
    }
    // Gives the city a forecast of two days from today.
    static void GiveForecast() {
        CCity city;
        ASSERT_TRUE(g_pCityList->GetCity(0, &city));
        for (int day = 0; day < 2; ++day) {
            CDayForecast forecast;
            CDate date;
            date.SetToday();
            date.AddDays(day);
            forecast.SetDate(date);
            city.AddDayForecast(forecast);
        }
        ASSERT_TRUE(g_pCityList->SetCity(0, city));
    }
    // Runs the window's Details command, answering the screens that come; how many came.
    int RunDetails(std::vector<UINT> keys) {
        ScreenAnswers answers(window_->GetHandle(), ScreenAnswers::OneKeyEach(keys), kTransitionsPlay);
        PostMessageW(window_->GetHandle(), WM_COMMAND, 3009, 0);
        device_.Pump();
        return answers.Join();
    }

    MainWindowDevice device_;
    std::unique_ptr<CMainWindow> window_;
};

TEST_F(MainWindowDayViewTest, ACityWithTodaysForecastOpensTheDayViewStraightAway) {
    device_.AddCities({u"DEBE0001"});
    GiveForecast();
    Open();
    EXPECT_EQ(RunDetails({VK_ESCAPE, VK_ESCAPE}), 1) << "only the day view came, and Back closed it";
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
    EXPECT_FALSE(window_->IsPaintingFrozen());
}

TEST_F(MainWindowDayViewTest, ADateWithoutForecastFallsBackToTodayWithoutAsking) {
    device_.AddCities({u"DEBE0001"});
    GiveForecast();
    Open();
    CDate later;
    later.SetToday();
    later.AddDays(20);
    ScreenAnswers answers(window_->GetHandle(), ScreenAnswers::OneKeyEach({VK_ESCAPE, VK_ESCAPE}), kTransitionsPlay);
    window_->ShowView(CMainWindow::kViewDay, &later);
    EXPECT_EQ(answers.Join(), 1) << "no question, only the day view";
}

TEST_F(MainWindowDayViewTest, WithoutAForecastTheWindowAsksFirstAndOpensTheDayViewOnNo) {
    device_.AddCities({u"DEBE0001"});
    Open();
    EXPECT_EQ(RunDetails({VK_TSOFT2, VK_ESCAPE, VK_ESCAPE}), 2) << "the question, then the day view";
    EXPECT_EQ(GetForegroundWindow(), window_->GetHandle());
}

TEST_F(MainWindowDayViewTest, YesToTheQuestionUpdatesTheCitiesFromTheServer) {
    WeatherServerProcess server{{"--date", "2026120912"}};
    ASSERT_GT(server.Port(), 0);
    ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
    ce::ReloadProfile();
    device_.AddCities({u"DEBE0001"}, 24 * 20);
    CForecastUpdater updater(g_pCityList, IID_DestNetInternet);
    ASSERT_TRUE(updater.Initialize());
    g_pForecastUpdater = &updater;
    Open();

    EXPECT_EQ(RunDetails({VK_TSOFT1, VK_ESCAPE, VK_ESCAPE}), 2) << "Yes, then Back from the day view";
    for (int i = 0; i < 2000 && (updater.IsRunning() || [] {
                        CCity city;
                        return g_pCityList->GetCity(0, &city) && city.GetDayForecasts().empty();
                    }());
         ++i) {
        ce::AdvanceVirtualClock(10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    CCity city;
    ASSERT_TRUE(g_pCityList->GetCity(0, &city));
    CDate today;
    today.SetToday();
    CDayForecast day;
    EXPECT_TRUE(city.GetDayForecast(today, &day)) << "the update brought today's forecast";

    window_.reset();
    updater.Shutdown();
    g_pForecastUpdater = nullptr;
}

}  // namespace
