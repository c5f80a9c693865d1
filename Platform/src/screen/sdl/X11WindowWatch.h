// Watches the X11 side of the desktop window, so that losing it ends the program like a close instead
// of Xlib's default of exit(1) on whichever thread noticed: the connection to the X server broken (the
// server ended, or a window manager killed the client), or the window destroyed by another client.
#pragma once

#include <functional>

struct SDL_Window;
struct SDL_SysWMmsg;

namespace ce::screen {

class X11WindowWatch {
public:
    X11WindowWatch() = default;
    ~X11WindowWatch();
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    // Starts watching the window when SDL shows it through X11 (otherwise does nothing); lost is
    // called on the thread that talks to X, once, when the window is gone.
    void Start(SDL_Window* window, std::function<void()> lost);
    // Called with SDL's window-manager events: notices the window's destruction.
    void Notice(const SDL_SysWMmsg& message);
    bool Lost() const;

private:
    friend struct X11Handlers;
    void ReportLost();

    unsigned long window_ = 0;
    std::function<void()> lost_;
    bool reported_ = false;
};

}  // namespace ce::screen
