// The edit control: single-line (scrolled sideways to keep the caret in view) and multi-line (lines
// split at line breaks), with a selection, a caret, a text limit and the EN_ notifications.
#include <algorithm>

#include "user/Controls.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

constexpr size_t kDefaultLimit = 30000;
constexpr LONG kMargin = 2;

struct EditState : WindowExtension {
    std::u16string text;
    size_t anchor = 0;  // the selection runs from anchor to caret
    size_t caret = 0;
    size_t limit = kDefaultLimit;
    size_t firstVisible = 0;  // single-line: the first character shown
    bool modified = false;
    bool focused = false;
    WCHAR passwordChar = u'*';
    LPARAM inputMode = EIM_SPELL;

    size_t SelStart() const { return std::min(anchor, caret); }
    size_t SelEnd() const { return std::max(anchor, caret); }
};

std::shared_ptr<EditState> StateOf(HWND window) { return ExtensionOf<EditState>(window); }

LONG_PTR Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }
bool Multiline(HWND window) { return (Style(window) & ES_MULTILINE) != 0; }

// Line starts of the text: a line ends at "\r\n" (or a lone "\n").
std::vector<size_t> LineStarts(const std::u16string& text) {
    std::vector<size_t> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

size_t LineOf(const std::u16string& text, size_t index) {
    auto starts = LineStarts(text);
    return static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), index) - starts.begin()) - 1;
}

size_t LineLength(const std::u16string& text, size_t start) {
    size_t end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
        ++end;
    }
    return end - start;
}

// What the window shows for its text: stars for a password.
std::u16string Shown(HWND window, const EditState& state) {
    if (Style(window) & ES_PASSWORD) {
        return std::u16string(state.text.size(), state.passwordChar);
    }
    return state.text;
}

LONG TextWidth(HDC dc, const std::u16string& text, size_t from, size_t to) {
    if (to <= from) {
        return 0;
    }
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str() + from, static_cast<int>(to - from), &size);
    return size.cx;
}

LONG LineHeight(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return std::max<LONG>(metrics.tmHeight, 1);
}

// A DC with the control's font, for measuring.
class MeasureDc {
public:
    explicit MeasureDc(HWND window) : dc_(GetDC(nullptr)) { old_ = SelectObject(dc_, ControlFont(window)); }
    ~MeasureDc() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Keeps the caret inside the visible width of a single-line edit.
void ScrollToCaret(HWND window, EditState& state) {
    if (Multiline(window)) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    LONG width = client.right - 2 * kMargin;
    std::u16string shown = Shown(window, state);
    MeasureDc measure(window);
    if (state.caret < state.firstVisible) {
        state.firstVisible = state.caret;
    }
    while (state.firstVisible < state.caret && TextWidth(measure.Get(), shown, state.firstVisible, state.caret) > width) {
        ++state.firstVisible;
    }
    state.firstVisible = std::min(state.firstVisible, shown.size());
}

size_t CharFromPoint(HWND window, const EditState& state, POINT point) {
    MeasureDc measure(window);
    std::u16string shown = Shown(window, state);
    size_t start = state.firstVisible;
    size_t end = shown.size();
    if (Multiline(window)) {
        auto starts = LineStarts(shown);
        size_t line = std::min<size_t>(static_cast<size_t>(std::max<LONG>(point.y - kMargin, 0) / LineHeight(measure.Get())),
                                       starts.size() - 1);
        start = starts[line];
        end = start + LineLength(shown, start);
    }
    LONG x = point.x - kMargin;
    for (size_t i = start; i < end; ++i) {
        LONG left = TextWidth(measure.Get(), shown, start, i);
        LONG right = TextWidth(measure.Get(), shown, start, i + 1);
        if (x < (left + right) / 2) {
            return i;
        }
    }
    return end;
}

void Changed(HWND window, EditState& state) {
    state.modified = true;
    ScrollToCaret(window, state);
    NotifyParent(window, EN_UPDATE);
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_CHANGE);
}

// Puts text in place of the selection; false (and EN_MAXTEXT) when the limit leaves no room.
bool ReplaceSelection(HWND window, EditState& state, std::u16string insert) {
    size_t start = state.SelStart(), end = state.SelEnd();
    size_t room = state.limit - std::min(state.limit, state.text.size() - (end - start));
    bool cut = insert.size() > room;
    if (cut) {
        insert.resize(room);
    }
    if (insert.empty() && start == end) {
        if (cut) {
            NotifyParent(window, EN_MAXTEXT);
        }
        return false;
    }
    state.text.replace(start, end - start, insert);
    state.anchor = state.caret = start + insert.size();
    Changed(window, state);
    if (cut) {
        NotifyParent(window, EN_MAXTEXT);
    }
    return !cut;
}

