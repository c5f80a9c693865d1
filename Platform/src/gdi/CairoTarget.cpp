#include "gdi/CairoTarget.h"

#include <cstring>

namespace ce::gdi {
namespace {

void SetColor(cairo_t* cr, COLORREF color) {
    cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
}

}  // namespace

cairo_surface_t* CopyToCairoImage(const Bitmap& bitmap) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap.Width(), bitmap.Height());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        return image;
    }
    unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < bitmap.Width(); ++x) {
            row[x] = bitmap.ReadArgb(x, y);
        }
    }
    cairo_surface_mark_dirty(image);
    return image;
}

CairoTarget::CairoTarget(const DeviceContext& dc, const RECT* extraClip) : dc_(dc), clip_(dc.EffectiveClip()) {
    if (!dc.bitmap) {
        return;
    }
    if (extraClip) {
        RECT r = *extraClip;
        Region limit(RECT{dc.ToBitmapX(r.left), dc.ToBitmapY(r.top), dc.ToBitmapX(r.right), dc.ToBitmapY(r.bottom)});
        clip_.Intersect(limit);
    }
    surface_ = dc.bitmap->NewCairoSurface();
    if (!surface_) {
        surface_ = CopyToCairoImage(*dc.bitmap);
        throughCopy_ = true;
    }
    cr_ = cairo_create(surface_);
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(clip_.Raw(), &count);
    for (int i = 0; i < count; ++i) {
        cairo_rectangle(cr_, boxes[i].x1, boxes[i].y1, boxes[i].x2 - boxes[i].x1, boxes[i].y2 - boxes[i].y1);
    }
    cairo_clip(cr_);  // an empty path clips everything away
    cairo_translate(cr_, dc.origin.x, dc.origin.y);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
}

CairoTarget::~CairoTarget() {
    if (cr_) {
        cairo_destroy(cr_);
    }
    if (surface_) {
        cairo_surface_flush(surface_);
        if (throughCopy_) {
            WriteBackCopy();
        }
        cairo_surface_destroy(surface_);
    }
}

void CairoTarget::WriteBackCopy() {
    Bitmap& bitmap = *dc_.bitmap;
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(clip_.Raw(), &count);
    for (int i = 0; i < count; ++i) {
        for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
            for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
                if ((row[x] | 0xFF000000u) != bitmap.ReadArgb(x, y)) {
                    bitmap.WriteRaw(x, y, bitmap.ToNative(RGB((row[x] >> 16) & 255, (row[x] >> 8) & 255, row[x] & 255)));
                }
            }
        }
    }
}

void CairoTarget::SetSourceColor(COLORREF color) {
    if (cr_) {
        SetColor(cr_, color);
    }
}

bool CairoTarget::SetSourceBrush(const Brush& brush) {
    if (!cr_ || brush.IsNull()) {
        return false;
    }
    if (!brush.pattern) {
        SetColor(cr_, brush.color);
        return true;
    }
    cairo_surface_t* image = CopyToCairoImage(*brush.pattern);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    // Patterns line up with the bitmap, not with the DC.
    cairo_matrix_t matrix;
    cairo_matrix_init_translate(&matrix, dc_.origin.x, dc_.origin.y);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_set_source(cr_, pattern);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(image);
    return true;
}

bool CairoTarget::StrokeWithPen(const Pen& pen, int bkMode, COLORREF bkColor) {
    if (!cr_ || pen.IsNull()) {
        return false;
    }
    cairo_set_line_width(cr_, pen.width);
    cairo_set_line_cap(cr_, pen.width > 1 ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, pen.width > 1 ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    if (pen.style == PS_DASH) {
        if (bkMode == OPAQUE) {
            SetColor(cr_, bkColor);
            cairo_stroke_preserve(cr_);
        }
        const double dashes[] = {6.0 * pen.width, 3.0 * pen.width};
        cairo_set_dash(cr_, dashes, 2, 0);
    }
    SetColor(cr_, pen.color);
    cairo_stroke_preserve(cr_);
    cairo_set_dash(cr_, nullptr, 0, 0);
    return true;
}

}  // namespace ce::gdi
