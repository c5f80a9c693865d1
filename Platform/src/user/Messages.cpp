// Sending, posting and receiving messages, and timers.
#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

#include "ce/device.h"
#include "ce/kernel.h"
#include "sync/Waits.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace ce::detail {

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = nullptr;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return 0;
        }
        procedure = w->procedure;
    }
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

void DispatchSentMessages(const std::shared_ptr<ThreadQueue>& queue) {
    while (auto call = queue->TakeSent()) {
        call->result = CallProcedure(call->window, call->message, call->wParam, call->lParam);
        call->done = true;
        if (call->replyTo) {
            call->replyTo->Wake();
        }
    }
}

}  // namespace ce::detail

namespace {

// While the layer runs on the virtual clock, a waiting thread looks at the clock in short slices:
// the clock moves without telling the queues.
uint64_t RealWait(uint64_t clockDelay) {
    if (clockDelay == UINT64_MAX) {
        return ce::VirtualClockEnabled() ? 20 : UINT64_MAX;
    }
    return ce::VirtualClockEnabled() ? std::min<uint64_t>(clockDelay, 5) : clockDelay;
}

MessageFilter MakeFilter(HWND window, UINT first, UINT last) {
    MessageFilter filter;
    filter.first = first;
    filter.last = last;
    if (window != nullptr && window != reinterpret_cast<HWND>(-1)) {
        filter.anyWindow = false;
        WmLock guard(Wm().Lock());
        filter.windows.insert(window);
        std::vector<HWND> descendants;
        Wm().CollectDescendants(window, descendants);
        filter.windows.insert(descendants.begin(), descendants.end());
    } else if (window == reinterpret_cast<HWND>(-1)) {
        filter.anyWindow = false;
        filter.windows.insert(nullptr);  // thread messages only
    }
    return filter;
}

void Stamp(MSG* message) {
    message->time = GetTickCount();
}

bool TakeMessage(LPMSG out, HWND window, UINT first, UINT last, UINT remove, bool wait) {
    auto queue = Wm().CurrentQueue();
    MessageFilter filter = MakeFilter(window, first, last);
    bool removing = (remove & PM_REMOVE) != 0;
    for (;;) {
        uint64_t generation = queue->Generation();
        DispatchSentMessages(queue);
        if (queue->TakePosted(filter, removing, out)) {
            if (out->hwnd == nullptr && out->message >= WM_KEYFIRST && out->message <= WM_KEYLAST) {
                WmLock guard(Wm().Lock());
                out->hwnd = queue->focus && Wm().Find(queue->focus) ? queue->focus : queue->active;
            }
            queue->current = *out;
            return true;
        }
        int exitCode = 0;
        // A look for certain messages (mouse moves, one private message) leaves the quit for the loop.
        bool quitWanted = (first == 0 && last == 0) || (first <= WM_QUIT && WM_QUIT <= last);
        if (quitWanted && queue->QuitPending(&exitCode, removing)) {
            *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, GetTickCount(), {}};
            return true;
        }
        if (HWND paint = FindWindowToPaint(queue->ThreadId(), filter)) {
            *out = MSG{paint, WM_PAINT, 0, 0, 0, {}};
            Stamp(out);
            queue->current = *out;
            return true;
        }
        uint64_t now = ce::ClockTickMs();
        if (queue->TakeDueTimer(filter, removing, now, out)) {
            queue->current = *out;
            return true;
        }
        if (!wait) {
            return false;
        }
        queue->WaitForChange(generation, RealWait(queue->NextTimerDelay(now)));
    }
}

std::shared_ptr<ThreadQueue> QueueOfWindow(HWND window, std::shared_ptr<Window>* found) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (found) {
        *found = w;
    }
    return w ? Wm().QueueOf(w->threadId) : nullptr;
}

