// cedevice hold and drag against a running program: a hold is long enough to be a tap-and-hold, a drag
// moves the stylus along its line.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/device.h"
#include "ce/shell.h"
#include "ce/user.h"

namespace {

// What the child's window saw, as its exit code: 10 per recognized hold, 1 when a drag's moves arrived
// going right.
struct StylusSeen {
    int holds = 0;
    int moves = 0;
    int lastX = 0;
    bool movedRight = true;
    int ups = 0;
};

StylusSeen& Seen() {
    static StylusSeen seen;
    return seen;
}

LRESULT CALLBACK StylusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    StylusSeen& seen = Seen();
    switch (message) {
    case WM_LBUTTONDOWN: {
        SHRGINFO gesture{};
        gesture.cbSize = sizeof gesture;
        gesture.hwndClient = window;
        gesture.ptDown = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        gesture.dwFlags = SHRG_RETURNCMD;
        seen.lastX = gesture.ptDown.x;
        seen.holds += SHRecognizeGesture(&gesture) == GN_CONTEXTMENU ? 1 : 0;
        return 0;
    }
    case WM_MOUSEMOVE: {
        int x = static_cast<short>(LOWORD(lParam));
        seen.movedRight = seen.movedRight && x > seen.lastX;
        seen.lastX = x;
        ++seen.moves;
        return 0;
    }
    case WM_LBUTTONUP:
        ++seen.ups;
        return 0;
    case WM_KEYDOWN:  // the end of the test (quitting at the last up could beat the tool's answer)
        PostQuitMessage(seen.ups == 2 ? seen.holds * 10 + (seen.moves >= 4 && seen.movedRight ? 1 : 0) : 0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

int RunStylusWindow() {
    WNDCLASSW info{};
    info.lpfnWndProc = StylusProc;
    info.lpszClassName = u"StylusWindow";
    RegisterClassW(&info);
    HWND window = CreateWindowExW(0, u"StylusWindow", u"Stylus", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int Tool(const std::string& arguments) {
    int status = std::system((std::string(CE_DEVICE_TOOL) + " " + arguments).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The hold takes its real time, and the child and six runs of the device tool are sanitized process
// starts: some 5 s.
TEST(DeviceToolStylus, HoldIsATapAndHoldAndDragMovesAlongItsLine) {
    if (ce::test::ChildRole() && std::string(ce::test::ChildRole()) == "stylus") {
        _exit(RunStylusWindow());
    }
    ce::test::TempDevice device;
    device.WriteHostFile(device.Root() + "/device.ini", "[device]\nkind = pocketpc\n");
    ce::test::ChildProcess child("DeviceToolStylus.HoldIsATapAndHoldAndDragMovesAlongItsLine", "stylus");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!FindWindowW(u"StylusWindow", nullptr) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_NE(FindWindowW(u"StylusWindow", nullptr), nullptr);
    const std::string root = " " + device.Root() + " ";
    EXPECT_EQ(Tool("hold" + root + "120 160"), 0);
    EXPECT_EQ(Tool("drag" + root + "20 160 220 160 80"), 0);
    Tool("key" + root + "Back");
    EXPECT_EQ(child.Wait(std::chrono::seconds(20)), 11) << "one hold recognized, the drag's moves going right";

    EXPECT_EQ(Tool("drag" + root + "1 2 3 > /dev/null 2>&1"), 2);
    EXPECT_EQ(Tool("hold" + root + "x 2 > /dev/null 2>&1"), 2);
    EXPECT_EQ(Tool("hold" + root + "5 5 2>/dev/null"), 1) << "no program runs any more";
}

}  // namespace
