// The base of every screen and dialog of the program: a full-screen smart dialog with the program's
// title, the skin's gradient background and wider margins, run over a window or over another screen
// with a blend from and back to that screen's picture.
#pragma once

#include <vector>

#include "UserInterface/CSmartDialog.h"

namespace UserInterface {
class CGenericEffect;
class CDlgHyperLink;
class CDlgSeparator;
class CDlgStatic;
class IDlgImage;
}  // namespace UserInterface

class CAppBasicDialog : public UserInterface::CSmartDialog {
public:
    // The kind of transition effect between a screen and the one it opens over.
    static constexpr int kTransitionKind = 2;
    static constexpr COLORREF kTextColor = 0xFFFFFF;

    CAppBasicDialog();
    ~CAppBasicDialog() override;

    // Runs over a window; the capture, when given, is the picture of what lies under it, and the window's
    // transition (when set) plays from it and back.
    INT_PTR RunOverWindow(HWND parent, const UserInterface::CMenuInfo* menu, UserInterface::IDlgScreenCapture* capture);
    // The transition of the window that the screen runs over; the window keeps it.
    void SetWindowTransition(UserInterface::CGenericEffect* effect) { m_windowTransition = effect; }
    // Runs over another screen, blended in from its picture and back out to it when a capture is
    // given; 0 without a parent.
    INT_PTR RunOverDialog(UserInterface::CSmartDialog* parent, UserInterface::IDlgScreenCapture* capture,
                          const UserInterface::CMenuInfo* menu);

    BOOL OnInitDialog() override;
    BOOL OnPaint() override;
    BOOL AttachScroller() override;
    void EraseBackground(UserInterface::CDlgControl* control, HDC dc, const RECT* rect) override;

    // Fills the screen's content anew; mask -1: all of it. False ends the dialog as cancelled.
    virtual BOOL Refresh(DWORD mask);

protected:
    // While set, painting waits (a screen that moves its controls in several steps shows only the end).
    void SuppressPainting(bool suppress) { m_suppressPainting = suppress; }
    bool IsPaintingSuppressed() const { return m_suppressPainting; }

    // Controls of the program's look, added to the layout: white text and the skin's border colour.
    // Null when the control cannot be made.
    UserInterface::CDlgStatic* AddText(int id, DWORD style, LPCWSTR text, const UserInterface::IDlgImage* image);
    UserInterface::CDlgSeparator* AddSeparator(int id, DWORD style, int height);
    UserInterface::CDlgHyperLink* AddLink(int id, DWORD style, LPCWSTR text, LPCWSTR address);
    // Gives the control a bold version of its font, which the dialog keeps until it goes.
    bool MakeBold(UserInterface::CDlgControl* control);
    // The skin's colour 0, the border of the program's controls; 0 without a skin.
    static COLORREF SkinBorderColor();

private:
    UserInterface::CGenericEffect* m_windowTransition = nullptr;
    bool m_suppressPainting = false;
    std::vector<HFONT> m_fonts;
};
