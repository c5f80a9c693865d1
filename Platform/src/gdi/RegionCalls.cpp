// Regions and the DC's clip: CreateRectRgn, CombineRgn, SelectClipRgn, IntersectClipRect and kin.
#include "gdi/DeviceContext.h"

using namespace ce::gdi;

namespace {

// Stands for "everything" where a DC without a clip region is narrowed.
constexpr RECT kEverywhere{-(1 << 24), -(1 << 24), 1 << 24, 1 << 24};

RECT Ordered(int left, int top, int right, int bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

std::shared_ptr<Region> LookupRegion(HRGN handle) {
    auto region = LookupObjectAs<Region>(handle);
    if (!region) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return region;
}

int ClipComplexity(const DeviceContext& dc) { return dc.ClipInDcCoordinates().Complexity(); }

}  // namespace

extern "C" {

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return static_cast<HRGN>(InsertObject(std::make_shared<Region>(Ordered(left, top, right, bottom))));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
    GdiGuard guard(GdiLock());
    auto region = LookupRegion(handle);
    if (!region) {
        return FALSE;
    }
    region->SetRect(Ordered(left, top, right, bottom));
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
    GdiGuard guard(GdiLock());
    auto target = LookupRegion(dest);
    auto first = LookupRegion(a);
    auto second = mode == RGN_COPY ? first : LookupRegion(b);
    if (!target || !first || !second) {
        return ERROR;
    }
    Region result(*first);
    switch (mode) {
    case RGN_AND: result.Intersect(*second); break;
    case RGN_OR: result.Unite(*second); break;
    case RGN_XOR: result.Xor(*second); break;
    case RGN_DIFF: result.Subtract(*second); break;
    case RGN_COPY: break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return ERROR;
    }
    *target = result;
    return target->Complexity();
}

int OffsetRgn(HRGN handle, int dx, int dy) {
    GdiGuard guard(GdiLock());
    auto region = LookupRegion(handle);
    if (!region) {
        return ERROR;
    }
    region->Offset(dx, dy);
    return region->Complexity();
}

int GetRgnBox(HRGN handle, LPRECT rect) {
    GdiGuard guard(GdiLock());
    auto region = LookupRegion(handle);
    if (!region || !rect) {
        return ERROR;
    }
    *rect = region->Bounds();
    return region->Complexity();
}

BOOL PtInRegion(HRGN handle, int x, int y) {
    GdiGuard guard(GdiLock());
    auto region = LookupRegion(handle);
    return region && region->Contains(x, y) ? TRUE : FALSE;
}

int SelectClipRgn(HDC hdc, HRGN handle) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return ERROR;
    }
    if (!handle) {
        dc->clip.reset();
        return ClipComplexity(*dc);
    }
    auto region = LookupRegion(handle);
    if (!region) {
        return ERROR;
    }
    dc->clip = *region;
    return ClipComplexity(*dc);
}

int GetClipRgn(HDC hdc, HRGN handle) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    auto region = LookupRegion(handle);
    if (!dc || !region) {
        return -1;
    }
    if (!dc->clip) {
        return 0;
    }
    *region = *dc->clip;
    return 1;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return ERROR;
    }
    Region limit(Ordered(left, top, right, bottom));
    if (dc->clip) {
        dc->clip->Intersect(limit);
    } else {
        dc->clip = limit;
    }
    return ClipComplexity(*dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return ERROR;
    }
    if (!dc->clip) {
        dc->clip = Region(kEverywhere);
    }
    dc->clip->Subtract(Region(Ordered(left, top, right, bottom)));
    return ClipComplexity(*dc);
}

int GetClipBox(HDC hdc, LPRECT rect) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !rect) {
        return ERROR;
    }
    Region clip = dc->ClipInDcCoordinates();
    *rect = clip.Bounds();
    return clip.Complexity();
}

}  // extern "C"
