// The base of every windowless control: a rectangle in the host's client coordinates, style and
// state flags, colours, a font and a background brush, drawn by its dialog and driven by control
// messages that one dispatcher maps to virtual handlers.
#pragma once

#include "RectHelpers.h"
#include "UserInterface/CDlgTimerMap.h"
#include "UserInterface/IDlgObjectHost.h"
#include "ce/user.h"

namespace UserInterface {

// The redraw flag of the setters, by name: kNoRedraw leaves the painting to a later redraw.
inline constexpr BOOL kRedraw = TRUE;
inline constexpr BOOL kNoRedraw = FALSE;
// The animate flag of the scrolling and page calls, and the focus calls' scroll-into-view flag, by name.
inline constexpr BOOL kAnimate = TRUE;
inline constexpr BOOL kNoAnimation = FALSE;
inline constexpr BOOL kScrollIntoView = TRUE;
inline constexpr BOOL kKeepScrollPosition = FALSE;
// A width or height given to Create that the layout sets when it places the control.
inline constexpr int kSizedByLayout = 0;

class CDlgControl {
public:
    // Style and state flags; bits from 0x10000 up belong to each control class.
    enum Flags : DWORD {
        kBorder = 0x1,
        kVisible = 0x2,
        kDisabled = 0x4,
        kHostBackground = 0x10,
        kContinuesRow = 0x20,
        kPercentWidth = 0x100,
        kPercentHeight = 0x200,
        kPreferredWidth = 0x400,
        kPreferredHeight = 0x800,
        kFillWidth = 0x1000,
        kFillHeight = 0x2000,
        kRecordWidth = 0x4000,
        kRecordHeight = 0x8000,
    };
    // How Place sizes the control along one axis.
    enum SizeMode { kKeepSize = 0, kPreferredSize = 1, kPercentSize = 2, kFillSize = 3, kRecordSize = 4 };

    // The framework's control messages; each class answers its own block from 1281 up.
    enum Message : UINT {
        kMsgCreate = 1,
        kMsgActivate = 2,
        kMsgDeactivate = 3,
        kMsgDrawAt = 4,       // wParam: HDC, lParam: clip RECT* or null
        kMsgMoved = 5,
        kMsgOffset = 6,
        kMsgSetFocus = 7,
        kMsgKillFocus = 8,
        kMsgKeyDown = 9,      // lParam: virtual key
        kMsgKeyUp = 16,       // lParam: virtual key
        kMsgPointerMove = 17, // wParam: POINT* in the control's own coordinates
        kMsgPointerDown = 18,
        kMsgPointerUp = 19,
        kMsgPointerCancel = 20,
        kMsgMessage21 = 21,
        kMsgGesture = 22,     // wParam: 1 a drag began, 2 the gesture is over
        kMsgSetFont = 257,    // wParam: HFONT or null, lParam: redraw
        kMsgGetFont = 258,
        kMsgSetBackgroundBrush = 259,
        kMsgGetBackgroundBrush = 260,
        kMsgSetBorderColor = 261,  // wParam: COLORREF, lParam: redraw
        kMsgGetBorderColor = 262,
        kMsgSetTextColor = 263,
        kMsgGetTextColor = 264,
        kMsgSetFocusColor = 265,
        kMsgGetFocusColor = 272,
        kMsgCommand = 769,    // wParam: notification code, lParam: child HWND
        kMsgCtlColorEdit = 770,  // wParam: HDC, lParam: child HWND; the answer is a brush
        kMsgCtlColorStatic = 771,
        kMsgCtlColorListBox = 772,
        kMsgCtlColorDlg = 773,
        kMsgCtlColorBtn = 774,
        kMsgCtlColorScrollBar = 775,
    };
    // Pointer modes of OnPointer.
    enum PointerMode { kPointerMove = 0, kPointerDown = 1, kPointerUp = 2, kPointerCancel = 3 };

    static constexpr COLORREF kDefaultFocusColor = 0x0086B800;

    // typeName: the class's name ("__DlgStatic"), kept as a pointer.
    explicit CDlgControl(LPCWSTR typeName = nullptr);
    CDlgControl(const CDlgControl&) = delete;
    CDlgControl& operator=(const CDlgControl&) = delete;
    virtual ~CDlgControl();

    virtual BOOL SetHost(IDlgObjectHost* host);
    // Draws at (x, y) of the context; clip in control coordinates or null for all of it. With its own
    // buffer it draws off-screen first and copies the clip part.
    virtual BOOL Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer);
    // Draws itself on the host's context at its place.
    virtual BOOL Redraw(const RECT* clip);
    virtual int GetPreferredWidth();
    virtual int GetPreferredHeight();
    // Sizes by the size modes within the available space, then moves there.
    virtual BOOL Place(int x, int y, int availableWidth, int availableHeight, const SIZE* record, BOOL redraw);
    virtual BOOL CanFocus();
    virtual void SetVisible(BOOL visible, BOOL redraw);
    virtual void Enable(BOOL enabled, BOOL redraw);
    // Whether a child window belongs to this control (only controls with one answer true).
    virtual BOOL OwnsWindow(HWND window);
    virtual BOOL IsSameControl(const CDlgControl* control);
    virtual BOOL IsOtherWindow(HWND window);
    virtual BOOL IsOtherControl(const CDlgControl* control);
    // Paints the content into the inner rectangle (context coordinates), clipped to it.
    virtual void OnPaint(HDC dc, const RECT* inner);
    virtual void DrawBorder(HDC dc, const RECT* rect);
    virtual void DrawFocusBorder(HDC dc, const RECT* rect);
    virtual void DrawBackground(HDC dc, const RECT* clip, const RECT* rect);

