#include "StartScreen.h"

#include <cstring>

#include "ce/device.h"

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
// How often the screen asks its items whether their size changed, as the device's Today screen does.
constexpr UINT kRefreshPeriodMs = 2000;

CLSID ClassIdFromParams(WPARAM first, LPARAM second) {
    CLSID clsid{};
    std::memcpy(&clsid, &first, sizeof(first));
    std::memcpy(reinterpret_cast<BYTE*>(&clsid) + sizeof(first), &second, sizeof(second));
    return clsid;
}

}  // namespace

StartScreen::StartScreen(HINSTANCE instance) : instance_(instance) {}

StartScreen::~StartScreen() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool StartScreen::Create() {
    WNDCLASSW info{};
    info.lpfnWndProc = Procedure;
    info.hInstance = instance_;
    info.lpszClassName = ce::kStartScreenClass;
    if (RegisterClassW(&info) == 0) {
        return false;
    }
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    window_ = CreateWindowExW(0, ce::kStartScreenClass, u"Start", WS_VISIBLE, area.left, area.top,
                              area.right - area.left, area.bottom - area.top, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return false;
    }
    Load();
    loaded_ = true;
    Rearrange();
    SetTimer(window_, kRefreshTimer, kRefreshPeriodMs, nullptr);
    SetFocus(window_);
    Log("start", "screen", "ready");
    return true;
}

void StartScreen::Reload() {
    Unload();
    Load();
    Rearrange();
}

void StartScreen::Rearrange() {
    RECT client{};
    GetClientRect(window_, &client);
    Arrange(client);
    InvalidateRect(window_, nullptr, FALSE);
}

void StartScreen::Log(const std::string& event, const std::string& name, const std::string& result) {
    ce::AppendDeviceLog("startscreen", {{"event", event}, {"name", name}, {"result", result}});
}

LRESULT CALLBACK StartScreen::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* screen = reinterpret_cast<StartScreen*>(GetWindowLongW(window, GWL_USERDATA));
    if (screen == nullptr || screen->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return screen->Handle(message, wParam, lParam);
}

LRESULT StartScreen::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (loaded_ && OnMessage(message, wParam, lParam, &result)) {
        return result;
    }
    switch (message) {
    case WM_PAINT:
        PaintWindow();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONUP:
        OnTap(POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimer && loaded_) {
            OnTimer();
        }
        return 0;
    case WM_SETTINGCHANGE:
        if (loaded_) {
            OnSettingChange(wParam);
        }
        return 0;
    case WM_DESTROY:
        KillTimer(window_, kRefreshTimer);
        if (loaded_) {
            Unload();
            loaded_ = false;
        }
        SetWindowLongW(window_, GWL_USERDATA, 0);
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    if (message == ce::kPluginDataChangeMessage) {
        if (loaded_) {
            OnPluginDataChange(ClassIdFromParams(wParam, lParam));
        }
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// Everything is drawn into one picture first and put on the screen with one copy.
void StartScreen::PaintWindow() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        Paint(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    if (memory != nullptr) {
        DeleteDC(memory);
    }
    EndPaint(window_, &paint);
}
