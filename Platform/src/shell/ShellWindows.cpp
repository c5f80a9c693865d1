// Full-screen dialogs, the activation and setting-change helpers, and the full-screen switch.
#include "ce/device.h"
#include "shell/ShellState.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

using namespace ce::detail;

extern "C" {

CE_API BOOL SHInitDialog(PSHINITDLGINFO info) {
    if (info == nullptr || !IsWindow(info->hDlg)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD flags = (info->dwMask & SHIDIM_FLAGS) ? info->dwFlags : 0;
    if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
        RECT area = ScreenLayout::WorkArea();
        if (flags & SHIDIF_FULLSCREENNOMENUBAR) {
            area.bottom = ScreenLayout::FullScreen().bottom;
        } else if ((flags & SHIDIF_SIZEDLG) && ShellState::InputPanelUp()) {
            area.bottom = ScreenLayout::InputPanel().top;
        }
        MoveWindow(info->hDlg, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    }
    if (flags & (SHIDIF_DONEBUTTON | SHIDIF_CANCELBUTTON)) {
        SetWindowLongW(info->hDlg, GWL_EXSTYLE, GetWindowLongW(info->hDlg, GWL_EXSTYLE) | WS_EX_CAPTIONOKBTN);
        ShellState::SetCancelButton(info->hDlg, (flags & SHIDIF_CANCELBUTTON) != 0);
        Wm().MarkScreenChanged();
    }
    if (flags & SHIDIF_SIPDOWN) {
        SipShowIM(SIPF_OFF);
    }
    if (flags & SHIDIF_EMPTYMENU) {
        SHMENUBARINFO bar{sizeof(SHMENUBARINFO), info->hDlg, SHCMBF_EMPTYBAR, 0, nullptr, 0, 0, nullptr, 0};
        SHCreateMenuBar(&bar);
    }
    return TRUE;
}

// Keeps the input panel with the window: it comes back up when the window is activated again.
CE_API BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM /*lParam*/, SHACTIVATEINFO* info, DWORD /*flags*/) {
    if (info == nullptr || !IsWindow(window)) {
        return FALSE;
    }
    if (LOWORD(wParam) != WA_INACTIVE) {
        info->fActive = 1;
        if (info->fSipOnDeactivation) {
            SipShowIM(SIPF_ON);
            info->fSipOnDeactivation = 0;
        }
    } else {
        info->fActive = 0;
        info->fSipOnDeactivation = ShellState::InputPanelUp() ? 1 : 0;
        info->hwndLastFocus = GetFocus();
    }
    return TRUE;
}

// The active window that reaches down to the panel's edge follows the panel: it ends above the panel
// while it is up and at the work area's bottom again when it goes down, so what has the focus stays
// in sight. A full-screen window and a window placed elsewhere keep their place.
CE_API BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM /*lParam*/, SHACTIVATEINFO* info) {
    if (info == nullptr || !IsWindow(window)) {
        return FALSE;
    }
    if (wParam != SPI_SETSIPINFO || !info->fActive) {
        return TRUE;
    }
    const bool up = ShellState::InputPanelUp();
    info->fSipUp = up ? 1 : 0;
    const LONG panelTop = ScreenLayout::InputPanel().top;
    const LONG workBottom = ScreenLayout::WorkArea().bottom;
    RECT place{};
    GetWindowRect(window, &place);
    const LONG from = up ? workBottom : panelTop;
    const LONG to = up ? panelTop : workBottom;
    if (place.bottom == from && place.top < to) {
        MoveWindow(window, place.left, place.top, place.right - place.left, to - place.top, TRUE);
    }
    return TRUE;
}

CE_API BOOL SHFullScreen(HWND window, DWORD state) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    ShellState::SetFullScreenFlags(window, state);
    return TRUE;
}

CE_API BOOL SipGetInfo(SIPINFO* info) {
    if (info == nullptr) {
        return FALSE;
    }
    bool up = ShellState::InputPanelUp();
    RECT work = ScreenLayout::WorkArea();
    info->fdwFlags = SIPF_DOCKED | (up ? SIPF_ON : SIPF_OFF);
    info->rcSipRect = ScreenLayout::InputPanel();
    info->rcVisibleDesktop = RECT{work.left, work.top, work.right, up ? info->rcSipRect.top : work.bottom};
    info->dwImDataSize = 0;
    return TRUE;
}

// The panel's change is announced to the windows as WM_SETTINGCHANGE with SPI_SETSIPINFO.
CE_API BOOL SipShowIM(DWORD flags) {
    // A Smartphone has no input panel: asking for it leaves the screen as it is.
    bool up = (flags & SIPF_ON) != 0 && ce::GetDeviceKind() != ce::DeviceKind::Smartphone;
    if (up == ShellState::InputPanelUp()) {
        return TRUE;
    }
    ShellState::SetInputPanelUp(up);
    std::vector<HWND> tops;
    {
        WmLock guard(Wm().Lock());
        tops = Wm().TopLevels();
    }
    for (HWND top : tops) {
        PostMessageW(top, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    }
    Wm().MarkScreenChanged();
    return TRUE;
}

CE_API BOOL SHSipPreference(HWND window, SIPSTATE state) {
    if (!IsWindow(window)) {
        return FALSE;
    }
    if (state == SIP_UP || state == SIP_INPUTDIALOG) {
        return SipShowIM(SIPF_ON);
    }
    if (state == SIP_DOWN || state == SIP_FORCEDOWN) {
        return SipShowIM(SIPF_OFF);
    }
    return TRUE;
}

}  // extern "C"
