#include "gdi/Bitmap.h"

#include <cstdlib>
#include <cstring>

namespace ce::gdi {
namespace {

uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }

pixman_format_code_t PixmanFormat(PixelFormat format, bool withAlpha) {
    switch (format) {
    case PixelFormat::Rgb555: return PIXMAN_x1r5g5b5;
    case PixelFormat::Rgb565: return PIXMAN_r5g6b5;
    case PixelFormat::Bgr24: return PIXMAN_r8g8b8;
    case PixelFormat::Xrgb32: return withAlpha ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8;
    default: return PIXMAN_a8r8g8b8;
    }
}

}  // namespace

Bitmap::Bitmap(int width, int height, PixelFormat format, bool topDown, std::vector<RGBQUAD> colors)
    : width_(width), height_(height), format_(format), topDown_(topDown), palette_(std::move(colors)) {
    stride_ = StrideFor(width_, BitsPerPixel());
    memory_ = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(stride_) * height_ + 4, 1));
    if (palette_.empty() && format_ == PixelFormat::Mono1) {
        palette_ = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    }
}

Bitmap::~Bitmap() { std::free(memory_); }

int Bitmap::BitsPerPixel() const {
    switch (format_) {
    case PixelFormat::Mono1: return 1;
    case PixelFormat::Indexed8: return 8;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565: return 16;
    case PixelFormat::Bgr24: return 24;
    case PixelFormat::Xrgb32: return 32;
    }
    return 32;
}

int Bitmap::Describe(int size, void* buffer) const {
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = width_;
    bm.bmHeight = height_;
    bm.bmWidthBytes = stride_;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(BitsPerPixel());
    bm.bmBits = dib_ ? memory_ : nullptr;
    if (dib_ && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih = dibHeader_;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(stride_) * height_;
        if (format_ == PixelFormat::Rgb565) {
            ds.dsBitfields[0] = 0xF800, ds.dsBitfields[1] = 0x07E0, ds.dsBitfields[2] = 0x001F;
        } else if (format_ == PixelFormat::Rgb555) {
            ds.dsBitfields[0] = 0x7C00, ds.dsBitfields[1] = 0x03E0, ds.dsBitfields[2] = 0x001F;
        }
        if (buffer) {
            std::memcpy(buffer, &ds, sizeof ds);
        }
        return sizeof ds;
    }
    return CopyOut(bm, size, buffer);
}

uint32_t Bitmap::ReadRaw(int x, int y) const {
    const uint8_t* row = Row(y);
    switch (format_) {
    case PixelFormat::Mono1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case PixelFormat::Indexed8: return row[x];
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565: {
        uint16_t v;
        std::memcpy(&v, row + x * 2, 2);
        return v;
    }
    case PixelFormat::Bgr24: return row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
    case PixelFormat::Xrgb32: {
        uint32_t v;
        std::memcpy(&v, row + x * 4, 4);
        return v;
    }
    }
    return 0;
}

void Bitmap::WriteRaw(int x, int y, uint32_t value) {
    uint8_t* row = Row(y);
    switch (format_) {
    case PixelFormat::Mono1: {
        uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>(value & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case PixelFormat::Indexed8: row[x] = static_cast<uint8_t>(value); break;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565: {
        uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(row + x * 2, &v, 2);
        break;
    }
    case PixelFormat::Bgr24:
        row[x * 3] = static_cast<uint8_t>(value);
        row[x * 3 + 1] = static_cast<uint8_t>(value >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(value >> 16);
        break;
    case PixelFormat::Xrgb32: std::memcpy(row + x * 4, &value, 4); break;
    }
}

uint32_t Bitmap::ToNative(COLORREF color) const {
    uint32_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (format_) {
    case PixelFormat::Mono1:
    case PixelFormat::Indexed8: return NearestPaletteIndex(color);
    case PixelFormat::Rgb555: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case PixelFormat::Rgb565: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case PixelFormat::Bgr24:
    case PixelFormat::Xrgb32: return (r << 16) | (g << 8) | b;
    }
    return 0;
}

COLORREF Bitmap::FromNative(uint32_t v) const {
    switch (format_) {
    case PixelFormat::Mono1:
    case PixelFormat::Indexed8: {
        if (v >= palette_.size()) {
            return 0;
        }
        const RGBQUAD& q = palette_[v];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    case PixelFormat::Rgb555: return RGB(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    case PixelFormat::Rgb565: return RGB(Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31));
    case PixelFormat::Bgr24:
    case PixelFormat::Xrgb32: return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
    }
    return 0;
}

uint32_t Bitmap::ReadArgb(int x, int y, bool keepAlpha) const {
    uint32_t raw = ReadRaw(x, y);
    if (keepAlpha && format_ == PixelFormat::Xrgb32) {
        return raw;
    }
    COLORREF c = FromNative(raw);
    return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

uint8_t Bitmap::NearestPaletteIndex(COLORREF color) const {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette_.size(); ++i) {
        long dr = long(palette_[i].rgbRed) - GetRValue(color);
        long dg = long(palette_[i].rgbGreen) - GetGValue(color);
        long db = long(palette_[i].rgbBlue) - GetBValue(color);
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = static_cast<int>(i), bestDistance = distance;
        }
    }
    return static_cast<uint8_t>(best);
}

uint8_t* Bitmap::FirstRowInMemoryOrder() const { return Row(0); }

pixman_image_t* Bitmap::NewPixmanImage(bool withAlpha) const {
    if (!PixmanWritable()) {
        pixman_image_t* copy = pixman_image_create_bits(PIXMAN_a8r8g8b8, width_, height_, nullptr, 0);
        if (!copy) {
            return nullptr;
        }
        auto* data = reinterpret_cast<uint8_t*>(pixman_image_get_data(copy));
        int copyStride = pixman_image_get_stride(copy);
        for (int y = 0; y < height_; ++y) {
            auto* out = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * copyStride);
            for (int x = 0; x < width_; ++x) {
                out[x] = ReadArgb(x, y);
            }
        }
        return copy;
    }
    int stride = topDown_ ? stride_ : -stride_;
    return pixman_image_create_bits(PixmanFormat(format_, withAlpha), width_, height_,
                                    reinterpret_cast<uint32_t*>(FirstRowInMemoryOrder()), stride);
}

cairo_surface_t* Bitmap::NewCairoSurface() const {
    cairo_format_t format;
    if (format_ == PixelFormat::Rgb565) {
        format = CAIRO_FORMAT_RGB16_565;
    } else if (format_ == PixelFormat::Xrgb32) {
        format = CAIRO_FORMAT_RGB24;
    } else {
        return nullptr;
    }
    int stride = topDown_ ? stride_ : -stride_;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(FirstRowInMemoryOrder(), format, width_, height_, stride);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

}  // namespace ce::gdi