LRESULT SendToThread(const std::shared_ptr<ThreadQueue>& target, HWND window, UINT message, WPARAM wParam,
                     LPARAM lParam) {
    auto self = Wm().CurrentQueue();
    auto call = std::make_shared<SentCall>();
    call->window = window;
    call->message = message;
    call->wParam = wParam;
    call->lParam = lParam;
    call->replyTo = self;
    target->Send(call);
    // The sender keeps answering what is sent to it, so that two threads sending to each other go on.
    while (!call->done) {
        uint64_t generation = self->Generation();
        DispatchSentMessages(self);
        if (call->done || target->IsClosed()) {
            break;
        }
        self->WaitForChange(generation, 50);
    }
    return call->done ? call->result : 0;
}

void BroadcastLocal(UINT message, WPARAM wParam, LPARAM lParam, bool post) {
    std::vector<HWND> targets;
    {
        WmLock guard(Wm().Lock());
        targets = Wm().TopLevels();
    }
    for (HWND target : targets) {
        if (post) {
            PostMessageW(target, message, wParam, lParam);
        } else {
            SendMessageW(target, message, wParam, lParam);
        }
    }
}

std::mutex& RegisteredLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

}  // namespace

extern "C" {

CE_API LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        BroadcastLocal(message, wParam, lParam, false);
        RemoteBroadcast(message, wParam, lParam);
        return 0;
    }
    std::shared_ptr<Window> w;
    auto target = QueueOfWindow(window, &w);
    if (!w) {
        if (!WindowManager::IsLocalHandle(window) && RemotePostMessage(window, message, wParam, lParam)) {
            return 0;  // another process's window: delivered without an answer
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (w->threadId == GetCurrentThreadId()) {
        return CallProcedure(window, message, wParam, lParam);
    }
    if (!target) {
        return 0;  // its thread has ended
    }
    return SendToThread(target, window, message, wParam, lParam);
}

CE_API BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        BroadcastLocal(message, wParam, lParam, true);
        RemoteBroadcast(message, wParam, lParam);
        return TRUE;
    }
    if (window == nullptr) {
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    std::shared_ptr<Window> w;
    auto target = QueueOfWindow(window, &w);
    if (!w) {
        if (!WindowManager::IsLocalHandle(window)) {
            return RemotePostMessage(window, message, wParam, lParam) ? TRUE : FALSE;
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!target) {
        target = w->threadId == GetCurrentThreadId() ? Wm().CurrentQueue() : nullptr;
        if (!target) {
            return FALSE;
        }
    }
    MSG posted{window, message, wParam, lParam, GetTickCount(), {}};
    target->Post(posted);
    return TRUE;
}

CE_API BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    auto target = threadId == GetCurrentThreadId() ? Wm().CurrentQueue() : Wm().QueueOf(threadId);
    if (!target) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    target->Post(MSG{nullptr, message, wParam, lParam, GetTickCount(), {}});
    return TRUE;
}

CE_API void PostQuitMessage(int exitCode) { Wm().CurrentQueue()->PostQuit(exitCode); }

CE_API BOOL GetMessageW(LPMSG message, HWND window, UINT first, UINT last) {
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    TakeMessage(message, window, first, last, PM_REMOVE, true);
    return message->message == WM_QUIT ? FALSE : TRUE;
}

CE_API BOOL PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TakeMessage(message, window, first, last, remove, false) ? TRUE : FALSE;
}

CE_API BOOL WaitMessage(void) {
    auto queue = Wm().CurrentQueue();
    MSG message;
    if (!TakeMessage(&message, nullptr, 0, 0, PM_NOREMOVE, false)) {
        uint64_t generation = queue->Generation();
        queue->WaitForChange(generation, RealWait(queue->NextTimerDelay(ce::ClockTickMs())));
    }
    return TRUE;
}

CE_API DWORD GetQueueStatus(UINT flags) {
    auto queue = Wm().CurrentQueue();
    DWORD status = queue->QueueStatus();
    if (FindWindowToPaint(queue->ThreadId(), MessageFilter{})) {
        status |= QS_PAINT;
    }
    if (queue->NextTimerDelay(ce::ClockTickMs()) == 0) {
        status |= QS_TIMER;
    }
    return status & flags;
}

CE_API DWORD GetMessagePos(void) {
    const MSG& current = Wm().CurrentQueue()->current;
    return static_cast<DWORD>(MAKELONG(current.pt.x, current.pt.y));
}

CE_API LONG GetMessageTime(void) { return static_cast<LONG>(Wm().CurrentQueue()->current.time); }

