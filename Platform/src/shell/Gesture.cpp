// Tap-and-hold: the stylus stays down, near where it went down, for the hold time on the layer's clock.
#include <cstdlib>

#include "ce/device.h"
#include "shell/ShellState.h"
#include "user/UserInternal.h"

using namespace ce::detail;

extern "C" CE_API DWORD SHRecognizeGesture(SHRGINFO* info) {
    if (info == nullptr || !IsWindow(info->hwndClient)) {
        return 0;
    }
    const uint64_t hold = (info->dwFlags & SHRG_LONGDELAY) ? 1000 : 500;
    const LONG slack = GetSystemMetrics(SM_CXDRAG) * 2;
    POINT down = info->ptDown;
    ClientToScreen(info->hwndClient, &down);
    uint64_t start = ce::ClockTickMs();
    for (;;) {
        MSG message;
        // Pen messages that end the gesture stay queued for the window.
        while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
            if (message.message != WM_MOUSEMOVE) {
                return 0;
            }
            if (std::abs(message.pt.x - down.x) > slack || std::abs(message.pt.y - down.y) > slack) {
                return 0;
            }
            PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
        }
        uint64_t elapsed = ce::ClockTickMs() - start;
        if (elapsed >= hold) {
            break;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(hold - elapsed), QS_MOUSE, 0);
    }
    if (info->dwFlags & SHRG_RETURNCMD) {
        return GN_CONTEXTMENU;
    }
    HWND target = (info->dwFlags & SHRG_NOTIFYPARENT) ? GetParent(info->hwndClient) : info->hwndClient;
    NMRGINFO notice{};
    notice.hdr = NMHDR{info->hwndClient, static_cast<UINT_PTR>(GetDlgCtrlID(info->hwndClient)), GN_CONTEXTMENU};
    notice.ptAction = down;
    SendMessageW(target, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
    return GN_CONTEXTMENU;
}
