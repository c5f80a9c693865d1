// The screen as the window manager composes it: windows, task bar, soft-key bar, input panel; and the
// demo program driven from outside through its window-manager socket.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "ChildProcess.h"
#include "GdiTestSupport.h"
#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/cursor.h"
#include "ce/device.h"
#include "ce/shell.h"
#include "user/ScreenComposer.h"

using ce::test::Pump;
using ce::test::Recorder;

namespace {

constexpr COLORREF kRed = RGB(248, 0, 0);

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

COLORREF Theme() { return static_cast<COLORREF>(ce::ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF; }

TEST(UserScreen, WindowsTheTaskBarTheSoftKeyBarAndTheInputPanelComposeInTheirPlaces) {
    ce::test::TempDevice device;
    Recorder::Register();
    Recorder::Reset();
    Recorder::Handlers()[WM_PAINT] = [](HWND window, WPARAM, LPARAM) -> LRESULT {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH red = CreateSolidBrush(kRed);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, red);
        DeleteObject(red);
        EndPaint(window, &paint);
        return 0;
    };
    HWND window = CreateWindowExW(0, u"Recorder", u"Red", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    Pump();
    ce::test::DibDC screen(240, -320);
    ce::detail::ScreenComposer::Compose(screen.dc);
    COLORREF theme = Theme();
    EXPECT_TRUE(Near(GetPixel(screen.dc, 120, 160), kRed)) << "the window";
    EXPECT_FALSE(Near(GetPixel(screen.dc, 120, 5), kRed)) << "the task bar is over the top";
    EXPECT_TRUE(Near(GetPixel(screen.dc, 120, 315), theme)) << "an empty soft-key bar at the bottom";

    SipShowIM(SIPF_ON);
    ce::detail::ScreenComposer::Compose(screen.dc);
    SIPINFO sip{};
    SipGetInfo(&sip);
    EXPECT_TRUE(sip.fdwFlags & SIPF_ON);
    EXPECT_FALSE(Near(GetPixel(screen.dc, 120, sip.rcSipRect.top + 1), kRed)) << "the panel covers the window";
    SipShowIM(SIPF_OFF);

    SHFullScreen(window, SHFS_HIDETASKBAR);
    MoveWindow(window, 0, 0, 240, 294, TRUE);
    Pump();
    ce::detail::ScreenComposer::Compose(screen.dc);
    EXPECT_TRUE(Near(GetPixel(screen.dc, 120, 5), kRed)) << "a full-screen window has the top";
    EXPECT_TRUE(Near(GetPixel(screen.dc, 120, 315), theme)) << "the empty bar below a window that ends above it";

    MoveWindow(window, 0, 0, 240, 320, TRUE);
    Pump();
    ce::detail::ScreenComposer::Compose(screen.dc);
    EXPECT_TRUE(Near(GetPixel(screen.dc, 120, 315), kRed)) << "a window without a bar over the whole screen";
    DestroyWindow(window);
    Pump();
    Recorder::Reset();
}

// The device has no mouse: a cursor is seen only once shown, and of the cursors only the wait cursor is
// drawn, in the middle of the screen over every window.
TEST(UserScreen, TheWaitCursorIsDrawnWhileItIsSetAndShown) {
    ce::test::TempDevice device;
    ce::test::DibDC screen(240, -320);
    auto ringSeen = [&] {
        ce::detail::ScreenComposer::Compose(screen.dc);
        return Near(GetPixel(screen.dc, 120 + 9, 160), Theme());
    };
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    HCURSOR before = SetCursor(wait);
    EXPECT_FALSE(ringSeen()) << "set but not shown";
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(ringSeen());
    EXPECT_TRUE(Near(GetPixel(screen.dc, 120, 160), RGB(255, 255, 255))) << "its middle";
    EXPECT_FALSE(Near(GetPixel(screen.dc, 120 + 20, 160), Theme())) << "it is small";
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_FALSE(ringSeen()) << "another cursor is not drawn";
    SetCursor(wait);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(ShowCursor(FALSE), 0);
    EXPECT_TRUE(ringSeen()) << "shown while the count is 0 or more";
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(ringSeen());
    SetCursor(before);
}

// ---- the demo, run as a device program --------------------------------------------------------------

HWND WaitFor(LPCWSTR className, LPCWSTR title, bool present) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        HWND found = FindWindowW(className, title);
        if ((found != nullptr) == present) {
            return present ? found : reinterpret_cast<HWND>(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}

TEST(UserScreen, TheDemoRunsHeadlessShowsItsScreenAndAnswersTapsAndKeys) {
    ce::test::TempDevice device;
    ce::test::ChildProcess demo("none", "demo", CE_UI_DEMO);
    ASSERT_NE(WaitFor(u"UiDemo", nullptr, true), nullptr);
    std::string picture = device.Root() + "/demo.png";
    ASSERT_EQ(ce::RemoteScreenshot(picture), 0u);
    std::ifstream png(picture, std::ios::binary);
    unsigned char header[24] = {};
    png.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_EQ(header[1], 'P');
    EXPECT_EQ((header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19]), 240);
    EXPECT_EQ((header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23]), 320);

    // The left soft key opens the details dialog; Enter ends it.
    int barY = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) / 2;
    ASSERT_EQ(ce::RemoteTap(20, barY), 0u);
    ASSERT_NE(WaitFor(u"Dialog", u"Details", true), nullptr);
    ASSERT_EQ(ce::RemoteKey("Enter"), 0u);
    ASSERT_NE(WaitFor(u"Dialog", u"Details", false), nullptr);
    EXPECT_EQ(ce::RemoteKey("NoSuchKey"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // The right soft key's menu: Down twice and Enter choose Quit (keys typed ahead reach the menu once it
    // is open), and the program ends.
    ASSERT_EQ(ce::RemoteKey("SoftRight"), 0u);
    ce::RemoteKey("Down");
    ce::RemoteKey("Down");
    ce::RemoteKey("Enter");
    EXPECT_EQ(demo.Wait(std::chrono::seconds(20)), 0);
    EXPECT_EQ(ce::RemoteKey("Enter"), static_cast<DWORD>(ERROR_NOT_FOUND)) << "no program runs any more";
}

}  // namespace
