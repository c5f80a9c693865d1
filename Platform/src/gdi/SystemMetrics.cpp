// The screen's metrics and colours: GetSystemMetrics, GetDeviceCaps, GetSysColor.
#include <array>

#include "ce/device.h"
#include "gdi/DeviceContext.h"
#include "screen/ScreenGeometry.h"

using namespace ce::gdi;

namespace {

// A length given for a 96 dpi screen, at the screen's density.
int Scaled(int length) { return length * ce::screen::ScreenDpi() / 96; }

COLORREF ThemeColor() {
    return static_cast<COLORREF>(ce::ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF;
}

}  // namespace

extern "C" {

int GetSystemMetrics(int index) {
    ce::screen::ScreenSize screen = ce::screen::CurrentScreenSize();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN: return screen.width;
    case SM_CYSCREEN: return screen.height;
    case SM_CYFULLSCREEN: return screen.height - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYMENU);
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return Scaled(13);
    case SM_CYCAPTION:
    case SM_CYMENU: return Scaled(26);
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
    case SM_CXEDGE:
    case SM_CYEDGE: return Scaled(2) < 2 ? 2 : Scaled(2);
    case SM_CXICON:
    case SM_CYICON: return Scaled(32);
    case SM_CXSMICON:
    case SM_CYSMICON: return Scaled(16);
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return Scaled(4);
    default: return 0;
    }
}

int GetDeviceCaps(HDC hdc, int index) {
    ce::gdi::GdiGuard guard(GdiLock());
    auto dc = hdc ? LookupDC(hdc) : nullptr;
    if (!dc) {
        return 0;
    }
    ce::screen::ScreenSize screen = ce::screen::CurrentScreenSize();
    int dpi = ce::screen::ScreenDpi();
    // A memory DC answers for its bitmap's depth; the screen and windows are 16 bits.
    int bits = dc->windowDC || !dc->bitmap || dc->bitmap->BitsPerPixel() == 1 ? 16 : dc->bitmap->BitsPerPixel();
    switch (index) {
    case HORZRES: return screen.width;
    case VERTRES: return screen.height;
    case HORZSIZE: return screen.width * 254 / (dpi * 10);
    case VERTSIZE: return screen.height * 254 / (dpi * 10);
    case BITSPIXEL: return bits;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    default: return 0;
    }
}

DWORD GetSysColor(int index) {
    static constexpr std::array<COLORREF, 29> kColors = {
        RGB(192, 192, 192), 0,                  0,                  RGB(128, 128, 128), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
        RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), 0,                  RGB(255, 255, 255),
        RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),       RGB(255, 255, 225),
        RGB(255, 255, 255), RGB(0, 0, 0),       0,                  RGB(128, 128, 128)};
    auto slot = static_cast<size_t>(index & ~SYS_COLOR_INDEX_FLAG);
    if (slot >= kColors.size()) {
        return 0;
    }
    // The background, the captions and the selection follow the device's theme colour.
    if (slot == 1 || slot == 2 || slot == 13 || slot == 27) {
        return ThemeColor();
    }
    return kColors[slot];
}

HBRUSH GetSysColorBrush(int index) {
    ce::gdi::GdiGuard guard(GdiLock());
    static std::array<HGDIOBJ, 29> brushes{};
    static std::array<COLORREF, 29> colors{};
    auto slot = static_cast<size_t>(index & ~SYS_COLOR_INDEX_FLAG);
    if (slot >= brushes.size()) {
        return nullptr;
    }
    COLORREF color = GetSysColor(index);
    if (!brushes[slot] || colors[slot] != color) {
        auto brush = std::make_shared<Brush>(color);
        brush->stock = true;
        brushes[slot] = InsertObject(brush);  // the old one stays valid: callers may still hold it
        colors[slot] = color;
    }
    return static_cast<HBRUSH>(brushes[slot]);
}

}  // extern "C"
