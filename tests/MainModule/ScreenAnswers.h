// Answers the screens that come up over a window, one after the other, from a thread of its own: each
// new screen in front gets the next key once its soft-key bar is there, and the caption of its left
// soft key is kept, so that a test sees which screens came in which order.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Framework/UserInterfaceDevice.h"
#include "ce/device.h"
#include "ce/shell.h"

namespace mainwindow::test {

class ScreenAnswers {
public:
    ScreenAnswers(HWND window, std::vector<UINT> keys)
        : keys_(std::move(keys)), thread_([this, window] { Answer(window); }) {}
    ~ScreenAnswers() { Join(); }
    ScreenAnswers(const ScreenAnswers&) = delete;
    ScreenAnswers& operator=(const ScreenAnswers&) = delete;

    // The left soft-key captions of the screens answered, once every key was given or time ran out.
    const std::vector<std::u16string>& Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return captions_;
    }

private:
    void Answer(HWND window) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        HWND answered = nullptr;
        size_t next = 0;
        while (next < keys_.size() && std::chrono::steady_clock::now() < giveUp) {
            HWND front = GetForegroundWindow();
            HWND bar = front != nullptr && front != window && front != answered ? SHFindMenuBar(front) : nullptr;
            const auto key = framework::test::UserInterfaceDevice::ButtonOf(bar, 0);
            if (bar != nullptr && !key.caption.empty()) {
                captions_.push_back(key.caption);
                answered = front;
                ce::InjectKey(keys_[next++]);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::vector<UINT> keys_;
    std::vector<std::u16string> captions_;
    std::thread thread_;
};

}  // namespace mainwindow::test
