// A device context: the drawing state (selected bitmap, pen, brush, font, colours, clip) and the
// mapping of its coordinates onto the selected bitmap.
//
// A memory DC draws on the bitmap selected into it. A window DC draws on a window's backing surface:
// its origin is the window's place on that surface and its visible region keeps it inside the window
// (child windows are clipped); its bitmap cannot be replaced.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "gdi/Bitmap.h"
#include "gdi/Brush.h"
#include "gdi/Pen.h"
#include "gdi/Region.h"

namespace ce::gdi {

class DeviceContext : public GdiObject {
public:
    DWORD Type() const override { return windowDC ? OBJ_DC : OBJ_MEMDC; }
    int Describe(int, void*) const override { return 0; }

    // The DC's coordinates on the bitmap; far-out values are held where they cannot overflow.
    int ToBitmapX(int x) const { return Clamp(static_cast<int64_t>(x) + origin.x); }
    int ToBitmapY(int y) const { return Clamp(static_cast<int64_t>(y) + origin.y); }
    static int Clamp(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(1 << 28), 1 << 28)); }

    // Where drawing may land, in the bitmap's coordinates: the bitmap, the visible region of a window
    // DC and the clip region.
    Region EffectiveClip() const;
    // Whether one pixel (bitmap coordinates) lies in EffectiveClip(), without building the region.
    bool MayDrawAt(int x, int y) const;
    // The same, in the DC's coordinates (GetClipBox).
    Region ClipInDcCoordinates() const;

    bool windowDC = false;
    std::shared_ptr<Bitmap> bitmap;
    HGDIOBJ bitmapHandle = nullptr;
    std::shared_ptr<Pen> pen;
    HGDIOBJ penHandle = nullptr;
    std::shared_ptr<Brush> brush;
    HGDIOBJ brushHandle = nullptr;
    std::shared_ptr<GdiObject> font;
    HGDIOBJ fontHandle = nullptr;

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT penPosition{0, 0};

    POINT origin{0, 0};               // this DC's (0, 0) on the bitmap
    std::optional<Region> visible;    // bitmap coordinates (window DCs)
    std::optional<Region> clip;       // the DC's coordinates (SelectClipRgn and friends)
};

// The DC named by hdc, or null (and ERROR_INVALID_HANDLE).
std::shared_ptr<DeviceContext> LookupDC(HDC hdc);

}  // namespace ce::gdi
