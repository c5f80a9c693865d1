// Pens, brushes and shapes: CreatePen, CreateSolidBrush, FillRect, lines, Rectangle, RoundRect,
// Ellipse, Polygon, DrawFocusRect.
#include <cmath>
#include <vector>

#include "gdi/CairoTarget.h"
#include "gdi/LinePlotter.h"
#include "gdi/RasterTarget.h"
#include "gdi/TextFitLog.h"

using namespace ce::gdi;

namespace {

bool ThinPen(const DeviceContext& dc) { return dc.pen && !dc.pen->IsNull() && dc.pen->width <= 1; }

RECT ToBitmap(const DeviceContext& dc, int left, int top, int right, int bottom) {
    return RECT{dc.ToBitmapX(left), dc.ToBitmapY(top), dc.ToBitmapX(right), dc.ToBitmapY(bottom)};
}

void Order(int* a, int* b) {
    if (*a > *b) std::swap(*a, *b);
}

// A path through pixel centres, for outlines drawn by cairo.
void PathThroughCentres(cairo_t* cr, const POINT* points, int count, bool close) {
    cairo_new_path(cr);
    for (int i = 0; i < count; ++i) {
        cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
    }
    if (close) {
        cairo_close_path(cr);
    }
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_new_path(cr);
    if (rx <= 0 || ry <= 0) {
        return;
    }
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void RoundRectPath(cairo_t* cr, double l, double t, double r, double b, double rx, double ry) {
    cairo_new_path(cr);
    rx = std::min(rx, (r - l) / 2), ry = std::min(ry, (b - t) / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, l, t, r - l, b - t);
        return;
    }
    auto corner = [&](double cx, double cy, double from) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, from, from + M_PI / 2);
        cairo_restore(cr);
    };
    corner(r - rx, t + ry, -M_PI / 2);
    corner(r - rx, b - ry, 0);
    corner(l + rx, b - ry, M_PI / 2);
    corner(l + rx, t + ry, M_PI);
    cairo_close_path(cr);
}

// Fills the closed figure that build() makes at full size, then outlines it with the pen along the
// path that build() makes inset by half a pixel (so a one-pixel pen stays inside the box).
template <class Build>
BOOL FillAndOutline(HDC hdc, Build build) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap) {
        return FALSE;
    }
    CairoTarget target(*dc);
    cairo_t* cr = target.context();
    if (!cr) {
        return FALSE;
    }
    if (target.SetSourceBrush(*dc->brush)) {
        build(cr, 0.0);
        cairo_fill(cr);
    }
    if (!dc->pen->IsNull()) {
        build(cr, dc->pen->width / 2.0);
        target.StrokeWithPen(*dc->pen, dc->bkMode, dc->bkColor);
    }
    return TRUE;
}

std::shared_ptr<Brush> ResolveBrush(HBRUSH handle) {
    auto value = reinterpret_cast<uintptr_t>(handle) & ~uintptr_t{SYS_COLOR_INDEX_FLAG};
    if (value > 0 && value <= 32) {
        // A system colour index + 1 stands for that colour's brush.
        handle = GetSysColorBrush(static_cast<int>(value - 1));
    }
    return LookupObjectAs<Brush>(handle);
}

}  // namespace

extern "C" {

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HPEN>(InsertObject(std::make_shared<Pen>(style, width, color)));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
    if (!pen) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(InsertObject(std::make_shared<Brush>(color & 0xFFFFFF)));
}