CE_API LRESULT DispatchMessageW(const MSG* message) {
    if (message == nullptr) {
        return 0;
    }
    if (message->message == WM_TIMER && message->lParam != 0) {
        // Only a procedure that a live timer of this thread names is called; any other lParam is data.
        auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        if (Wm().CurrentQueue()->HasTimer(message->hwnd, message->wParam, procedure)) {
            procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
            return 0;
        }
    }
    if (message->hwnd == nullptr) {
        return 0;
    }
    if (message->message == kActivateMessage) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(message->hwnd) | (message->wParam & 1)));
        return 0;
    }
    return CallProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

// Letters and digits of a key press become characters; text typed through the device arrives as
// VK_PACKET presses that carry their own WM_CHAR.
CE_API BOOL TranslateMessage(const MSG* message) {
    if (message == nullptr || message->message != WM_KEYDOWN) {
        return FALSE;
    }
    UINT key = static_cast<UINT>(message->wParam);
    WCHAR character = 0;
    if (key >= 'A' && key <= 'Z') {
        bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        character = static_cast<WCHAR>(shift ? key : key - 'A' + 'a');
    } else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_RETURN || key == VK_BACK ||
               key == VK_ESCAPE || key == VK_TAB) {
        character = static_cast<WCHAR>(key);
    }
    if (character == 0) {
        return FALSE;
    }
    auto queue = Wm().CurrentQueue();
    queue->Post(MSG{message->hwnd, WM_CHAR, character, message->lParam, message->time, message->pt});
    return TRUE;
}

CE_API UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure) {
    std::shared_ptr<ThreadQueue> queue;
    if (window != nullptr) {
        std::shared_ptr<Window> w;
        queue = QueueOfWindow(window, &w);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (!queue && w->threadId == GetCurrentThreadId()) {
            queue = Wm().CurrentQueue();
        }
        if (!queue) {
            return 0;
        }
    } else {
        queue = Wm().CurrentQueue();
    }
    UINT_PTR made = queue->SetTimer(window, id, milliseconds, procedure, ce::ClockTickMs());
    return window != nullptr ? (made == 0 ? 1 : made) : made;
}

CE_API BOOL KillTimer(HWND window, UINT_PTR id) {
    std::shared_ptr<ThreadQueue> queue = window ? QueueOfWindow(window, nullptr) : Wm().CurrentQueue();
    return queue && queue->KillTimer(window, id) ? TRUE : FALSE;
}

CE_API DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                         DWORD /*flags*/) {
    auto queue = Wm().CurrentQueue();
    uint64_t start = ce::ClockTickMs();
    std::optional<TimedWaitMark> timed;
    if (milliseconds != INFINITE) {
        timed.emplace();
    }
    for (;;) {
        uint64_t generation = queue->Generation();
        if (count > 0) {
            DWORD signalled = WaitForMultipleObjects(count, handles, FALSE, 0);
            if (signalled != WAIT_TIMEOUT) {
                return signalled;
            }
        }
        if (GetQueueStatus(wakeMask)) {
            return WAIT_OBJECT_0 + count;
        }
        uint64_t elapsed = ce::ClockTickMs() - start;
        if (milliseconds != INFINITE && elapsed >= milliseconds) {
            return WAIT_TIMEOUT;
        }
        uint64_t remaining = milliseconds == INFINITE ? UINT64_MAX : milliseconds - elapsed;
        // Handles are looked at again in short slices: their owners do not wake this queue.
        queue->WaitForChange(generation, count > 0 ? std::min<uint64_t>(RealWait(remaining), 5) : RealWait(remaining));
    }
}

CE_API UINT RegisterWindowMessageW(LPCWSTR name) {
    if (name == nullptr || *name == 0) {
        return 0;
    }
    static std::map<std::u16string, UINT>* registered = new std::map<std::u16string, UINT>;
    std::u16string key = name;
    CharLowerW(key.data());
    std::lock_guard guard(RegisteredLock());
    auto [it, added] = registered->emplace(key, static_cast<UINT>(0xC000 + registered->size()));
    return it->second;
}

}  // extern "C"
