#include "UserInterface/CDlgEdit.h"

#include <algorithm>
#include <vector>

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgTextScope.h"

namespace UserInterface {

namespace {

struct StyleBit {
    DWORD control;
    DWORD window;
};

constexpr StyleBit kStyleBits[] = {
    {CDlgEdit::kAutoHScroll, ES_AUTOHSCROLL}, {CDlgEdit::kAutoVScroll, ES_AUTOVSCROLL},
    {CDlgEdit::kLowerCase, ES_LOWERCASE},     {CDlgEdit::kUpperCase, ES_UPPERCASE},
    {CDlgEdit::kMultiLine, ES_MULTILINE},     {CDlgEdit::kWantReturn, ES_WANTRETURN},
    {CDlgEdit::kReadOnly, ES_READONLY},       {CDlgEdit::kPassword, ES_PASSWORD},
    {CDlgEdit::kNumber, ES_NUMBER},
};

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

void DrawPiece(HDC dc, int* x, int y, const RECT& clip, const WCHAR* text, int count) {
    if (count <= 0) {
        return;
    }
    ExtTextOutW(dc, *x, y, ETO_CLIPPED, &clip, text, static_cast<UINT>(count), nullptr);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, count, &size);
    *x += size.cx;
}

}  // namespace

CDlgEdit::CDlgEdit() : CDlgControl(u"__DlgEdit") {}

// The window may outlive the control (its dialog destroys it later): it gets its own procedure back
// and loses the pointer to this control, so no message of it can reach a control that is gone.
CDlgEdit::~CDlgEdit() {
    if (m_edit != nullptr && IsWindow(m_edit)) {
        SetWindowLongW(m_edit, GWL_USERDATA, 0);
        if (m_previousProc != nullptr) {
            SetWindowLongW(m_edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        }
        DestroyWindow(m_edit);
    }
    if (m_backgroundPattern != nullptr) {
        DeleteObject(m_backgroundPattern);
    }
    if (m_backgroundBitmap != nullptr) {
        DeleteObject(m_backgroundBitmap);
    }
}

// ---- the native window --------------------------------------------------------------------------

DWORD CDlgEdit::GetEditStyle() const {
    DWORD style = WS_CHILD;
    for (const StyleBit& bit : kStyleBits) {
        if (GetFlags() & bit.control) {
            style |= bit.window;
        }
    }
    return style;
}

bool CDlgEdit::CreateEditWindow() {
    if (m_edit != nullptr) {
        return true;
    }
    if (GetHost() == nullptr || GetHost()->GetHostWindow() == nullptr) {
        return false;
    }
    RECT inner;
    GetInnerRect(&inner);
    HINSTANCE instance = g_pSysInfo != nullptr ? g_pSysInfo->GetInstance() : nullptr;
    HWND edit = CreateWindowExW(0, u"Edit", u"", GetEditStyle(), inner.left, inner.top,
                                std::max<LONG>(RectWidth(inner), 0), std::max<LONG>(RectHeight(inner), 0),
                                GetHost()->GetHostWindow(), nullptr, instance, nullptr);
    if (edit == nullptr) {
        return false;
    }
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), 0);
    SetWindowLongW(edit, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    auto previous = reinterpret_cast<WNDPROC>(SetWindowLongW(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
    if (previous == nullptr) {
        DestroyWindow(edit);
        return false;
    }
    m_edit = edit;
    m_previousProc = previous;
    m_placed = inner;
    ApplyPending();
    return true;
}

void CDlgEdit::ApplyPending() {
    if (m_pendingText.Get() != nullptr) {
        OnSetText(m_pendingText.Get(), kNoRedraw);
        m_pendingText.Set(nullptr);
    }
    if (m_pendingLimit != -1) {
        ::SendMessageW(m_edit, EM_LIMITTEXT, static_cast<WPARAM>(m_pendingLimit), 0);
    }
    if (m_pendingSelStart != -1) {
        ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(m_pendingSelStart), m_pendingSelEnd);
    }
    if (m_pendingInputMode != 0) {
        ::SendMessageW(m_edit, EM_SETINPUTMODE, 0, m_pendingInputMode);
    }
}

LRESULT CALLBACK CDlgEdit::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<CDlgEdit*>(GetWindowLongW(window, GWL_USERDATA));
    if (control == nullptr || control->m_previousProc == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return control->HandleEditMessage(window, message, wParam, lParam);
}

LRESULT CDlgEdit::HandleEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
        case WM_KEYUP:
            // Up and Down belong to the dialog, which moves the focus, even in a multi-line field.
            if (wParam == VK_UP || wParam == VK_DOWN) {
                ::SendMessageW(GetParent(window), message, wParam, lParam);
                return 0;
            }
            if (message == WM_KEYDOWN && wParam == VK_RETURN && !(GetFlags() & kWantReturn)) {
                NotifyHost(kNotifyEnter, 0, 0);
            }
            break;
        case WM_ERASEBKGND:
            ::SetTextColor(reinterpret_cast<HDC>(wParam), m_textColor);
            break;
        case WM_PAINT:
            if (IsSmartphone()) {
                RECT client;
                ::GetClientRect(window, &client);
                const RECT edges[] = {{client.left, client.top, client.right, client.top + 1},
                                      {client.left, client.bottom - 1, client.right, client.bottom},
                                      {client.left, client.top, client.left + 1, client.bottom},
                                      {client.right - 1, client.top, client.right, client.bottom}};
                for (const RECT& edge : edges) {
                    ValidateRect(window, &edge);
                }
            }
            break;
        default:
            break;
    }
    return CallWindowProcW(m_previousProc, window, message, wParam, lParam);
}

