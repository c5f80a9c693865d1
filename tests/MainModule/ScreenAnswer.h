// Answers a screen that a modal run puts up over a window: waits on its own thread until another
// window than the given one is in front, then presses a soft key on it.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "ce/device.h"
#include "ce/user.h"

namespace screen_test {

class ScreenAnswer {
public:
    ScreenAnswer(HWND window, UINT key)
        : thread_([this, window, key] {
              const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              while (!stop_ && std::chrono::steady_clock::now() < giveUp) {
                  HWND front = GetForegroundWindow();
                  if (front != nullptr && front != window) {
                      shown_ = true;
                      ce::InjectKey(key);
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(2));
              }
          }) {}
    ~ScreenAnswer() { Join(); }
    ScreenAnswer(const ScreenAnswer&) = delete;
    ScreenAnswer& operator=(const ScreenAnswer&) = delete;

    // True once a screen came up and was answered.
    bool Join() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return shown_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> shown_{false};
    std::thread thread_;
};

}  // namespace screen_test
