// Activation, the foreground window, the keyboard focus and the pointer capture.
#include <algorithm>

#include "ce/kernel.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace {

std::shared_ptr<ThreadQueue> QueueFor(const Window& w) {
    if (w.threadId == GetCurrentThreadId()) {
        return Wm().CurrentQueue();
    }
    return Wm().QueueOf(w.threadId);
}

bool Activatable(const Window& w) {
    return w.IsVisibleFlag() && !(w.style & WS_DISABLED) && !w.destroying && !w.neverActive;
}

// Keeps the windows that a window owns above it.
void RaiseWithOwned(HWND top) {
    auto& order = Wm().TopLevels();
    order.erase(std::remove(order.begin(), order.end(), top), order.end());
    order.insert(order.begin(), top);
    std::vector<HWND> owned;
    for (HWND other : order) {
        auto o = Wm().Find(other);
        if (o && o->owner == top) {
            owned.push_back(other);
        }
    }
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        order.erase(std::remove(order.begin(), order.end(), *it), order.end());
        order.insert(order.begin(), *it);
    }
}

}  // namespace

namespace ce::detail {

void ActivateWindow(HWND window, int how) {
    HWND old = nullptr;
    HWND top = nullptr;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return;
        }
        top = Wm().TopLevelOf(window);
        auto t = Wm().Find(top);
        auto queue = QueueFor(*t);
        if (!queue || t->neverActive) {
            return;
        }
        RaiseWithOwned(top);
        Wm().foreground = top;
        old = queue->active;
        if (old == top) {
            Wm().MarkScreenChanged();
            return;
        }
        queue->active = top;
        if (auto owner = Wm().Find(t->owner)) {
            owner->lastActivePopup = top;
        }
    }
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
    }
    SendMessageW(top, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
    PublishTopLevel(top);
    Wm().MarkScreenChanged();
}

void ActivateNextAfter(HWND window) {
    HWND next = nullptr;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return;
        }
        auto queue = QueueFor(*w);
        if (!queue || queue->active != window) {
            return;
        }
        auto owner = Wm().Find(w->owner);
        if (owner && Activatable(*owner)) {
            next = owner->handle;
        } else {
            for (HWND other : Wm().TopLevels()) {
                auto o = Wm().Find(other);
                if (other != window && o && o->threadId == w->threadId && Activatable(*o)) {
                    next = other;
                    break;
                }
            }
        }
        if (!next) {
            queue->active = nullptr;
            if (Wm().foreground == window) {
                Wm().foreground = nullptr;
            }
        }
    }
    if (next) {
        ActivateWindow(next, WA_ACTIVE);
    } else {
        SendMessageW(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    }
}

}  // namespace ce::detail

extern "C" {

CE_API HWND SetActiveWindow(HWND window) {
    HWND old = GetActiveWindow();
    if (!IsWindow(window)) {
        return nullptr;
    }
    ActivateWindow(window, WA_ACTIVE);
    return old;
}

CE_API HWND GetActiveWindow(void) {
    WmLock guard(Wm().Lock());
    return Wm().CurrentQueue()->active;
}

CE_API BOOL SetForegroundWindow(HWND window) {
    // The form with bit 0 set activates the window's last active popup instead.
    bool popup = (reinterpret_cast<uintptr_t>(window) & 1) != 0;
    HWND target = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(window) & ~static_cast<uintptr_t>(1));
    if (!WindowManager::IsLocalHandle(target)) {
        return RemoteSetForeground(window) ? TRUE : FALSE;
    }
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(target);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (popup && w->lastActivePopup && Wm().Find(w->lastActivePopup)) {
            target = w->lastActivePopup;
        }
    }
    ActivateWindow(target, WA_ACTIVE);
    return TRUE;
}

CE_API HWND GetForegroundWindow(void) {
    WmLock guard(Wm().Lock());
    return Wm().foreground;
}

CE_API HWND SetFocus(HWND window) {
    auto queue = Wm().CurrentQueue();
    if (window == nullptr) {
        HWND old;
        {
            WmLock guard(Wm().Lock());
            old = queue->focus;
            queue->focus = nullptr;
        }
        if (old) {
            SendMessageW(old, WM_KILLFOCUS, 0, 0);
        }
        return old;
    }
    HWND top;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w || (w->style & WS_DISABLED)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        queue = QueueFor(*w);
        if (!queue) {
            return nullptr;
        }
        top = Wm().TopLevelOf(window);
    }
    if (queue->active != top) {
        ActivateWindow(top, WA_ACTIVE);
    }
    HWND old;
    {
        WmLock guard(Wm().Lock());
        old = queue->focus;
        if (old == window) {
            return old;
        }
        queue->focus = window;
    }
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (queue->focus == window) {
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

CE_API HWND GetFocus(void) {
    WmLock guard(Wm().Lock());
    return Wm().CurrentQueue()->focus;
}

CE_API HWND SetCapture(HWND window) {
    auto queue = Wm().CurrentQueue();
    HWND old;
    {
        WmLock guard(Wm().Lock());
        if (!Wm().Find(window)) {
            return nullptr;
        }
        old = queue->capture;
        queue->capture = window;
    }
    if (old && old != window) {
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    return old;
}

CE_API BOOL ReleaseCapture(void) {
    auto queue = Wm().CurrentQueue();
    HWND old;
    {
        WmLock guard(Wm().Lock());
        old = queue->capture;
        queue->capture = nullptr;
    }
    if (old) {
        SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

CE_API HWND GetCapture(void) {
    WmLock guard(Wm().Lock());
    return Wm().CurrentQueue()->capture;
}

}  // extern "C"
