// The button control: push buttons, check boxes and radio buttons; an automatic radio button clears
// the others of its group.
#include <algorithm>
#include <vector>

#include "user/Controls.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

struct ButtonState : WindowExtension {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
};

std::shared_ptr<ButtonState> StateOf(HWND window) { return ExtensionOf<ButtonState>(window); }

LONG_PTR Kind(HWND window) { return GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK; }

bool IsCheckBox(LONG_PTR kind) {
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

void DrawFrame(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT edges[4] = {{r.left, r.top, r.right, r.top + 1},
                     {r.left, r.bottom - 1, r.right, r.bottom},
                     {r.left, r.top, r.left + 1, r.bottom},
                     {r.right - 1, r.top, r.right, r.bottom}};
    for (const RECT& edge : edges) {
        FillRect(dc, &edge, brush);
    }
    DeleteObject(brush);
}

void Paint(HWND window, const ButtonState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    LONG_PTR kind = Kind(window);
    if (kind == BS_OWNERDRAW) {
        DRAWITEMSTRUCT item{4, static_cast<UINT>(GetDlgCtrlID(window)), 0, 1, state.pushed ? 1u : 0u, window, dc,
                            client, 0};
        SendMessageW(GetParent(window), WM_DRAWITEM, static_cast<WPARAM>(GetDlgCtrlID(window)),
                     reinterpret_cast<LPARAM>(&item));
        EndPaint(window, &paint);
        return;
    }
    bool enabled = IsWindowEnabled(window);
    WCHAR text[256];
    int length = GetWindowTextW(window, text, 256);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(window));
    SetBkMode(dc, TRANSPARENT);
    if (IsCheckBox(kind)) {
        FillRect(dc, &client, ControlBrush(window, dc, WM_CTLCOLORSTATIC));
        LONG box = std::min<LONG>(client.bottom - 2, 13);
        RECT square{1, (client.bottom - box) / 2, 1 + box, (client.bottom - box) / 2 + box};
        FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawFrame(dc, square, enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
        if (state.check == BST_CHECKED) {
            RECT mark{square.left + 3, square.top + 3, square.right - 3, square.bottom - 3};
            FillRect(dc, &mark, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
        RECT label{square.right + 4, 0, client.right, client.bottom};
        SetTextColor(dc, enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text, length, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    } else {
        FillRect(dc, &client, state.pushed ? GetSysColorBrush(COLOR_HIGHLIGHT) : GetSysColorBrush(COLOR_BTNFACE));
        DrawFrame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
        SetTextColor(dc, !enabled      ? GetSysColor(COLOR_GRAYTEXT)
                         : state.pushed ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                        : GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, text, length, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
    if (state.focused) {
        RECT focus{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

bool IsAutoRadioButton(HWND window) {
    WCHAR name[8] = {};
    GetClassNameW(window, name, 8);
    return lstrcmpiW(name, u"Button") == 0 && Kind(window) == BS_AUTORADIOBUTTON;
}

// A chosen radio button clears the others of its group: the siblings from the one with WS_GROUP
// before it up to the next one with WS_GROUP.
void ClearRestOfGroup(HWND window) {
    std::vector<HWND> siblings;
    for (HWND child = GetWindow(GetParent(window), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        siblings.push_back(child);
    }
    auto at = std::find(siblings.begin(), siblings.end(), window);
    if (at == siblings.end()) {
        return;
    }
    auto starts = [](HWND sibling) { return (GetWindowLongW(sibling, GWL_STYLE) & WS_GROUP) != 0; };
    auto first = at;
    while (first != siblings.begin() && !starts(*first)) {
        --first;
    }
    auto last = at + 1;
    while (last != siblings.end() && !starts(*last)) {
        ++last;
    }
    for (auto it = first; it != last; ++it) {
        if (*it != window && IsAutoRadioButton(*it)) {
            SendMessageW(*it, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void Click(HWND window, ButtonState& state) {
    LONG_PTR kind = Kind(window);
    if (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON) {
        state.check = (kind == BS_AUTORADIOBUTTON || state.check != BST_CHECKED) ? BST_CHECKED : BST_UNCHECKED;
        InvalidateRect(window, nullptr, FALSE);
    }
    if (kind == BS_AUTORADIOBUTTON) {
        ClearRestOfGroup(window);
    }
    NotifyParent(window, BN_CLICKED);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto state = StateOf(window);
    if (!state) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(window);
        SetCapture(window);
        state->pushed = true;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window) {
            RECT client;
            GetClientRect(window, &client);
            bool inside = PointIn(client, PointFromLParam(lParam));
            if (inside != state->pushed) {
                state->pushed = inside;
                InvalidateRect(window, nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        bool wasPushed = state->pushed && GetCapture() == window;
        ReleaseCapture();
        state->pushed = false;
        InvalidateRect(window, nullptr, FALSE);
        if (wasPushed) {
            Click(window, *state);
        }
        return 0;
    }
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            Click(window, *state);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state->focused = message == WM_SETFOCUS;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case BM_GETCHECK:
        return state->check;
    case BM_SETCHECK:
        state->check = static_cast<UINT>(wParam);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case BM_GETSTATE:
        return state->check | (state->pushed ? BST_PUSHED : 0) | (state->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        state->pushed = wParam != 0;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case BM_CLICK:
        Click(window, *state);
        return 0;
    case WM_GETDLGCODE: {
        LONG_PTR kind = Kind(window);
        return DLGC_BUTTON | (kind == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON
                              : IsCheckBox(kind)      ? 0
                                                      : DLGC_UNDEFPUSHBUTTON);
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace ce::detail
