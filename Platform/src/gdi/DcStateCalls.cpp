// The DC's text and background colours and background mode.
#include "gdi/DeviceContext.h"

using namespace ce::gdi;

extern "C" {

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    return previous;
}

COLORREF GetTextColor(HDC hdc) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    COLORREF previous = dc->bkColor;
    dc->bkColor = color & 0xFFFFFF;
    return previous;
}

COLORREF GetBkColor(HDC hdc) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

int GetBkMode(HDC hdc) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    return dc ? dc->bkMode : 0;
}

}  // extern "C"
