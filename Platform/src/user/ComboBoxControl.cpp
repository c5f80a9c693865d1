// The combo box as a drop-down list: the chosen item in a box; a tap opens the list as a popup menu.
#include <algorithm>

#include "user/Controls.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

struct ComboItem {
    std::u16string text;
    LPARAM data = 0;
};

struct ComboState : WindowExtension {
    std::vector<ComboItem> items;
    int selected = CB_ERR;
    bool dropped = false;
};

std::shared_ptr<ComboState> StateOf(HWND window) { return ExtensionOf<ComboState>(window); }

bool Valid(const ComboState& state, WPARAM index) { return index < state.items.size(); }

void Paint(HWND window, const ComboState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, ControlBrush(window, dc, WM_CTLCOLOREDIT));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, client.right, client.bottom);
    SelectObject(dc, oldBrush);
    LONG arrow = client.bottom;
    POINT points[3] = {{client.right - arrow + arrow / 4, client.bottom / 3},
                       {client.right - arrow / 2, client.bottom * 2 / 3},
                       {client.right - arrow / 4, client.bottom / 3}};
    Polyline(dc, points, 3);
    if (state.selected != CB_ERR) {
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(window));
        SetBkMode(dc, TRANSPARENT);
        RECT text{3, 0, client.right - arrow, client.bottom};
        const std::u16string& label = state.items[static_cast<size_t>(state.selected)].text;
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
    EndPaint(window, &paint);
}

void Select(HWND window, ComboState& state, int index, bool notify) {
    if (index == state.selected) {
        return;
    }
    state.selected = index;
    InvalidateRect(window, nullptr, FALSE);
    if (notify) {
        NotifyParent(window, CBN_SELCHANGE);
    }
}

void DropDown(HWND window, ComboState& state) {
    if (state.items.empty() || state.dropped) {
        return;
    }
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < state.items.size(); ++i) {
        AppendMenuW(menu, static_cast<int>(i) == state.selected ? MF_CHECKED : 0, i + 1, state.items[i].text.c_str());
    }
    RECT rect;
    GetWindowRect(window, &rect);
    state.dropped = true;
    NotifyParent(window, CBN_DROPDOWN);
    auto chosen = static_cast<int>(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_LEFTALIGN, rect.left, rect.bottom, window, nullptr));
    state.dropped = false;
    DestroyMenu(menu);
    NotifyParent(window, CBN_CLOSEUP);
    if (chosen > 0) {
        Select(window, state, chosen - 1, true);
    }
}

LRESULT Insert(HWND window, ComboState& state, WPARAM at, LPARAM text) {
    size_t index = at == static_cast<WPARAM>(-1) ? state.items.size() : std::min<size_t>(at, state.items.size());
    state.items.insert(state.items.begin() + static_cast<long>(index),
                       ComboItem{text ? reinterpret_cast<LPCWSTR>(text) : u"", 0});
    if (state.selected != CB_ERR && static_cast<size_t>(state.selected) >= index) {
        ++state.selected;
    }
    InvalidateRect(window, nullptr, FALSE);
    return static_cast<LRESULT>(index);
}

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_LBUTTONDBLCLK:  // the class takes double taps; a quick second tap opens the list again
        SetFocus(window);
        DropDown(window, *state);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_DOWN && state->selected + 1 < static_cast<int>(state->items.size())) {
            Select(window, *state, state->selected + 1, true);
        } else if (wParam == VK_UP && state->selected > 0) {
            Select(window, *state, state->selected - 1, true);
        } else if (wParam == VK_RETURN) {
            DropDown(window, *state);
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case CB_ADDSTRING:
        return Insert(window, *state, static_cast<WPARAM>(-1), lParam);
    case CB_INSERTSTRING:
        return Insert(window, *state, wParam, lParam);
    case CB_DELETESTRING:
        if (!Valid(*state, wParam)) {
            return CB_ERR;
        }
        state->items.erase(state->items.begin() + static_cast<long>(wParam));
        if (state->selected == static_cast<int>(wParam)) {
            state->selected = CB_ERR;
        } else if (state->selected > static_cast<int>(wParam)) {
            --state->selected;
        }
        InvalidateRect(window, nullptr, FALSE);
        return static_cast<LRESULT>(state->items.size());
    case CB_RESETCONTENT:
        state->items.clear();
        state->selected = CB_ERR;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case CB_GETCOUNT:
        return static_cast<LRESULT>(state->items.size());
    case CB_GETCURSEL:
        return state->selected;
    case CB_SETCURSEL:
        Select(window, *state, Valid(*state, wParam) ? static_cast<int>(wParam) : CB_ERR, false);
        return Valid(*state, wParam) ? static_cast<LRESULT>(wParam) : CB_ERR;
    case CB_GETLBTEXTLEN:
        return Valid(*state, wParam) ? static_cast<LRESULT>(state->items[wParam].text.size()) : CB_ERR;
    case CB_GETLBTEXT:
        if (!Valid(*state, wParam) || lParam == 0) {
            return CB_ERR;
        }
        std::copy(state->items[wParam].text.begin(), state->items[wParam].text.end(), reinterpret_cast<LPWSTR>(lParam));
        reinterpret_cast<LPWSTR>(lParam)[state->items[wParam].text.size()] = 0;
        return static_cast<LRESULT>(state->items[wParam].text.size());
    case CB_FINDSTRINGEXACT: {
        // The search starts after the item given (-1: at the first) and wraps round to it.
        const size_t count = state->items.size();
        const size_t first = Valid(*state, wParam) ? wParam + 1 : 0;
        for (size_t n = 0; lParam && n < count; ++n) {
            const size_t i = (first + n) % count;
            if (lstrcmpiW(state->items[i].text.c_str(), reinterpret_cast<LPCWSTR>(lParam)) == 0) {
                return static_cast<LRESULT>(i);
            }
        }
        return CB_ERR;
    }
    case CB_GETITEMDATA:
        return Valid(*state, wParam) ? state->items[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
        if (!Valid(*state, wParam)) {
            return CB_ERR;
        }
        state->items[wParam].data = lParam;
        return TRUE;
    case CB_SHOWDROPDOWN:
        if (wParam) {
            DropDown(window, *state);
        }
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return state->dropped ? TRUE : FALSE;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace ce::detail
