// Popup menus: TrackPopupMenuEx shows a menu in a window of its own and runs a modal loop until an
// item is chosen or the menu is dismissed (a tap outside it, Escape).
#include <algorithm>
#include <atomic>

#include "user/Controls.h"
#include "user/Menu.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace {

std::atomic<int> openMenus{0};

struct PopupState : WindowExtension {
    HMENU menu = nullptr;
    Menu items;
    HWND owner = nullptr;
    int hot = -1;
    bool done = false;
    UINT result = 0;
    LONG itemHeight = 0;
};

std::shared_ptr<PopupState> StateOf(HWND window) { return ExtensionOf<PopupState>(window, false); }

LONG ItemHeight() { return std::max(GetSystemMetrics(SM_CYMENU) * 3 / 4, 16); }
LONG SeparatorHeight() { return 5; }

LONG ItemTop(const PopupState& state, int index) {
    LONG top = 1;
    for (int i = 0; i < index; ++i) {
        top += (state.items.items[static_cast<size_t>(i)].flags & MF_SEPARATOR) ? SeparatorHeight() : state.itemHeight;
    }
    return top;
}

int ItemAt(const PopupState& state, POINT point) {
    for (size_t i = 0; i < state.items.items.size(); ++i) {
        LONG top = ItemTop(state, static_cast<int>(i));
        LONG height = (state.items.items[i].flags & MF_SEPARATOR) ? SeparatorHeight() : state.itemHeight;
        if (point.y >= top && point.y < top + height) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

SIZE MeasureMenu(const Menu& menu, LONG itemHeight) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    LONG width = 60, height = 2;
    for (const MenuItem& item : menu.items) {
        SIZE text{};
        GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text);
        width = std::max(width, text.cx + itemHeight * 2);
        height += (item.flags & MF_SEPARATOR) ? SeparatorHeight() : itemHeight;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{width, height};
}

void DrawCheck(HDC dc, LONG x, LONG y, LONG size) {
    HPEN pen = CreatePen(PS_SOLID, 2, GetTextColor(dc));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, y + size / 2, nullptr);
    LineTo(dc, x + size / 3, y + size - 2);
    LineTo(dc, x + size, y + 1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawArrow(HDC dc, LONG x, LONG y, LONG size) {
    POINT points[3] = {{x, y}, {x + size / 2, y + size / 2}, {x, y + size}};
    HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(dc));
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points, 3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Paint(HWND window, PopupState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, client.right, client.bottom);
    SelectObject(dc, oldBrush);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < state.items.items.size(); ++i) {
        const MenuItem& item = state.items.items[i];
        LONG top = ItemTop(state, static_cast<int>(i));
        if (item.flags & MF_SEPARATOR) {
            RECT line{4, top + 2, client.right - 4, top + 3};
            FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
            continue;
        }
        RECT row{1, top, client.right - 1, top + state.itemHeight};
        bool hot = static_cast<int>(i) == state.hot && item.Selectable();
        if (hot) {
            FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        SetTextColor(dc, !item.Selectable() ? GetSysColor(COLOR_GRAYTEXT)
                         : hot             ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                           : GetSysColor(COLOR_MENUTEXT));
        LONG mark = state.itemHeight / 2;
        if (item.flags & MF_CHECKED) {
            DrawCheck(dc, 4, top + (state.itemHeight - mark) / 2, mark);
        }
        if (item.subMenu) {
            DrawArrow(dc, client.right - mark - 2, top + (state.itemHeight - mark) / 2, mark);
        }
        RECT text{state.itemHeight, top, client.right - state.itemHeight, top + state.itemHeight};
        DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

// How a menu came to open: by the keys it opens on its first item, by the stylus on none.
enum class OpenedBy { kStylus, kKeys };

UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner, int index, bool notify, OpenedBy openedBy);

// Where a sub-menu opens: beside its parent, on the right where it fits, else on the left; on a
// screen too narrow for either (a Smartphone's menu is as wide as the screen) it takes the parent's
// place, and the parent comes back when the sub-menu closes without a choice.
struct SubMenuPlace {
    POINT origin{0, 0};
    bool replacesParent = false;
};

constexpr LONG kSubMenuOverlap = 4;  // a sub-menu covers this much of its parent's edge

SubMenuPlace PlaceSubMenu(HWND parent, const PopupState& state, int index, HMENU subMenu) {
    RECT rect;
    GetWindowRect(parent, &rect);
    const LONG top = rect.top + ItemTop(state, index);
    Menu items;
    if (!MenuTable::Instance().Get(subMenu, &items)) {
        return SubMenuPlace{POINT{rect.right - kSubMenuOverlap, top}, false};
    }
    const SIZE size = MeasureMenu(items, state.itemHeight);
    const RECT screen = ScreenLayout::FullScreen();
    if (rect.right - kSubMenuOverlap + size.cx <= screen.right) {
        return SubMenuPlace{POINT{rect.right - kSubMenuOverlap, top}, false};
    }
    if (rect.left + kSubMenuOverlap - size.cx >= screen.left) {
        return SubMenuPlace{POINT{rect.left + kSubMenuOverlap - size.cx, top}, false};
    }
    return SubMenuPlace{POINT{rect.left, rect.top}, true};
}

void Choose(HWND window, PopupState& state, int index, OpenedBy openedBy) {
    if (index < 0 || static_cast<size_t>(index) >= state.items.items.size()) {
        return;
    }
    const MenuItem& item = state.items.items[static_cast<size_t>(index)];
    if (!item.Selectable()) {
        return;
    }
    if (item.subMenu) {
        const SubMenuPlace place = PlaceSubMenu(window, state, index, item.subMenu);
        if (place.replacesParent) {
            ShowWindow(window, SW_HIDE);
        }
        UINT chosen = Track(item.subMenu, TPM_LEFTALIGN | TPM_RETURNCMD, place.origin.x, place.origin.y,
                            state.owner, index, true, openedBy);
        if (chosen) {
            state.done = true;
            state.result = chosen;
        } else if (IsWindow(window)) {
            if (place.replacesParent) {
                ShowWindow(window, SW_SHOWNA);
            }
            SetCapture(window);
            SetFocus(window);
        }
        return;
    }
    state.done = true;
    state.result = item.id;
}

int FirstSelectable(const PopupState& state) {
    for (size_t i = 0; i < state.items.items.size(); ++i) {
        if (state.items.items[i].Selectable()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The soft keys stay in sight: a menu ends above the soft-key bar.
LONG LowestMenuBottom() {
    return ScreenLayout::MenuBar().top;
}

void MoveHot(HWND window, PopupState& state, int step) {
    int count = static_cast<int>(state.items.items.size());
    for (int i = 1; i <= count; ++i) {
        int candidate = ((state.hot < 0 && step < 0 ? 0 : state.hot) + step * i + count * 2) % count;
        if (state.items.items[static_cast<size_t>(candidate)].Selectable()) {
            state.hot = candidate;
            InvalidateRect(window, nullptr, FALSE);
            return;
        }
    }
}

UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner, int index, bool notify, OpenedBy openedBy) {
    if (notify && owner) {
        SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, FALSE));
    }
    auto state = std::make_shared<PopupState>();
    if (!MenuTable::Instance().Get(menu, &state->items)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return 0;
    }
    if (state->items.items.empty()) {
        return 0;
    }
    state->menu = menu;
    state->owner = owner;
    state->itemHeight = ItemHeight();
    state->hot = openedBy == OpenedBy::kKeys ? FirstSelectable(*state) : -1;
    SIZE size = MeasureMenu(state->items, state->itemHeight);
    if (flags & TPM_RIGHTALIGN) {
        x -= size.cx;
    } else if (flags & TPM_CENTERALIGN) {
        x -= size.cx / 2;
    }
    if (flags & TPM_BOTTOMALIGN) {
        y -= size.cy;
    } else if (flags & TPM_VCENTERALIGN) {
        y -= size.cy / 2;
    }
    RECT screen = ScreenLayout::FullScreen();
    // A menu wider than the screen would lose its right edge with the sub-menu arrows: it takes the
    // screen's width, and its longest texts end in "...".
    size.cx = std::min<LONG>(size.cx, screen.right - screen.left);
    x = std::clamp<LONG>(x, 0, std::max<LONG>(screen.right - size.cx, 0));
    y = std::clamp<LONG>(y, 0, std::max<LONG>(LowestMenuBottom() - size.cy, 0));
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kPopupMenuClass, u"", WS_POPUP, x, y, size.cx, size.cy, owner,
                                  nullptr, nullptr, nullptr);
    if (!window) {
        return 0;
    }
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        w->neverActive = true;
        w->layer = WindowLayer::PopupMenu;
        w->extension = state;
    }
    HWND previousFocus = GetFocus();
    ++openMenus;
    ShowWindow(window, SW_SHOWNA);
    SetCapture(window);
    SetFocus(window);
    while (!state->done && IsWindow(window)) {
        MSG message;
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    --openMenus;
    if (GetCapture() == window) {
        ReleaseCapture();
    }
    DestroyWindow(window);
    if (previousFocus && IsWindow(previousFocus)) {
        SetFocus(previousFocus);
    }
    return state->result;
}

}  // namespace

