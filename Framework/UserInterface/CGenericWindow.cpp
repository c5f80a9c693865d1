#include "UserInterface/CGenericWindow.h"

#include "CSysInfo.h"
#include "RectHelpers.h"

namespace UserInterface {

namespace {

HINSTANCE ProgramInstance() {
    return g_pSysInfo != nullptr ? g_pSysInfo->GetInstance() : GetModuleHandleW(nullptr);
}

}  // namespace

CGenericWindow::~CGenericWindow() {
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
        HWND window = m_hWnd;
        SetWindowLongW(window, GWL_USERDATA, 0);
        ForgetWindow();
        DestroyWindow(window);
    }
}

bool CGenericWindow::RegisterWindowClass() const {
    if (m_className == nullptr) {
        return false;
    }
    HINSTANCE instance = ProgramInstance();
    WNDCLASSW known{};
    if (GetClassInfoW(instance, m_className, &known)) {
        return true;
    }
    WNDCLASSW info{};
    info.style = CS_DBLCLKS;
    info.lpfnWndProc = WindowProc;
    info.hInstance = instance;
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    info.lpszClassName = m_className;
    return RegisterClassW(&info) != 0;
}

BOOL CGenericWindow::Create(HWND parent, LPCWSTR title, int x, int y, int width, int height, DWORD style,
                            DWORD exStyle, HMENU menu) {
    if (!RegisterWindowClass()) {
        return FALSE;
    }
    HWND window = CreateWindowExW(exStyle, m_className, title, style, x, y, width, height, parent, menu,
                                  ProgramInstance(), this);
    return window != nullptr;
}

LRESULT CALLBACK CGenericWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<LPCREATESTRUCTW>(lParam);
        auto* self = create != nullptr ? static_cast<CGenericWindow*>(create->lpCreateParams) : nullptr;
        if (self == nullptr) {
            return 0;
        }
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = window;
        return self->OnCreate(window, create);
    }
    auto* self = reinterpret_cast<CGenericWindow*>(GetWindowLongW(window, GWL_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_DESTROY) {
        // What comes after WM_DESTROY is the window manager's alone.
        SetWindowLongW(window, GWL_USERDATA, 0);
        self->OnDestroy();
        return 0;
    }
    return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT CGenericWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = PointFromLParam(lParam);
    switch (message) {
        case WM_SIZE:
            if (g_pSysInfo != nullptr) {
                g_pSysInfo->UpdateScreenSize();
            }
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ACTIVATE:
            SHHandleWMActivate(window, wParam, lParam, &m_activateInfo, 0);
            // A click activation (WA_CLICKACTIVE) activates as much as WA_ACTIVE does.
            if (OnActivate(LOWORD(wParam) != WA_INACTIVE, lParam) == 0) {
                return DefWindowProcW(window, message, wParam, lParam);
            }
            return 0;
        case WM_PAINT:
            return OnPaint() == 0 ? DefWindowProcW(window, message, wParam, lParam) : 0;
        case WM_CLOSE:
            return OnClose() != 0 ? DefWindowProcW(window, message, wParam, lParam) : 0;
        case WM_ERASEBKGND:
            return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        case WM_SETTINGCHANGE:
            SHHandleWMSettingChange(window, wParam, lParam, &m_activateInfo);
            OnSettingChange(wParam, lParam);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_DRAWITEM:
            OnDrawItem(static_cast<UINT>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_MEASUREITEM:
            return OnMeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        case WM_SETFONT:
            OnSetFont(reinterpret_cast<HFONT>(wParam), static_cast<BOOL>(lParam));
            return CallDefaultProc(message, wParam, lParam);
        case WM_WINDOWPOSCHANGED:
            return OnWindowPosChanged() == 0 ? DefWindowProcW(window, message, wParam, lParam) : 0;
        case WM_HELP:
            OnHelp();
            return CallDefaultProc(message, wParam, lParam);
        case WM_GETDLGCODE:
            return OnGetDlgCode(static_cast<UINT>(wParam));
        case WM_KEYDOWN:
        case WM_KEYUP:
            return OnKey(static_cast<UINT>(wParam), message == WM_KEYDOWN);
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_TIMER:
            return OnTimer(wParam);
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(LOWORD(lParam), reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_MOUSEMOVE:
            return OnMouseMove(point.x, point.y);
        case WM_LBUTTONDOWN:
            return OnLButtonDown(point.x, point.y);
        case WM_LBUTTONUP:
            return OnLButtonUp(point.x, point.y);
        case WM_LBUTTONDBLCLK:
            return OnLButtonDblClk(point.x, point.y);
        case WM_HOTKEY:
            // The Back key must not leave the window.
            if (HIWORD(lParam) == VK_ESCAPE) {
                return 0;
            }
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            return CallDefaultProc(message, wParam, lParam);
    }
}

LRESULT CGenericWindow::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hWnd, WM_SETTINGCHANGE, wParam, lParam);
}

LRESULT CGenericWindow::OnDrawItem(UINT id, LPDRAWITEMSTRUCT item) {
    return DefWindowProcW(m_hWnd, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(item));
}

LRESULT CGenericWindow::OnMeasureItem(LPMEASUREITEMSTRUCT item) {
    return DefWindowProcW(m_hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(item));
}

LRESULT CGenericWindow::OnSize(int, int) { return 1; }
LRESULT CGenericWindow::OnTimer(UINT_PTR) { return 0; }
LRESULT CGenericWindow::OnSetFont(HFONT, BOOL) { return 1; }
LRESULT CGenericWindow::OnLButtonDown(int, int) { return 0; }
LRESULT CGenericWindow::OnLButtonUp(int, int) { return 0; }
LRESULT CGenericWindow::OnMouseMove(int, int) { return 0; }
LRESULT CGenericWindow::OnLButtonDblClk(int, int) { return 0; }
LRESULT CGenericWindow::OnVScroll(int, HWND) { return 1; }
LRESULT CGenericWindow::OnWindowPosChanged() { return 0; }
LRESULT CGenericWindow::OnCreate(HWND, LPCREATESTRUCTW) { return 0; }

LRESULT CGenericWindow::OnDestroy() {
    ForgetWindow();
    return 0;
}

LRESULT CGenericWindow::OnKey(UINT, BOOL) { return 0; }
LRESULT CGenericWindow::OnGetDlgCode(UINT) { return 0; }

LRESULT CGenericWindow::OnEraseBkgnd(HDC dc) {
    return DefWindowProcW(m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

LRESULT CGenericWindow::OnPaint() { return 0; }

LRESULT CGenericWindow::CallDefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CGenericWindow::OnClose() {
    PostQuitMessage(0);
    return 1;
}

LRESULT CGenericWindow::OnCommand(int, int, HWND) { return 0; }
LRESULT CGenericWindow::OnInitMenuPopup(int, HMENU) { return 0; }
LRESULT CGenericWindow::OnActivate(BOOL, LPARAM) { return 0; }
LRESULT CGenericWindow::OnHelp() { return 0; }

}  // namespace UserInterface
