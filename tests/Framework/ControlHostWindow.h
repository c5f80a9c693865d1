// A small real host for windowless controls in tests: a framework window that paints its controls,
// hands taps and keys to them as control messages and records what they tell it.
#pragma once

#include <string>
#include <vector>

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CGenericWindow.h"
#include "UserInterface/IDlgObjectHost.h"
#include "WindowTestSupport.h"

namespace framework::test {

class ControlHostWindow : public UserInterface::CGenericWindow, public UserInterface::IDlgObjectHost {
public:
    struct Notice {
        UserInterface::CDlgControl* control;
        int code;
        LPARAM a;
        LPARAM b;
    };

    static constexpr COLORREF kHostBackground = RGB(0, 0, 248);

    ControlHostWindow() { m_className = u"FrameworkControlHost"; }

    // A visible window with its client area at a known place of the work area.
    bool Open(int width = 200, int height = 200) {
        const bool made = Create(nullptr, u"Host", 20, 40, width, height, WS_VISIBLE, 0, nullptr);
        WindowDevice::Pump();
        return made;
    }
    void Add(UserInterface::CDlgControl* control) {
        control->SetHost(this);
        controls.push_back(control);
    }
    // The screen point of a client point, for injected taps.
    POINT ScreenPoint(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(m_hWnd, &point);
        return point;
    }
    COLORREF PixelAt(int x, int y) {
        HDC dc = GetDC();
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(dc);
        return color;
    }

    HDC GetHostDC() override { return m_hWnd != nullptr ? GetDC() : nullptr; }
    void ReleaseHostDC(HDC dc) override { ReleaseDC(dc); }
    void RedrawHost() override { Redraw(FALSE); }
    HWND GetHostWindow() override { return m_hWnd; }
    UserInterface::IDlgScreenCapture* GetScreenCapture() override { return nullptr; }
    UserInterface::CDlgControl* GetFocusedControl() override { return focused; }
    BOOL SetCaptureControl(UserInterface::CDlgControl* control) override {
        capture = control;
        return control != nullptr;
    }
    UserInterface::CDlgControl* GetCaptureControl() override { return capture; }
    void ReleaseCaptureControl() override { capture = nullptr; }
    void EraseBackground(UserInterface::CDlgControl* control, HDC dc, const RECT* rect) override {
        erased.push_back(control);
        HBRUSH brush = CreateSolidBrush(kHostBackground);
        FillRect(dc, rect, brush);
        DeleteObject(brush);
    }
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override {
        notices.push_back({control, code, a, b});
        return 1;
    }

    LRESULT OnPaint() override {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_hWnd, &paint);
        RECT client;
        GetClientRect(&client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        for (UserInterface::CDlgControl* control : controls) {
            control->SendMessage(UserInterface::CDlgControl::kMsgDrawAt, reinterpret_cast<WPARAM>(dc), 0);
        }
        EndPaint(m_hWnd, &paint);
        return 1;
    }
    LRESULT OnLButtonDown(int x, int y) override {
        pressed = ControlAt(x, y);
        return Pointer(UserInterface::CDlgControl::kMsgPointerDown, x, y);
    }
    // Moves go to the control the pen went down on, as a dialog sends them.
    LRESULT OnMouseMove(int x, int y) override {
        if (pressed == nullptr) {
            return 0;
        }
        RECT rect;
        pressed->GetRect(&rect);
        POINT own{x - rect.left, y - rect.top};
        return pressed->SendMessage(UserInterface::CDlgControl::kMsgPointerMove, reinterpret_cast<WPARAM>(&own), 0);
    }
    LRESULT OnLButtonUp(int x, int y) override { return Pointer(UserInterface::CDlgControl::kMsgPointerUp, x, y); }
    LRESULT OnKey(UINT key, BOOL down) override {
        if (focused == nullptr) {
            return 0;
        }
        return focused->SendMessage(down ? UserInterface::CDlgControl::kMsgKeyDown : UserInterface::CDlgControl::kMsgKeyUp,
                                    0, static_cast<LPARAM>(key));
    }

    std::vector<UserInterface::CDlgControl*> controls;
    UserInterface::CDlgControl* focused = nullptr;
    UserInterface::CDlgControl* capture = nullptr;
    UserInterface::CDlgControl* pressed = nullptr;
    std::vector<UserInterface::CDlgControl*> erased;
    std::vector<Notice> notices;

private:
    UserInterface::CDlgControl* ControlAt(int x, int y) const {
        for (UserInterface::CDlgControl* control : controls) {
            RECT rect;
            control->GetRect(&rect);
            if (control->IsVisible() && PtInRect(&rect, POINT{x, y})) {
                return control;
            }
        }
        return nullptr;
    }
    LRESULT Pointer(UINT message, int x, int y) {
        UserInterface::CDlgControl* control = ControlAt(x, y);
        if (control == nullptr) {
            return 0;
        }
        RECT rect;
        control->GetRect(&rect);
        POINT own{x - rect.left, y - rect.top};
        return control->SendMessage(message, reinterpret_cast<WPARAM>(&own), 0);
    }
};

}  // namespace framework::test
