// Drawing onto a DC's bitmap inside its clip: a pixman view of the bitmap with the clip set, solid
// fills, and a walk over the clipped pixels of a rectangle for the operations done by hand.
#pragma once

#include <algorithm>

#include "gdi/DeviceContext.h"

namespace ce::gdi {

// A pixman image over the DC's bitmap, clipped to where the DC may draw. Null image when the bitmap
// is one that pixman does not write (1 or 8 bits).
class PixmanTarget {
public:
    explicit PixmanTarget(const DeviceContext& dc);
    ~PixmanTarget();
    PixmanTarget(const PixmanTarget&) = delete;
    PixmanTarget& operator=(const PixmanTarget&) = delete;

    pixman_image_t* image = nullptr;
    Region clip;
};

inline RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

inline bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Calls visit(x, y) for every pixel of rect (bitmap coordinates) that the DC may draw.
template <class Visit>
void ForEachClippedPixel(const DeviceContext& dc, const RECT& rect, Visit visit) {
    Region clip = dc.EffectiveClip();
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(clip.Raw(), &count);
    for (int i = 0; i < count; ++i) {
        RECT part = IntersectRects(rect, RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
        for (int y = part.top; y < part.bottom; ++y) {
            for (int x = part.left; x < part.right; ++x) {
                visit(x, y);
            }
        }
    }
}

// Fills rect (bitmap coordinates) with one colour inside the DC's clip.
void FillSolid(const DeviceContext& dc, const RECT& rect, COLORREF color);
// Fills rect (bitmap coordinates) with the brush inside the DC's clip; a pattern repeats from the
// bitmap's (0, 0).
void FillWithBrush(const DeviceContext& dc, const RECT& rect, const Brush& brush);

}  // namespace ce::gdi
