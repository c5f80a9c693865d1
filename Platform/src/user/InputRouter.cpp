// Stylus and key input: from the display back end or from injection (device.h) to the windows.
//
// Input is routed on the thread that delivers it, as soon as it arrives: the target is found under the
// window manager's lock and the message is posted to the target's thread, so the program sees its
// input in its own queue in arrival order.
#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <mutex>

#include "ce/device.h"
#include "ce/kernel.h"
#include "screen/InputEvent.h"
#include "user/InputPanel.h"
#include "user/ScreenLayout.h"
#include "user/TaskBar.h"
#include "user/UserInternal.h"

using namespace ce::detail;
using ce::screen::InputEvent;
using ce::screen::InputKind;

namespace {

std::array<std::atomic<bool>, 256>& KeysDown() {
    static auto* keys = new std::array<std::atomic<bool>, 256>{};
    return *keys;
}

struct StylusState {
    bool down = false;
    bool onInputPanel = false;  // went down on the input panel: the press is the panel's until lifted
    HWND lastDownWindow = nullptr;
    uint64_t lastDownTime = 0;
    POINT lastDownPoint{};
};

std::mutex& RouteLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

StylusState& Stylus() {
    static auto* state = new StylusState;
    return *state;
}

void PostInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT screen) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return;
    }
    if (auto queue = Wm().QueueOf(w->threadId)) {
        queue->Post(MSG{window, message, wParam, lParam, GetTickCount(), screen});
    }
}

// The thread whose windows get the input: the one of the foreground window.
std::shared_ptr<ThreadQueue> ForegroundQueue() {
    auto w = Wm().Find(Wm().foreground);
    return w ? Wm().QueueOf(w->threadId) : nullptr;
}

// Without a foreground window (none activated yet): the thread of the topmost window.
std::shared_ptr<ThreadQueue> FirstWindowQueue() {
    WmLock guard(Wm().Lock());
    for (HWND handle : Wm().TopLevels()) {
        if (auto w = Wm().Find(handle)) {
            return Wm().QueueOf(w->threadId);
        }
    }
    return nullptr;
}

HWND DeepestAt(HWND window, POINT screen) {
    auto w = Wm().Find(window);
    POINT origin = Wm().ScreenOrigin(window);
    POINT local{screen.x - origin.x, screen.y - origin.y};
    for (HWND child : w->children) {
        auto c = Wm().Find(child);
        if (c && c->IsVisibleFlag() && PointIn(c->rect, local)) {
            return DeepestAt(child, screen);
        }
    }
    return window;
}

// The window under a screen point, and its top-level; a window that is disabled takes nothing.
HWND HitTest(POINT screen, HWND* top) {
    for (HWND handle : Wm().TopLevels()) {
        auto w = Wm().Find(handle);
        if (!w || !w->IsVisibleFlag() || !PointIn(w->rect, screen)) {
            continue;
        }
        *top = handle;
        HWND hit = DeepestAt(handle, screen);
        return Wm().IsEnabledChain(hit) ? hit : nullptr;
    }
    return nullptr;
}

LPARAM ClientPoint(HWND window, POINT screen) {
    POINT origin = Wm().ScreenOrigin(window);
    return MAKELPARAM(static_cast<WORD>(screen.x - origin.x), static_cast<WORD>(screen.y - origin.y));
}

void RouteKey(const InputEvent& event);

void TypePanelKey(const InputPanel::Key& key) {
    InputEvent typed;
    if (key.character != 0) {
        typed.kind = InputKind::Char;
        typed.ch = key.character;
        RouteKey(typed);
        return;
    }
    typed.key = key.virtualKey;
    typed.kind = InputKind::KeyDown;
    RouteKey(typed);
    typed.kind = InputKind::KeyUp;
    RouteKey(typed);
}

// A press that starts on the input panel types the key under it and is the panel's until the stylus is
// lifted: nothing of it reaches the windows below. Popup menus lie over the panel and keep their taps.
bool RouteToInputPanel(const InputEvent& event) {
    StylusState& stylus = Stylus();
    POINT screen{event.x, event.y};
    if (event.kind == InputKind::StylusDown) {
        {
            WmLock guard(Wm().Lock());
            HWND top = nullptr;
            HitTest(screen, &top);
            auto t = Wm().Find(top);
            if ((t && t->layer == WindowLayer::PopupMenu) || !InputPanel::Covers(screen)) {
                return false;
            }
        }
        stylus.onInputPanel = true;
        InputPanel::Key key;
        if (InputPanel::KeyAt(screen, &key)) {
            TypePanelKey(key);
        }
        return true;
    }
    if (!stylus.onInputPanel) {
        return false;
    }
    stylus.onInputPanel = event.kind != InputKind::StylusUp;
    return true;
}

