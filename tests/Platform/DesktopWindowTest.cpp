// The desktop window of a running program, under a real X server: closing it ends the program as its
// own Exit does, and so does losing it (the client killed, the window destroyed by someone else).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "TempDevice.h"
#include "Xvfb.h"
#include "ce/device.h"
#include "ce/user.h"
// Last: Xlib's macros (None, Bool, Status) would clash with the names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The test's own client of the X server: finds the device window and acts on it from outside.
class XClient {
public:
    // Windows come and go while the tree is read: a request on one that has just gone fails, which
    // Xlib's own handler would answer by ending this process.
    explicit XClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~XClient() {
        if (display_) XCloseDisplay(display_);
    }
    bool Open() const { return display_ != nullptr; }

    // The shown top-level window of that process, waited for; 0 when it did not appear.
    Window WaitForWindow(pid_t process) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Window found = Find(process)) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return 0;
    }
    XWindowAttributes Attributes(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        return attributes;
    }
    // What a window manager sends when the user closes the window.
    void AskToClose(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, window, False, NoEventMask, &event);
        XSync(display_, False);
    }
    void KillClient(Window window) {
        XKillClient(display_, window);
        XSync(display_, False);
    }
    void DestroyFromOutside(Window window) {
        XDestroyWindow(display_, window);
        XSync(display_, False);
    }

private:
    pid_t ProcessOf(Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        pid_t process = 0;
        Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
        if (XGetWindowProperty(display_, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                               &data) == Success && data && count == 1 && format == 32) {
            process = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
        }
        if (data) XFree(data);
        return process;
    }
    Window Find(pid_t process) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && !found; ++i) {
            if (ProcessOf(children[i]) == process && Attributes(children[i]).map_state == IsViewable) {
                found = children[i];
            }
        }
        if (children) XFree(children);
        return found;
    }

    Display* display_;
};

HWND WaitForProgramWindow(LPCWSTR className, LPCWSTR title, bool present) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        HWND found = FindWindowW(className, title);
        if ((found != nullptr) == present) return present ? found : reinterpret_cast<HWND>(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}

// The demo program in its desktop window, its details dialog open over the main window.
class DesktopWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Ready()) GTEST_SKIP() << "Xvfb is not installed";
        setenv("DISPLAY", server_.Display().c_str(), 1);
        setenv("CE_DISPLAY", "sdl", 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        demo_ = std::make_unique<ce::test::ChildProcess>("none", "demo", CE_UI_DEMO);
        setenv("CE_DISPLAY", "headless", 1);  // this process stays headless
        x_ = std::make_unique<XClient>(server_.Display());
        ASSERT_TRUE(x_->Open());
        window_ = x_->WaitForWindow(demo_->Pid());
        ASSERT_NE(window_, 0u) << "the demo's window did not open";
        XWindowAttributes place = x_->Attributes(window_);
        EXPECT_EQ(place.width, 240) << "2 x 320 does not fit 600 pixels";
        EXPECT_GE(place.y, 0) << "inside the screen";
        EXPECT_LE(place.y + place.height, 600);
        ASSERT_NE(WaitForProgramWindow(u"UiDemo", nullptr, true), nullptr);
        int barY = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) / 2;
        ASSERT_EQ(ce::RemoteTap(20, barY), 0u);
        ASSERT_NE(WaitForProgramWindow(u"Dialog", u"Details", true), nullptr);
    }
    void TearDown() override { unsetenv("DISPLAY"); }

    ce::test::Xvfb server_{"800x600x24"};
    ce::test::TempDevice device_;
    std::unique_ptr<ce::test::ChildProcess> demo_;
    std::unique_ptr<XClient> x_;
    Window window_ = 0;
};

TEST_F(DesktopWindow, OneCloseEndsTheProgramWithADialogOpen) {
    x_->AskToClose(window_);
    EXPECT_EQ(demo_->Wait(std::chrono::seconds(20)), 0);
}

TEST_F(DesktopWindow, KillingTheWindowsClientEndsTheProgramCleanly) {
    x_->KillClient(window_);
    EXPECT_EQ(demo_->Wait(std::chrono::seconds(20)), 0);
}

TEST_F(DesktopWindow, DestroyingTheWindowFromOutsideEndsTheProgramCleanly) {
    x_->DestroyFromOutside(window_);
    EXPECT_EQ(demo_->Wait(std::chrono::seconds(20)), 0);
}

}  // namespace
