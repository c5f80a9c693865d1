#include "screen/sdl/X11WindowWatch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>

namespace ce::screen {

// Xlib's handlers are per process (protocol errors) or carry one pointer (a lost connection); the one
// window of the process is watched.
struct X11Handlers {
    static inline std::atomic<X11WindowWatch*> watched{nullptr};

    // A request on the destroyed window fails; any other failed request is not worth ending the
    // program for either.
    static int OnProtocolError(Display*, XErrorEvent* error) {
        X11WindowWatch* watch = watched.load();
        bool onWindow = error->error_code == BadWindow || error->error_code == BadDrawable;
        if (watch && onWindow && error->resourceid == watch->window_) {
            watch->ReportLost();
        } else {
            std::fprintf(stderr, "X request %d failed with error %d\n", error->request_code, error->error_code);
        }
        return 0;
    }

    // Xlib's own handler for a broken connection ends the process with 1; this one only returns, and
    // the exit handler below is called next.
    static int OnBrokenConnection(Display*) { return 0; }

    // Returning tells Xlib not to exit: the display is dead from now on and no more calls reach it.
    static void OnConnectionLost(Display*, void* watch) { static_cast<X11WindowWatch*>(watch)->ReportLost(); }
};

X11WindowWatch::~X11WindowWatch() {
    X11WindowWatch* self = this;
    X11Handlers::watched.compare_exchange_strong(self, nullptr);
}

void X11WindowWatch::Start(SDL_Window* window, std::function<void()> lost) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    window_ = info.info.x11.window;
    lost_ = std::move(lost);
    X11Handlers::watched = this;
    XSetErrorHandler(X11Handlers::OnProtocolError);
    XSetIOErrorHandler(X11Handlers::OnBrokenConnection);
    XSetIOErrorExitHandler(info.info.x11.display, X11Handlers::OnConnectionLost, this);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void X11WindowWatch::Notice(const SDL_SysWMmsg& message) {
    if (message.subsystem != SDL_SYSWM_X11) {
        return;
    }
    const XEvent& event = message.msg.x11.event;
    if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
        ReportLost();
    }
}

bool X11WindowWatch::Lost() const { return reported_; }

void X11WindowWatch::ReportLost() {
    if (reported_) {
        return;
    }
    reported_ = true;
    X11Handlers::watched = nullptr;
    if (lost_) {
        lost_();
    }
}

}  // namespace ce::screen
