// A window of a class that the framework registers, whose procedure turns messages into calls of
// virtual handlers. The main window derives from it; the dialogs take the dialog branch.
#pragma once

#include "UserInterface/CBasicWindow.h"

namespace UserInterface {

class CGenericWindow : public CBasicWindow {
public:
    CGenericWindow() = default;
    // A window still alive when its object goes is destroyed first, so that it never calls a freed object.
    ~CGenericWindow() override;

    // Registers the class when needed, then makes the window with this object as creation parameter.
    virtual BOOL Create(HWND parent, LPCWSTR title, int x, int y, int width, int height, DWORD style, DWORD exStyle,
                        HMENU menu);
    virtual LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(UINT id, LPDRAWITEMSTRUCT item);
    virtual LRESULT OnMeasureItem(LPMEASUREITEMSTRUCT item);
    virtual LRESULT OnSize(int width, int height);
    virtual LRESULT OnTimer(UINT_PTR id);
    virtual LRESULT OnSetFont(HFONT font, BOOL redraw);
    virtual LRESULT OnLButtonDown(int x, int y);
    virtual LRESULT OnLButtonUp(int x, int y);
    virtual LRESULT OnMouseMove(int x, int y);
    virtual LRESULT OnLButtonDblClk(int x, int y);
    virtual LRESULT OnVScroll(int code, HWND scrollBar);
    virtual LRESULT OnWindowPosChanged();
    // The result goes back to the window manager: -1 refuses the creation.
    virtual LRESULT OnCreate(HWND window, LPCREATESTRUCTW create);
    virtual LRESULT OnDestroy();
    virtual LRESULT OnKey(UINT virtualKey, BOOL down);
    virtual LRESULT OnGetDlgCode(UINT virtualKey);
    virtual LRESULT OnEraseBkgnd(HDC dc);
    virtual LRESULT OnPaint();
    virtual LRESULT CallDefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Ends the message loop; nonzero lets the window be destroyed.
    virtual LRESULT OnClose();
    virtual LRESULT OnCommand(int id, int code, HWND control);
    virtual LRESULT OnInitMenuPopup(int index, HMENU menu);
    virtual LRESULT OnActivate(BOOL active, LPARAM lParam);
    virtual LRESULT OnHelp();

    LPCWSTR GetClassName() const { return m_className; }

protected:
    // Set by the derived class before Create.
    LPCWSTR m_className = nullptr;

private:
    bool RegisterWindowClass() const;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace UserInterface
