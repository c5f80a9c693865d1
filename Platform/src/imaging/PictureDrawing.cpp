#include <cstring>

#include "imaging/Picture.h"

namespace ce::imaging {
namespace {

uint32_t Premultiplied(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 0xFF) {
        return argb;
    }
    auto scale = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
    return (alpha << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) | scale(argb & 0xFF);
}

// A 32-bit top-down DIB section holding the picture premultiplied, as AlphaBlend reads it.
HBITMAP NewPremultipliedBitmap(const Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < picture.argb.size(); ++i) {
        out[i] = Premultiplied(picture.argb[i]);
    }
    return bitmap;
}

}  // namespace

bool DrawPicture(HDC hdc, const Picture& picture, const RECT& dest, const RECT* source) {
    const RECT whole{0, 0, picture.width, picture.height};
    const RECT& from = source != nullptr ? *source : whole;
    HBITMAP bitmap = NewPremultipliedBitmap(picture);
    if (bitmap == nullptr) {
        return false;
    }
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const bool drawn = AlphaBlend(hdc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, memory,
                                  from.left, from.top, from.right - from.left, from.bottom - from.top, blend) != FALSE;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return drawn;
}

}  // namespace ce::imaging
