// The root of every window and dialog class of the framework: one window handle and the shell's
// activation record, with thin wrappers of the window calls that the screens use.
#pragma once

#include "ce/shell.h"
#include "ce/user.h"

namespace UserInterface {

class CBasicWindow {
public:
    CBasicWindow();
    CBasicWindow(const CBasicWindow&) = delete;
    CBasicWindow& operator=(const CBasicWindow&) = delete;

    // The wait cursor when on, else no cursor.
    virtual void SetWaitCursor(bool on);
    virtual HWND GetHandle() const;
    virtual BOOL KillTimer(UINT_PTR id);
    // A timer that posts WM_TIMER to the window.
    virtual UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds);
    virtual HWND GetParent() const;
    virtual BOOL ReleaseCapture();
    virtual HWND SetCapture();
    virtual BOOL UpdateWindow();
    virtual BOOL InvalidateRect(const RECT* rect, BOOL erase);
    // The whole window invalidated, then painted at once; the erase flag by name.
    static constexpr BOOL kEraseBackground = TRUE;
    static constexpr BOOL kKeepBackground = FALSE;
    virtual BOOL Redraw(BOOL erase);
    virtual HDC GetDC();
    virtual int ReleaseDC(HDC dc);
    virtual HWND SetFocus();
    virtual BOOL IsVisible() const;
    virtual BOOL Show(BOOL show);
    // MoveWindow without repaint.
    virtual BOOL Move(int x, int y, int width, int height);
    // In screen coordinates.
    virtual BOOL GetWindowRect(LPRECT rect) const;
    virtual BOOL GetClientRect(LPRECT rect) const;
    virtual int GetClientHeight() const;
    virtual int GetClientWidth() const;
    virtual int GetWindowHeight() const;
    virtual int GetWindowWidth() const;
    virtual HWND GetDlgItem(int id) const;
    // The object a child keeps in its user data; null without such a child.
    virtual void* GetDlgItemObject(int id) const;
    // The child's rectangle in this window's client coordinates.
    virtual BOOL GetDlgItemRect(int id, LPRECT rect) const;
    virtual int GetDlgItemWidth(int id) const;
    virtual int GetDlgItemHeight(int id) const;
    virtual LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL ShowDlgItem(int id, int command);
    virtual ~CBasicWindow() = default;

protected:
    // Forgets the window and starts a fresh activation record.
    void ForgetWindow();

    HWND m_hWnd = nullptr;
    SHACTIVATEINFO m_activateInfo;
};

}  // namespace UserInterface
