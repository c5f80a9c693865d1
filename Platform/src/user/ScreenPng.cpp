// The composed screen written as a PNG file (replaced atomically).
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gdi/GdiInternal.h"
#include "user/ScreenComposer.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

bool WriteRows(FILE* file, int width, int height, const std::vector<png_byte>& rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteScreenPng(const std::string& hostPath) {
    SIZE size = ScreenLayout::ScreenSize();
    HBITMAP surface = ce::gdi::CreateSurfaceBitmap(size.cx, size.cy);
    if (!surface) {
        return false;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, surface);
    ScreenComposer::Compose(dc);
    std::vector<png_byte> rgb(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * 3);
    for (LONG y = 0; y < size.cy; ++y) {
        for (LONG x = 0; x < size.cx; ++x) {
            COLORREF color = GetPixel(dc, x, y);
            png_byte* out = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(size.cx) + static_cast<size_t>(x)) * 3];
            out[0] = GetRValue(color), out[1] = GetGValue(color), out[2] = GetBValue(color);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(surface);
    std::string temporary = hostPath + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = WriteRows(file, size.cx, size.cy, rgb);
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace ce::detail
