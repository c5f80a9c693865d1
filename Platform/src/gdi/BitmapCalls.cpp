// Making bitmaps: CreateDIBSection, CreateCompatibleBitmap, CreateBitmap.
#include <cstring>

#include "gdi/DeviceContext.h"

using namespace ce::gdi;

namespace {

constexpr LONG kMaxSide = 16384;
constexpr int64_t kMaxBytes = 256 * 1024 * 1024;

bool SizeAllowed(LONG width, LONG height, int bitsPerPixel) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return false;
    }
    return static_cast<int64_t>(Bitmap::StrideFor(width, bitsPerPixel)) * height <= kMaxBytes;
}

HBITMAP Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

HBITMAP Insert(std::shared_ptr<Bitmap> bitmap) { return static_cast<HBITMAP>(InsertObject(std::move(bitmap))); }

// The pixel format a DIB header describes, or false for one we do not draw.
bool DibFormat(const BITMAPINFO& info, PixelFormat* format) {
    const BITMAPINFOHEADER& h = info.bmiHeader;
    const auto* masks = reinterpret_cast<const DWORD*>(info.bmiColors);
    if (h.biCompression == BI_RGB) {
        switch (h.biBitCount) {
        case 1: *format = PixelFormat::Mono1; return true;
        case 8: *format = PixelFormat::Indexed8; return true;
        case 16: *format = PixelFormat::Rgb555; return true;
        case 24: *format = PixelFormat::Bgr24; return true;
        case 32: *format = PixelFormat::Xrgb32; return true;
        default: return false;
        }
    }
    if (h.biCompression != BI_BITFIELDS) {
        return false;
    }
    if (h.biBitCount == 16 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) {
        *format = PixelFormat::Rgb565;
        return true;
    }
    if (h.biBitCount == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F) {
        *format = PixelFormat::Rgb555;
        return true;
    }
    if (h.biBitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF) {
        *format = PixelFormat::Xrgb32;
        return true;
    }
    return false;
}

// The palette of a 1- or 8-bit DIB. Colours are read only as far as biClrUsed says they are there; a
// header that names none gets a grey ramp (8 bits, as for an alpha plane) or black and white (1 bit).
std::vector<RGBQUAD> DibPalette(const BITMAPINFO& info, UINT usage) {
    const BITMAPINFOHEADER& h = info.bmiHeader;
    size_t capacity = size_t{1} << h.biBitCount;
    std::vector<RGBQUAD> colors;
    if (usage == DIB_RGB_COLORS && h.biClrUsed > 0) {
        colors.assign(info.bmiColors, info.bmiColors + std::min<size_t>(h.biClrUsed, capacity));
    }
    for (size_t i = colors.size(); colors.empty() && i < capacity; ++i) {
        auto level = static_cast<BYTE>(i * 255 / (capacity - 1));
        colors.push_back(RGBQUAD{level, level, level, 0});
    }
    return colors;
}

PixelFormat CompatibleFormat(HDC hdc) {
    auto dc = hdc ? LookupDC(hdc) : nullptr;
    if (dc && dc->bitmap && dc->bitmap->BitsPerPixel() >= 16) {
        return dc->bitmap->Format();
    }
    // The screen's depth. A fresh memory DC holds a 1 x 1 monochrome placeholder; a bitmap "like" it
    // would be useless for the off-screen drawing that callers make it for.
    return PixelFormat::Rgb565;
}

}  // namespace

extern "C" {

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    ce::gdi::GdiGuard guard(GdiLock());
    if (bits) {
        *bits = nullptr;
    }
    if (hdc && !LookupDC(hdc)) {
        return nullptr;
    }
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || info->bmiHeader.biPlanes > 1) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (section) {
        return Fail(ERROR_NOT_SUPPORTED);  // file-mapping sections are not offered
    }
    PixelFormat format;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!DibFormat(*info, &format) || !SizeAllowed(h.biWidth, height, h.biBitCount)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    std::vector<RGBQUAD> palette;
    if (h.biBitCount <= 8) {
        palette = DibPalette(*info, usage);
    }
    auto bitmap = std::make_shared<Bitmap>(h.biWidth, height, format, h.biHeight < 0, std::move(palette));
    if (!bitmap->Bits()) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    bitmap->MarkDibSection(h);
    if (bits) {
        *bits = bitmap->Bits();
    }
    return Insert(bitmap);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    ce::gdi::GdiGuard guard(GdiLock());
    if (!LookupDC(hdc)) {
        return nullptr;
    }
    if (width == 0 || height == 0) {
        width = height = 1;
    }
    PixelFormat format = CompatibleFormat(hdc);
    if (!SizeAllowed(width, height, 32)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    auto bitmap = std::make_shared<Bitmap>(width, height, format, true);
    return bitmap->Bits() ? Insert(bitmap) : Fail(ERROR_NOT_ENOUGH_MEMORY);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    ce::gdi::GdiGuard guard(GdiLock());
    PixelFormat format;
    switch (bitsPerPixel) {
    case 1: format = PixelFormat::Mono1; break;
    case 8: format = PixelFormat::Indexed8; break;
    case 16: format = PixelFormat::Rgb565; break;
    case 24: format = PixelFormat::Bgr24; break;
    case 32: format = PixelFormat::Xrgb32; break;
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
    if (planes != 1 || !SizeAllowed(width, height, 32)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    std::vector<RGBQUAD> grey;
    if (format == PixelFormat::Indexed8) {
        for (int i = 0; i < 256; ++i) {
            grey.push_back(RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0});
        }
    }
    auto bitmap = std::make_shared<Bitmap>(width, height, format, true, std::move(grey));
    if (!bitmap->Bits()) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (bits) {
        // The caller's rows are padded to 2 bytes, ours to 4.
        size_t rowBytes = (static_cast<size_t>(width) * bitsPerPixel + 7) / 8;
        size_t sourceStride = (static_cast<size_t>(width) * bitsPerPixel + 15) / 16 * 2;
        for (int y = 0; y < height; ++y) {
            std::memcpy(bitmap->Row(y), static_cast<const uint8_t*>(bits) + y * sourceStride, rowBytes);
        }
    }
    return Insert(bitmap);
}

}  // extern "C"
