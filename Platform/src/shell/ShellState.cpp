#include "shell/ShellState.h"

#include <map>
#include <mutex>

#include "user/UserInternal.h"

namespace ce::detail {
namespace {

struct WindowShellState {
    DWORD fullScreen = 0;
    bool cancel = false;
};

struct State {
    std::mutex lock;
    std::map<HWND, WindowShellState> windows;
    bool inputPanelUp = false;
};

State& TheState() {
    static auto* state = new State;
    return *state;
}

}  // namespace

DWORD ShellState::FullScreenFlags(HWND window) {
    std::lock_guard guard(TheState().lock);
    auto it = TheState().windows.find(window);
    return it == TheState().windows.end() ? 0 : it->second.fullScreen;
}

void ShellState::SetFullScreenFlags(HWND window, DWORD flags) {
    {
        std::lock_guard guard(TheState().lock);
        DWORD& current = TheState().windows[window].fullScreen;
        // Each show flag cancels its hide flag and the other way round.
        for (DWORD show : {SHFS_SHOWTASKBAR, SHFS_SHOWSIPBUTTON, SHFS_SHOWSTARTICON}) {
            DWORD hide = show << 1;
            if (flags & show) {
                current &= ~hide;
            }
            if (flags & hide) {
                current |= hide;
            }
        }
    }
    Wm().MarkScreenChanged();
}

bool ShellState::HasCancelButton(HWND window) {
    std::lock_guard guard(TheState().lock);
    auto it = TheState().windows.find(window);
    return it != TheState().windows.end() && it->second.cancel;
}

void ShellState::SetCancelButton(HWND window, bool cancel) {
    std::lock_guard guard(TheState().lock);
    TheState().windows[window].cancel = cancel;
}

void ShellState::Forget(HWND window) {
    std::lock_guard guard(TheState().lock);
    TheState().windows.erase(window);
}

bool ShellState::InputPanelUp() {
    std::lock_guard guard(TheState().lock);
    return TheState().inputPanelUp;
}

void ShellState::SetInputPanelUp(bool up) {
    std::lock_guard guard(TheState().lock);
    TheState().inputPanelUp = up;
}

}  // namespace ce::detail