void Type(HWND window, EditState& state, WCHAR c) {
    LONG_PTR style = Style(window);
    if (style & ES_READONLY) {
        return;
    }
    if (c == u'\r' && (style & ES_MULTILINE) && (style & ES_WANTRETURN)) {
        ReplaceSelection(window, state, u"\r\n");
        return;
    }
    if (c < 0x20) {
        return;  // Backspace and the other control keys act on WM_KEYDOWN
    }
    if ((style & ES_NUMBER) && (c < u'0' || c > u'9')) {
        MessageBeep(0);
        return;
    }
    if (style & ES_UPPERCASE) {
        c = towupperW(c);
    } else if (style & ES_LOWERCASE) {
        c = towlowerW(c);
    }
    ReplaceSelection(window, state, std::u16string(1, c));
}

void MoveCaret(HWND window, EditState& state, size_t to, bool extend) {
    state.caret = std::min(to, state.text.size());
    if (!extend) {
        state.anchor = state.caret;
    }
    ScrollToCaret(window, state);
    InvalidateRect(window, nullptr, FALSE);
}

// A line break "\r\n" counts as one character for the caret, Backspace and Delete.
bool BreakAt(const std::u16string& text, size_t index) {
    return index + 1 < text.size() && text[index] == u'\r' && text[index + 1] == u'\n';
}
size_t StepBack(const std::u16string& text, size_t caret) {
    return caret == 0 ? 0 : caret - (caret >= 2 && BreakAt(text, caret - 2) ? 2 : 1);
}
size_t StepForward(const std::u16string& text, size_t caret) {
    return std::min(text.size(), caret + (BreakAt(text, caret) ? 2 : 1));
}

void KeyDown(HWND window, EditState& state, WPARAM key) {
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool readOnly = (Style(window) & ES_READONLY) != 0;
    size_t line = LineOf(state.text, state.caret);
    size_t lineStart = LineStarts(state.text)[line];
    switch (key) {
    case VK_LEFT:
        MoveCaret(window, state, StepBack(state.text, state.caret), shift);
        break;
    case VK_RIGHT:
        MoveCaret(window, state, StepForward(state.text, state.caret), shift);
        break;
    case VK_HOME:
        MoveCaret(window, state, lineStart, shift);
        break;
    case VK_END:
        MoveCaret(window, state, lineStart + LineLength(state.text, lineStart), shift);
        break;
    case VK_BACK:
        if (!readOnly) {
            if (state.anchor == state.caret) {
                state.anchor = StepBack(state.text, state.caret);
            }
            ReplaceSelection(window, state, u"");
        }
        break;
    case VK_DELETE:
        if (!readOnly) {
            if (state.anchor == state.caret) {
                state.anchor = StepForward(state.text, state.caret);
            }
            ReplaceSelection(window, state, u"");
        }
        break;
    default:
        break;
    }
}

void SetText(HWND window, EditState& state, LPCWSTR text) {
    state.text = text ? text : u"";
    state.anchor = state.caret = 0;
    state.firstVisible = 0;
    state.modified = false;
    NotifyParent(window, EN_UPDATE);
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_CHANGE);
}

