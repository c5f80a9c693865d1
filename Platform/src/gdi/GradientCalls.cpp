// GradientFill of rectangles, left to right or top to bottom: each channel runs linearly from the
// first edge's colour to the other's, one colour a column (or row), the far edge excluded.
#include <algorithm>

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

void FillGradientRect(const DeviceContext& dc, const TRIVERTEX& v1, const TRIVERTEX& v2, bool vertical) {
    // Either corner may come first; the colours belong to their corners.
    const TRIVERTEX& first = (vertical ? v1.y <= v2.y : v1.x <= v2.x) ? v1 : v2;
    const TRIVERTEX& last = &first == &v1 ? v2 : v1;
    RECT box{dc.ToBitmapX(std::min(v1.x, v2.x)), dc.ToBitmapY(std::min(v1.y, v2.y)), dc.ToBitmapX(std::max(v1.x, v2.x)),
             dc.ToBitmapY(std::max(v1.y, v2.y))};
    if (IsEmptyRect(box)) {
        return;
    }
    int steps = vertical ? box.bottom - box.top : box.right - box.left;
    // Only the steps that the clip lets through are worth a fill.
    RECT visible = IntersectRects(box, dc.EffectiveClip().Bounds());
    int from = vertical ? visible.top - box.top : visible.left - box.left;
    int to = vertical ? visible.bottom - box.top : visible.right - box.left;
    for (int i = std::max(from, 0); i < to; ++i) {
        RECT line = vertical ? RECT{box.left, box.top + i, box.right, box.top + i + 1}
                             : RECT{box.left + i, box.top, box.left + i + 1, box.bottom};
        FillSolid(dc, line, Between(first, last, i, steps));
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