void RouteStylus(const InputEvent& event) {
    if (RouteToInputPanel(event)) {
        return;
    }
    POINT screen{event.x, event.y};
    HWND target = nullptr;
    HWND top = nullptr;
    UINT message = event.kind == InputKind::StylusDown ? WM_LBUTTONDOWN
                   : event.kind == InputKind::StylusUp ? WM_LBUTTONUP
                                                       : WM_MOUSEMOVE;
    bool activate = false;
    {
        WmLock guard(Wm().Lock());
        auto queue = ForegroundQueue();
        HWND capture = queue ? queue->capture : nullptr;
        if (capture && Wm().Find(capture)) {
            target = capture;
        } else if (event.kind == InputKind::StylusDown ? TaskBar::Tap(screen, Wm().foreground)
                                                       : TaskBar::Shown(Wm().foreground) &&
                                                             PointIn(ScreenLayout::TaskBar(), screen)) {
            return;  // the task bar's own
        } else {
            target = HitTest(screen, &top);
        }
        StylusState& stylus = Stylus();
        if (event.kind == InputKind::StylusDown) {
            stylus.down = true;
            auto t = Wm().Find(top);
            activate = target && t && !t->neverActive && Wm().foreground != top;
            auto w = Wm().Find(target);
            uint64_t now = ce::ClockTickMs();
            if (w && (w->windowClass->info.style & CS_DBLCLKS) && stylus.lastDownWindow == target &&
                now - stylus.lastDownTime <= 500 && std::abs(stylus.lastDownPoint.x - screen.x) <= 4 &&
                std::abs(stylus.lastDownPoint.y - screen.y) <= 4) {
                message = WM_LBUTTONDBLCLK;
                stylus.lastDownWindow = nullptr;
            } else {
                stylus.lastDownWindow = target;
                stylus.lastDownTime = now;
                stylus.lastDownPoint = screen;
            }
        } else if (event.kind == InputKind::StylusUp) {
            stylus.down = false;
        }
    }
    if (!target) {
        return;
    }
    if (activate) {
        ActivateWindow(top, WA_CLICKACTIVE);
    }
    KeysDown()[VK_LBUTTON] = event.kind != InputKind::StylusUp;
    WPARAM buttons = event.kind == InputKind::StylusUp ? 0 : MK_LBUTTON;
    LPARAM point;
    {
        WmLock guard(Wm().Lock());
        point = ClientPoint(target, screen);
    }
    PostInput(target, message, buttons, point, screen);
}

// Keys go to the thread of the foreground window; which of its windows gets one is decided when the
// thread takes it from its queue (the window with the focus then), as keys typed ahead of a menu or
// dialog that is just opening reach it.
void RouteKey(const InputEvent& event) {
    bool down = event.kind == InputKind::KeyDown;
    if (event.kind != InputKind::Char && event.key < 256) {
        KeysDown()[event.key] = down;
    }
    HWND foreground;
    std::shared_ptr<ThreadQueue> queue;
    {
        WmLock guard(Wm().Lock());
        foreground = Wm().foreground;
        queue = ForegroundQueue();
    }
    if (event.kind == InputKind::Close) {
        // Closing the desktop window ends the program as its own Exit does: the thread's loops end
        // in order, innermost first, however many views and dialogs are open.
        if (auto ui = queue ? queue : FirstWindowQueue()) {
            ui->PostQuit(0);
        }
        return;
    }
    if (event.kind != InputKind::Char && MenuBarHandleKey(foreground, event.key, down)) {
        return;
    }
    if (!queue) {
        return;
    }
    if (event.kind == InputKind::Char) {
        queue->Post(MSG{nullptr, WM_CHAR, event.ch, 1, GetTickCount(), POINT{}});
        return;
    }
    LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
    queue->Post(MSG{nullptr, static_cast<UINT>(down ? WM_KEYDOWN : WM_KEYUP), event.key, flags, GetTickCount(), POINT{}});
}

void RouteWaitingInput() {
    std::lock_guard guard(RouteLock());
    InputEvent event;
    while (ce::screen::PopInput(&event)) {
        if (event.kind == InputKind::StylusDown || event.kind == InputKind::StylusMove ||
            event.kind == InputKind::StylusUp) {
            RouteStylus(event);
        } else {
            RouteKey(event);
        }
    }
}

void Push(InputKind kind, UINT key) {
    InputEvent event;
    event.kind = kind;
    event.key = key;
    ce::screen::PushInput(event);
}

}  // namespace

namespace ce::detail {

void StartInputRouting() {
    ce::screen::SetInputListener(RouteWaitingInput);
    RouteWaitingInput();
    StartScreen();
}

}  // namespace ce::detail

namespace ce {

void InjectKeyDown(UINT virtualKey) { Push(InputKind::KeyDown, virtualKey); }
void InjectKeyUp(UINT virtualKey) { Push(InputKind::KeyUp, virtualKey); }

UINT VirtualKeyFromName(std::string_view name) {
    std::string lower;
    for (char c : name) {
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    static const std::pair<const char*, UINT> kNames[] = {
        {"left", VK_LEFT},       {"right", VK_RIGHT},         {"up", VK_UP},          {"down", VK_DOWN},
        {"enter", VK_RETURN},    {"return", VK_RETURN},       {"action", VK_RETURN},  {"back", VK_ESCAPE},
        {"escape", VK_ESCAPE},   {"softleft", VK_TSOFT1},     {"softright", VK_TSOFT2}, {"home", VK_TTALK},
        {"talk", VK_TTALK},      {"end", VK_TEND},            {"tab", VK_TAB},        {"space", VK_SPACE},
        {"backspace", VK_BACK},  {"delete", VK_DELETE},       {"f1", VK_F1},          {"f2", VK_F2},
        {"f3", VK_F3},           {"f4", VK_F4},               {"shift", VK_SHIFT},
    };
    for (const auto& [known, key] : kNames) {
        if (lower == known) {
            return key;
        }
    }
    if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0]))) {
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(lower[0])));
    }
    return 0;
}

}  // namespace ce

extern "C" {

CE_API SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    return KeysDown()[static_cast<size_t>(virtualKey)] ? static_cast<SHORT>(0x8000) : 0;
}

CE_API SHORT GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

}  // extern "C"
