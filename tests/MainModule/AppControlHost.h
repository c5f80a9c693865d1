// The program's own controls on a real window with the real skin: a device with the sprite library and
// both skin packages, a window that routes the pen as the main window does (a press goes to the
// control under it, the moves and the release to that control wherever the pen is), the English
// texts, and helpers that inject taps, strokes and keys and read the screen back.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "CLocalization.h"
#include "Framework/ControlHostWindow.h"
#include "SkinDevice.h"
#include "ce/device.h"

namespace appctl_test {

class PenRoutingHost : public framework::test::ControlHostWindow {
public:
    LRESULT OnLButtonDown(int x, int y) override {
        pressed = nullptr;
        for (UserInterface::CDlgControl* control : controls) {
            RECT rect;
            control->GetRect(&rect);
            if (control->IsVisible() && control->IsEnabled() && PtInRect(&rect, POINT{x, y})) {
                pressed = control;
                break;
            }
        }
        return Send(UserInterface::CDlgControl::kMsgPointerDown, x, y);
    }
    LRESULT OnMouseMove(int x, int y) override { return Send(UserInterface::CDlgControl::kMsgPointerMove, x, y); }
    LRESULT OnLButtonUp(int x, int y) override {
        const LRESULT result = Send(UserInterface::CDlgControl::kMsgPointerUp, x, y);
        pressed = nullptr;
        return result;
    }

    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override {
        if (onNotice) {
            onNotice(Notice{control, code, a, b});
        }
        return ControlHostWindow::OnControlNotify(control, code, a, b);
    }

    UserInterface::CDlgControl* pressed = nullptr;
    // Called during the notification, while what its arguments point to is still valid.
    std::function<void(const Notice&)> onNotice;

private:
    LRESULT Send(UINT message, int x, int y) {
        if (pressed == nullptr) {
            return 0;
        }
        RECT rect;
        pressed->GetRect(&rect);
        POINT own{x - rect.left, y - rect.top};
        return pressed->SendMessage(message, reinterpret_cast<WPARAM>(&own), 0);
    }
};

// Waits up to the given real time for a condition that another thread makes true.
template <class Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(1)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

class AppControlTest : public ::testing::Test {
protected:
    static constexpr int kHostWidth = 240;
    static constexpr int kHostHeight = 220;
    // A control's background in the tests that look for what it draws: dark grey under white text.
    static constexpr COLORREF kDark = RGB(40, 40, 40);

    explicit AppControlTest(DWORD baseHue = 384, int screenWidth = 240, int screenHeight = 320)
        : device_(baseHue, screenWidth, screenHeight) {}

    void SetUp() override {
        ce::EnableVirtualClock(1'760'000'000'000ull);
        std::filesystem::create_directories(device_.InstallFolder("Loc"));
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/loc.0409.txt", device_.InstallFolder("Loc/loc.0409.txt"));
        ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
        ASSERT_TRUE(device_.LoadSkin());
        ASSERT_TRUE(host_.Open(kHostWidth, kHostHeight));
    }
    void TearDown() override {
        ce::DisableVirtualClock();
    }

    // Places a created control on the host and paints the window.
    void Show(UserInterface::CDlgControl& control, int x, int y, int width, int height) {
        control.Move(x, y, width, height, FALSE);
        host_.Add(&control);
        Repaint();
    }
    void Repaint() {
        host_.Redraw(FALSE);
        Pump();
    }
    static void Pump() { framework::test::WindowDevice::Pump(); }
    // Lets the double-tap time pass between two taps.
    static void Pause() {
        ce::AdvanceVirtualClock(1000);
        Pump();
    }

    void Tap(int x, int y) {
        const POINT at = host_.ScreenPoint(x, y);
        ce::InjectTap(at.x, at.y);
        Pump();
    }
    void PenDown(int x, int y) {
        const POINT at = host_.ScreenPoint(x, y);
        ce::InjectStylusDown(at.x, at.y);
        Pump();
    }
    void PenMove(int x, int y) {
        const POINT at = host_.ScreenPoint(x, y);
        ce::InjectStylusMove(at.x, at.y);
        Pump();
    }
    void PenUp(int x, int y) {
        const POINT at = host_.ScreenPoint(x, y);
        ce::InjectStylusUp(at.x, at.y);
        Pump();
    }
    void KeyDown(UINT key) {
        ce::InjectKeyDown(key);
        Pump();
    }
    void KeyUp(UINT key) {
        ce::InjectKeyUp(key);
        Pump();
    }

    static void PaintOnDark(UserInterface::CDlgControl& control) {
        HBRUSH brush = CreateSolidBrush(kDark);
        control.SetBackgroundBrush(brush, FALSE);
        DeleteObject(brush);
        control.SetTextColor(RGB(255, 255, 255), FALSE);
    }

    COLORREF Pixel(int x, int y) { return host_.PixelAt(x, y); }
    std::vector<COLORREF> PixelsOf(const RECT& rect) {
        std::vector<COLORREF> pixels;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                pixels.push_back(Pixel(x, y));
            }
        }
        return pixels;
    }
    // How many pixels of the rectangle are near the colour.
    int CountNear(const RECT& rect, COLORREF color, int tolerance = 24) {
        HDC dc = host_.GetDC();
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                count += skin_test::Near(GetPixel(dc, x, y), color, tolerance) ? 1 : 0;
            }
        }
        host_.ReleaseDC(dc);
        return count;
    }
    // Mean brightness (r + g + b) over the rectangle.
    int MeanBrightness(const RECT& rect) {
        HDC dc = host_.GetDC();
        long sum = 0;
        long count = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x, ++count) {
                sum += skin_test::Brightness(GetPixel(dc, x, y));
            }
        }
        host_.ReleaseDC(dc);
        return count > 0 ? static_cast<int>(sum / count) : 0;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& notice : host_.notices) {
            codes.push_back(notice.code);
        }
        return codes;
    }

    skin_test::SkinDevice device_;
    PenRoutingHost host_;
};

}  // namespace appctl_test
