// A bitmap's pixels and how to read them: the memory of a DIB section (the caller writes it), of a
// compatible bitmap or of a window's backing surface.
//
// Rows are kept in the platform's layout: padded to 4 bytes, bottom-up unless the bitmap was made
// top-down. Row(y) hides the difference; pixman and cairo see a bottom-up bitmap through a negative
// stride, so drawing needs no copies.
#pragma once

#include <cairo.h>
#include <pixman.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gdi/GdiObject.h"

namespace ce::gdi {

enum class PixelFormat { Mono1, Indexed8, Rgb555, Rgb565, Bgr24, Xrgb32 };

class Bitmap : public GdiObject {
public:
    // A zero-filled bitmap; colors is the palette of a 1- or 8-bit bitmap (may be empty).
    Bitmap(int width, int height, PixelFormat format, bool topDown, std::vector<RGBQUAD> colors = {});
    ~Bitmap() override;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    DWORD Type() const override { return OBJ_BITMAP; }
    int Describe(int size, void* buffer) const override;

    static int StrideFor(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelFormat Format() const { return format_; }
    int BitsPerPixel() const;
    int Stride() const { return stride_; }
    bool TopDown() const { return topDown_; }
    uint8_t* Bits() const { return memory_; }
    uint8_t* Row(int y) const { return memory_ + static_cast<ptrdiff_t>(topDown_ ? y : height_ - 1 - y) * stride_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // A DIB section answers GetObjectW with a DIBSECTION as well.
    void MarkDibSection(const BITMAPINFOHEADER& header) { dib_ = true, dibHeader_ = header; }
    bool IsDibSection() const { return dib_; }

    // Pixel values in the bitmap's own format.
    uint32_t ReadRaw(int x, int y) const;
    void WriteRaw(int x, int y, uint32_t value);
    uint32_t ToNative(COLORREF color) const;
    COLORREF FromNative(uint32_t value) const;
    // 0xAARRGGBB with alpha 0xFF (the alpha byte of a 32-bit pixel is kept when keepAlpha).
    uint32_t ReadArgb(int x, int y, bool keepAlpha = false) const;

    // A new pixman image over the pixels (1- and 8-bit bitmaps: a converted 32-bit copy, read-only).
    // withAlpha reads a 32-bit bitmap as premultiplied ARGB. The caller unrefs it.
    pixman_image_t* NewPixmanImage(bool withAlpha = false) const;
    bool PixmanWritable() const { return format_ != PixelFormat::Mono1 && format_ != PixelFormat::Indexed8; }
    // A new cairo surface over the pixels for the formats that cairo draws into (5-6-5, 32-bit), else
    // null. The caller destroys it.
    cairo_surface_t* NewCairoSurface() const;

    // The texts drawn on the bitmap while the text-fit log is on, each with its glyphs' box in the
    // bitmap's coordinates, until something is filled over them (see TextFitLog.h).
    struct DrawnText {
        RECT box;
        std::u16string text;
    };
    std::vector<DrawnText> drawnTexts;

private:
    uint8_t* FirstRowInMemoryOrder() const;
    uint8_t NearestPaletteIndex(COLORREF color) const;

    int width_;
    int height_;
    PixelFormat format_;
    bool topDown_;
    int stride_;
    uint8_t* memory_;
    std::vector<RGBQUAD> palette_;
    bool dib_ = false;
    BITMAPINFOHEADER dibHeader_{};
};

}  // namespace ce::gdi
