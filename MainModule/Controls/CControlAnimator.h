// The drawing thread of an animated control: runs a step every period until it is asked to stop.
// Ticks stay a period apart: a slow step shortens the next wait instead of delaying every later tick.
#pragma once

#include <functional>

#include "ce/kernel.h"

class CControlAnimator {
public:
    static constexpr DWORD kPeriod = 300;

    CControlAnimator();
    CControlAnimator(const CControlAnimator&) = delete;
    CControlAnimator& operator=(const CControlAnimator&) = delete;
    // Stops and joins the thread.
    ~CControlAnimator();

    // Starts the thread that calls step on every tick; false when it cannot be started or already runs.
    bool Start(std::function<void()> step);
    // Asks the thread to end and waits for it; nothing when none runs.
    void Stop();
    bool IsRunning() const { return m_thread != nullptr; }

    // The wait before the next tick when the last step took the given time.
    static DWORD NextWait(DWORD elapsed) { return elapsed >= kPeriod ? 0 : kPeriod - elapsed; }

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void Run();

    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    std::function<void()> m_step;
};
