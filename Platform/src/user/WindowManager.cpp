#include "user/WindowManager.h"

#include <unistd.h>

#include <algorithm>

#include "ce/kernel.h"

namespace ce::detail {
namespace {

// Ends the queue of a thread that ends, so that its senders are not left waiting.
struct QueueReleaser {
    DWORD threadId = 0;
    ~QueueReleaser() {
        if (threadId != 0) {
            Wm().ForgetQueue(threadId);
        }
    }
};

bool SameName(const std::u16string& a, LPCWSTR b) { return lstrcmpiW(a.c_str(), b) == 0; }

}  // namespace

WindowManager& WindowManager::Instance() {
    static WindowManager* manager = new WindowManager;  // never destroyed: threads may end during exit
    return *manager;
}

// A window handle carries the id of its process in the upper half, so that a handle found through
// the device server tells where a message for it goes. The lowest bits stay clear: callers may set
// bit 0 (SetForegroundWindow's "last active popup" form).
bool WindowManager::IsLocalHandle(HWND window) { return ProcessOfHandle(window) == static_cast<DWORD>(getpid()); }

DWORD WindowManager::ProcessOfHandle(HWND window) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(window) >> 32);
}

std::shared_ptr<Window> WindowManager::Find(HWND window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second;
}

HWND WindowManager::Insert(const std::shared_ptr<Window>& window) {
    uintptr_t value = (static_cast<uintptr_t>(getpid()) << 32) | (nextSerial_++ << 4);
    window->handle = reinterpret_cast<HWND>(value);
    windows_[window->handle] = window;
    return window->handle;
}

void WindowManager::Remove(HWND window) {
    windows_.erase(window);
    topLevels_.erase(std::remove(topLevels_.begin(), topLevels_.end(), window), topLevels_.end());
    if (foreground == window) {
        foreground = nullptr;
    }
}

std::vector<std::shared_ptr<Window>> WindowManager::WindowsOfThread(DWORD threadId) {
    std::vector<std::shared_ptr<Window>> out;
    for (auto& [handle, window] : windows_) {
        if (window->threadId == threadId) {
            out.push_back(window);
        }
    }
    return out;
}

std::vector<std::shared_ptr<Window>> WindowManager::AllWindows() {
    std::vector<std::shared_ptr<Window>> out;
    for (auto& [handle, window] : windows_) {
        out.push_back(window);
    }
    return out;
}

std::shared_ptr<WindowClass> WindowManager::FindClass(LPCWSTR name, HINSTANCE instance) {
    if (name == nullptr) {
        return nullptr;
    }
    std::shared_ptr<WindowClass> anyInstance;
    for (auto& windowClass : classes_) {
        bool match = IS_INTRESOURCE(name) ? windowClass->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                                          : SameName(windowClass->name, name);
        if (!match) {
            continue;
        }
        if (windowClass->system || windowClass->info.hInstance == instance) {
            return windowClass;
        }
        anyInstance = windowClass;
    }
    return anyInstance;
}

ATOM WindowManager::AddClass(const WNDCLASSW& info, bool system) {
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = info.lpszClassName;
    windowClass->info = info;
    windowClass->info.lpszClassName = nullptr;  // the caller's string may go; the copy is in name
    windowClass->info.lpszMenuName = nullptr;
    windowClass->system = system;
    windowClass->atom = nextAtom_++;
    classes_.push_back(windowClass);
    return windowClass->atom;
}

bool WindowManager::RemoveClass(LPCWSTR name, HINSTANCE instance) {
    for (auto it = classes_.begin(); it != classes_.end(); ++it) {
        if (!(*it)->system && SameName((*it)->name, name) && (*it)->info.hInstance == instance) {
            classes_.erase(it);
            return true;
        }
    }
    return false;
}

std::shared_ptr<ThreadQueue> WindowManager::CurrentQueue() {
    thread_local std::shared_ptr<ThreadQueue> current;
    thread_local QueueReleaser releaser;
    if (!current || current->IsClosed()) {
        DWORD threadId = GetCurrentThreadId();
        current = std::make_shared<ThreadQueue>(threadId);
        releaser.threadId = threadId;
        std::lock_guard guard(queuesLock_);
        queues_[threadId] = current;
    }
    return current;
}

std::shared_ptr<ThreadQueue> WindowManager::QueueOf(DWORD threadId) {
    std::lock_guard guard(queuesLock_);
    auto it = queues_.find(threadId);
    return it == queues_.end() ? nullptr : it->second;
}

void WindowManager::ForgetQueue(DWORD threadId) {
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard guard(queuesLock_);
        auto it = queues_.find(threadId);
        if (it == queues_.end()) {
            return;
        }
        queue = it->second;
        queues_.erase(it);
    }
    queue->Close();
}

HWND WindowManager::TopLevelOf(HWND window) {
    auto w = Find(window);
    while (w && w->IsChild() && w->parent) {
        auto parent = Find(w->parent);
        if (!parent) {
            break;
        }
        w = parent;
    }
    return w ? w->handle : nullptr;
}

POINT WindowManager::ScreenOrigin(HWND window) {
    POINT origin{0, 0};
    for (auto w = Find(window); w; w = w->IsChild() ? Find(w->parent) : nullptr) {
        origin.x += w->rect.left;
        origin.y += w->rect.top;
    }
    return origin;
}

bool WindowManager::IsShown(HWND window) {
    for (auto w = Find(window); w; w = w->IsChild() ? Find(w->parent) : nullptr) {
        if (!w->IsVisibleFlag()) {
            return false;
        }
        if (!w->IsChild()) {
            return true;
        }
    }
    return false;
}

bool WindowManager::IsEnabledChain(HWND window) {
    for (auto w = Find(window); w; w = w->IsChild() ? Find(w->parent) : nullptr) {
        if (w->style & WS_DISABLED) {
            return false;
        }
        if (!w->IsChild()) {
            return true;
        }
    }
    return false;
}

bool WindowManager::IsDescendant(HWND ancestor, HWND window) {
    for (auto w = Find(window); w && w->IsChild(); w = Find(w->parent)) {
        if (w->parent == ancestor) {
            return true;
        }
    }
    return false;
}

void WindowManager::CollectDescendants(HWND window, std::vector<HWND>& out) {
    auto w = Find(window);
    if (!w) {
        return;
    }
    for (HWND child : w->children) {
        out.push_back(child);
        CollectDescendants(child, out);
    }
}

void WindowManager::MarkScreenChanged() {
    ++screenGeneration_;
    std::function<void()> listener;
    {
        std::lock_guard guard(listenerLock_);
        listener = screenListener_;
    }
    if (listener) {
        listener();
    }
}

void WindowManager::SetScreenListener(std::function<void()> listener) {
    std::lock_guard guard(listenerLock_);
    screenListener_ = std::move(listener);
}

}  // namespace ce::detail
