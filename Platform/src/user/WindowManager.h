// The process's window manager: the window table, window classes, the threads' message queues, the
// z-order of the top-level windows and the foreground window.
//
// One recursive lock guards the table and every window's fields. Window procedures are never called
// with it held, so that a procedure may send to a window of another thread.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "user/ThreadQueue.h"
#include "user/Window.h"

namespace ce::detail {

class WindowManager {
public:
    static WindowManager& Instance();

    std::recursive_mutex& Lock() { return lock_; }

    // ---- the window table (callers hold Lock()) ----
    std::shared_ptr<Window> Find(HWND window);
    HWND Insert(const std::shared_ptr<Window>& window);
    void Remove(HWND window);
    std::vector<HWND>& TopLevels() { return topLevels_; }
    std::vector<std::shared_ptr<Window>> WindowsOfThread(DWORD threadId);
    std::vector<std::shared_ptr<Window>> AllWindows();
    // True for handles that this process made (it may be gone since).
    static bool IsLocalHandle(HWND window);
    static DWORD ProcessOfHandle(HWND window);

    // ---- classes ----
    std::shared_ptr<WindowClass> FindClass(LPCWSTR name, HINSTANCE instance);
    ATOM AddClass(const WNDCLASSW& info, bool system);
    bool RemoveClass(LPCWSTR name, HINSTANCE instance);

    // ---- queues ----
    std::shared_ptr<ThreadQueue> CurrentQueue();
    std::shared_ptr<ThreadQueue> QueueOf(DWORD threadId);
    void ForgetQueue(DWORD threadId);

    // ---- geometry (callers hold Lock()) ----
    HWND TopLevelOf(HWND window);
    // The screen position of the window's client origin.
    POINT ScreenOrigin(HWND window);
    // The window and all its ancestors are visible.
    bool IsShown(HWND window);
    // The window and all its ancestors are enabled.
    bool IsEnabledChain(HWND window);
    bool IsDescendant(HWND ancestor, HWND window);
    void CollectDescendants(HWND window, std::vector<HWND>& out);

    // ---- foreground ----
    HWND foreground = nullptr;

    // ---- the screen: bumped whenever what the screen shows may have changed ----
    void MarkScreenChanged();
    uint64_t ScreenGeneration() const { return screenGeneration_.load(); }
    void SetScreenListener(std::function<void()> listener);

private:
    WindowManager() = default;

    std::recursive_mutex lock_;
    std::map<HWND, std::shared_ptr<Window>> windows_;
    std::vector<HWND> topLevels_;  // top of the z-order first
    std::vector<std::shared_ptr<WindowClass>> classes_;
    ATOM nextAtom_ = 0xC000;
    uint64_t nextSerial_ = 1;

    std::mutex queuesLock_;
    std::map<DWORD, std::shared_ptr<ThreadQueue>> queues_;

    std::atomic<uint64_t> screenGeneration_{0};
    std::mutex listenerLock_;
    std::function<void()> screenListener_;
};

// Shorthands for the code of the area.
inline WindowManager& Wm() { return WindowManager::Instance(); }
using WmLock = std::lock_guard<std::recursive_mutex>;

// The state that a built-in window procedure keeps with its window: made on first use when create is
// set; null when the window is gone or keeps another kind.
template <class T>
std::shared_ptr<T> ExtensionOf(HWND window, bool create = true) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return nullptr;
    }
    if (!w->extension && create) {
        w->extension = std::make_shared<T>();
    }
    return std::dynamic_pointer_cast<T>(w->extension);
}

}  // namespace ce::detail
