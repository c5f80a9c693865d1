// The control base: creation and placement by size modes, drawing of background, border, content and
// focus frame on a real window, the message dispatcher, and the owned font and brush.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ControlHostWindow.h"
#include "UserInterface/CDlgControl.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;

constexpr COLORREF kContent = RGB(248, 0, 0);
constexpr COLORREF kBorder = RGB(0, 252, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

// Paints its content red and writes down every handler it gets.
class RecordingControl : public CDlgControl {
public:
    RecordingControl() : CDlgControl(u"__DlgRecording") {}

    std::vector<std::string> calls;
    int paints = 0;
    LRESULT createResult = 1;
    int preferredWidth = 33;
    int preferredHeight = 44;

    int GetPreferredWidth() override { return preferredWidth; }
    int GetPreferredHeight() override { return preferredHeight; }
    void OnPaint(HDC dc, const RECT* inner) override {
        ++paints;
        HBRUSH brush = CreateSolidBrush(kContent);
        FillRect(dc, inner, brush);
        DeleteObject(brush);
    }
    LRESULT OnCreate() override { return Log("create", createResult); }
    LRESULT OnKey(UINT key, BOOL down) override {
        return Log((down ? "keydown " : "keyup ") + std::to_string(key), key == VK_RETURN);
    }
    LRESULT OnPointer(const POINT* point, int mode) override {
        std::string text = "pointer " + std::to_string(mode);
        if (point) {
            text += ' ';
            text += std::to_string(point->x);
            text += ',';
            text += std::to_string(point->y);
        }
        return Log(text, 0);
    }
    LRESULT OnGesture(int phase) override { return Log("gesture " + std::to_string(phase), 0); }
    LRESULT OnMessage21(WPARAM wParam, LPARAM) override { return Log("m21 " + std::to_string(wParam), 0); }
    LRESULT OnCommand(int code, HWND) override { return Log("command " + std::to_string(code), 0); }
    LRESULT OnCtlColorStatic(HDC, HWND) override { return Log("color static", 77); }
    LRESULT OnCtlColorScrollBar(HDC, HWND) override { return Log("color scrollbar", 78); }
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override { return Log("other " + std::to_string(message), 0); }

private:
    LRESULT Log(const std::string& call, LRESULT result) {
        calls.push_back(call);
        return result;
    }
};

class ControlBase : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open()); }

    // A bordered, visible control at (x, y) of the host.
    RecordingControl& Make(DWORD flags, int x, int y, int width, int height) {
        controls_.push_back(std::make_unique<RecordingControl>());
        RecordingControl& control = *controls_.back();
        EXPECT_TRUE(control.Create(7, flags, width, height));
        control.Move(x, y, width, height, FALSE);
        control.SetBorderColor(kBorder, FALSE);
        host_.Add(&control);
        control.calls.clear();
        return control;
    }
    void Paint() {
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }

    WindowDevice device_;
    ControlHostWindow host_;
    std::vector<std::unique_ptr<RecordingControl>> controls_;
};

TEST_F(ControlBase, CreationFailsWhenTheControlRefusesAndPercentSizesWaitForPlacement) {
    RecordingControl refused;
    refused.createResult = 0;
    EXPECT_FALSE(refused.Create(1, CDlgControl::kVisible, 10, 10));
    EXPECT_FALSE(refused.IsCreated());

    RecordingControl relative;
    ASSERT_TRUE(relative.Create(2, CDlgControl::kVisible | CDlgControl::kPercentWidth, 50, 20));
    EXPECT_TRUE(relative.IsCreated());
    EXPECT_EQ(relative.GetWidth(), 0) << "a percentage is no width yet";
    EXPECT_EQ(relative.GetHeight(), 20);
    relative.Place(5, 6, 201, 100, nullptr, FALSE);
    EXPECT_EQ(relative.GetWidth(), 100) << "50 per cent of 201, rounded down";
    RECT rect;
    relative.GetRect(&rect);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 6);
}

TEST_F(ControlBase, PlacementTakesTheRecordThenFillThenPercentThenPreferredSize) {
    RecordingControl control;
    const SIZE record{61, 62};
    struct Case {
        DWORD flags;
        int width;
        int height;
    };
    const Case cases[] = {
        {0, 50, 50},  // no mode keeps the created size
        {CDlgControl::kPreferredWidth | CDlgControl::kPreferredHeight, 33, 44},
        {CDlgControl::kPreferredWidth | CDlgControl::kFillWidth | CDlgControl::kPercentHeight, 150, 40},
        {CDlgControl::kRecordWidth | CDlgControl::kFillWidth | CDlgControl::kFillHeight, 61, 80},
        {CDlgControl::kRecordHeight | CDlgControl::kPreferredHeight | CDlgControl::kPercentWidth, 75, 62},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(control.Create(3, c.flags | CDlgControl::kVisible, 50, 50));
        control.Place(0, 0, 150, 80, &record, FALSE);
        EXPECT_EQ(control.GetWidth(), c.width) << std::hex << c.flags;
        EXPECT_EQ(control.GetHeight(), c.height) << std::hex << c.flags;
    }
    ASSERT_TRUE(control.Create(3, CDlgControl::kRecordWidth | CDlgControl::kRecordHeight, 50, 50));
    control.Place(0, 0, 150, 80, nullptr, FALSE);
    EXPECT_EQ(control.GetWidth(), 0) << "no record, no size";
}