void Paint(HWND window, EditState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    LONG_PTR style = Style(window);
    bool plain = (style & ES_READONLY) || !IsWindowEnabled(window);
    FillRect(dc, &client, ControlBrush(window, dc, plain ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT));
    if (style & WS_BORDER) {
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 0, 0, client.right, client.bottom);
        SelectObject(dc, oldBrush);
    }
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(window));
    SetBkMode(dc, TRANSPARENT);
    COLORREF textColor = GetTextColor(dc);
    std::u16string shown = Shown(window, state);
    LONG height = LineHeight(dc);
    auto starts = LineStarts(shown);
    bool multiline = (style & ES_MULTILINE) != 0;
    size_t lines = multiline ? starts.size() : 1;
    for (size_t line = 0; line < lines; ++line) {
        size_t start = multiline ? starts[line] : state.firstVisible;
        size_t end = multiline ? start + LineLength(shown, start) : shown.size();
        LONG y = kMargin + static_cast<LONG>(line) * height;
        LONG x = kMargin;
        // Up to three pieces: before the selection, the selection, after it.
        size_t cuts[4] = {start, std::clamp(state.SelStart(), start, end), std::clamp(state.SelEnd(), start, end), end};
        for (int piece = 0; piece < 3; ++piece) {
            LONG width = TextWidth(dc, shown, cuts[piece], cuts[piece + 1]);
            if (width == 0) {
                continue;
            }
            bool selected = piece == 1 && (state.focused || (style & ES_NOHIDESEL));
            if (selected) {
                RECT box{x, y, x + width, y + height};
                FillRect(dc, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                SetTextColor(dc, plain && !(style & ES_READONLY) ? GetSysColor(COLOR_GRAYTEXT) : textColor);
            }
            ExtTextOutW(dc, x, y, ETO_CLIPPED, &client, shown.c_str() + cuts[piece],
                        static_cast<UINT>(cuts[piece + 1] - cuts[piece]), nullptr);
            x += width;
        }
        if (state.focused && state.caret >= start && state.caret <= end && state.anchor == state.caret) {
            LONG caretX = kMargin + TextWidth(dc, shown, start, state.caret);
            RECT caret{caretX, y, caretX + 1, y + height};
            FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

LRESULT GetSel(const EditState& state, WPARAM wParam, LPARAM lParam) {
    if (wParam) {
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(state.SelStart());
    }
    if (lParam) {
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(state.SelEnd());
    }
    return MAKELRESULT(std::min<size_t>(state.SelStart(), 0xFFFF), std::min<size_t>(state.SelEnd(), 0xFFFF));
}

void SetSel(HWND window, EditState& state, WPARAM wParam, LPARAM lParam) {
    auto start = static_cast<INT_PTR>(static_cast<int>(wParam));
    auto end = static_cast<INT_PTR>(static_cast<int>(lParam));
    size_t size = state.text.size();
    if (start < 0) {
        state.anchor = state.caret;  // -1: no selection
    } else {
        state.anchor = std::min<size_t>(static_cast<size_t>(start), size);
        state.caret = end < 0 ? size : std::min<size_t>(static_cast<size_t>(end), size);
    }
    ScrollToCaret(window, state);
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT LineMessage(HWND window, EditState& state, UINT message, WPARAM wParam) {
    auto starts = LineStarts(state.text);
    switch (message) {
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(starts.size());
    case EM_LINEINDEX: {
        auto line = static_cast<INT_PTR>(static_cast<int>(wParam));
        size_t index = line < 0 ? LineOf(state.text, state.caret) : static_cast<size_t>(line);
        return index < starts.size() ? static_cast<LRESULT>(starts[index]) : -1;
    }
    case EM_LINELENGTH: {
        auto index = static_cast<INT_PTR>(static_cast<int>(wParam));
        size_t at = index < 0 ? state.caret : std::min<size_t>(static_cast<size_t>(index), state.text.size());
        return static_cast<LRESULT>(LineLength(state.text, starts[LineOf(state.text, at)]));
    }
    case EM_LINEFROMCHAR: {
        auto index = static_cast<INT_PTR>(static_cast<int>(wParam));
        return static_cast<LRESULT>(LineOf(state.text, index < 0 ? state.caret : std::min<size_t>(static_cast<size_t>(index), state.text.size())));
    }
    case EM_GETFIRSTVISIBLELINE:
        // A single-line edit answers with its first visible character.
        return Multiline(window) ? 0 : static_cast<LRESULT>(state.firstVisible);
    default:
        return 0;
    }
}

}  // namespace

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto state = StateOf(window);
    if (!state) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        state->text = create && create->lpszName ? create->lpszName : u"";
        return 0;
    }
    case WM_SETTEXT:
        SetText(window, *state, reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (buffer == nullptr || wParam == 0) {
            return 0;
        }
        size_t count = std::min(state->text.size(), static_cast<size_t>(wParam) - 1);
        std::copy_n(state->text.data(), count, buffer);
        buffer[count] = 0;
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(state->text.size());
    case WM_PAINT:
        Paint(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CHAR:
        Type(window, *state, static_cast<WCHAR>(wParam));
        return 0;
    case WM_KEYDOWN:
        KeyDown(window, *state, wParam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state->focused = message == WM_SETFOCUS;
        InvalidateRect(window, nullptr, FALSE);
        NotifyParent(window, message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(window);
        SetCapture(window);
        MoveCaret(window, *state, CharFromPoint(window, *state, PointFromLParam(lParam)), false);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window) {
            MoveCaret(window, *state, CharFromPoint(window, *state, PointFromLParam(lParam)), true);
        }
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) {
            ReleaseCapture();
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
               ((Style(window) & ES_WANTRETURN) ? DLGC_WANTALLKEYS : 0);
    case EM_GETSEL:
        return GetSel(*state, wParam, lParam);
    case EM_SETSEL:
        SetSel(window, *state, wParam, lParam);
        return 0;
    case EM_REPLACESEL:
        ReplaceSelection(window, *state, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
        return 0;
    case EM_LIMITTEXT:
        state->limit = wParam == 0 ? 0x7FFFFFFE : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(state->limit);
    case EM_GETMODIFY:
        return state->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
        state->modified = wParam != 0;
        return 0;
    case EM_SETREADONLY:
        SetWindowLongW(window, GWL_STYLE, wParam ? (Style(window) | ES_READONLY) : (Style(window) & ~ES_READONLY));
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    case EM_SETPASSWORDCHAR:
        state->passwordChar = static_cast<WCHAR>(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case EM_SCROLLCARET:
        ScrollToCaret(window, *state);
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    case EM_CHARFROMPOS: {
        POINT point = PointFromLParam(lParam);
        size_t index = CharFromPoint(window, *state, point);
        return MAKELRESULT(index, LineOf(state->text, index));
    }
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_GETFIRSTVISIBLELINE:
        return LineMessage(window, *state, message, wParam);
    case EM_SETINPUTMODE:
        state->inputMode = lParam;
        return TRUE;
    case EM_GETINPUTMODE:
        return state->inputMode;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace ce::detail