BOOL CDlgEdit::SetHost(IDlgObjectHost* host) {
    const BOOL set = CDlgControl::SetHost(host);
    if (set && IsCreated()) {
        CreateEditWindow();
    }
    return set;
}

LRESULT CDlgEdit::OnCreate() {
    if (GetHost() == nullptr) {
        return 1;  // the window follows when the host is set
    }
    return CreateEditWindow() ? 1 : 0;
}

// ---- showing and hiding -------------------------------------------------------------------------

bool CDlgEdit::IsFocusedInActiveHost() {
    return GetHost() != nullptr && IsHostActive() && GetHost()->GetFocusedControl() == this;
}

void CDlgEdit::ShowEdit(bool focus) {
    if (m_edit == nullptr) {
        return;
    }
    ShowWindow(m_edit, SW_SHOW);
    if (focus) {
        ::SetFocus(m_edit);
    }
}

void CDlgEdit::HideEdit() {
    if (m_edit == nullptr) {
        return;
    }
    if (GetFocus() == m_edit) {
        ::SetFocus(GetParent(m_edit));
    }
    ShowWindow(m_edit, SW_HIDE);
}

LRESULT CDlgEdit::OnSetFocus() {
    if (m_edit != nullptr && IsVisible() && IsHostActive()) {
        ShowEdit(true);
    }
    return 0;
}

LRESULT CDlgEdit::OnKillFocus() {
    HideEdit();
    return 0;
}

LRESULT CDlgEdit::OnActivate() {
    CDlgControl::OnActivate();
    if (IsVisible() && IsFocusedInActiveHost()) {
        ShowEdit(true);
    }
    return 0;
}

LRESULT CDlgEdit::OnDeactivate() {
    CDlgControl::OnDeactivate();
    HideEdit();
    return 0;
}

LRESULT CDlgEdit::OnGesture(int phase) {
    if (phase == 1) {
        HideEdit();
    } else if (phase == 2 && IsVisible() && IsFocusedInActiveHost()) {
        ShowEdit(true);
    }
    return 0;
}

void CDlgEdit::SetVisible(BOOL visible, BOOL redraw) {
    CDlgControl::SetVisible(visible, redraw);
    if (m_edit == nullptr) {
        return;
    }
    if (visible) {
        ShowEdit(GetHost() != nullptr && GetHost()->GetFocusedControl() == this);
    } else {
        HideEdit();
    }
}

void CDlgEdit::PlaceEdit() {
    if (m_edit == nullptr) {
        return;
    }
    RECT inner;
    GetInnerRect(&inner);
    if (EqualRect(&inner, &m_placed)) {
        return;
    }
    m_placed = inner;
    MoveWindow(m_edit, inner.left, inner.top, RectWidth(inner), RectHeight(inner), TRUE);
}

