// A modal dialog made from a dialog template, whose dialog procedure turns messages into virtual
// handlers, with the soft-key bar that its menu info describes.
#pragma once

#include "UserInterface/CBasicWindow.h"
#include "UserInterface/CMenuInfo.h"

namespace UserInterface {

class CGenericDialog : public CBasicWindow {
public:
    CGenericDialog();
    ~CGenericDialog() override;

    // Runs the dialog from the program's template with a copy of the menu info (the dialog's own
    // when null); the value given to EndDialog, -1 when the dialog could not be made.
    INT_PTR DoModal(HWND parent, UINT templateId, const CMenuInfo* menuInfo);
    // The bar for a dialog or the main window; none without menu info.
    static HWND CreateMenuBar(HWND window, const CMenuInfo* menuInfo);

    HWND GetMenuBar() const { return m_hMenuBar; }
    CMenuInfo& GetMenuInfo() { return m_menuInfo; }

    virtual BOOL EndDialog(int result);
    virtual BOOL OnTimer(UINT_PTR id);
    virtual HBRUSH OnCtlColor(HDC dc, HWND child, int kind);
    // Makes the Back key come to the dialog as WM_HOTKEY.
    virtual BOOL OverrideBackKey();
    virtual LRESULT OnNotify(NMHDR* header);
    // Fills a popup of the bar from the soft key whose command is the index.
    virtual BOOL OnInitMenuPopup(int index, HMENU menu);
    virtual BOOL OnVScroll(int code, HWND scrollBar);
    virtual void OnDestroy();
    virtual BOOL OnDrawItem(int id, DRAWITEMSTRUCT* item);
    virtual BOOL OnSize(int width, int height);
    virtual BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual BOOL OnLButtonDown(int x, int y);
    virtual BOOL OnLButtonUp(int x, int y);
    virtual BOOL OnMouseMove(int x, int y);
    virtual BOOL OnLButtonDblClk(int x, int y);
    virtual BOOL OnBackKey(WPARAM wParam, LPARAM lParam);
    // IDOK and IDCANCEL end the dialog with that id.
    virtual BOOL OnCommand(int id, int code, HWND control);
    virtual BOOL OnInitDialog();
    virtual BOOL OnActivate(BOOL active, LPARAM lParam);
    virtual BOOL OnKey(UINT key, BOOL down);
    virtual LRESULT OnGetDlgCode(UINT key);
    virtual BOOL OnHelp();
    // Lets a dialog change its keys before the bar is made; false: no bar.
    virtual BOOL OnCreateMenu(CMenuInfo* menuInfo);

protected:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The answer of a message whose result the dialog manager reads from the dialog.
    INT_PTR SetMessageResult(LRESULT result);

    HWND m_hMenuBar = nullptr;
    CMenuInfo m_menuInfo;
};

}  // namespace UserInterface