TEST_F(ControlBase, BackgroundBorderContentAndFocusFrameAreDrawnInTheirPlaces) {
    RecordingControl& control = Make(CDlgControl::kVisible | CDlgControl::kBorder, 20, 30, 60, 40);
    Paint();
    EXPECT_TRUE(Near(host_.PixelAt(20, 30), kBorder)) << "frame at the corner";
    EXPECT_TRUE(Near(host_.PixelAt(79, 69), kBorder)) << "frame at the far corner";
    EXPECT_TRUE(Near(host_.PixelAt(21, 31), kWhite)) << "background between frame and content";
    EXPECT_TRUE(Near(host_.PixelAt(22, 32), kContent)) << "content starts inside the border size";
    EXPECT_TRUE(Near(host_.PixelAt(77, 67), kContent));
    EXPECT_TRUE(Near(host_.PixelAt(78, 68), kWhite));
    EXPECT_TRUE(Near(host_.PixelAt(81, 71), kWhite)) << "nothing outside the control";

    host_.focused = &control;
    control.SetFocusColor(RGB(0, 0, 248), TRUE);
    EXPECT_TRUE(Near(host_.PixelAt(21, 31), RGB(0, 0, 248))) << "the focus frame is two lines wide";
    EXPECT_TRUE(Near(host_.PixelAt(22, 32), kContent));

    control.SetVisible(FALSE, FALSE);
    Paint();
    EXPECT_TRUE(Near(host_.PixelAt(50, 50), kWhite)) << "an invisible control paints nothing";
    EXPECT_TRUE(control.Draw(host_.GetDC(), 0, 0, nullptr, FALSE)) << "and says it is done";
}

TEST(ControlBaseLargeScreen, TheBorderIsTwoPixelsAndTheFocusFrameFour) {
    WindowDevice large(480, 640);
    ControlHostWindow host;
    ASSERT_TRUE(host.Open(300, 300));
    RecordingControl control;
    ASSERT_TRUE(control.Create(1, CDlgControl::kVisible | CDlgControl::kBorder, 100, 60));
    control.Move(10, 10, 100, 60, FALSE);
    control.SetBorderColor(kBorder, FALSE);
    host.Add(&control);
    EXPECT_EQ(control.GetBorderSize(), 4);
    RECT inner;
    control.GetInnerRect(&inner);
    EXPECT_EQ(inner.left, 14);
    EXPECT_EQ(inner.bottom, 66);
    EXPECT_EQ(control.GetInnerWidth(), 92);

    host.focused = &control;
    control.Redraw(nullptr);
    EXPECT_FALSE(Near(host.PixelAt(13, 13), kContent)) << "four focus lines";
    EXPECT_TRUE(Near(host.PixelAt(14, 14), kContent));
    host.focused = nullptr;
    control.Redraw(nullptr);
    EXPECT_TRUE(Near(host.PixelAt(11, 11), kBorder)) << "two border lines";
    EXPECT_TRUE(Near(host.PixelAt(12, 12), kWhite));
}

TEST_F(ControlBase, SettersRepaintOnlyWhenAskedAndTheHostPaintsItsBackground) {
    RecordingControl& control = Make(CDlgControl::kVisible | CDlgControl::kHostBackground, 10, 10, 50, 50);
    Paint();
    const int paints = control.paints;
    EXPECT_EQ(host_.erased, (std::vector<CDlgControl*>{&control}));
    control.SetTextColor(RGB(1, 2, 3), FALSE);
    EXPECT_EQ(control.paints, paints) << "redraw 0 does not repaint";
    EXPECT_EQ(control.SendMessage(CDlgControl::kMsgGetTextColor, 0, 0), static_cast<LRESULT>(RGB(1, 2, 3)));
    control.SetTextColor(RGB(4, 5, 6), TRUE);
    EXPECT_EQ(control.paints, paints + 1);
    control.SetBorderColor(RGB(7, 8, 9), TRUE);
    EXPECT_EQ(control.GetBorderColor(), RGB(7, 8, 9));
    EXPECT_EQ(control.paints, paints + 2);
    control.Enable(FALSE, FALSE);
    EXPECT_FALSE(control.IsEnabled());
    EXPECT_EQ(control.paints, paints + 2);

    RecordingControl hostless;
    ASSERT_TRUE(hostless.Create(1, CDlgControl::kVisible, 10, 10));
    EXPECT_FALSE(hostless.Redraw(nullptr));
    EXPECT_EQ(hostless.NotifyHost(1, 2, 3), 0);
    EXPECT_EQ(control.NotifyHost(5, 6, 7), 1);
    ASSERT_EQ(host_.notices.size(), 1u);
    EXPECT_EQ(host_.notices[0].control, &control);
    EXPECT_EQ(host_.notices[0].code, 5);
}