HBRUSH CreatePatternBrush(HBITMAP pattern) {
    GdiGuard guard(GdiLock());
    auto bitmap = LookupObjectAs<Bitmap>(pattern);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto copy = std::make_shared<Bitmap>(bitmap->Width(), bitmap->Height(), PixelFormat::Xrgb32, true);
    for (int y = 0; y < bitmap->Height(); ++y) {
        for (int x = 0; x < bitmap->Width(); ++x) {
            copy->WriteRaw(x, y, bitmap->ReadArgb(x, y) & 0xFFFFFF);
        }
    }
    auto brush = std::make_shared<Brush>(0);
    brush->style = BS_PATTERN;
    brush->pattern = copy;
    return static_cast<HBRUSH>(InsertObject(brush));
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH handle) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    auto brush = ResolveBrush(handle);
    if (!dc || !rect || !brush) {
        return 0;
    }
    const RECT area = ToBitmap(*dc, rect->left, rect->top, rect->right, rect->bottom);
    if (dc->bitmap) {
        ForgetTextsUnder(*dc->bitmap, area);
    }
    FillWithBrush(*dc, area, *brush);
    return 1;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return FALSE;
    }
    if (previous) {
        *previous = dc->penPosition;
    }
    dc->penPosition = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return FALSE;
    }
    POINT points[2] = {dc->penPosition, POINT{x, y}};
    dc->penPosition = points[1];
    return Polyline(hdc, points, 2);
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap || !points || count < 2) {
        return FALSE;
    }
    if (dc->pen->IsNull()) {
        return TRUE;
    }
    if (ThinPen(*dc)) {
        LinePlotter plotter(*dc);
        for (int i = 1; i < count; ++i) {
            plotter.Segment(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
        }
        return TRUE;
    }
    CairoTarget target(*dc);
    if (target.context()) {
        PathThroughCentres(target.context(), points, count, false);
        target.StrokeWithPen(*dc->pen, dc->bkMode, dc->bkColor);
    }
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
    if (!points || count < 2) {
        return FALSE;
    }
    return FillAndOutline(hdc, [&](cairo_t* cr, double) {
        PathThroughCentres(cr, points, count, true);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    });
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap) {
        return FALSE;
    }
    Order(&left, &right);
    Order(&top, &bottom);
    if (dc->pen->IsNull()) {
        // Without an outline the platform's rectangle is one pixel smaller each way.
        FillWithBrush(*dc, ToBitmap(*dc, left, top, right - 1, bottom - 1), *dc->brush);
        return TRUE;
    }
    if (!ThinPen(*dc)) {
        return FillAndOutline(hdc, [&](cairo_t* cr, double inset) {
            cairo_new_path(cr);
            if (inset == 0) {
                cairo_rectangle(cr, left, top, right - left, bottom - top);
            } else {
                cairo_rectangle(cr, left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
            }
        });
    }
    FillWithBrush(*dc, ToBitmap(*dc, left + 1, top + 1, right - 1, bottom - 1), *dc->brush);
    if (right - left < 1 || bottom - top < 1) {
        return TRUE;
    }
    LinePlotter plotter(*dc);
    plotter.Segment(left, top, right - 1, top);
    plotter.Segment(right - 1, top, right - 1, bottom - 1);
    plotter.Segment(right - 1, bottom - 1, left, bottom - 1);
    plotter.Segment(left, bottom - 1, left, top);
    if (right - left == 1 && bottom - top == 1) {
        plotter.Point(right - 1, bottom - 1);
    }
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    Order(&left, &right);
    Order(&top, &bottom);
    return FillAndOutline(hdc, [&](cairo_t* cr, double inset) {
        EllipsePath(cr, (left + right) / 2.0, (top + bottom) / 2.0, (right - left) / 2.0 - inset,
                    (bottom - top) / 2.0 - inset);
    });
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    Order(&left, &right);
    Order(&top, &bottom);
    return FillAndOutline(hdc, [&](cairo_t* cr, double inset) {
        RoundRectPath(cr, left + inset, top + inset, right - inset, bottom - inset, ellipseWidth / 2.0,
                      ellipseHeight / 2.0);
    });
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap || !rect) {
        return FALSE;
    }
    RECT r = ToBitmap(*dc, rect->left, rect->top, rect->right, rect->bottom);
    if (IsEmptyRect(r)) {
        return TRUE;
    }
    Region clip = dc->EffectiveClip();
    Bitmap& bitmap = *dc->bitmap;
    uint32_t mask = bitmap.BitsPerPixel() >= 24 ? 0xFFFFFF : (1u << bitmap.BitsPerPixel()) - 1;
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) == 0 && clip.Contains(x, y)) {
            bitmap.WriteRaw(x, y, bitmap.ReadRaw(x, y) ^ mask);
        }
    };
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 != r.top) invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 != r.left) invert(r.right - 1, y);
    }
    return TRUE;
}

}  // extern "C"
