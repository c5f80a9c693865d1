// DIB sections and gradients.
#include "DrawingHelpers.h"

namespace {

// The header with the three channel masks that BI_BITFIELDS puts where the palette would be.
struct DibInfo {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

COLOR16 Channel16(BYTE value) { return static_cast<COLOR16>(value << 8); }

}  // namespace

HBITMAP CreateDibBitmap(int width, int height, int bitsPerPixel, void** bits) {
    DibInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biXPelsPerMeter = 100;
    info.header.biYPelsPerMeter = 100;
    if (bitsPerPixel == 16) {
        info.header.biCompression = BI_BITFIELDS;
        info.header.biClrUsed = 3;
        info.masks[0] = 0xF800;
        info.masks[1] = 0x07E0;
        info.masks[2] = 0x001F;
    } else {
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = bitsPerPixel == 24 ? 0 : 1;
    }
    void* ignored = nullptr;
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                            bits != nullptr ? bits : &ignored, nullptr, 0);
}

bool FillGradientRect(HDC hdc, int left, int top, int right, int bottom, COLORREF startColor, COLORREF endColor,
                      bool vertical) {
    TRIVERTEX vertices[2] = {
        {left, top, Channel16(GetRValue(startColor)), Channel16(GetGValue(startColor)),
         Channel16(GetBValue(startColor)), 0},
        {right, bottom, Channel16(GetRValue(endColor)), Channel16(GetGValue(endColor)), Channel16(GetBValue(endColor)),
         0},
    };
    GRADIENT_RECT mesh = {0, 1};
    return GradientFill(hdc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H) != FALSE;
}
