// The message queue of one thread: posted messages, messages sent from other threads, the quit
// request, timers, and the thread's active, focus and capture windows.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "ce/user.h"

namespace ce::detail {

class ThreadQueue;

// A message sent from another thread; the sender waits until the receiving thread has run it.
struct SentCall {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    std::atomic<bool> done{false};
    std::shared_ptr<ThreadQueue> replyTo;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    uint64_t due = 0;  // on the layer's clock
    TIMERPROC procedure = nullptr;
};

// Which messages a Peek or Get takes: a window and its descendants (empty: any), and a range.
struct MessageFilter {
    bool anyWindow = true;
    std::set<HWND> windows;
    UINT first = 0;
    UINT last = 0;

    bool Accepts(HWND window, UINT message) const;
};

class ThreadQueue {
public:
    explicit ThreadQueue(DWORD threadId) : threadId_(threadId) {}

    DWORD ThreadId() const { return threadId_; }

    void Post(const MSG& message);
    bool TakePosted(const MessageFilter& filter, bool remove, MSG* out);
    // Drops every posted message for the window (it is gone).
    void ForgetWindow(HWND window);

    void PostQuit(int exitCode);
    bool QuitPending(int* exitCode, bool remove);

    void Send(const std::shared_ptr<SentCall>& call);
    std::shared_ptr<SentCall> TakeSent();

    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure, uint64_t now);
    bool KillTimer(HWND window, UINT_PTR id);
    void KillTimers(HWND window);
    // Whether a timer of this queue calls that procedure: a WM_TIMER posted by anyone else names none.
    bool HasTimer(HWND window, UINT_PTR id, TIMERPROC procedure);
    bool TakeDueTimer(const MessageFilter& filter, bool remove, uint64_t now, MSG* out);
    // Milliseconds on the layer's clock until the next timer is due; UINT64_MAX when none.
    uint64_t NextTimerDelay(uint64_t now);

    // Every change that can satisfy a waiting Get bumps the generation and wakes the thread.
    uint64_t Generation();
    void Wake();
    void WaitForChange(uint64_t generation, uint64_t realMilliseconds);

    // The thread ended: pending senders are answered with 0 and later ones are refused.
    void Close();
    bool IsClosed();

    DWORD QueueStatus();

    // Window state of the thread (guarded by the window manager's lock).
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    MSG current{};

private:
    DWORD threadId_;
    std::mutex lock_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;
    std::deque<MSG> posted_;
    std::deque<std::shared_ptr<SentCall>> sent_;
    std::vector<Timer> timers_;
    bool quit_ = false;
    int quitCode_ = 0;
    bool closed_ = false;
    UINT_PTR nextThreadTimer_ = 0x7F00;
};

}  // namespace ce::detail