    virtual LRESULT OnCreate();
    virtual LRESULT OnActivate();
    virtual LRESULT OnDeactivate();
    virtual LRESULT OnDrawAt(HDC dc, const RECT* clip);
    virtual LRESULT OnMoved();
    virtual LRESULT OnOffset();
    virtual LRESULT OnSetFocus();
    virtual LRESULT OnKillFocus();
    // Nonzero when the key was handled.
    virtual LRESULT OnKey(UINT virtualKey, BOOL down);
    // point in the control's own coordinates; null when the press is cancelled.
    virtual LRESULT OnPointer(const POINT* point, int mode);
    virtual LRESULT OnMessage21(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGesture(int phase);
    virtual LRESULT OnSetFont(HFONT font, BOOL redraw);
    virtual LRESULT OnGetFont();
    virtual LRESULT OnSetBackgroundBrush(HBRUSH brush, BOOL redraw);
    virtual LRESULT OnGetBackgroundBrush();
    virtual LRESULT OnSetBorderColor(COLORREF color, BOOL redraw);
    virtual LRESULT OnGetBorderColor();
    virtual LRESULT OnSetTextColor(COLORREF color, BOOL redraw);
    virtual LRESULT OnGetTextColor();
    virtual LRESULT OnSetFocusColor(COLORREF color, BOOL redraw);
    virtual LRESULT OnGetFocusColor();
    virtual LRESULT OnCommand(int code, HWND window);
    virtual LRESULT OnCtlColorEdit(HDC dc, HWND window);
    virtual LRESULT OnCtlColorStatic(HDC dc, HWND window);
    virtual LRESULT OnCtlColorListBox(HDC dc, HWND window);
    virtual LRESULT OnCtlColorDlg(HDC dc, HWND window);
    virtual LRESULT OnCtlColorBtn(HDC dc, HWND window);
    virtual LRESULT OnCtlColorScrollBar(HDC dc, HWND window);
    // Every message number that has no handler of its own.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The rectangle less the border on each side, in host coordinates.
    virtual void GetInnerRect(LPRECT rect);
    // The same at the control's own origin.
    virtual void GetInnerClientRect(LPRECT rect);
    virtual int GetInnerWidth();
    virtual int GetInnerHeight();
    virtual int GetBorderSize();
    // A memory context over the off-screen bitmap, kept while it is large enough; the caller deletes
    // the context. Null when it cannot be made.
    virtual HDC GetOffscreenDC(HDC reference, int width, int height);

    // With 0x100 or 0x200 the size is a percentage that placement applies. False when OnCreate refuses.
    BOOL Create(int id, DWORD flags, int width, int height);
    BOOL Move(int x, int y, int width, int height, BOOL redraw);
    BOOL Offset(int dx, int dy, BOOL redraw);
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void GetRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    int GetWidth() const { return RectWidth(m_rect); }
    int GetHeight() const { return RectHeight(m_rect); }
    int GetId() const { return m_id; }
    DWORD GetFlags() const { return m_flags; }
    IDlgObjectHost* GetHost() const { return m_host; }
    bool IsHostActive() const { return m_hostActive != 0; }
    bool IsCreated() const { return m_created != 0; }
    // Copies at most size - 1 characters and terminates; 0 without a type name or room.
    BOOL GetTypeName(LPWSTR buffer, int size) const;
    BOOL IsVisible() const { return (m_flags & kVisible) != 0; }
    BOOL IsEnabled() const { return (m_flags & kDisabled) == 0; }
    BOOL IsBordered() const { return (m_flags & kBorder) != 0; }
    BOOL IsHostBackground() const { return (m_flags & kHostBackground) != 0; }
    BOOL ContinuesRow() const { return (m_flags & kContinuesRow) != 0; }
    int GetSizeMode(BOOL width) const;
    // Tells the host about an event of this control; 0 without a host.
    LRESULT NotifyHost(int code, LPARAM a, LPARAM b);

    BOOL SetFont(HFONT font, BOOL redraw);
    HFONT GetFont();
    BOOL SetBackgroundBrush(HBRUSH brush, BOOL redraw);
    HBRUSH GetBackgroundBrush();
    BOOL SetBorderColor(COLORREF color, BOOL redraw);
    COLORREF GetBorderColor();
    BOOL SetTextColor(COLORREF color, BOOL redraw);
    BOOL SetFocusColor(COLORREF color, BOOL redraw);

protected:
    // Runs background, border, content and focus mark at (x, y) under the clip (context coordinates).
    void DrawParts(HDC dc, int x, int y, const RECT& clip);
    void RedrawIf(BOOL redraw);

    DWORD m_flags = 0;
    int m_id = 0;
    LPCWSTR m_typeName = nullptr;
    IDlgObjectHost* m_host = nullptr;
    int m_hostActive = 0;
    int m_created = 0;
    HFONT m_font = nullptr;
    HBRUSH m_backgroundBrush = nullptr;
    COLORREF m_textColor = 0;
    COLORREF m_borderColor = 0;
    COLORREF m_focusColor = kDefaultFocusColor;
    RECT m_rect{};
    int m_percentWidth = 0;
    int m_percentHeight = 0;
    HBITMAP m_offscreenBitmap = nullptr;
    CDlgTimerMap m_timers;

private:
    SIZE m_offscreenSize{};
};

}  // namespace UserInterface
