// The city list run from the main window: the window shows the city chosen on the screen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "Controls/CSwitchControl.h"
#include "MainWindowDevice.h"
#include "ScreenTest.h"
#include "Shell/CMainWindow.h"
#include "ce/shell.h"

namespace {

using mainwindow::test::MainWindowDevice;

class MainWindowCityListTest : public ::testing::Test {
protected:
    std::u16string SwitchText() {
        return static_cast<CSwitchControl*>(window_->GetLayout().FindControl(0))->GetFirstText();
    }

    MainWindowDevice device_;
    std::unique_ptr<CMainWindow> window_;
};

TEST_F(MainWindowCityListTest, TheWindowShowsTheCityChosenOnTheCityList) {
    device_.AddCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"});
    window_ = std::make_unique<CMainWindow>();
    ASSERT_TRUE(window_->Create(2));
    device_.Pump();
    // On the screen: one row up, then Select.
    std::atomic<bool> answered{false};
    std::thread user([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < giveUp) {
            HWND front = GetForegroundWindow();
            if (front != nullptr && front != window_->GetHandle() && SHFindMenuBar(front) != nullptr) {
                ce::InjectKey(VK_UP);
                ce::InjectKey(VK_TSOFT1);
                answered = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    {
        skin_test::ClockTicker clock;
        PostMessageW(window_->GetHandle(), WM_COMMAND, 3010, 0);
        device_.Pump();
    }
    user.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(window_->GetCityIndex(), 1);
    EXPECT_EQ(SwitchText(), u"FRXX0002");
    EXPECT_FALSE(window_->IsPaintingFrozen());
}

}  // namespace
