// The base of every screen: a full-screen modal dialog whose content is a layout of windowless
// controls, painted off-screen in one piece, scrolled by keys, its scroll indicator and touch
// gestures, with the focus moved by the navigation keys and an optional transition when it opens and
// closes.
#pragma once

#include "CBitmapDC.h"
#include "UserInterface/CDlgScrollable.h"
#include "UserInterface/CDlgScroller.h"
#include "UserInterface/CGenericDialog.h"
#include "UserInterface/IDlgObjectHost.h"
#include "UserInterface/IDlgScreenCapture.h"

namespace UserInterface {

class CDlgControl;
class CDlgLayout;
class CGenericEffect;

class CSmartDialog : public CGenericDialog, public CDlgScrollable, public IDlgObjectHost, public IDlgScreenCapture {
public:
    // Style bits of RunModal.
    static constexpr DWORD kBlitScrolling = 0x1;
    static constexpr DWORD kCancelButton = 0x2;
    // The empty template that every screen is made from.
    static constexpr UINT kTemplateId = 102;

    // The screen under this one and the effects that lead to and from it.
    struct TransitionInfo {
        IDlgScreenCapture* previousScreen = nullptr;
        CGenericEffect* openingEffect = nullptr;
        CGenericEffect* closingEffect = nullptr;
    };

    CSmartDialog();
    ~CSmartDialog() override;

    // Runs the dialog over the given layout (one of its own from CreateLayout when null); 3 when there
    // is no layout, else the result it was ended with.
    INT_PTR RunModal(HWND parent, DWORD style, const CMenuInfo* menuInfo, CDlgLayout* layout,
                     const TransitionInfo* transition);
    int GetResult() const { return m_result; }
    CDlgLayout* GetLayout() const { return m_layout; }
    int GetFocusIndex() const { return m_focusIndex; }
    bool IsScrollable() const { return m_scrollable != 0; }

    // Focus moves; true when the focus is on the requested control afterwards.
    BOOL SetFocusIndex(int index, BOOL scrollIntoView);
    BOOL SetFocusControl(CDlgControl* control, BOOL scrollIntoView);
    BOOL FocusNext(BOOL scrollIntoView);
    BOOL FocusPrevious(BOOL scrollIntoView);
    void SetPressedControl(CDlgControl* control) { m_pressed = control; }
    void ClearPressedControl() { m_pressed = nullptr; }
    CDlgControl* GetPressedControl() const { return m_pressed; }
    BOOL PlayTransition(BOOL closing);
    // Places the controls in the client area and the scroll indicator at its right edge.
    void RecalcLayout();

    BOOL EndDialog(int result) override;
    HBRUSH OnCtlColor(HDC dc, HWND child, int kind) override;
    void OnDestroy() override;
    BOOL OnSize(int width, int height) override;
    BOOL OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    BOOL OnLButtonDown(int x, int y) override;
    BOOL OnLButtonUp(int x, int y) override;
    BOOL OnMouseMove(int x, int y) override;
    BOOL OnCommand(int id, int code, HWND control) override;
    BOOL OnInitDialog() override;
    BOOL OnActivate(BOOL active, LPARAM lParam) override;
    BOOL OnKey(UINT key, BOOL down) override;
    LRESULT OnGetDlgCode(UINT key) override;

    // Commands that no control owns; IDOK and IDCANCEL end the dialog.
    virtual BOOL OnDialogCommand(int id, int code, HWND window);
    // The screen's own set-up once the controls have their host; false ends the dialog.
    virtual BOOL OnInitControls();
    virtual BOOL AttachScroller();
    virtual CDlgLayout* CreateLayout();

    // Gesture events of the recogniser.
    void OnScroll(int kind, int amount) override;

    HDC GetHostDC() override;
    void ReleaseHostDC(HDC dc) override;
    void RedrawHost() override;
    HWND GetHostWindow() override { return m_hWnd; }
    IDlgScreenCapture* GetScreenCapture() override { return this; }
    CDlgControl* GetFocusedControl() override;
    BOOL SetCaptureControl(CDlgControl* control) override;
    CDlgControl* GetCaptureControl() override { return m_capture; }
    void ReleaseCaptureControl() override { m_capture = nullptr; }
    void EraseBackground(CDlgControl* control, HDC dc, const RECT* rect) override;
    LRESULT OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) override;

    HBITMAP CaptureScreen() override;
    int GetCaptureWidth() override { return GetClientWidth(); }
    int GetCaptureHeight() override { return GetClientHeight(); }

protected:
    // The margin around the controls and the gap between their rows, for dialogs that differ.
    void SetLayoutSpacing(int margin, int rowGap) {
        m_margin = margin;
        m_rowGap = rowGap;
    }
    CDlgScroller& GetScroller() { return m_scroller; }

private:
    void ArrangeIn(const RECT& view);
    void UpdateScroller();
    void ShowInputPanel(BOOL active);
    // Draws the whole client area into the off-screen bitmap; the memory context over it, or null.
    HDC RenderOffscreen(HDC reference, int width, int height);
    static POINT ToControl(const CDlgControl* control, int x, int y);
    void SendPointer(CDlgControl* control, UINT message, int x, int y);
    CDlgControl* ControlOwning(HWND window) const;

    CDlgLayout* m_layout = nullptr;
    int m_focusIndex = -1;
    CDlgControl* m_pressed = nullptr;
    CDlgControl* m_capture = nullptr;
    DWORD m_style = 0;
    int m_margin;
    int m_rowGap;
    CDlgScroller m_scroller;
    CBitmapDC m_offscreen;
    BOOL m_initialised = FALSE;
    BOOL m_shown = FALSE;
    BOOL m_ownsLayout = FALSE;
    BOOL m_scrollable = FALSE;
    TransitionInfo m_transition;
    int m_result = -1;
};

}  // namespace UserInterface
