// The main window's current-conditions and hourly views, opened from its menu: the question whether to
// update first when their data is old or missing, the answers, and the views that follow each other.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "ForecastScreenTest.h"
#include "MainWindowDevice.h"
#include "Shell/CMainWindow.h"

namespace {

using mainwindow::test::MainWindowDevice;

// Answers the screens that come over the window one after the other, each once, on a thread of its
// own: the first screen that is not the window gets the first answer, the next one the second, ...
class ScreenSequence {
public:
    using Answer = std::function<void(HWND)>;

    ScreenSequence(HWND window, std::vector<Answer> answers)
        : thread_([this, window, answers = std::move(answers)] {
              const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              HWND answered = nullptr;
              for (const Answer& answer : answers) {
                  HWND front = nullptr;
                  while (!stop_ && std::chrono::steady_clock::now() < giveUp) {
                      front = GetForegroundWindow();
                      if (front != nullptr && front != window && front != answered) {
                          break;
                      }
                      front = nullptr;
                      std::this_thread::sleep_for(std::chrono::milliseconds(2));
                  }
                  if (front == nullptr) {
                      return;
                  }
                  answer(front);
                  answered = front;
                  ++shown_;
              }
          }) {}
    ~ScreenSequence() { Join(); }
    // How many screens came up and were answered.
    int Join() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return shown_;
    }

    static Answer Key(UINT key) {
        return [key](HWND) { ce::InjectKey(key); };
    }
    static Answer Command(int id) {
        return [id](HWND screen) { PostMessageW(screen, WM_COMMAND, static_cast<WPARAM>(id), 0); };
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> shown_{0};
    std::thread thread_;
};

class MainWindowDetailViewsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override {
        window_.reset();
        if (updater_ != nullptr) {
            updater_->Shutdown();
        }
        g_pForecastUpdater = nullptr;
        CoUninitialize();
    }

    void Open() {
        window_ = std::make_unique<CMainWindow>();
        ASSERT_TRUE(window_->Create(0));
        device_.Pump();
    }
    // Runs a command of the window's menu while the sequence answers the screens; how many came up.
    int RunCommand(int command, std::vector<ScreenSequence::Answer> answers) {
        ScreenSequence sequence(window_->GetHandle(), std::move(answers));
        {
            skin_test::ClockTicker clock;
            PostMessageW(window_->GetHandle(), WM_COMMAND, static_cast<WPARAM>(command), 0);
            device_.Pump();
        }
        return sequence.Join();
    }
    void UseWeatherServer() {
        updater_ = forecast_screen_test::MakeUpdater(server_);
        ASSERT_NE(updater_, nullptr);
        g_pForecastUpdater = updater_.get();
    }
    void WaitForUpdate() {
        skin_test::ClockTicker clock;  // the update waits its delay on the device's clock
        for (int i = 0; i < 2000 && updater_->IsRunning(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_FALSE(updater_->IsRunning());
        device_.Pump();
    }

    MainWindowDevice device_;
    WeatherServerProcess server_{{"--date", "2026120912"}};
    std::unique_ptr<CForecastUpdater> updater_;
    std::unique_ptr<CMainWindow> window_;
};

constexpr UINT kYes = VK_TSOFT1;
constexpr UINT kNo = VK_TSOFT2;
constexpr UINT kBack = VK_TSOFT1;

TEST_F(MainWindowDetailViewsTest, ConditionsFiveHoursOldOfferAnUpdateBeforeTheViewAndFourHoursOldDoNot) {
    device_.AddCities({u"DEBE0001"}, 5);
    Open();
    EXPECT_EQ(RunCommand(3012, {ScreenSequence::Key(kNo), ScreenSequence::Key(kBack), ScreenSequence::Key(kBack)}), 2)
        << "the question, then the view";
    EXPECT_FALSE(window_->IsPaintingFrozen()) << "Back ended the views";

    CCity city;
    ASSERT_TRUE(g_pCityList->GetCity(0, &city));
    FILETIME updated;
    city.GetUpdateFileTime(&updated);
    CSysInfo::AddToFileTime(&updated, 5 * 60000);  // five minutes short of five hours
    city.SetUpdateFileTime(&updated);
    ASSERT_TRUE(g_pCityList->SetCity(0, city));
    EXPECT_EQ(RunCommand(3012, {ScreenSequence::Key(kBack), ScreenSequence::Key(kBack)}), 1) << "the view only";
}

TEST_F(MainWindowDetailViewsTest, AYesToTheQuestionUpdatesEveryCity) {
    UseWeatherServer();
    device_.AddCities({u"DEBE0001", u"FRXX0002"}, 24 * 20);
    Open();
    EXPECT_EQ(RunCommand(3034, {ScreenSequence::Key(kYes), ScreenSequence::Key(kBack)}), 2)
        << "no hours for today: the question, then the view";
    WaitForUpdate();
    for (int index : {0, 1}) {
        CCity city;
        ASSERT_TRUE(g_pCityList->GetCity(index, &city));
        CHourForecastSet hours;
        CDate today;
        today.SetToday();
        EXPECT_TRUE(city.GetHourForecasts(today, &hours)) << index;
    }
    EXPECT_EQ(RunCommand(3034, {ScreenSequence::Key(kBack), ScreenSequence::Key(kBack)}), 1)
        << "with today's hours the view opens at once";
}

TEST_F(MainWindowDetailViewsTest, AViewCommandOfTheCurrentConditionsLeadsToThatView) {
    device_.AddCities({u"DEBE0001"}, 1);
    Open();
    // Current conditions, then the hourly view (which asks first: no hours), then back to the window.
    EXPECT_EQ(RunCommand(3012, {ScreenSequence::Command(3034), ScreenSequence::Key(kNo), ScreenSequence::Key(kBack),
                                ScreenSequence::Key(kBack)}),
              3);
    EXPECT_FALSE(window_->IsPaintingFrozen());
}

}  // namespace
