// A text field on the platform's own edit window: the window is shown only while the control has the
// focus in an active dialog; at all other times it is hidden and the control paints a likeness of its
// text, so that the field scrolls with the layout and shows in screen captures and transitions.
#pragma once

#include <string>

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgString.h"

namespace UserInterface {

class CDlgEdit : public CDlgControl {
public:
    // Style bits of the field, each giving the edit window style of the same name.
    static constexpr DWORD kAutoHScroll = 0x10000;
    static constexpr DWORD kAutoVScroll = 0x20000;
    static constexpr DWORD kLowerCase = 0x40000;
    static constexpr DWORD kUpperCase = 0x80000;
    static constexpr DWORD kMultiLine = 0x100000;
    static constexpr DWORD kWantReturn = 0x200000;
    static constexpr DWORD kReadOnly = 0x400000;
    static constexpr DWORD kPassword = 0x800000;
    static constexpr DWORD kNumber = 0x1000000;

    static constexpr UINT kMsgSetText = 2049;        // wParam: text, lParam: redraw
    static constexpr UINT kMsgGetText = 2050;        // wParam: buffer, lParam: length
    static constexpr UINT kMsgGetTextLength = 2051;
    static constexpr UINT kMsgSetLimitText = 2052;   // wParam: limit
    static constexpr UINT kMsgGetLimitText = 2053;
    static constexpr UINT kMsgSetSel = 2054;         // wParam: start, lParam: end
    static constexpr UINT kMsgGetSel = 2055;         // wParam: DWORD* start, lParam: DWORD* end
    static constexpr UINT kMsgSetInputMode = 2056;   // lParam: mode
    static constexpr UINT kMsgGetInputMode = 2057;

    // Notifications to the host.
    static constexpr int kNotifyChange = 1;
    static constexpr int kNotifyMaxText = 2;
    static constexpr int kNotifyUpdate = 3;
    static constexpr int kNotifyEnter = 4;

    CDlgEdit();
    ~CDlgEdit() override;

    HWND GetEditWindow() const { return m_edit; }

    BOOL SetText(LPCWSTR text, BOOL redraw);
    BOOL GetText(LPWSTR buffer, int length);
    int GetTextLength();
    BOOL SetLimitText(int limit);
    int GetLimitText();
    BOOL SetSel(int start, int end);
    BOOL GetSel(DWORD* start, DWORD* end);
    BOOL SetInputMode(int mode);
    int GetInputMode();

    BOOL SetHost(IDlgObjectHost* host) override;
    BOOL Redraw(const RECT* clip) override;
    int GetPreferredWidth() override;
    int GetPreferredHeight() override;
    void SetVisible(BOOL visible, BOOL redraw) override;
    BOOL OwnsWindow(HWND window) override { return window != nullptr && window == m_edit; }
    BOOL IsOtherWindow(HWND window) override { return !OwnsWindow(window); }

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnCreate() override;
    LRESULT OnActivate() override;
    LRESULT OnDeactivate() override;
    LRESULT OnMoved() override;
    LRESULT OnOffset() override;
    LRESULT OnSetFocus() override;
    LRESULT OnKillFocus() override;
    LRESULT OnGesture(int phase) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    LRESULT OnCommand(int code, HWND window) override;
    LRESULT OnCtlColorEdit(HDC dc, HWND window) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetText(LPCWSTR text, BOOL redraw);
    virtual LRESULT OnGetText(LPWSTR buffer, int length);
    virtual LRESULT OnGetTextLength();
    virtual LRESULT OnSetLimitText(int limit);
    virtual LRESULT OnGetLimitText();
    virtual LRESULT OnSetSel(int start, int end);
    virtual LRESULT OnGetSel(DWORD* start, DWORD* end);
    virtual LRESULT OnSetInputMode(int mode);
    virtual LRESULT OnGetInputMode();

private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    DWORD GetEditStyle() const;
    bool CreateEditWindow();
    void ApplyPending();
    void ShowEdit(bool focus);
    void HideEdit();
    bool IsFocusedInActiveHost();
    void PlaceEdit();
    // The window's text as the window shows it: case by the style, stars for a password.
    std::u16string ShownText();
    void PaintSingleLine(HDC dc, const RECT& rect, const std::u16string& text);
    void PaintMultiLine(HDC dc, const RECT& rect, const std::u16string& text);

    HWND m_edit = nullptr;
    int m_pendingLimit = -1;
    int m_pendingSelStart = -1;
    int m_pendingSelEnd = -1;
    CDlgString m_pendingText;
    int m_pendingInputMode = 0;
    WNDPROC m_previousProc = nullptr;
    HBRUSH m_backgroundPattern = nullptr;
    HBITMAP m_backgroundBitmap = nullptr;
    SIZE m_backgroundSize{};
    RECT m_placed{};
};

}  // namespace UserInterface
