// The framework's window: class registration, the message-to-handler routing with injected input and
// the virtual clock, activation, the Back key and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UserInterface/CGenericWindow.h"
#include "WindowTestSupport.h"
#include "ce/shell.h"

namespace {

using framework::test::WindowDevice;

// Records the handler calls it gets, as text.
class RecordingWindow : public UserInterface::CGenericWindow {
public:
    explicit RecordingWindow(LPCWSTR className = u"FrameworkTestWindow") { m_className = className; }

    std::vector<std::string> calls;
    LRESULT createResult = 0;

    LRESULT OnCreate(HWND, LPCREATESTRUCTW) override {
        calls.push_back("create");
        return createResult;
    }
    LRESULT OnSize(int width, int height) override {
        calls.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
        return 1;
    }
    LRESULT OnTimer(UINT_PTR id) override {
        calls.push_back("timer " + std::to_string(id));
        return 0;
    }
    LRESULT OnLButtonDown(int x, int y) override { return Point("down", x, y); }
    LRESULT OnLButtonUp(int x, int y) override { return Point("up", x, y); }
    LRESULT OnMouseMove(int x, int y) override { return Point("move", x, y); }
    LRESULT OnKey(UINT key, BOOL down) override {
        calls.push_back(std::string(down ? "keydown " : "keyup ") + std::to_string(key));
        return 0;
    }
    LRESULT OnCommand(int id, int code, HWND) override {
        calls.push_back("command " + std::to_string(id) + "/" + std::to_string(code));
        return 0;
    }
    LRESULT OnActivate(BOOL active, LPARAM) override {
        calls.push_back(active ? "active" : "inactive");
        return 0;
    }
    LRESULT OnDestroy() override {
        calls.push_back("destroy");
        return CGenericWindow::OnDestroy();
    }

    bool Saw(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
    int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }

private:
    LRESULT Point(const char* what, int x, int y) {
        calls.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
        return 0;
    }
};

class GenericWindow : public ::testing::Test {
protected:
    // A visible top-level window at a known place of the work area.
    static bool Open(RecordingWindow* window, int x = 20, int y = 60, int width = 160, int height = 120) {
        const bool made = window->Create(nullptr, u"Test", x, y, width, height, WS_VISIBLE, 0, nullptr);
        WindowDevice::Pump();
        return made;
    }
    WindowDevice device_;
};

TEST_F(GenericWindow, ASecondWindowOfTheSameClassIsMadeWithoutRegisteringAgain) {
    RecordingWindow first;
    RecordingWindow second;
    ASSERT_TRUE(Open(&first));
    ASSERT_TRUE(Open(&second)) << "registering the known class again would fail the creation";
    EXPECT_NE(first.GetHandle(), second.GetHandle());
    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), u"FrameworkTestWindow", &info));
    EXPECT_EQ(info.style & CS_DBLCLKS, static_cast<UINT>(CS_DBLCLKS));

    RecordingWindow nameless(nullptr);
    EXPECT_FALSE(nameless.Create(nullptr, u"", 0, 0, 10, 10, 0, 0, nullptr)) << "no class name, no window";
}

TEST_F(GenericWindow, CreationGoesThroughOnCreateWhichMayRefuseIt) {
    RecordingWindow window;
    ASSERT_TRUE(Open(&window));
    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ(window.calls.front(), "create");
    EXPECT_TRUE(window.Saw("size 160x120"));
    EXPECT_EQ(window.GetClientWidth(), 160);
    EXPECT_EQ(window.GetWindowHeight(), 120);

    RecordingWindow refused;
    refused.createResult = -1;
    EXPECT_FALSE(Open(&refused));
    EXPECT_EQ(refused.GetHandle(), nullptr);
}

TEST_F(GenericWindow, TapsKeysCommandsAndTimersReachTheirHandlers) {
    RecordingWindow window;
    ASSERT_TRUE(Open(&window));
    RECT frame;
    ASSERT_TRUE(window.GetWindowRect(&frame));
    window.calls.clear();

    ce::InjectStylusDown(frame.left + 30, frame.top + 40);
    window.SetCapture();
    ce::InjectStylusMove(frame.left - 5, frame.top - 7);
    ce::InjectStylusUp(frame.left - 5, frame.top - 7);
    ce::InjectKey(VK_DOWN);
    WindowDevice::Pump();
    window.ReleaseCapture();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"down 30,40", "move -5,-7", "up -5,-7",
                                                      "keydown " + std::to_string(VK_DOWN),
                                                      "keyup " + std::to_string(VK_DOWN)}))
        << "points left of and above the window arrive negative";

    window.calls.clear();
    SendMessageW(window.GetHandle(), WM_COMMAND, MAKEWPARAM(301, 5), 0);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"command 301/5"}));

    window.calls.clear();
    ASSERT_NE(window.SetTimer(9, 250), 0u);
    WindowDevice::Advance(249);
    EXPECT_FALSE(window.Saw("timer 9"));
    WindowDevice::Advance(1);
    EXPECT_EQ(window.Count("timer 9"), 1);
    window.KillTimer(9);
    WindowDevice::Advance(1000);
    EXPECT_EQ(window.Count("timer 9"), 1);
}

