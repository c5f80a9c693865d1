// Block transfers and single pixels: BitBlt, StretchBlt, PatBlt, AlphaBlend, GetPixel, SetPixel.
//
// A copy (SRCCOPY) goes through pixman; the other raster operations combine pattern, source and
// destination bit by bit in the destination's pixel format, as the platform defines them.
#include <cmath>
#include <initializer_list>

#include "gdi/RasterTarget.h"
#include "gdi/TextFitLog.h"

using namespace ce::gdi;

namespace {

BYTE RopIndex(DWORD rop) { return static_cast<BYTE>(rop >> 16); }
bool UsesSource(BYTE r) { return ((r >> 2) & 0x33) != (r & 0x33); }
bool UsesPattern(BYTE r) { return ((r >> 4) & 0x0F) != (r & 0x0F); }

// The ternary raster operation r on whole pixel words: every set bit of r names one combination of
// pattern, source and destination bits (index = P * 4 + S * 2 + D) that gives a 1.
uint32_t ApplyRop(BYTE r, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t result = 0;
    for (int i = 0; i < 8; ++i) {
        if (r & (1 << i)) {
            result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        }
    }
    return result;
}

// Where a stretched copy reads: the source rectangle, possibly mirrored.
struct SourceMapping {
    int x, y, width, height;
    bool flipX, flipY;
};

// Normalises a rectangle given with a possibly negative extent; true when mirrored.
bool Normalise(int* origin, int* extent) {
    if (*extent >= 0) {
        return false;
    }
    *origin += *extent;
    *extent = -*extent;
    return true;
}

uint32_t PatternPixel(const DeviceContext& dc, int x, int y) {
    const Bitmap& target = *dc.bitmap;
    if (!dc.brush || dc.brush->IsNull()) {
        return target.ToNative(RGB(255, 255, 255));
    }
    if (dc.brush->pattern) {
        const Bitmap& pattern = *dc.brush->pattern;
        return target.ToNative(pattern.FromNative(pattern.ReadRaw(x % pattern.Width(), y % pattern.Height())));
    }
    return target.ToNative(dc.brush->color);
}

// The general case: every destination pixel inside the clip reads its source pixel (nearest) and
// combines it with the pattern and itself.
void RopByHand(const DeviceContext& dest, const RECT& area, const DeviceContext* src, const SourceMapping& map,
               BYTE rop) {
    Bitmap& target = *dest.bitmap;
    const Bitmap* source = src ? src->bitmap.get() : nullptr;
    uint32_t mask = target.BitsPerPixel() >= 32 ? 0xFFFFFFFFu : (1u << target.BitsPerPixel()) - 1;
    int width = area.right - area.left, height = area.bottom - area.top;
    ForEachClippedPixel(dest, area, [&](int x, int y) {
        uint32_t s = 0;
        if (source) {
            int i = x - area.left, j = y - area.top;
            int sx = map.x + static_cast<int>((2 * static_cast<int64_t>(i) + 1) * map.width / (2 * width));
            int sy = map.y + static_cast<int>((2 * static_cast<int64_t>(j) + 1) * map.height / (2 * height));
            if (map.flipX) sx = 2 * map.x + map.width - 1 - sx;
            if (map.flipY) sy = 2 * map.y + map.height - 1 - sy;
            if (!source->Contains(sx, sy)) {
                return;
            }
            s = target.ToNative(source->FromNative(source->ReadRaw(sx, sy)));
        }
        uint32_t p = UsesPattern(rop) ? PatternPixel(dest, x, y) : 0;
        uint32_t d = target.ReadRaw(x, y);
        target.WriteRaw(x, y, ApplyRop(rop, p, s, d) & mask);
    });
}

// A copy through pixman, scaled and mirrored as the mapping says (nearest pixel, like the platform's
// default stretch mode). Source pixels outside the source bitmap repeat its edge.
bool CopyWithPixman(const DeviceContext& dest, const RECT& area, const DeviceContext& src, const SourceMapping& map) {
    PixmanTarget target(dest);
    pixman_image_t* source = src.bitmap->NewPixmanImage();
    if (!target.image || !source) {
        if (source) pixman_image_unref(source);
        return false;
    }
    int width = area.right - area.left, height = area.bottom - area.top;
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = (map.flipX ? -1.0 : 1.0) * map.width / width;
    f.m[1][1] = (map.flipY ? -1.0 : 1.0) * map.height / height;
    f.m[0][2] = map.flipX ? map.x + map.width : map.x;
    f.m[1][2] = map.flipY ? map.y + map.height : map.y;
    pixman_transform_t t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(source, &t);
    pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target.image, 0, 0, 0, 0, area.left, area.top, width,
                             height);
    pixman_image_unref(source);
    return true;
}

// Coordinates and extents beyond this are refused rather than overflowed.
bool Reasonable(std::initializer_list<int> values) {
    for (int v : values) {
        if (v < -(1 << 28) || v > (1 << 28)) {
            return false;
        }
    }
    return true;
}

