// An underlined blue text that opens a web address in the browser when tapped or entered.
#pragma once

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgString.h"

namespace UserInterface {

class CDlgHyperLink : public CDlgControl {
public:
    // Style bits of the link (above the base's); its alignment bits are the label's.
    static constexpr DWORD kSingleLine = 0x400000;
    static constexpr DWORD kWordBreak = 0x800000;

    // Control messages of the link.
    static constexpr UINT kMsgSetText = 5377;
    static constexpr UINT kMsgGetText = 5378;
    static constexpr UINT kMsgSetUrl = 5379;
    static constexpr UINT kMsgGetUrl = 5380;

    // Sent to the host with the opened address as first argument.
    static constexpr int kNotifyOpened = 1;

    static constexpr COLORREF kLinkColor = 0xFF0000;

    CDlgHyperLink();
    ~CDlgHyperLink() override;

    // Copies the text and the address (both may be null; without an address the text is one).
    BOOL Create(LPCWSTR text, LPCWSTR url, int id, DWORD style, int width, int height);

    int GetPreferredWidth() override;
    int GetPreferredHeight() override;
    bool IsPressed() const { return m_pressed; }

protected:
    void OnPaint(HDC dc, const RECT* rect) override;
    void DrawFocusBorder(HDC dc, const RECT* rect) override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetText(LPCWSTR text, BOOL redraw);
    virtual LRESULT OnGetText(LPWSTR buffer, int length);
    virtual LRESULT OnSetUrl(LPCWSTR url);
    virtual LRESULT OnGetUrl(LPWSTR buffer, int length);

private:
    // Space between the border and the text, on each side.
    int GetTextInset();
    UINT GetTextFormat() const;
    void SetPressed(bool pressed);
    // Replaces the control's font by an underlined copy of the given one (the system font for null).
    bool TakeUnderlinedCopy(HFONT font);
    // Opens the address in the browser and tells the host; 0 when there is no address.
    LRESULT Open();

    CDlgString m_text;
    CDlgString m_url;
    bool m_pressed = false;
};

}  // namespace UserInterface