TEST_F(ControlBase, AnOwnBufferCopiesOnlyTheClipPart) {
    RecordingControl& control = Make(CDlgControl::kVisible, 40, 40, 40, 40);
    Paint();
    HDC dc = host_.GetDC();
    RECT everything{0, 0, 200, 200};
    FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT clip{10, 10, 20, 20};
    EXPECT_TRUE(control.Draw(dc, 40, 40, &clip, TRUE));
    host_.ReleaseDC(dc);
    EXPECT_TRUE(Near(host_.PixelAt(55, 55), kContent));
    EXPECT_TRUE(Near(host_.PixelAt(45, 45), RGB(0, 0, 0))) << "outside the clip stays as it was";
    EXPECT_TRUE(Near(host_.PixelAt(60, 60), RGB(0, 0, 0)));
}

TEST_F(ControlBase, TheBackgroundBrushIsTheControlsOwnCopy) {
    RecordingControl& control = Make(CDlgControl::kVisible | CDlgControl::kBorder, 10, 10, 50, 50);
    HBRUSH given = CreateSolidBrush(RGB(248, 252, 0));
    control.SetBackgroundBrush(given, FALSE);
    EXPECT_NE(control.GetBackgroundBrush(), given);
    DeleteObject(given);
    Paint();
    EXPECT_TRUE(Near(host_.PixelAt(11, 11), RGB(248, 252, 0))) << "the copy outlives the given brush";
    control.SetBackgroundBrush(nullptr, TRUE);
    EXPECT_EQ(control.GetBackgroundBrush(), nullptr);
    EXPECT_TRUE(Near(host_.PixelAt(11, 11), kWhite)) << "none: the white stock brush";

    HFONT before = control.GetFont();
    ASSERT_NE(before, nullptr) << "a copy of the system font from the start";
    LOGFONTW description{};
    ASSERT_NE(GetObjectW(before, sizeof description, &description), 0);
    EXPECT_EQ(description.lfQuality, CLEARTYPE_QUALITY);
    description.lfHeight = 31;
    HFONT bigger = CreateFontIndirectW(&description);
    control.SetFont(bigger, FALSE);
    DeleteObject(bigger);
    ASSERT_NE(control.GetFont(), bigger);
    ASSERT_NE(GetObjectW(control.GetFont(), sizeof description, &description), 0);
    EXPECT_EQ(description.lfHeight, 31);
}

TEST_F(ControlBase, MessagesReachTheirHandlersAndTapsAndKeysComeInOwnCoordinates) {
    RecordingControl& control = Make(CDlgControl::kVisible, 30, 50, 60, 30);
    host_.focused = &control;
    POINT tap = host_.ScreenPoint(45, 62);
    ce::InjectTap(tap.x, tap.y);
    ce::InjectKey(VK_RETURN);
    WindowDevice::Pump();
    EXPECT_EQ(control.calls, (std::vector<std::string>{"pointer 1 15,12", "pointer 2 15,12", "keydown 13", "keyup 13"}));

    control.calls.clear();
    POINT point{3, 4};
    EXPECT_EQ(control.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_RETURN), 1) << "a handled key answers nonzero";
    control.SendMessage(CDlgControl::kMsgPointerMove, reinterpret_cast<WPARAM>(&point), 0);
    control.SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
    control.SendMessage(CDlgControl::kMsgMessage21, 8, 0);
    control.SendMessage(CDlgControl::kMsgGesture, 2, 0);
    control.SendMessage(CDlgControl::kMsgCommand, 9, 0);
    EXPECT_EQ(control.SendMessage(CDlgControl::kMsgCtlColorStatic, 0, 0), 77);
    EXPECT_EQ(control.SendMessage(CDlgControl::kMsgCtlColorScrollBar, 0, 0), 78);
    control.SendMessage(266, 0, 0);
    control.SendMessage(1281, 0, 0);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"keydown 13", "pointer 0 3,4", "pointer 3", "m21 8", "gesture 2",
                                                       "command 9", "color static", "color scrollbar", "other 266",
                                                       "other 1281"}));

    control.SendMessage(CDlgControl::kMsgActivate, 0, 0);
    EXPECT_TRUE(control.IsHostActive());
    control.SendMessage(CDlgControl::kMsgDeactivate, 0, 0);
    EXPECT_FALSE(control.IsHostActive());
    EXPECT_EQ(control.SendMessage(CDlgControl::kMsgGetFocusColor, 0, 0),
              static_cast<LRESULT>(CDlgControl::kDefaultFocusColor));
}

TEST_F(ControlBase, TheTypeNameIsCutToTheBufferAndAlwaysTerminated) {
    RecordingControl control;
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    ASSERT_TRUE(control.GetTypeName(buffer, 5));
    EXPECT_EQ(std::u16string(buffer), u"__Dl");
    EXPECT_EQ(buffer[5], u'#') << "nothing written past the given length";
    ASSERT_TRUE(control.GetTypeName(buffer, 8));
    EXPECT_EQ(std::u16string(buffer), u"__DlgRe");
    EXPECT_FALSE(control.GetTypeName(buffer, 0));
    CDlgControl nameless;
    EXPECT_FALSE(nameless.GetTypeName(buffer, 8));
}

}  // namespace
