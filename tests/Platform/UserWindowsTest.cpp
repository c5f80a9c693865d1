// Windows, messages, queues, timers, activation, focus and capture.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/user.h"

using ce::test::Pump;
using ce::test::Recorder;

namespace {

class UserWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
    }
    void TearDown() override {
        for (HWND window : made_) {
            if (IsWindow(window)) {
                DestroyWindow(window);
            }
        }
        Pump();
        Recorder::Reset();
    }
    HWND Make(DWORD style, HWND parent = nullptr, int x = 0, int y = 0, int w = 100, int h = 50) {
        HWND window = CreateWindowExW(0, u"Recorder", u"t", style, x, y, w, h, parent,
                                      parent ? reinterpret_cast<HMENU>(made_.size() + 10) : nullptr, nullptr, nullptr);
        made_.push_back(window);
        return window;
    }
    std::vector<HWND> made_;
    ce::test::TempDevice device_;
};

TEST_F(UserWindows, MessagesArriveInThePlatformsOrderCreateSizeActivatePaint) {
    HWND window = Make(WS_VISIBLE);
    ASSERT_NE(window, nullptr);
    Pump();
    EXPECT_EQ(Recorder::Messages(window, {WM_CREATE, WM_SIZE, WM_ACTIVATE, WM_SETFOCUS, WM_PAINT}),
              (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_ACTIVATE, WM_SETFOCUS, WM_PAINT}));
    auto activate = Recorder::Of(window, WM_ACTIVATE);
    ASSERT_EQ(activate.size(), 1u);
    EXPECT_EQ(LOWORD(activate[0].wParam), WA_ACTIVE);
    // DefWindowProcW painted (BeginPaint/EndPaint): no further WM_PAINT is due.
    Recorder::Log().clear();
    Pump();
    EXPECT_TRUE(Recorder::Of(window, WM_PAINT).empty());
    InvalidateRect(window, nullptr, FALSE);
    Pump();
    EXPECT_EQ(Recorder::Of(window, WM_PAINT).size(), 1u);
}

TEST_F(UserWindows, CreationFailsWhenWmCreateRefusesAndForUnknownClasses) {
    Recorder::Handlers()[WM_CREATE] = [](HWND, WPARAM, LPARAM) -> LRESULT { return -1; };
    EXPECT_EQ(Make(WS_VISIBLE), nullptr);
    Recorder::Handlers().clear();
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(UserWindows, PostedMessagesComeBeforePaintAndQuitEndsGetMessage) {
    HWND window = Make(WS_VISIBLE);
    Pump();
    Recorder::Log().clear();
    InvalidateRect(window, nullptr, FALSE);
    PostMessageW(window, WM_USER + 1, 5, 6);
    PostQuitMessage(3);
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(message.wParam, 5u);
    // A look for other messages leaves the quit to the loop that waits for it.
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_FALSE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    Pump();
}

TEST_F(UserWindows, SubclassingReplacesTheProcedureAndCallWindowProcReachesTheOldOne) {
    HWND window = Make(0);
    static WNDPROC previous;
    static int seen;
    seen = 0;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongW(
        window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM a, LPARAM b) -> LRESULT {
            if (m == WM_USER) {
                ++seen;
                return 40 + CallWindowProcW(previous, w, m, a, b);
            }
            return CallWindowProcW(previous, w, m, a, b);
        })));
    Recorder::Handlers()[WM_USER] = [](HWND, WPARAM, LPARAM) -> LRESULT { return 2; };
    EXPECT_EQ(reinterpret_cast<WNDPROC>(previous), &Recorder::Proc);
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 42);
    EXPECT_EQ(seen, 1);

    int object = 0;
    SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongW(window, GWL_USERDATA)), &object) << "user data is pointer-sized";
}

TEST_F(UserWindows, ATimerFiresOnTheVirtualClockOncePerDuePeriod) {
    ce::EnableVirtualClock(1'700'000'000'000ull);
    HWND window = Make(0);
    ASSERT_EQ(SetTimer(window, 7, 1000, nullptr), 7u);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    ce::AdvanceVirtualClock(999);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    ce::AdvanceVirtualClock(1);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 7u);
    // Five periods late still fire once.
    ce::AdvanceVirtualClock(5000);
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    // A waiting GetMessage wakes when the clock passes the due time.
    std::thread advancer([] { ce::AdvanceVirtualClock(1000); });
    ASSERT_TRUE(GetMessageW(&message, window, WM_TIMER, WM_TIMER));
    advancer.join();
    EXPECT_TRUE(KillTimer(window, 7));
    ce::AdvanceVirtualClock(5000);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    ce::DisableVirtualClock();
}

