// GradientFill of rectangles, left to right or top to bottom: each channel runs linearly from the
// first edge's colour to the other's, one colour a column (or row), the far edge excluded.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "gdi/RasterTarget.h"
#include "gdi/TextFitLog.h"

using namespace ce::gdi;

namespace {

COLORREF Between(const TRIVERTEX& a, const TRIVERTEX& b, int64_t step, int64_t steps) {
    auto channel = [&](COLOR16 from, COLOR16 to) {
        return static_cast<BYTE>((from + (static_cast<int64_t>(to) - from) * step / steps) >> 8);
    };
    return RGB(channel(a.Red, b.Red), channel(a.Green, b.Green), channel(a.Blue, b.Blue));
}

// The colour of every step of a gradient, and where the gradient lies on the bitmap.
struct GradientSteps {
    const TRIVERTEX& first;
    const TRIVERTEX& last;
    RECT box;       // bitmap coordinates
    bool vertical;  // one colour a row, else one a column
    int from;       // the first step the clip lets through
    int to;         // one past the last

    int Count() const { return vertical ? box.bottom - box.top : box.right - box.left; }
    COLORREF Color(int step) const { return Between(first, last, step, Count()); }
    RECT Line(int step) const {
        return vertical ? RECT{box.left, box.top + step, box.right, box.top + step + 1}
                        : RECT{box.left + step, box.top, box.left + step + 1, box.bottom};
    }
};

// Any bitmap: one solid fill a step.
void FillByLines(const DeviceContext& dc, const GradientSteps& steps) {
    for (int i = steps.from; i < steps.to; ++i) {
        FillSolid(dc, steps.Line(i), steps.Color(i));
    }
}

// The pixel a solid fill stores for a colour: the bitmap's own form of it, with the unused top byte of a
// 32-bit pixel set, as pixman sets it.
uint32_t StoredPixel(const Bitmap& bitmap, COLORREF color) {
    const uint32_t opaque = bitmap.Format() == PixelFormat::Xrgb32 ? 0xFF000000u : 0;
    return bitmap.ToNative(color) | opaque;
}

// 5-6-5 and 32-bit bitmaps: the steps' pixels are worked out once and written straight into the rows,
// a row (or a column's run of rows) at a time, clip rectangle by clip rectangle.
template <class Pixel>
void FillPixels(const DeviceContext& dc, const GradientSteps& steps) {
    std::vector<Pixel> pixels(static_cast<size_t>(steps.to - steps.from));
    for (int i = steps.from; i < steps.to; ++i) {
        pixels[static_cast<size_t>(i - steps.from)] = static_cast<Pixel>(StoredPixel(*dc.bitmap, steps.Color(i)));
    }
    Region clip = dc.EffectiveClip();
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(clip.Raw(), &count);
    for (int b = 0; b < count; ++b) {
        RECT part = IntersectRects(steps.box, RECT{boxes[b].x1, boxes[b].y1, boxes[b].x2, boxes[b].y2});
        for (int y = part.top; y < part.bottom; ++y) {
            Pixel* row = reinterpret_cast<Pixel*>(dc.bitmap->Row(y));
            if (steps.vertical) {
                std::fill(row + part.left, row + part.right, pixels[static_cast<size_t>(y - steps.box.top - steps.from)]);
            } else {
                auto first = pixels.begin() + (part.left - steps.box.left - steps.from);
                std::copy(first, first + (part.right - part.left), row + part.left);
            }
        }
    }
}

void FillGradientRect(const DeviceContext& dc, const TRIVERTEX& v1, const TRIVERTEX& v2, bool vertical) {
    // Either corner may come first; the colours belong to their corners.
    const TRIVERTEX& first = (vertical ? v1.y <= v2.y : v1.x <= v2.x) ? v1 : v2;
    const TRIVERTEX& last = &first == &v1 ? v2 : v1;
    RECT box{dc.ToBitmapX(std::min(v1.x, v2.x)), dc.ToBitmapY(std::min(v1.y, v2.y)), dc.ToBitmapX(std::max(v1.x, v2.x)),
             dc.ToBitmapY(std::max(v1.y, v2.y))};
    if (IsEmptyRect(box)) {
        return;
    }
    // Only the steps that the clip lets through are worth a fill.
    RECT visible = IntersectRects(box, dc.EffectiveClip().Bounds());
    GradientSteps steps{first, last, box, vertical, 0, 0};
    steps.from = std::max(vertical ? visible.top - box.top : visible.left - box.left, 0);
    steps.to = vertical ? visible.bottom - box.top : visible.right - box.left;
    if (steps.from >= steps.to) {
        return;
    }
    switch (dc.bitmap->Format()) {
    case PixelFormat::Rgb565: FillPixels<uint16_t>(dc, steps); break;
    case PixelFormat::Xrgb32: FillPixels<uint32_t>(dc, steps); break;
    default: FillByLines(dc, steps); break;
    }
}

}  // namespace

extern "C" BOOL GradientFill(HDC hdc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount, ULONG mode) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap) {
        return FALSE;
    }
    if (!vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    for (ULONG i = 0; i < meshCount; ++i) {
        const TRIVERTEX& from = vertices[rects[i].UpperLeft];
        const TRIVERTEX& to = vertices[rects[i].LowerRight];
        ForgetTextsUnder(*dc->bitmap, RECT{dc->ToBitmapX(std::min(from.x, to.x)), dc->ToBitmapY(std::min(from.y, to.y)),
                                           dc->ToBitmapX(std::max(from.x, to.x)), dc->ToBitmapY(std::max(from.y, to.y))});
        FillGradientRect(*dc, from, to, mode == GRADIENT_FILL_RECT_V);
    }
    return TRUE;
}
