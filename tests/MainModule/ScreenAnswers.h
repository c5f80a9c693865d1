// Answers the screens that come up over a window, one after the other, from a thread of its own, while
// the test's thread runs the command that opens them (a modal run returns only once its screens ended).
//
// Each step waits for its screen: a window in front that is neither the given window nor the screen of
// the step before, and whose soft keys are there (a screen takes keys only once its menu bar exists),
// unless the timing says otherwise.
// Then the step's keys are pressed on it. Window handles are never reused, so "not the screen before"
// also holds once that screen has gone. Nothing waits a fixed time: the thread polls these conditions,
// and its time limit only ends a test whose screen never came. Join ends the waiting at once: whatever
// has not come up by the time the command returned will not come.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Framework/UserInterfaceDevice.h"
#include "ce/device.h"
#include "ce/shell.h"
#include "ce/user.h"

namespace screen_test {

struct AnswerTiming {
    // Virtual milliseconds to move the clock on between two looks, so that the transitions of a test on
    // a stopped virtual clock play through; 0 leaves the clock alone.
    uint64_t clockStepMs = 0;
    std::chrono::seconds limit{20};
    // Whether a screen must show its soft keys before it takes keys. Reading them asks the screen's
    // thread, which cannot answer while it plays a transition on a stopped clock that only this thread
    // moves: such tests take the screen in front as it comes.
    bool waitForSoftKeys = true;
};

class ScreenAnswers {
public:
    using Keys = std::vector<UINT>;

    using Timing = AnswerTiming;

    // One step per screen, each with the keys to press on it.
    ScreenAnswers(HWND window, std::vector<Keys> steps, Timing timing = {})
        : steps_(std::move(steps)), timing_(timing), thread_([this, window] { Answer(window); }) {}
    ~ScreenAnswers() { Join(); }
    ScreenAnswers(const ScreenAnswers&) = delete;
    ScreenAnswers& operator=(const ScreenAnswers&) = delete;

    // One key for each screen in turn.
    static std::vector<Keys> OneKeyEach(const std::vector<UINT>& keys) {
        std::vector<Keys> steps;
        for (UINT key : keys) {
            steps.push_back({key});
        }
        return steps;
    }

    // How many screens came up and were answered.
    int Join() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return static_cast<int>(captions_.size());
    }
    // The left soft-key captions of the screens answered, in order (empty where they were not read); call
    // after Join.
    const std::vector<std::u16string>& Captions() const { return captions_; }

private:
    void Answer(HWND window) {
        const auto giveUp = std::chrono::steady_clock::now() + timing_.limit;
        HWND previous = window;
        for (const Keys& keys : steps_) {
            HWND screen = nullptr;
            std::u16string caption;
            while (screen == nullptr) {
                if (stop_ || std::chrono::steady_clock::now() >= giveUp) {
                    return;
                }
                if (timing_.clockStepMs != 0) {
                    ce::AdvanceVirtualClock(timing_.clockStepMs);
                }
                HWND front = GetForegroundWindow();
                if (front != nullptr && front != window && front != previous) {
                    if (timing_.waitForSoftKeys) {
                        caption = framework::test::UserInterfaceDevice::ButtonOf(SHFindMenuBar(front), 0).caption;
                    }
                    screen = caption.empty() && timing_.waitForSoftKeys ? nullptr : front;
                }
                if (screen == nullptr) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            }
            for (UINT key : keys) {
                ce::InjectKey(key);
            }
            captions_.push_back(caption);
            previous = screen;
        }
        // The last screen's closing transition plays on the moved clock too.
        while (timing_.clockStepMs != 0 && !stop_ && std::chrono::steady_clock::now() < giveUp) {
            ce::AdvanceVirtualClock(timing_.clockStepMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    const std::vector<Keys> steps_;
    const Timing timing_;
    std::atomic<bool> stop_{false};
    std::vector<std::u16string> captions_;
    std::thread thread_;
};

}  // namespace screen_test