TEST_F(UserWindows, ActivationTellsTheOldWindowFirstAndFocusFollows) {
    HWND first = Make(WS_VISIBLE);
    HWND second = Make(WS_VISIBLE);
    Pump();
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(GetFocus(), second);
    Recorder::Log().clear();
    SetActiveWindow(first);
    ASSERT_EQ(Recorder::Log().size() >= 2, true);
    auto toSecond = Recorder::Of(second, WM_ACTIVATE);
    auto toFirst = Recorder::Of(first, WM_ACTIVATE);
    ASSERT_EQ(toSecond.size(), 1u);
    ASSERT_EQ(toFirst.size(), 1u);
    EXPECT_EQ(LOWORD(toSecond[0].wParam), WA_INACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(toSecond[0].lParam), first);
    EXPECT_EQ(LOWORD(toFirst[0].wParam), WA_ACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(toFirst[0].lParam), second);
    size_t inactiveAt = 0, activeAt = 0;
    for (size_t i = 0; i < Recorder::Log().size(); ++i) {
        const auto& r = Recorder::Log()[i];
        if (r.message == WM_ACTIVATE && r.window == second) inactiveAt = i;
        if (r.message == WM_ACTIVATE && r.window == first) activeAt = i;
    }
    EXPECT_LT(inactiveAt, activeAt);
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(GetForegroundWindow(), first);
    // Destroying the active window hands the activation on.
    DestroyWindow(first);
    EXPECT_EQ(GetActiveWindow(), second);
}

TEST_F(UserWindows, FocusAndCaptureMoveAsOnThePlatform) {
    HWND top = Make(WS_VISIBLE);
    HWND a = Make(WS_CHILD | WS_VISIBLE, top);
    HWND b = Make(WS_CHILD | WS_VISIBLE, top);
    Pump();
    Recorder::Log().clear();
    EXPECT_EQ(SetFocus(a), top);
    EXPECT_EQ(SetFocus(b), a);
    auto lost = Recorder::Of(a, WM_KILLFOCUS);
    auto gained = Recorder::Of(b, WM_SETFOCUS);
    ASSERT_EQ(lost.size(), 1u);
    ASSERT_EQ(gained.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(lost[0].wParam), b);
    EXPECT_EQ(reinterpret_cast<HWND>(gained[0].wParam), a);
    EXPECT_EQ(GetFocus(), b);

    EnableWindow(a, FALSE);
    EXPECT_EQ(SetFocus(a), nullptr) << "a disabled window takes no focus";
    EXPECT_EQ(GetFocus(), b);

    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    auto changed = Recorder::Of(a, WM_CAPTURECHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(changed[0].lParam), b);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Recorder::Of(b, WM_CAPTURECHANGED).size(), 1u);
    // A window going away takes its capture and focus with it.
    SetCapture(b);
    DestroyWindow(b);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserWindows, ChildGeometryMapsThroughItsParents) {
    HWND top = Make(WS_VISIBLE, nullptr, 10, 40, 200, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, top, 5, 7, 50, 20);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 47);
    EXPECT_EQ(rect.right, 65);
    ASSERT_TRUE(GetClientRect(child, &rect));
    EXPECT_EQ(rect.right, 50);
    EXPECT_EQ(rect.bottom, 20);
    POINT point{0, 0};
    ClientToScreen(child, &point);
    EXPECT_EQ(point.x, 15);
    EXPECT_EQ(point.y, 47);
    ScreenToClient(top, &point);
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 7);
    EXPECT_EQ(WindowFromPoint(POINT{20, 50}), child);
    EXPECT_EQ(WindowFromPoint(POINT{100, 150}), top);
    Recorder::Log().clear();
    MoveWindow(child, 1, 2, 30, 10, TRUE);
    auto size = Recorder::Of(child, WM_SIZE);
    ASSERT_EQ(size.size(), 1u);
    EXPECT_EQ(LOWORD(size[0].lParam), 30);
    EXPECT_EQ(HIWORD(size[0].lParam), 10);
    EXPECT_EQ(GetDlgItem(top, GetDlgCtrlID(child)), child);
    EXPECT_EQ(GetParent(child), top);
}

TEST_F(UserWindows, SendMessageToAnotherThreadRunsThereAndReturnsItsAnswer) {
    std::atomic<HWND> window{nullptr};
    std::atomic<DWORD> workerId{0};
    static std::atomic<DWORD> answeredOn{0};
    Recorder::Handlers()[WM_USER + 5] = [](HWND, WPARAM w, LPARAM) -> LRESULT {
        answeredOn = GetCurrentThreadId();
        return static_cast<LRESULT>(w * 2);
    };
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        HWND made = CreateWindowExW(0, u"Recorder", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        window = made;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0)) {
            DispatchMessageW(&message);
        }
        DestroyWindow(made);
    });
    while (!window) {
        std::this_thread::yield();
    }
    EXPECT_EQ(SendMessageW(window, WM_USER + 5, 21, 0), 42);
    EXPECT_EQ(answeredOn.load(), workerId.load());
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), workerId.load());
    PostThreadMessageW(workerId, WM_QUIT, 0, 0);
    worker.join();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(UserWindows, SetParentMovesAChildAndRefusesToPutAWindowUnderItself) {
    HWND top = Make(WS_VISIBLE, nullptr, 0, 30, 200, 200);
    HWND left = Make(WS_CHILD | WS_VISIBLE, top, 0, 0, 100, 100);
    HWND right = Make(WS_CHILD | WS_VISIBLE, top, 100, 0, 100, 100);
    HWND leaf = Make(WS_CHILD | WS_VISIBLE, left, 10, 10, 20, 20);
    Pump();
    EXPECT_EQ(GetWindow(left, GW_HWNDNEXT), right);
    EXPECT_EQ(GetWindow(right, GW_HWNDPREV), left);
    EXPECT_EQ(GetWindow(left, GW_HWNDPREV), nullptr);
    EXPECT_EQ(GetWindow(top, GW_CHILD), left);

    EXPECT_EQ(SetParent(left, left), nullptr);
    EXPECT_EQ(SetParent(left, leaf), nullptr) << "a window cannot go under its own child";
    EXPECT_EQ(GetParent(left), top);
    EXPECT_TRUE(IsChild(top, leaf)) << "walks up the tree still end";

    EXPECT_EQ(SetParent(leaf, right), left);
    EXPECT_EQ(GetParent(leaf), right);
    EXPECT_FALSE(IsChild(left, leaf));
    EXPECT_EQ(GetWindow(left, GW_CHILD), nullptr);
    RECT rect;
    GetWindowRect(leaf, &rect);
    EXPECT_EQ(rect.left, 110) << "its position is now taken in the new parent";
    EXPECT_TRUE(GetUpdateRect(left, nullptr, FALSE)) << "the old parent shows where it was";
    EXPECT_TRUE(GetUpdateRect(leaf, nullptr, FALSE));
}