LRESULT CDlgEdit::OnMoved() {
    PlaceEdit();
    return 0;
}

LRESULT CDlgEdit::OnOffset() {
    PlaceEdit();
    return 0;
}

BOOL CDlgEdit::Redraw(const RECT* clip) {
    const BOOL drawn = CDlgControl::Redraw(clip);
    if (m_edit != nullptr && IsWindowVisible(m_edit)) {
        RECT client;
        ::GetClientRect(m_edit, &client);
        if (clip != nullptr) {
            IntersectRect(&client, &client, clip);
        }
        InvalidateRect(m_edit, &client, FALSE);
        UpdateWindow(m_edit);
    }
    return drawn;
}

// ---- notifications and colours ------------------------------------------------------------------

LRESULT CDlgEdit::OnCommand(int code, HWND window) {
    if (window != m_edit || m_edit == nullptr) {
        return 0;
    }
    switch (code) {
        case EN_CHANGE: NotifyHost(kNotifyChange, 0, 0); return 1;
        case EN_MAXTEXT: NotifyHost(kNotifyMaxText, 0, 0); return 1;
        case EN_UPDATE: NotifyHost(kNotifyUpdate, 0, 0); return 1;
        default: return 0;
    }
}

// The window paints over a copy of the control's own background, so a skin behind it shows through.
LRESULT CDlgEdit::OnCtlColorEdit(HDC dc, HWND window) {
    if (window != m_edit || m_edit == nullptr) {
        return 0;
    }
    ::SetTextColor(dc, m_textColor);
    SetBkMode(dc, TRANSPARENT);
    RECT inner;
    GetInnerRect(&inner);
    const SIZE size{std::max<LONG>(RectWidth(inner), 1), std::max<LONG>(RectHeight(inner), 1)};
    if (m_backgroundBitmap == nullptr || size.cx != m_backgroundSize.cx || size.cy != m_backgroundSize.cy) {
        if (m_backgroundBitmap != nullptr) {
            DeleteObject(m_backgroundBitmap);
        }
        m_backgroundBitmap = CreateCompatibleBitmap(dc, size.cx, size.cy);
        m_backgroundSize = m_backgroundBitmap != nullptr ? size : SIZE{};
    }
    HDC memory = m_backgroundBitmap != nullptr ? CreateCompatibleDC(dc) : nullptr;
    if (memory == nullptr) {
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    HGDIOBJ old = SelectObject(memory, m_backgroundBitmap);
    const RECT area{0, 0, size.cx, size.cy};
    DrawBackground(memory, &area, &area);
    SelectObject(memory, old);
    DeleteDC(memory);
    HBRUSH pattern = CreatePatternBrush(m_backgroundBitmap);
    if (pattern == nullptr) {
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    if (m_backgroundPattern != nullptr) {
        DeleteObject(m_backgroundPattern);
    }
    m_backgroundPattern = pattern;
    return reinterpret_cast<LRESULT>(pattern);
}

LRESULT CDlgEdit::OnSetFont(HFONT font, BOOL redraw) {
    CDlgControl::OnSetFont(font, kNoRedraw);
    if (m_edit != nullptr) {
        ::SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), 0);
    }
    RedrawIf(redraw);
    return 0;
}

// ---- the likeness of the hidden window ----------------------------------------------------------

std::u16string CDlgEdit::ShownText() {
    const int length = GetWindowTextLengthW(m_edit);
    std::vector<WCHAR> buffer(static_cast<size_t>(std::max(length, 0)) + 1);
    GetWindowTextW(m_edit, buffer.data(), static_cast<int>(buffer.size()));
    std::u16string text(buffer.data());
    if (GetFlags() & kPassword) {
        return std::u16string(text.size(), u'*');
    }
    if (GetFlags() & kLowerCase) {
        CharLowerW(text.data());
    } else if (GetFlags() & kUpperCase) {
        CharUpperW(text.data());
    }
    return text;
}

void CDlgEdit::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr || m_edit == nullptr || IsWindowVisible(m_edit)) {
        return;
    }
    CDlgTextScope scope(dc, m_font, m_textColor);
    if (GetFlags() & kReadOnly) {
        FillRect(dc, inner, GetSysColorBrush(COLOR_BTNFACE));
    }
    const std::u16string text = ShownText();
    if (GetFlags() & kMultiLine) {
        PaintMultiLine(dc, *inner, text);
    } else {
        PaintSingleLine(dc, *inner, text);
    }
}