BOOL Transfer(HDC hdcDest, int x, int y, int width, int height, HDC hdcSrc, int srcX, int srcY, int srcWidth,
              int srcHeight, DWORD ropCode) {
    GdiGuard guard(GdiLock());
    if (!Reasonable({x, y, width, height, srcX, srcY, srcWidth, srcHeight})) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BYTE rop = RopIndex(ropCode);
    auto dest = LookupDC(hdcDest);
    auto src = UsesSource(rop) ? LookupDC(hdcSrc) : nullptr;
    if (!dest || (UsesSource(rop) && !src)) {
        return FALSE;
    }
    if (!dest->bitmap || (src && !src->bitmap)) {
        return FALSE;
    }
    SourceMapping map{src ? src->ToBitmapX(srcX) : 0, src ? src->ToBitmapY(srcY) : 0, srcWidth, srcHeight, false, false};
    bool flipX = Normalise(&x, &width) != Normalise(&map.x, &map.width);
    bool flipY = Normalise(&y, &height) != Normalise(&map.y, &map.height);
    map.flipX = flipX, map.flipY = flipY;
    if (width == 0 || height == 0 || (src && (map.width == 0 || map.height == 0))) {
        return TRUE;
    }
    RECT area{dest->ToBitmapX(x), dest->ToBitmapY(y), dest->ToBitmapX(x) + width, dest->ToBitmapY(y) + height};
    bool sameSize = map.width == width && map.height == height && !flipX && !flipY;
    if (src && sameSize) {
        // An unscaled copy reads only what the source has: the part outside it is left alone.
        RECT inside = IntersectRects(RECT{map.x, map.y, map.x + width, map.y + height},
                                     RECT{0, 0, src->bitmap->Width(), src->bitmap->Height()});
        if (IsEmptyRect(inside)) {
            return TRUE;
        }
        area = RECT{area.left + inside.left - map.x, area.top + inside.top - map.y, area.left + inside.right - map.x,
                    area.top + inside.bottom - map.y};
        map = SourceMapping{inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top, false, false};
    }
    ForgetTextsUnder(*dest->bitmap, area);
    if (rop == RopIndex(SRCCOPY) && CopyWithPixman(*dest, area, *src, map)) {
        return TRUE;
    }
    RopByHand(*dest, area, src.get(), map, rop);
    return TRUE;
}

// One pixel of a DC on its bitmap; no DC when the DC or the point inside its clip is not there.
struct PixelSpot {
    std::shared_ptr<DeviceContext> dc;
    int x = 0;
    int y = 0;
};

PixelSpot Locate(HDC hdc, int x, int y) {
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap) {
        return {};
    }
    PixelSpot spot{dc, dc->ToBitmapX(x), dc->ToBitmapY(y)};
    return dc->MayDrawAt(spot.x, spot.y) ? spot : PixelSpot{};
}

}  // namespace

extern "C" {

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    return Transfer(dest, x, y, width, height, src, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
    return Transfer(dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    if (UsesSource(RopIndex(rop))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Transfer(hdc, x, y, width, height, nullptr, 0, 0, width, height, rop);
}

BOOL AlphaBlend(HDC hdcDest, int x, int y, int width, int height, HDC hdcSrc, int srcX, int srcY, int srcWidth,
                int srcHeight, BLENDFUNCTION blend) {
    GdiGuard guard(GdiLock());
    auto dest = LookupDC(hdcDest);
    auto src = LookupDC(hdcSrc);
    if (!dest || !src || !dest->bitmap || !src->bitmap) {
        return FALSE;
    }
    int sx = src->ToBitmapX(srcX), sy = src->ToBitmapY(srcY);
    bool sourceInside = sx >= 0 && sy >= 0 && srcWidth >= 0 && srcHeight >= 0 &&
                        sx + srcWidth <= src->bitmap->Width() && sy + srcHeight <= src->bitmap->Height();
    if (blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || !sourceInside ||
        !Reasonable({x, y, width, height})) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0 || blend.SourceConstantAlpha == 0) {
        return TRUE;
    }
    PixmanTarget target(*dest);
    if (!target.image) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    // The source's alpha counts only for a 32-bit source with AC_SRC_ALPHA; its colours are then
    // premultiplied, which is what pixman's OVER expects.
    bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) && src->bitmap->BitsPerPixel() == 32;
    pixman_image_t* source = src->bitmap->NewPixmanImage(perPixel);
    pixman_image_t* mask = nullptr;
    if (blend.SourceConstantAlpha != 255) {
        pixman_color_t alpha{0, 0, 0, static_cast<uint16_t>(blend.SourceConstantAlpha * 257)};
        mask = pixman_image_create_solid_fill(&alpha);
    }
    int originX = sx, originY = sy;
    if (srcWidth != width || srcHeight != height) {
        pixman_f_transform_t f;
        pixman_f_transform_init_identity(&f);
        f.m[0][0] = static_cast<double>(srcWidth) / width;
        f.m[1][1] = static_cast<double>(srcHeight) / height;
        f.m[0][2] = sx;
        f.m[1][2] = sy;
        pixman_transform_t t;
        pixman_transform_from_pixman_f_transform(&t, &f);
        pixman_image_set_transform(source, &t);
        pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
        pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
        originX = originY = 0;
    }
    pixman_image_composite32(PIXMAN_OP_OVER, source, mask, target.image, originX, originY, 0, 0, dest->ToBitmapX(x),
                             dest->ToBitmapY(y), width, height);
    if (mask) {
        pixman_image_unref(mask);
    }
    pixman_image_unref(source);
    return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    GdiGuard guard(GdiLock());
    PixelSpot spot = Locate(hdc, x, y);
    return spot.dc ? spot.dc->bitmap->FromNative(spot.dc->bitmap->ReadRaw(spot.x, spot.y)) : CLR_INVALID;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    GdiGuard guard(GdiLock());
    PixelSpot spot = Locate(hdc, x, y);
    if (!spot.dc) {
        return CLR_INVALID;
    }
    uint32_t value = spot.dc->bitmap->ToNative(color);
    spot.dc->bitmap->WriteRaw(spot.x, spot.y, value);
    return spot.dc->bitmap->FromNative(value);
}

}  // extern "C"
