#include "user/Controls.h"

namespace ce::detail {

HBRUSH ControlBrush(HWND control, HDC dc, UINT colorMessage) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    HWND parent = GetParent(control);
    auto brush = parent ? reinterpret_cast<HBRUSH>(SendMessageW(parent, colorMessage, reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(control)))
                        : nullptr;
    return brush ? brush : GetSysColorBrush(COLOR_WINDOW);
}

HFONT ControlFont(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (parent) {
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
    }
}

}  // namespace ce::detail
