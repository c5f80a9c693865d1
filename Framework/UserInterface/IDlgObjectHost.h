// What a windowless control needs of the dialog that draws it: a device context, repaints, the
// focus and pointer capture, its background, and the way to report its events.
#pragma once

#include "ce/user.h"

namespace UserInterface {

class CDlgControl;
class IDlgScreenCapture;

class IDlgObjectHost {
public:
    // The host window's device context; null without a window.
    virtual HDC GetHostDC() = 0;
    virtual void ReleaseHostDC(HDC dc) = 0;
    // Repaints the whole window without erasing.
    virtual void RedrawHost() = 0;
    virtual HWND GetHostWindow() = 0;
    virtual IDlgScreenCapture* GetScreenCapture() = 0;
    virtual CDlgControl* GetFocusedControl() = 0;
    // Sends all pointer input to the control until released; null is refused.
    virtual BOOL SetCaptureControl(CDlgControl* control) = 0;
    virtual CDlgControl* GetCaptureControl() = 0;
    virtual void ReleaseCaptureControl() = 0;
    // Paints the background under a control that leaves it to the host (rect in the context's coordinates).
    virtual void EraseBackground(CDlgControl* control, HDC dc, const RECT* rect) = 0;
    // A control's event (click, selection, change), with codes of each control class.
    virtual LRESULT OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) = 0;

protected:
    ~IDlgObjectHost() = default;
};

}  // namespace UserInterface
