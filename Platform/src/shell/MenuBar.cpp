// The soft-key menu bar: a window along the bottom of the screen, owned by the window it serves, with
// its buttons (a command, or a sub-menu that opens above the bar), the Back-key override and the
// input-panel button.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "ce/device.h"
#include "ce/kernel.h"
#include "shell/ShellState.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

constexpr const char16_t* kBarClass = u"menu_worker";

struct BarButton {
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = TBSTYLE_BUTTON;
    std::u16string text;
    HMENU subMenu = nullptr;
    DWORD_PTR data = 0;
};

struct BarState : WindowExtension {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    std::vector<BarButton> buttons;
    bool sipButton = true;
    std::map<UINT, DWORD> overrides;  // key -> SHMBOF_ flags
    int pressed = -1;
};

std::shared_ptr<BarState> StateOf(HWND window) { return ExtensionOf<BarState>(window, false); }

bool Enabled(const BarButton& button) {
    return (button.state & TBSTATE_ENABLED) && !(button.state & TBSTATE_INDETERMINATE);
}

LONG SipWidth(const BarState& state) { return state.sipButton ? ScreenLayout::BarHeight() * 3 / 2 : 0; }

RECT ButtonRect(const BarState& state, size_t index, const RECT& client) {
    LONG sip = SipWidth(state);
    if (state.buttons.size() <= 2) {
        LONG half = (client.right - sip) / 2;
        return index == 0 ? RECT{0, 0, half, client.bottom} : RECT{half + sip, 0, client.right, client.bottom};
    }
    LONG width = client.right / static_cast<LONG>(state.buttons.size());
    return RECT{width * static_cast<LONG>(index), 0, width * static_cast<LONG>(index + 1), client.bottom};
}

RECT SipRect(const BarState& state, const RECT& client) {
    LONG sip = SipWidth(state);
    return RECT{(client.right - sip) / 2, 0, (client.right + sip) / 2, client.bottom};
}

