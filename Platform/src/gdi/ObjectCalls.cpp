// Object and DC lifetime: CreateCompatibleDC, DeleteDC, SelectObject, DeleteObject, GetObjectW and kin.
#include "gdi/DeviceContext.h"
#include "gdi/Font.h"
#include "gdi/StockObjects.h"

using namespace ce::gdi;

namespace {

HGDIOBJ SelectInto(DeviceContext& dc, HGDIOBJ handle, const std::shared_ptr<GdiObject>& object) {
    HGDIOBJ previous = nullptr;
    if (auto bitmap = std::dynamic_pointer_cast<Bitmap>(object)) {
        if (dc.windowDC) {
            return nullptr;
        }
        previous = dc.bitmapHandle;
        dc.bitmap = bitmap, dc.bitmapHandle = handle;
    } else if (auto pen = std::dynamic_pointer_cast<Pen>(object)) {
        previous = dc.penHandle;
        dc.pen = pen, dc.penHandle = handle;
    } else if (auto brush = std::dynamic_pointer_cast<Brush>(object)) {
        previous = dc.brushHandle;
        dc.brush = brush, dc.brushHandle = handle;
    } else if (std::dynamic_pointer_cast<Font>(object)) {
        previous = dc.fontHandle;
        dc.font = object, dc.fontHandle = handle;
    }
    return previous;
}

}  // namespace

extern "C" {

HDC CreateCompatibleDC(HDC hdc) {
    GdiGuard guard(GdiLock());
    if (hdc && !LookupDC(hdc)) {
        return nullptr;
    }
    auto dc = std::make_shared<DeviceContext>();
    for (HGDIOBJ stock : {StockPlaceholderBitmap(), StockObject(BLACK_PEN), StockObject(WHITE_BRUSH),
                          StockObject(SYSTEM_FONT)}) {
        SelectInto(*dc, stock, LookupObject(stock));
    }
    return reinterpret_cast<HDC>(InsertObject(dc));
}

BOOL DeleteDC(HDC hdc) {
    GdiGuard guard(GdiLock());
    if (!LookupDC(hdc)) {
        return FALSE;
    }
    return RemoveObject(reinterpret_cast<HGDIOBJ>(hdc)) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ handle) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    auto object = LookupObject(handle);
    if (!dc || !object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (auto region = std::dynamic_pointer_cast<Region>(object)) {
        // Selecting a region sets the clip to a copy of it.
        dc->clip = *region;
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(dc->ClipInDcCoordinates().Complexity()));
    }
    return SelectInto(*dc, handle, object);
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc) {
        return nullptr;
    }
    switch (type) {
    case OBJ_BITMAP: return dc->bitmapHandle;
    case OBJ_PEN: return dc->penHandle;
    case OBJ_BRUSH: return dc->brushHandle;
    case OBJ_FONT: return dc->fontHandle;
    default: return nullptr;
    }
}

BOOL GdiFlush(void) { return TRUE; }  // every call draws at once

BOOL DeleteObject(HGDIOBJ handle) {
    GdiGuard guard(GdiLock());
    auto object = LookupObject(handle);
    if (!object || object->Type() == OBJ_DC || object->Type() == OBJ_MEMDC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) {
        return TRUE;
    }
    return RemoveObject(handle) ? TRUE : FALSE;
}

int GetObjectW(HGDIOBJ handle, int size, LPVOID buffer) {
    GdiGuard guard(GdiLock());
    auto object = LookupObject(handle);
    if (!object || size < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return object->Describe(size, buffer);
}

DWORD GetObjectType(HGDIOBJ handle) {
    GdiGuard guard(GdiLock());
    auto object = LookupObject(handle);
    return object ? object->Type() : 0;
}

HGDIOBJ GetStockObject(int index) { return StockObject(index); }

}  // extern "C"