void CDlgEdit::PaintMultiLine(HDC dc, const RECT& rect, const std::u16string& text) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lines = static_cast<int>(::SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0));
    const int length = static_cast<int>(text.size());
    int y = rect.top;
    for (int line = static_cast<int>(::SendMessageW(m_edit, EM_GETFIRSTVISIBLELINE, 0, 0)); line < lines; ++line) {
        const int start = static_cast<int>(::SendMessageW(m_edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
        if (start < 0 || start > length || y >= rect.bottom) {
            break;
        }
        int count = static_cast<int>(::SendMessageW(m_edit, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
        count = std::clamp(count, 0, length - start);
        ExtTextOutW(dc, rect.left, y, ETO_CLIPPED, &rect, text.data() + start, static_cast<UINT>(count), nullptr);
        y += metrics.tmHeight;
    }
}

void CDlgEdit::PaintSingleLine(HDC dc, const RECT& rect, const std::u16string& text) {
    const int length = static_cast<int>(text.size());
    const LRESULT position = ::SendMessageW(m_edit, EM_CHARFROMPOS, 0, MAKELPARAM(0, 0));
    const int first = std::clamp(static_cast<int>(LOWORD(position)), 0, length);
    DWORD selStart = 0;
    DWORD selEnd = 0;
    ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    int start = std::clamp(static_cast<int>(selStart), first, length);
    int end = std::clamp(static_cast<int>(selEnd), first, length);
    if (start > end) {
        std::swap(start, end);
    }
    int x = rect.left;
    const WCHAR* shown = text.data();
    DrawPiece(dc, &x, rect.top, rect, shown + first, start - first);
    if (end > start) {
        SIZE size{};
        GetTextExtentPoint32W(dc, shown + start, end - start, &size);
        const RECT box{x, rect.top, x + size.cx, rect.top + size.cy};
        RECT clipped;
        if (IntersectRect(&clipped, &box, &rect)) {
            FillRect(dc, &clipped, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        const COLORREF old = ::SetTextColor(dc, RGB(255, 255, 255));
        DrawPiece(dc, &x, rect.top, rect, shown + start, end - start);
        ::SetTextColor(dc, old);
    }
    DrawPiece(dc, &x, rect.top, rect, shown + end, length - end);
}

// ---- measuring ----------------------------------------------------------------------------------

int CDlgEdit::GetPreferredWidth() {
    if (GetHost() == nullptr || m_edit == nullptr) {
        return 0;
    }
    HDC dc = GetDC(m_edit);
    if (dc == nullptr) {
        return 0;
    }
    const std::u16string text = ShownText();
    HGDIOBJ old = SelectObject(dc, m_font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(m_edit, dc);
    return size.cx + 2 * GetBorderSize();
}

int CDlgEdit::GetPreferredHeight() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr) {
        return 0;
    }
    CDlgTextScope scope(dc.Get(), m_font, m_textColor);
    RECT rect{0, 0, std::max(GetWidth() - 2 * GetBorderSize(), 0), 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | ((GetFlags() & kMultiLine) ? DT_WORDBREAK : DT_SINGLELINE);
    return DrawTextW(dc.Get(), u"Wp", 2, &rect, format) + 2 * GetBorderSize();
}

// ---- control messages ---------------------------------------------------------------------------

BOOL CDlgEdit::SetText(LPCWSTR text, BOOL redraw) {
    return static_cast<BOOL>(SendMessage(kMsgSetText, reinterpret_cast<WPARAM>(text), redraw));
}
BOOL CDlgEdit::GetText(LPWSTR buffer, int length) {
    return static_cast<BOOL>(SendMessage(kMsgGetText, reinterpret_cast<WPARAM>(buffer), length));
}
int CDlgEdit::GetTextLength() { return static_cast<int>(SendMessage(kMsgGetTextLength, 0, 0)); }
BOOL CDlgEdit::SetLimitText(int limit) { return static_cast<BOOL>(SendMessage(kMsgSetLimitText, limit, 0)); }
int CDlgEdit::GetLimitText() { return static_cast<int>(SendMessage(kMsgGetLimitText, 0, 0)); }
BOOL CDlgEdit::SetSel(int start, int end) { return static_cast<BOOL>(SendMessage(kMsgSetSel, start, end)); }
BOOL CDlgEdit::GetSel(DWORD* start, DWORD* end) {
    return static_cast<BOOL>(SendMessage(kMsgGetSel, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end)));
}
BOOL CDlgEdit::SetInputMode(int mode) { return static_cast<BOOL>(SendMessage(kMsgSetInputMode, 0, mode)); }
int CDlgEdit::GetInputMode() { return static_cast<int>(SendMessage(kMsgGetInputMode, 0, 0)); }

LRESULT CDlgEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetText: return OnSetText(reinterpret_cast<LPCWSTR>(wParam), lParam != 0);
        case kMsgGetText: return OnGetText(reinterpret_cast<LPWSTR>(wParam), static_cast<int>(lParam));
        case kMsgGetTextLength: return OnGetTextLength();
        case kMsgSetLimitText: return OnSetLimitText(static_cast<int>(wParam));
        case kMsgGetLimitText: return OnGetLimitText();
        case kMsgSetSel: return OnSetSel(static_cast<int>(wParam), static_cast<int>(lParam));
        case kMsgGetSel: return OnGetSel(reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
        case kMsgSetInputMode: return OnSetInputMode(static_cast<int>(lParam));
        case kMsgGetInputMode: return OnGetInputMode();
        default: return 0;
    }
}

LRESULT CDlgEdit::OnSetText(LPCWSTR text, BOOL redraw) {
    if (text == nullptr) {
        return 0;
    }
    if (m_edit == nullptr) {
        return m_pendingText.Set(text) ? 1 : 0;
    }
    if (!SetWindowTextW(m_edit, text)) {
        return 0;
    }
    RedrawIf(redraw);
    return 1;
}

// The pending text is copied bounded and always terminated, whatever its length.
LRESULT CDlgEdit::OnGetText(LPWSTR buffer, int length) {
    if (buffer == nullptr || length <= 0) {
        return 0;
    }
    if (m_edit != nullptr) {
        GetWindowTextW(m_edit, buffer, length);
        return 1;
    }
    return m_pendingText.CopyTo(buffer, length);
}

LRESULT CDlgEdit::OnGetTextLength() {
    return m_edit != nullptr ? GetWindowTextLengthW(m_edit) : m_pendingText.GetLength();
}

LRESULT CDlgEdit::OnSetLimitText(int limit) {
    if (m_edit != nullptr) {
        return ::SendMessageW(m_edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    }
    m_pendingLimit = limit;
    return 1;
}

LRESULT CDlgEdit::OnGetLimitText() {
    if (m_edit != nullptr) {
        return ::SendMessageW(m_edit, EM_GETLIMITTEXT, 0, 0);
    }
    return m_pendingLimit != -1 ? m_pendingLimit : 0;
}

LRESULT CDlgEdit::OnSetSel(int start, int end) {
    if (m_edit != nullptr) {
        return ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(start), end);
    }
    m_pendingSelStart = start;
    m_pendingSelEnd = end;
    return 1;
}

LRESULT CDlgEdit::OnGetSel(DWORD* start, DWORD* end) {
    if (m_edit != nullptr) {
        return ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
    }
    if (start != nullptr) {
        *start = m_pendingSelStart != -1 ? static_cast<DWORD>(m_pendingSelStart) : 0;
    }
    if (end != nullptr) {
        *end = m_pendingSelEnd != -1 ? static_cast<DWORD>(m_pendingSelEnd) : 0;
    }
    return 1;
}

LRESULT CDlgEdit::OnSetInputMode(int mode) {
    if (m_edit != nullptr) {
        return ::SendMessageW(m_edit, EM_SETINPUTMODE, 0, mode);
    }
    m_pendingInputMode = mode;
    return 1;
}

LRESULT CDlgEdit::OnGetInputMode() {
    if (m_edit != nullptr) {
        return ::SendMessageW(m_edit, EM_GETINPUTMODE, 0, 1);
    }
    return m_pendingInputMode;
}

}  // namespace UserInterface
