// A check square from the skin with a wrapped text beside it; toggled by a tap or Enter.
#pragma once

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgString.h"

namespace UserInterface {

class CDlgCheckBox : public CDlgControl {
public:
    // Style bit: the focused box is shown by a translucent tint of its whole rectangle.
    static constexpr DWORD kTintFocus = 0x10000;

    // Control messages of the check box.
    static constexpr UINT kMsgSetText = 4097;
    static constexpr UINT kMsgGetText = 4098;
    static constexpr UINT kMsgGetTextLength = 4099;
    static constexpr UINT kMsgSetCheck = 4100;
    static constexpr UINT kMsgGetCheck = 4101;
    static constexpr UINT kMsgSetHighlightColor = 4102;

    // Sent to the host when the box became checked or unchecked.
    static constexpr int kNotifyChecked = 1;
    static constexpr int kNotifyUnchecked = 2;

    // Alpha 0x40 over light grey.
    static constexpr DWORD kDefaultHighlight = 0x40C0C0C0;

    CDlgCheckBox();
    ~CDlgCheckBox() override;

    BOOL Create(LPCWSTR text, int id, DWORD style, int width, int height);
    int SetCheck(int state, BOOL redraw);
    int GetCheck();
    int SetHighlightColor(DWORD color, BOOL redraw);

    int GetPreferredWidth() override;
    int GetPreferredHeight() override;

protected:
    void OnPaint(HDC dc, const RECT* rect) override;
    void DrawFocusBorder(HDC dc, const RECT* rect) override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The skin's square for the current state; 0 by 0 when it cannot tell.
    SIZE GetSquareSize() const;
    // Height of the wrapped text in the given width.
    int MeasureText(HDC dc, int width);
    LRESULT Toggle();

    CDlgString m_text;
    int m_check = 0;
    DWORD m_highlight = kDefaultHighlight;
};

}  // namespace UserInterface
