// Tints and two-bitmap blends, done on the 5-6-5 channels in integer steps.
#include <algorithm>
#include <cstdint>

#include "CBitmapDC.h"
#include "CDibView.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"

namespace {

// The three channels of a 16-bit pixel at their own width (5-6-5, or 5-5-5 when green has 5 bits).
struct Channels {
    int r, g, b;
};

Channels Split(uint16_t pixel, bool green6) {
    if (green6) {
        return {pixel >> 11, (pixel >> 5) & 63, pixel & 31};
    }
    return {(pixel >> 10) & 31, (pixel >> 5) & 31, pixel & 31};
}

uint16_t Join(Channels c, bool green6) {
    if (green6) {
        return static_cast<uint16_t>((c.r << 11) | (c.g << 5) | c.b);
    }
    return static_cast<uint16_t>((c.r << 10) | (c.g << 5) | c.b);
}

// a + (b - a) * weight / (1 << shift), rounding down (the shift of a negative value floors).
int Mix(int a, int b, int weight, int shift) { return a + (((b - a) * weight) >> shift); }

uint16_t MixPixel(uint16_t a, uint16_t b, int weight, int shift, bool green6) {
    Channels ca = Split(a, green6), cb = Split(b, green6);
    return Join({Mix(ca.r, cb.r, weight, shift), Mix(ca.g, cb.g, weight, shift), Mix(ca.b, cb.b, weight, shift)},
                green6);
}

uint16_t To565(COLORREF color) {
    return static_cast<uint16_t>(((GetRValue(color) >> 3) << 11) | ((GetGValue(color) >> 2) << 5) |
                                 (GetBValue(color) >> 3));
}

void TintPixels(const CDibView& view, COLORREF color, int alpha) {
    const uint16_t target = To565(color);
    for (int y = 0; y < view.Height(); ++y) {
        uint16_t* row = view.Row16(y);
        for (int x = 0; x < view.Width(); ++x) {
            // alpha / 4 keeps the product within the 6-bit steps of the 5-6-5 channels.
            row[x] = alpha == 255 ? target : MixPixel(row[x], target, alpha / 4, 6, true);
        }
    }
}

// The blend weight of B on the region's row r, counted from the bottom. A one-row region has no
// slope: it takes the bottom weight.
double RowWeight(int r, int height, double weightTop, double weightBottom) {
    if (height <= 1) {
        return weightBottom;
    }
    return weightBottom - r * (weightBottom - weightTop) / (height - 1);
}

// The span [first, last) of offsets i in [0, count) for which every origin + i lies in [0, limit).
struct Span {
    int first, last;
};

Span Clip(int count, std::initializer_list<std::pair<int, int>> originsAndLimits) {
    Span span{0, count};
    for (auto [origin, limit] : originsAndLimits) {
        span.first = std::max(span.first, -origin);
        span.last = std::min(span.last, limit - origin);
    }
    return span;
}

}  // namespace

bool TintRect(HDC hdc, const RECT* rect, COLORREF color, int alpha) {
    if (hdc == nullptr || rect == nullptr) {
        return false;
    }
    alpha = std::clamp(alpha, 0, 255);
    const int width = RectWidth(*rect), height = RectHeight(*rect);
    if (alpha == 0 || width <= 0 || height <= 0) {
        return true;
    }
    CBitmapDC copy;
    if (!copy.Create(width, height, 16) || !BitBlt(copy.DC(), 0, 0, width, height, hdc, rect->left, rect->top, SRCCOPY)) {
        return false;
    }
    TintPixels(CDibView(copy.Bitmap()), color, alpha);
    return BitBlt(hdc, rect->left, rect->top, width, height, copy.DC(), 0, 0, SRCCOPY) != FALSE;
}

bool BlendBitmapsGradient(HDC target, int x, int y, int width, int height, HDC a, HDC b, int srcX, int srcY,
                          double weightTop, double weightBottom) {
    const CDibView out(target), viewA(a), viewB(b);
    if (!out.IsValid16() || !viewA.IsValid16() || !viewB.IsValid16() || out.GreenMask() != viewA.GreenMask() ||
        out.GreenMask() != viewB.GreenMask()) {
        return false;
    }
    weightTop = std::clamp(weightTop, 0.0, 1.0);
    weightBottom = std::clamp(weightBottom, 0.0, 1.0);
    const bool green6 = out.Is565();
    const int scale = green6 ? 64 : 32, shift = green6 ? 6 : 5;
    const Span cols = Clip(width, {{x, out.Width()}, {srcX, viewA.Width()}, {srcX, viewB.Width()}});
    const Span rows = Clip(height, {{y, out.Height()}, {srcY, viewA.Height()}, {srcY, viewB.Height()}});
    for (int i = rows.first; i < rows.last; ++i) {
        const int weight = static_cast<int>(RowWeight(height - 1 - i, height, weightTop, weightBottom) * scale);
        uint16_t* dest = out.Row16(y + i) + x;
        const uint16_t* rowA = viewA.Row16(srcY + i) + srcX;
        const uint16_t* rowB = viewB.Row16(srcY + i) + srcX;
        for (int j = cols.first; j < cols.last; ++j) {
            dest[j] = rowA[j] == rowB[j] ? rowA[j] : MixPixel(rowA[j], rowB[j], weight, shift, green6);
        }
    }
    return true;
}
