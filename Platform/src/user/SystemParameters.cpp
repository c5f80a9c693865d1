// Cursors, system parameters and the beep.
#include "ce/cursor.h"
#include "ce/device.h"
#include "ce/shell.h"
#include "user/CursorState.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

using namespace ce::detail;

extern "C" {

// The device shows no pointer; the wait cursor, set and shown, is drawn by the screen.
CE_API HCURSOR LoadCursorW(HINSTANCE /*instance*/, LPCWSTR name) {
    return name == IDC_WAIT || name == IDC_ARROW ? reinterpret_cast<HCURSOR>(const_cast<LPWSTR>(name)) : nullptr;
}

CE_API HCURSOR SetCursor(HCURSOR cursor) { return CursorState::Set(cursor); }

CE_API HCURSOR GetCursor(void) { return CursorState::Current(); }

CE_API int ShowCursor(BOOL show) { return CursorState::Show(show != FALSE); }

CE_API BOOL MessageBeep(UINT /*type*/) { return TRUE; }

// The work area, the input panel and the power manager's idle time-outs (seconds, from the profile's
// [power] section: battery_idle, external_idle, wakeup_idle).
CE_API BOOL SystemParametersInfoW(UINT action, UINT /*param*/, PVOID value, UINT /*winIni*/) {
    if (value == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (action) {
    case SPI_GETWORKAREA:
        *static_cast<RECT*>(value) = ScreenLayout::WorkArea();
        return TRUE;
    case SPI_GETSIPINFO:
        return SipGetInfo(static_cast<SIPINFO*>(value));
    case SPI_GETBATTERYIDLETIMEOUT:
        *static_cast<DWORD*>(value) = static_cast<DWORD>(ce::ProfileInt("power", "battery_idle", 180));
        return TRUE;
    case SPI_GETEXTERNALIDLETIMEOUT:
        *static_cast<DWORD*>(value) = static_cast<DWORD>(ce::ProfileInt("power", "external_idle", 300));
        return TRUE;
    case SPI_GETWAKEUPIDLETIMEOUT:
        *static_cast<DWORD*>(value) = static_cast<DWORD>(ce::ProfileInt("power", "wakeup_idle", 60));
        return TRUE;
    default:
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
}

}  // extern "C"