TEST_F(UserWindows, MessageFiltersTakeAWindowWithItsChildrenARangeOrThreadMessagesOnly) {
    HWND top = Make(0);
    HWND child = Make(WS_CHILD, top);
    HWND other = Make(0);
    Pump();
    PostMessageW(other, WM_APP + 1, 0, 0);
    PostMessageW(child, WM_APP + 2, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 3, 0, 0);
    PostMessageW(top, WM_APP + 4, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, top, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_APP + 2)) << "a child's message belongs to its parent's filter";
    ASSERT_TRUE(PeekMessageW(&message, top, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, child) << "PM_NOREMOVE left it in place";
    ASSERT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_APP + 3));
    EXPECT_EQ(message.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP + 4, WM_APP + 9, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_APP + 4)) << "the range passes over the earlier message";
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, other);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP + 9, PM_REMOVE));

    // A message left behind by a window that is gone is dropped when dispatched.
    PostMessageW(other, WM_APP + 5, 0, 0);
    DestroyWindow(other);
    Recorder::Log().clear();
    Pump();
    EXPECT_TRUE(Recorder::Of(other, WM_APP + 5).empty());
}

std::atomic<int> timerCalls{0};
void CALLBACK CountTimer(HWND, UINT, UINT_PTR id, DWORD) { timerCalls += static_cast<int>(id); }

TEST_F(UserWindows, TimerProceduresRunOnDispatchOnlyForLiveTimersAndEndWithTheirWindow) {
    ce::EnableVirtualClock(1'700'000'000'000ull);
    timerCalls = 0;
    HWND window = Make(0);
    ASSERT_NE(SetTimer(window, 3, 100, CountTimer), 0u);
    UINT_PTR first = SetTimer(nullptr, 0, 100, CountTimer);
    UINT_PTR second = SetTimer(nullptr, 0, 100, CountTimer);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, first) << "thread timers get ids of their own";
    ce::AdvanceVirtualClock(100);
    Pump();
    EXPECT_EQ(timerCalls.load(), static_cast<int>(3 + first + second));
    EXPECT_TRUE(Recorder::Of(window, WM_TIMER).empty()) << "the procedure answers in place of the window";

    // A WM_TIMER that anyone may post names no procedure to call.
    timerCalls = 0;
    PostMessageW(window, WM_TIMER, 4, reinterpret_cast<LPARAM>(&CountTimer));  // no timer 4
    PostMessageW(window, WM_TIMER, 3, 0x1234);  // would crash if called
    Pump();
    EXPECT_EQ(timerCalls.load(), 0);
    EXPECT_EQ(Recorder::Of(window, WM_TIMER).size(), 2u);

    // Setting a timer again restarts its period.
    Recorder::Log().clear();
    ce::AdvanceVirtualClock(50);
    ASSERT_NE(SetTimer(window, 3, 100, nullptr), 0u);
    ce::AdvanceVirtualClock(60);
    Pump();
    EXPECT_TRUE(Recorder::Of(window, WM_TIMER).empty());
    ce::AdvanceVirtualClock(40);
    Pump();
    EXPECT_EQ(Recorder::Of(window, WM_TIMER).size(), 1u);

    EXPECT_TRUE(KillTimer(nullptr, first));
    EXPECT_FALSE(KillTimer(nullptr, first));
    DestroyWindow(window);
    EXPECT_FALSE(KillTimer(window, 3)) << "the window took its timers with it";
    timerCalls = 0;
    ce::AdvanceVirtualClock(1000);
    Pump();
    EXPECT_EQ(timerCalls.load(), static_cast<int>(second));
    EXPECT_TRUE(KillTimer(nullptr, second));
    ce::DisableVirtualClock();
}

}  // namespace
