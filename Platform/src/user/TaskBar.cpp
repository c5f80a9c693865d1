#include "user/TaskBar.h"

#include <string>

#include "ce/device.h"
#include "ce/kernel.h"
#include "shell/ShellState.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

bool HasOkButton(HWND foreground) {
    return foreground && (GetWindowLongW(foreground, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN);
}

RECT OkRect() {
    RECT bar = ScreenLayout::TaskBar();
    LONG width = (bar.bottom - bar.top) * 3 / 2;
    return RECT{bar.right - width, bar.top, bar.right, bar.bottom};
}

COLORREF BarColor() {
    COLORREF theme = static_cast<COLORREF>(ce::ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF;
    return RGB(GetRValue(theme) / 2, GetGValue(theme) / 2, GetBValue(theme) / 2);
}

}  // namespace

bool TaskBar::Shown(HWND foreground) {
    return ScreenLayout::HasTaskBar() && !(ShellState::FullScreenFlags(foreground) & SHFS_HIDETASKBAR);
}

void TaskBar::Draw(HDC dc, HWND foreground) {
    RECT bar = ScreenLayout::TaskBar();
    HBRUSH background = CreateSolidBrush(BarColor());
    FillRect(dc, &bar, background);
    DeleteObject(background);
    LONG height = bar.bottom - bar.top;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    LONG left = 4;
    if (!(ShellState::FullScreenFlags(foreground) & SHFS_HIDESTARTICON)) {
        RECT icon{4, height / 4, 4 + height / 2, height * 3 / 4};
        FillRect(dc, &icon, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        left = icon.right + 6;
    }
    RECT ok = OkRect();
    RECT clock{ok.left - height * 2, 0, HasOkButton(foreground) ? ok.left : bar.right - 4, height};
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR time[16];
    wsprintfW(time, u"%d:%02d", now.wHour, now.wMinute);
    DrawTextW(dc, time, -1, &clock, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    if (foreground) {
        WCHAR title[128] = {0};
        {
            WmLock guard(Wm().Lock());
            if (auto w = Wm().Find(foreground)) {
                lstrcpynW(title, w->text.c_str(), 128);
            }
        }
        RECT titleRect{left, 0, clock.left - 4, height};
        DrawTextW(dc, title, -1, &titleRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    if (HasOkButton(foreground)) {
        const char16_t* label = ShellState::HasCancelButton(foreground) ? u"X" : u"ok";
        DrawTextW(dc, label, -1, &ok, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    SelectObject(dc, oldFont);
}

bool TaskBar::Tap(POINT screen, HWND foreground) {
    if (!Shown(foreground) || !PointIn(ScreenLayout::TaskBar(), screen)) {
        return false;
    }
    if (HasOkButton(foreground) && PointIn(OkRect(), screen)) {
        int id = ShellState::HasCancelButton(foreground) ? IDCANCEL : IDOK;
        PostMessageW(foreground, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    return true;
}

}  // namespace ce::detail
