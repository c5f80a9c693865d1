// Keeps the virtual clock moving from a thread of its own while it lives, for code that waits on the
// clock from the UI thread (timed slides, transitions) and so cannot be stepped from the test.
#pragma once

#include <atomic>
#include <thread>

#include "ce/device.h"

namespace framework::test {

class ClockRunner {
public:
    explicit ClockRunner(uint64_t step = 2) : m_thread([this, step] {
        while (!m_stop) {
            ce::AdvanceVirtualClock(step);
            std::this_thread::yield();
        }
    }) {}
    ~ClockRunner() {
        m_stop = true;
        m_thread.join();
    }
    ClockRunner(const ClockRunner&) = delete;
    ClockRunner& operator=(const ClockRunner&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace framework::test