int ButtonAt(const BarState& state, const RECT& client, POINT point) {
    for (size_t i = 0; i < state.buttons.size(); ++i) {
        if (!(state.buttons[i].state & TBSTATE_HIDDEN) && PointIn(ButtonRect(state, i, client), point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

COLORREF BarColor() { return static_cast<COLORREF>(ce::ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF; }

// The input-panel key: a keyboard in white strokes, two rows of keys over a space bar, drawn on a grid
// of 26 x 13 that grows with the bar.
void DrawKeyboardGlyph(HDC dc, const RECT& key) {
    constexpr LONG kGridWidth = 26, kGridHeight = 13;
    const LONG unit = std::max<LONG>(1, (key.bottom - key.top) / (2 * kGridHeight));
    const LONG left = (key.left + key.right - kGridWidth * unit) / 2;
    const LONG top = (key.top + key.bottom - kGridHeight * unit) / 2;
    auto cell = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
        return RECT{left + x0 * unit, top + y0 * unit, left + x1 * unit, top + y1 * unit};
    };
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    for (const RECT& edge : {cell(0, 0, kGridWidth, 1), cell(0, kGridHeight - 1, kGridWidth, kGridHeight),
                             cell(0, 0, 1, kGridHeight), cell(kGridWidth - 1, 0, kGridWidth, kGridHeight)}) {
        FillRect(dc, &edge, white);
    }
    for (LONG row : {3, 6}) {
        for (LONG column = 4; column <= 20; column += 4) {
            const RECT keyCap = cell(column, row, column + 2, row + 2);
            FillRect(dc, &keyCap, white);
        }
    }
    const RECT spaceBar = cell(8, 9, 18, 11);
    FillRect(dc, &spaceBar, white);
}

void Draw(HDC dc, const BarState& state, const RECT& client) {
    HBRUSH background = CreateSolidBrush(BarColor());
    FillRect(dc, &client, background);
    DeleteObject(background);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < state.buttons.size(); ++i) {
        const BarButton& button = state.buttons[i];
        if (button.state & TBSTATE_HIDDEN) {
            continue;
        }
        RECT rect = ButtonRect(state, i, client);
        if (static_cast<int>(i) == state.pressed) {
            FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        }
        SetTextColor(dc, Enabled(button) ? RGB(255, 255, 255) : RGB(160, 160, 160));
        DrawTextW(dc, button.text.c_str(), static_cast<int>(button.text.size()), &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
    if (state.sipButton) {
        DrawKeyboardGlyph(dc, SipRect(state, client));
    }
    SelectObject(dc, oldFont);
}

void Paint(HWND window, const BarState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    Draw(dc, state, client);
    EndPaint(window, &paint);
}

// The bar draws itself as soon as it is made or changed, not when its owner's thread gets round to
// painting: that thread may be busy (a screen sliding in), and the soft keys must never show blank.
void Repaint(HWND window, const BarState& state) {
    RECT client;
    GetClientRect(window, &client);
    if (HDC dc = GetDC(window)) {
        Draw(dc, state, client);
        ReleaseDC(window, dc);
    }
    ValidateRect(window, nullptr);
}

void Press(HWND window, BarState& state, int index) {
    if (index < 0 || static_cast<size_t>(index) >= state.buttons.size() || !Enabled(state.buttons[static_cast<size_t>(index)])) {
        return;  // a greyed key does nothing
    }
    const BarButton button = state.buttons[static_cast<size_t>(index)];
    if (!button.subMenu) {
        PostMessageW(state.owner, WM_COMMAND, MAKEWPARAM(button.command, 0), 0);
        return;
    }
    SendMessageW(state.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(button.subMenu),
                 MAKELPARAM(button.command, FALSE));
    RECT bar;
    GetWindowRect(window, &bar);
    RECT client{0, 0, bar.right - bar.left, bar.bottom - bar.top};
    RECT rect = ButtonRect(state, static_cast<size_t>(index), client);
    bool right = rect.left > client.right / 2;
    UINT chosen = TrackPopupMenuForBar(button.subMenu, TPM_BOTTOMALIGN | (right ? TPM_RIGHTALIGN : TPM_LEFTALIGN),
                                       right ? bar.right : bar.left, bar.top, state.owner);
    if (chosen) {
        PostMessageW(state.owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    }
}

int FindButton(const BarState& state, WPARAM id, bool byIndex) {
    if (byIndex) {
        return id < state.buttons.size() ? static_cast<int>(id) : -1;
    }
    for (size_t i = 0; i < state.buttons.size(); ++i) {
        if (state.buttons[i].command == static_cast<int>(id)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

LRESULT ButtonInfo(HWND window, BarState& state, UINT message, WPARAM id, TBBUTTONINFOW* info) {
    if (info == nullptr) {
        return -1;
    }
    int index = FindButton(state, id, (info->dwMask & TBIF_BYINDEX) != 0);
    if (index < 0) {
        return message == TB_SETBUTTONINFO ? FALSE : -1;
    }
    BarButton& button = state.buttons[static_cast<size_t>(index)];
    if (message == TB_GETBUTTONINFO) {
        if (info->dwMask & TBIF_COMMAND) info->idCommand = button.command;
        if (info->dwMask & TBIF_STATE) info->fsState = button.state;
        if (info->dwMask & TBIF_STYLE) info->fsStyle = button.style;
        if (info->dwMask & TBIF_LPARAM) info->lParam = button.data;
        if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) {
            lstrcpynW(info->pszText, button.text.c_str(), info->cchText);
        }
        return index;
    }
    if (info->dwMask & TBIF_COMMAND) button.command = info->idCommand;
    if (info->dwMask & TBIF_STATE) button.state = info->fsState;
    if (info->dwMask & TBIF_STYLE) button.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) button.data = info->lParam;
    if ((info->dwMask & TBIF_TEXT) && info->pszText) button.text = info->pszText;
    Repaint(window, state);
    return TRUE;
}

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto state = StateOf(window);
    if (!state) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    RECT client;
    GetClientRect(window, &client);
    POINT point = PointFromLParam(lParam);
    switch (message) {
    case WM_PAINT:
        Paint(window, *state);
        return 0;
    case WM_LBUTTONDOWN:
        state->pressed = ButtonAt(*state, client, point);
        SetCapture(window);
        Repaint(window, *state);
        return 0;
    case WM_LBUTTONUP: {
        ReleaseCapture();
        int pressed = state->pressed;
        state->pressed = -1;
        Repaint(window, *state);
        if (state->sipButton && PointIn(SipRect(*state, client), point)) {
            SipShowIM(ShellState::InputPanelUp() ? SIPF_OFF : SIPF_ON);
        } else if (pressed >= 0 && pressed == ButtonAt(*state, client, point)) {
            Press(window, *state, pressed);
        }
        return 0;
    }
    case kPressSoftKeyMessage:
        Press(window, *state, static_cast<int>(wParam));
        return 0;
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(state->buttons.size());
    case TB_GETBUTTON: {
        auto* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (out == nullptr || wParam >= state->buttons.size()) {
            return FALSE;
        }
        const BarButton& button = state->buttons[wParam];
        *out = TBBUTTON{I_IMAGENONE, button.command, button.state, button.style, {0, 0}, button.data, 0};
        return TRUE;
    }
    case TB_GETBUTTONINFO:
    case TB_SETBUTTONINFO:
        return ButtonInfo(window, *state, message, wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam));
    case TB_COMMANDTOINDEX:
        return FindButton(*state, wParam, false);
    case TB_ENABLEBUTTON:
    case TB_SETSTATE: {
        int index = FindButton(*state, wParam, false);
        if (index < 0) {
            return FALSE;
        }
        BYTE& current = state->buttons[static_cast<size_t>(index)].state;
        current = message == TB_SETSTATE ? static_cast<BYTE>(LOWORD(lParam))
                  : LOWORD(lParam)       ? static_cast<BYTE>((current | TBSTATE_ENABLED) & ~TBSTATE_INDETERMINATE)
                                         : static_cast<BYTE>(current & ~TBSTATE_ENABLED);
        Repaint(window, *state);
        return TRUE;
    }
    case TB_GETSTATE:
    case TB_ISBUTTONENABLED: {
        int index = FindButton(*state, wParam, false);
        if (index < 0) {
            return -1;
        }
        const BarButton& button = state->buttons[static_cast<size_t>(index)];
        return message == TB_GETSTATE ? button.state : (Enabled(button) ? TRUE : FALSE);
    }
    case SHCMBM_GETSUBMENU: {
        int index = FindButton(*state, static_cast<WPARAM>(lParam), false);
        return index < 0 ? 0 : reinterpret_cast<LRESULT>(state->buttons[static_cast<size_t>(index)].subMenu);
    }
    case SHCMBM_SETSUBMENU: {
        int index = FindButton(*state, wParam, false);
        if (index < 0) {
            return 0;
        }
        HMENU old = state->buttons[static_cast<size_t>(index)].subMenu;
        state->buttons[static_cast<size_t>(index)].subMenu = reinterpret_cast<HMENU>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case SHCMBM_GETMENU:
        return reinterpret_cast<LRESULT>(state->menu);
    case SHCMBM_OVERRIDEKEY: {
        DWORD mask = LOWORD(lParam), values = HIWORD(lParam);
        DWORD& flags = state->overrides[static_cast<UINT>(wParam)];
        flags = (flags & ~mask) | (values & mask);
        return TRUE;
    }
    case WM_DESTROY:
        if (state->menu) {
            DestroyMenu(state->menu);
            state->menu = nullptr;
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterBarClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterSystemClasses();
        WNDCLASSW info{};
        info.lpfnWndProc = BarProc;
        info.lpszClassName = kBarClass;
        WmLock guard(Wm().Lock());
        Wm().AddClass(info, true);
    });
}

std::u16string LoadText(HINSTANCE instance, UINT id) {
    WCHAR buffer[128] = {0};
    return id != 0 && LoadStringW(instance, id, buffer, 128) > 0 ? std::u16string(buffer) : std::u16string();
}

// Reads the bar resource (see shell.h); false when it is missing or damaged.
bool ReadBarResource(HINSTANCE instance, UINT id, BarState* state) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!resource) {
        return false;
    }
    DWORD size = SizeofResource(instance, resource);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(instance, resource)));
    if (words == nullptr || size < 4) {
        return false;
    }
    WORD menuId = words[0], count = words[1];
    if (count > 16 || size < (2u + count * 7u) * sizeof(WORD)) {
        return false;
    }
    state->menu = menuId ? LoadMenuW(instance, MAKEINTRESOURCEW(menuId)) : nullptr;
    for (WORD i = 0; i < count; ++i) {
        const WORD* b = words + 2 + i * 7;
        BarButton button;
        button.command = b[1];
        button.state = static_cast<BYTE>(b[2]);
        button.style = static_cast<BYTE>(b[3]);
        button.text = LoadText(instance, b[4]);
        if (b[6] != NOMENU) {
            button.subMenu = GetSubMenu(state->menu, b[6]);
            if (!button.subMenu) {
                return false;
            }
        }
        state->buttons.push_back(button);
    }
    return true;
}

bool ReadMenuButtons(HINSTANCE instance, UINT id, BarState* state) {
    state->menu = LoadMenuW(instance, MAKEINTRESOURCEW(id));
    if (!state->menu) {
        return false;
    }
    for (int i = 0; i < GetMenuItemCount(state->menu); ++i) {
        BarButton button;
        WCHAR text[128];
        GetMenuStringW(state->menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        button.text = text;
        button.subMenu = GetSubMenu(state->menu, i);
        button.command = button.subMenu ? 0 : static_cast<int>(GetMenuItemID(state->menu, i));
        state->buttons.push_back(button);
    }
    return true;
}

}  // namespace

HWND MenuBarOf(HWND window) {
    WmLock guard(Wm().Lock());
    HWND top = Wm().TopLevelOf(window);
    for (HWND each : Wm().TopLevels()) {
        auto w = Wm().Find(each);
        if (top && w && w->layer == WindowLayer::SoftKeyBar && w->owner == top && !w->destroying) {
            return each;
        }
    }
    return nullptr;
}

bool MenuBarHandleKey(HWND foreground, UINT virtualKey, bool down) {
    if (PopupMenuOpen() || !foreground) {
        return false;
    }
    HWND bar = MenuBarOf(foreground);
    auto state = bar ? StateOf(bar) : nullptr;
    if (!state) {
        return false;
    }
    if (virtualKey == VK_TSOFT1 || virtualKey == VK_TSOFT2) {
        if (!down) {
            PostMessageW(bar, kPressSoftKeyMessage, virtualKey == VK_TSOFT1 ? 0 : 1, 0);
        }
        return true;
    }
    auto it = state->overrides.find(virtualKey);
    if (it == state->overrides.end()) {
        return false;
    }
    if (it->second & SHMBOF_NOTIFY) {
        PostMessageW(state->owner, WM_HOTKEY, 0, MAKELPARAM(down ? 0 : MOD_KEYUP, virtualKey));
    }
    return (it->second & SHMBOF_NODEFAULT) != 0;
}

}  // namespace ce::detail

using namespace ce::detail;

extern "C" {

CE_API BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (info == nullptr || !IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RegisterBarClass();
    auto state = std::make_shared<BarState>();
    state->owner = info->hwndParent;
    // A Smartphone has keys and no input panel, so its bar has no button for one.
    state->sipButton = !(info->dwFlags & SHCMBF_HIDESIPBUTTON) && ce::GetDeviceKind() != ce::DeviceKind::Smartphone;
    bool read = (info->dwFlags & SHCMBF_EMPTYBAR) ? true
                : (info->dwFlags & SHCMBF_HMENU)  ? ReadMenuButtons(info->hInstRes, info->nToolBarId, state.get())
                                                  : ReadBarResource(info->hInstRes, info->nToolBarId, state.get());
    if (!read) {
        if (state->menu) {
            DestroyMenu(state->menu);
        }
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
    }
    RECT rect = ScreenLayout::MenuBar();
    HWND bar = CreateWindowExW(0, kBarClass, u"", WS_POPUP, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, info->hwndParent, nullptr, info->hInstRes, nullptr);
    if (!bar) {
        if (state->menu) {
            DestroyMenu(state->menu);
        }
        return FALSE;
    }
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(bar);
        w->neverActive = true;
        w->layer = WindowLayer::SoftKeyBar;
        w->extension = state;
    }
    if (!(info->dwFlags & SHCMBF_HIDDEN)) {
        ShowWindow(bar, SW_SHOWNA);
    }
    Repaint(bar, *state);
    info->hwndMB = bar;
    return TRUE;
}

CE_API HWND SHFindMenuBar(HWND window) { return MenuBarOf(window); }

}  // extern "C"