TEST_F(GenericWindow, AClickActivationCountsAsActivation) {
    RecordingWindow left;
    RecordingWindow right;
    ASSERT_TRUE(Open(&left, 0, 60, 100, 100));
    ASSERT_TRUE(Open(&right, 120, 60, 100, 100));
    ASSERT_EQ(GetActiveWindow(), right.GetHandle());
    left.calls.clear();
    right.calls.clear();

    RECT frame;
    left.GetWindowRect(&frame);
    ce::InjectTap(frame.left + 10, frame.top + 10);
    WindowDevice::Pump();
    EXPECT_EQ(GetActiveWindow(), left.GetHandle());
    EXPECT_TRUE(left.Saw("active")) << "WA_CLICKACTIVE is an activation";
    EXPECT_FALSE(left.Saw("inactive"));
    EXPECT_TRUE(right.Saw("inactive"));
}

TEST_F(GenericWindow, TheBackKeyStaysInTheWindowAndClosingEndsTheLoop) {
    RecordingWindow window;
    ASSERT_TRUE(Open(&window));
    SHMENUBARINFO bar{sizeof(SHMENUBARINFO), window.GetHandle(), SHCMBF_EMPTYBAR, 0, nullptr, 0, 0, nullptr, 0};
    ASSERT_TRUE(SHCreateMenuBar(&bar));
    SendMessageW(bar.hwndMB, SHCMBM_OVERRIDEKEY, VK_ESCAPE,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    ce::InjectKey(VK_ESCAPE);
    MSG message;
    int hotkeys = 0;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ASSERT_NE(message.message, static_cast<UINT>(WM_QUIT)) << "the Back key must not end the program";
        hotkeys += message.message == WM_HOTKEY ? 1 : 0;
        DispatchMessageW(&message);
    }
    EXPECT_EQ(hotkeys, 2) << "pressed and released";
    EXPECT_TRUE(IsWindow(window.GetHandle()));

    HWND handle = window.GetHandle();
    PostMessageW(handle, WM_CLOSE, 0, 0);
    int dispatched = 0;
    while (GetMessageW(&message, nullptr, 0, 0) && ++dispatched < 1000) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(window.Saw("destroy"));
    EXPECT_EQ(window.GetHandle(), nullptr) << "the object forgets its window";
}

TEST_F(GenericWindow, DeletingTheObjectFirstTakesItsWindowAlong) {
    auto* window = new RecordingWindow;
    ASSERT_TRUE(Open(window));
    HWND handle = window->GetHandle();
    delete window;
    EXPECT_FALSE(IsWindow(handle));
    WindowDevice::Pump();  // nothing left may reach the freed object
}

TEST_F(GenericWindow, ChildWindowsAreFoundByIdWithTheirObjectAndPlace) {
    RecordingWindow window;
    ASSERT_TRUE(Open(&window));
    HWND child = CreateWindowExW(0, WC_STATIC, u"x", WS_CHILD | WS_VISIBLE, 12, 7, 50, 20, window.GetHandle(),
                                 reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    int object = 0;
    SetWindowLongW(child, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object));

    EXPECT_EQ(window.GetDlgItem(77), child);
    EXPECT_EQ(window.GetDlgItemObject(77), &object);
    RECT rect{};
    ASSERT_TRUE(window.GetDlgItemRect(77, &rect));
    EXPECT_EQ(rect.left, 12);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.right, 62);
    EXPECT_EQ(rect.bottom, 27);
    EXPECT_EQ(window.GetDlgItemWidth(77), 50);
    EXPECT_EQ(window.GetDlgItemHeight(77), 20);

    EXPECT_TRUE(window.ShowDlgItem(77, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_EQ(window.GetDlgItemObject(78), nullptr);
    EXPECT_FALSE(window.GetDlgItemRect(78, &rect));
    EXPECT_EQ(window.GetDlgItemWidth(78), 0);
}

}  // namespace
