// The gesture recogniser fed by a real window with injected stylus input on the virtual clock: taps,
// drag thresholds, moves and flick replays.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "UserInterface/CDlgScrollable.h"
#include "UserInterface/CGenericWindow.h"
#include "WindowTestSupport.h"

namespace {

using framework::test::WindowDevice;
using UserInterface::CDlgScrollable;
using Event = std::pair<int, int>;
using Events = std::vector<Event>;

class GestureWindow : public UserInterface::CGenericWindow, public CDlgScrollable {
public:
    GestureWindow() { m_className = u"FrameworkGestureWindow"; }

    Events events;

    void OnScroll(int kind, int amount) override { events.emplace_back(kind, amount); }
    LRESULT OnLButtonDown(int x, int y) override {
        SetCapture();
        return Feed(kPenDown, x, y);
    }
    LRESULT OnMouseMove(int x, int y) override { return Feed(kPenMove, x, y); }
    LRESULT OnLButtonUp(int x, int y) override {
        ReleaseCapture();
        return Feed(kPenUp, x, y);
    }

private:
    LRESULT Feed(int event, int x, int y) {
        const POINT point{x, y};
        OnPointer(event, &point);
        return 0;
    }
};

class Gestures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window_.Create(nullptr, u"Gestures", 0, 30, 240, 260, WS_VISIBLE, 0, nullptr));
        WindowDevice::Pump();
    }
    // Stylus input at client points of the window, each delivered before the next.
    void Down(int x, int y) { Inject(ce::InjectStylusDown, x, y); }
    void Move(int x, int y) { Inject(ce::InjectStylusMove, x, y); }
    void Up(int x, int y) { Inject(ce::InjectStylusUp, x, y); }
    Events Take() { return std::exchange(window_.events, {}); }

    WindowDevice device_;
    GestureWindow window_;

private:
    void Inject(void (*inject)(int, int), int x, int y) {
        POINT point{x, y};
        ClientToScreen(window_.GetHandle(), &point);
        inject(point.x, point.y);
        WindowDevice::Pump();
    }
};

TEST_F(Gestures, ATapIsReportedAndTenPixelsAreNoDragYet) {
    Down(50, 50);
    Move(50, 60);
    EXPECT_TRUE(window_.events.empty()) << "10 pixels is not more than the threshold";
    Up(50, 60);
    EXPECT_EQ(Take(), (Events{{0, 0}}));
}

TEST_F(Gestures, TwelvePixelsStartAVerticalDragAndAPenThatRestsEndsWithoutFlick) {
    Down(50, 50);
    Move(50, 62);
    EXPECT_EQ(Take(), (Events{{1, 0}, {6, 12}}));
    Move(50, 62);
    EXPECT_TRUE(window_.events.empty()) << "no movement, no event";
    Move(50, 55);
    EXPECT_EQ(Take(), (Events{{7, 7}}));
    WindowDevice::Advance(600);
    Up(50, 55);
    EXPECT_EQ(Take(), (Events{{3, 0}}));
}

TEST_F(Gestures, AFlickReplaysTheLastMoveInShrinkingSteps) {
    Down(50, 20);
    Move(50, 40);
    WindowDevice::Advance(20);
    Move(50, 65);
    Take();
    WindowDevice::Advance(100);
    Up(50, 65);
    EXPECT_EQ(Take(), (Events{{6, 22}, {6, 19}, {6, 16}, {6, 13}, {6, 10}, {6, 7}, {6, 4}, {6, 1}, {3, 0}}));

    Down(100, 100);
    Move(100, 112);
    Move(105, 112);
    Take();
    WindowDevice::Advance(499);
    Up(105, 112);
    EXPECT_EQ(Take(), (Events{{4, 4}, {4, 3}, {4, 2}, {4, 1}, {3, 0}})) << "short moves step by one";
}

TEST_F(Gestures, AHorizontalDragBeginsAsSuchAndAResetDropsTheGesture) {
    Down(120, 50);
    Move(100, 52);
    EXPECT_EQ(Take(), (Events{{2, 0}, {5, 20}}));
    window_.ResetGesture();
    Move(80, 52);
    Up(80, 52);
    EXPECT_TRUE(window_.events.empty()) << "nothing after a reset until the next pen-down";
}

TEST(GestureDirection, MovesAreVerticalUnlessClearlyHorizontal) {
    const POINT from{10, 10};
    const POINT diagonal{20, 20};
    const POINT left{0, 15};
    int distance = -5;
    EXPECT_EQ(CDlgScrollable::GetDirection(&from, &diagonal, &distance), 6);
    EXPECT_EQ(distance, 10);
    EXPECT_EQ(CDlgScrollable::GetDirection(&from, &left, &distance), 5);
    EXPECT_EQ(distance, 10);
    EXPECT_EQ(CDlgScrollable::GetDirection(&from, &from, &distance), 0);
    EXPECT_EQ(distance, 0);
    EXPECT_EQ(CDlgScrollable::GetDirection(nullptr, &from, &distance), -1);
}

TEST(GestureThreshold, ScalesWithTheScreen) {
    WindowDevice large(480, 640);
    GestureWindow window;
    ASSERT_TRUE(window.Create(nullptr, u"Gestures", 0, 60, 480, 500, WS_VISIBLE, 0, nullptr));
    WindowDevice::Pump();
    POINT origin{0, 0};
    ClientToScreen(window.GetHandle(), &origin);
    ce::InjectStylusDown(origin.x + 100, origin.y + 100);
    ce::InjectStylusMove(origin.x + 100, origin.y + 120);
    WindowDevice::Pump();
    EXPECT_TRUE(window.events.empty()) << "20 pixels are the threshold on a 480 screen";
    ce::InjectStylusMove(origin.x + 100, origin.y + 121);
    WindowDevice::Pump();
    EXPECT_EQ(window.events, (Events{{1, 0}, {6, 21}}));
    ce::InjectStylusUp(origin.x + 100, origin.y + 121);
    WindowDevice::Pump();
}

}  // namespace
