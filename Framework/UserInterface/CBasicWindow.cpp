#include "UserInterface/CBasicWindow.h"

#include "CSysInfo.h"
#include "RectHelpers.h"

namespace UserInterface {

CBasicWindow::CBasicWindow() { ForgetWindow(); }

void CBasicWindow::ForgetWindow() {
    m_hWnd = nullptr;
    m_activateInfo = SHACTIVATEINFO{};
    m_activateInfo.cbSize = sizeof(SHACTIVATEINFO);
}

void CBasicWindow::SetWaitCursor(bool on) { ::SetCursor(on ? ::LoadCursorW(nullptr, IDC_WAIT) : nullptr); }

HWND CBasicWindow::GetHandle() const { return m_hWnd; }

BOOL CBasicWindow::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

UINT_PTR CBasicWindow::SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(m_hWnd, id, milliseconds, nullptr); }

HWND CBasicWindow::GetParent() const { return ::GetParent(m_hWnd); }

BOOL CBasicWindow::ReleaseCapture() { return ::ReleaseCapture(); }

HWND CBasicWindow::SetCapture() { return ::SetCapture(m_hWnd); }

BOOL CBasicWindow::UpdateWindow() { return ::UpdateWindow(m_hWnd); }

BOOL CBasicWindow::InvalidateRect(const RECT* rect, BOOL erase) { return ::InvalidateRect(m_hWnd, rect, erase); }

BOOL CBasicWindow::Redraw(BOOL erase) {
    InvalidateRect(nullptr, erase);
    return UpdateWindow();
}

HDC CBasicWindow::GetDC() { return ::GetDC(m_hWnd); }

int CBasicWindow::ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }

HWND CBasicWindow::SetFocus() { return ::SetFocus(m_hWnd); }

BOOL CBasicWindow::IsVisible() const { return ::IsWindowVisible(m_hWnd); }

BOOL CBasicWindow::Show(BOOL show) { return ::ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE); }

BOOL CBasicWindow::Move(int x, int y, int width, int height) { return ::MoveWindow(m_hWnd, x, y, width, height, FALSE); }

BOOL CBasicWindow::GetWindowRect(LPRECT rect) const { return ::GetWindowRect(m_hWnd, rect); }

BOOL CBasicWindow::GetClientRect(LPRECT rect) const { return ::GetClientRect(m_hWnd, rect); }

int CBasicWindow::GetClientHeight() const {
    RECT rect{};
    return GetClientRect(&rect) ? rect.bottom : 0;
}

int CBasicWindow::GetClientWidth() const {
    RECT rect{};
    return GetClientRect(&rect) ? rect.right : 0;
}

int CBasicWindow::GetWindowHeight() const {
    RECT rect{};
    return GetWindowRect(&rect) ? RectHeight(rect) : 0;
}

int CBasicWindow::GetWindowWidth() const {
    RECT rect{};
    return GetWindowRect(&rect) ? RectWidth(rect) : 0;
}

HWND CBasicWindow::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

void* CBasicWindow::GetDlgItemObject(int id) const {
    HWND child = GetDlgItem(id);
    return child != nullptr ? reinterpret_cast<void*>(::GetWindowLongW(child, GWL_USERDATA)) : nullptr;
}

BOOL CBasicWindow::GetDlgItemRect(int id, LPRECT rect) const {
    HWND child = GetDlgItem(id);
    if (child == nullptr || rect == nullptr || !::GetWindowRect(child, rect)) {
        return FALSE;
    }
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
    return TRUE;
}

int CBasicWindow::GetDlgItemWidth(int id) const { return CSysInfo::GetDlgItemWidth(m_hWnd, id); }

int CBasicWindow::GetDlgItemHeight(int id) const { return CSysInfo::GetDlgItemHeight(m_hWnd, id); }

LRESULT CBasicWindow::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
}

BOOL CBasicWindow::ShowDlgItem(int id, int command) {
    HWND child = GetDlgItem(id);
    return child != nullptr && ::ShowWindow(child, command);
}

}  // namespace UserInterface
