// Windows of another process: found through the device server, reached by posted messages and broadcasts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "ChildProcess.h"
#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/user.h"

namespace {

constexpr UINT kPing = WM_USER + 7;

// The child: a window that ends the process with 7 once it has seen the broadcast and then the ping.
LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool sawBroadcast = false;
    if (message == WM_SETTINGCHANGE && wParam == 242) {
        sawBroadcast = true;
    }
    if (message == kPing && wParam == 1234) {
        _exit(sawBroadcast ? 7 : 3);
    }
    if (message == WM_TIMER) {
        _exit(1);  // nothing came in time
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RunTarget() {
    WNDCLASSW info{};
    info.lpfnWndProc = TargetProc;
    info.lpszClassName = u"RemoteTarget";
    RegisterClassW(&info);
    HWND window = CreateWindowExW(0, u"RemoteTarget", u"target", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    SetTimer(window, 1, 20000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    _exit(2);
}

HWND WaitForWindow(LPCWSTR className) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (HWND found = FindWindowW(className, nullptr)) {
            return found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}

TEST(UserRemoteWindows, AWindowOfAnotherProcessIsFoundAndReceivesPostedMessages) {
    if (ce::test::ChildRole()) {
        RunTarget();
    }
    ce::test::TempDevice device;
    ce::test::ChildProcess child("UserRemoteWindows.AWindowOfAnotherProcessIsFoundAndReceivesPostedMessages",
                                 "target");
    HWND found = WaitForWindow(u"remotetarget");
    ASSERT_NE(found, nullptr) << "class names compare without case";
    EXPECT_FALSE(IsWindow(found)) << "not a window of this process";
    EXPECT_EQ(FindWindowW(u"RemoteTarget", u"other title"), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, u"target"), found) << "found by its title alone";
    EXPECT_TRUE(PostMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, 242, 0));
    EXPECT_TRUE(PostMessageW(found, kPing, 1234, 0));
    EXPECT_EQ(child.Wait(std::chrono::seconds(20)), 7);
    // The process is gone, and with it its window.
    EXPECT_FALSE(PostMessageW(found, kPing, 1, 0));
}

}  // namespace