namespace ce::detail {

bool PopupMenuOpen() { return openMenus > 0; }

UINT TrackPopupMenuForBar(HMENU menu, UINT flags, int x, int y, HWND owner) {
    return Track(menu, flags | TPM_RETURNCMD, x, y, owner, 0, false, OpenedBy::kStylus);
}

LRESULT CALLBACK PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto state = StateOf(window);
    if (!state) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    POINT point = PointFromLParam(lParam);
    RECT client;
    GetClientRect(window, &client);
    switch (message) {
    case WM_PAINT:
        Paint(window, *state);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
        if (!PointIn(client, point)) {
            if (message == WM_LBUTTONDOWN) {
                state->done = true;  // a tap outside dismisses the menu
            }
            return 0;
        }
        if (state->hot != ItemAt(*state, point)) {
            state->hot = ItemAt(*state, point);
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (PointIn(client, point)) {
            Choose(window, *state, ItemAt(*state, point), OpenedBy::kStylus);
        }
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_UP:
            MoveHot(window, *state, -1);
            break;
        case VK_DOWN:
            MoveHot(window, *state, 1);
            break;
        case VK_RETURN:
        case VK_RIGHT:
            Choose(window, *state, state->hot, OpenedBy::kKeys);
            break;
        case VK_ESCAPE:
        case VK_LEFT:
            state->done = true;
            break;
        default:
            break;
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace ce::detail

extern "C" {

CE_API BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS /*params*/) {
    if (!IsMenu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    UINT chosen = Track(menu, flags, x, y, owner, 0, !(flags & TPM_NONOTIFY), OpenedBy::kStylus);
    if (flags & TPM_RETURNCMD) {
        return static_cast<BOOL>(chosen);
    }
    if (chosen && owner) {
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    }
    return TRUE;
}

CE_API BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner, const RECT* /*rect*/) {
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

}  // extern "C"
