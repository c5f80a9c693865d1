// Answers the screens that a window opens over itself, from a thread of its own: each step waits until
// a new screen is in front (neither the window nor the screen of the step before) with its soft keys,
// and presses its keys.
// For tests that run a window's command, which returns only once its screens have ended.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "Framework/UserInterfaceDevice.h"
#include "ce/device.h"
#include "ce/shell.h"
#include "ce/user.h"

namespace mainwindow::test {

class ScreenKeys {
public:
    using Keys = std::vector<UINT>;

    ScreenKeys(HWND window, std::vector<Keys> steps)
        : thread_([this, window, steps = std::move(steps)] {
              const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              HWND previous = window;
              for (const Keys& keys : steps) {
                  HWND front = nullptr;
                  while (!stop_ && std::chrono::steady_clock::now() < giveUp) {
                      front = GetForegroundWindow();
                      // A screen takes keys once its soft keys are there.
                      if (front != nullptr && front != window && front != previous &&
                          !framework::test::UserInterfaceDevice::ButtonOf(SHFindMenuBar(front), 0).caption.empty()) {
                          break;
                      }
                      std::this_thread::sleep_for(std::chrono::milliseconds(2));
                  }
                  if (stop_ || std::chrono::steady_clock::now() >= giveUp) {
                      return;
                  }
                  previous = front;
                  for (UINT key : keys) {
                      ce::InjectKey(key);
                  }
                  ++answered_;
              }
          }) {}
    ~ScreenKeys() { Join(); }
    ScreenKeys(const ScreenKeys&) = delete;
    ScreenKeys& operator=(const ScreenKeys&) = delete;

    // How many steps found their screen.
    int Join() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return answered_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

}  // namespace mainwindow::test
