// Drawing with cairo onto a DC's bitmap, in the DC's coordinates and inside its clip, without
// antialiasing (shapes hit whole pixels, as on the device). Bitmaps that cairo cannot draw into
// (1, 8, 24 bits, 5-5-5) are drawn through a 32-bit copy that is written back when done.
#pragma once

#include <cairo.h>

#include "gdi/DeviceContext.h"

namespace ce::gdi {

class CairoTarget {
public:
    // extraClip: a further limit in the DC's coordinates (null: none).
    explicit CairoTarget(const DeviceContext& dc, const RECT* extraClip = nullptr);
    ~CairoTarget();
    CairoTarget(const CairoTarget&) = delete;
    CairoTarget& operator=(const CairoTarget&) = delete;

    // Null when the DC has nothing to draw on.
    cairo_t* context() const { return cr_; }

    void SetSourceColor(COLORREF color);
    // Sets the brush as the source (solid or repeated pattern); false for the null brush.
    bool SetSourceBrush(const Brush& brush);
    // Strokes the current path with the pen (keeps the path); false for the null pen.
    bool StrokeWithPen(const Pen& pen, int bkMode, COLORREF bkColor);

private:
    void WriteBackCopy();

    const DeviceContext& dc_;
    Region clip_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    bool throughCopy_ = false;
};

// A cairo image of a bitmap's pixels (32-bit copy); the caller destroys it.
cairo_surface_t* CopyToCairoImage(const Bitmap& bitmap);

}  // namespace ce::gdi
