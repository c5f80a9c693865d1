#include "user/ThreadQueue.h"

#include <algorithm>
#include <chrono>

namespace ce::detail {

bool MessageFilter::Accepts(HWND window, UINT message) const {
    if (!anyWindow && windows.count(window) == 0) {
        return false;
    }
    if (first == 0 && last == 0) {
        return true;
    }
    return message >= first && message <= last;
}

void ThreadQueue::Post(const MSG& message) {
    {
        std::lock_guard guard(lock_);
        posted_.push_back(message);
        ++generation_;
    }
    changed_.notify_all();
}

bool ThreadQueue::TakePosted(const MessageFilter& filter, bool remove, MSG* out) {
    std::lock_guard guard(lock_);
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        if (filter.Accepts(it->hwnd, it->message)) {
            *out = *it;
            if (remove) {
                posted_.erase(it);
            }
            return true;
        }
    }
    return false;
}

void ThreadQueue::ForgetWindow(HWND window) {
    std::lock_guard guard(lock_);
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(), [&](const MSG& m) { return m.hwnd == window; }),
                  posted_.end());
}

void ThreadQueue::PostQuit(int exitCode) {
    {
        std::lock_guard guard(lock_);
        quit_ = true;
        quitCode_ = exitCode;
        ++generation_;
    }
    changed_.notify_all();
}

bool ThreadQueue::QuitPending(int* exitCode, bool remove) {
    std::lock_guard guard(lock_);
    if (!quit_) {
        return false;
    }
    *exitCode = quitCode_;
    if (remove) {
        quit_ = false;
    }
    return true;
}

void ThreadQueue::Send(const std::shared_ptr<SentCall>& call) {
    {
        std::lock_guard guard(lock_);
        if (closed_) {
            call->done = true;
        } else {
            sent_.push_back(call);
            ++generation_;
        }
    }
    changed_.notify_all();
}

std::shared_ptr<SentCall> ThreadQueue::TakeSent() {
    std::lock_guard guard(lock_);
    if (sent_.empty()) {
        return nullptr;
    }
    auto call = sent_.front();
    sent_.pop_front();
    return call;
}

UINT_PTR ThreadQueue::SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure, uint64_t now) {
    std::lock_guard guard(lock_);
    if (window == nullptr) {
        // A timer without a window gets an id of its own, unless it replaces one made earlier.
        bool known = id != 0 && std::any_of(timers_.begin(), timers_.end(),
                                            [&](const Timer& t) { return t.window == nullptr && t.id == id; });
        if (!known) {
            id = nextThreadTimer_++;
        }
    }
    Timer timer{window, id, std::max<UINT>(milliseconds, 1), now + std::max<UINT>(milliseconds, 1), procedure};
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it != timers_.end()) {
        *it = timer;
    } else {
        timers_.push_back(timer);
    }
    ++generation_;
    changed_.notify_all();
    return id;
}

bool ThreadQueue::KillTimer(HWND window, UINT_PTR id) {
    std::lock_guard guard(lock_);
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers_.end()) {
        return false;
    }
    timers_.erase(it);
    return true;
}

void ThreadQueue::KillTimers(HWND window) {
    std::lock_guard guard(lock_);
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window; }),
                  timers_.end());
}

bool ThreadQueue::HasTimer(HWND window, UINT_PTR id, TIMERPROC procedure) {
    std::lock_guard guard(lock_);
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
        return t.window == window && t.id == id && t.procedure == procedure;
    });
}

bool ThreadQueue::TakeDueTimer(const MessageFilter& filter, bool remove, uint64_t now, MSG* out) {
    std::lock_guard guard(lock_);
    for (Timer& timer : timers_) {
        if (timer.due > now || !filter.Accepts(timer.window, WM_TIMER)) {
            continue;
        }
        *out = MSG{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure),
                   static_cast<DWORD>(now), {}};
        if (remove) {
            // A late timer fires once, not once for every period it missed.
            timer.due = now + timer.interval;
        }
        return true;
    }
    return false;
}

uint64_t ThreadQueue::NextTimerDelay(uint64_t now) {
    std::lock_guard guard(lock_);
    uint64_t delay = UINT64_MAX;
    for (const Timer& timer : timers_) {
        delay = std::min(delay, timer.due > now ? timer.due - now : 0);
    }
    return delay;
}

uint64_t ThreadQueue::Generation() {
    std::lock_guard guard(lock_);
    return generation_;
}

void ThreadQueue::Wake() {
    {
        std::lock_guard guard(lock_);
        ++generation_;
    }
    changed_.notify_all();
}

void ThreadQueue::WaitForChange(uint64_t generation, uint64_t realMilliseconds) {
    std::unique_lock guard(lock_);
    auto changedSince = [&] { return generation_ != generation; };
    if (realMilliseconds == UINT64_MAX) {
        changed_.wait(guard, changedSince);
    } else {
        changed_.wait_for(guard, std::chrono::milliseconds(realMilliseconds), changedSince);
    }
}

void ThreadQueue::Close() {
    std::deque<std::shared_ptr<SentCall>> pending;
    {
        std::lock_guard guard(lock_);
        closed_ = true;
        pending.swap(sent_);
        timers_.clear();
    }
    for (auto& call : pending) {
        call->result = 0;
        call->done = true;
        if (call->replyTo) {
            call->replyTo->Wake();
        }
    }
}

bool ThreadQueue::IsClosed() {
    std::lock_guard guard(lock_);
    return closed_;
}

DWORD ThreadQueue::QueueStatus() {
    std::lock_guard guard(lock_);
    DWORD status = 0;
    for (const MSG& m : posted_) {
        if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
            status |= QS_KEY;
        } else if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) {
            status |= m.message == WM_MOUSEMOVE ? QS_MOUSEMOVE : QS_MOUSEBUTTON;
        } else {
            status |= QS_POSTMESSAGE;
        }
    }
    if (!sent_.empty()) {
        status |= QS_SENDMESSAGE;
    }
    if (quit_) {
        status |= QS_POSTMESSAGE;
    }
    return status;
}

}  // namespace ce::detail
