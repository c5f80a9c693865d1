#include "gdi/GdiInternal.h"

#include "gdi/DeviceContext.h"
#include "gdi/StockObjects.h"

namespace ce::gdi {

HBITMAP CreateSurfaceBitmap(int width, int height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bitmap = std::make_shared<Bitmap>(width, height, PixelFormat::Rgb565, true);
    return bitmap->Bits() ? static_cast<HBITMAP>(InsertObject(bitmap)) : nullptr;
}

HDC CreateWindowDC(HBITMAP surface, POINT origin, HRGN visible) {
    GdiGuard guard(GdiLock());
    auto bitmap = LookupObjectAs<Bitmap>(surface);
    auto region = visible ? LookupObjectAs<Region>(visible) : nullptr;
    if (!bitmap || (visible && !region)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto dc = std::make_shared<DeviceContext>();
    dc->windowDC = true;
    dc->bitmap = bitmap, dc->bitmapHandle = surface;
    dc->pen = LookupObjectAs<Pen>(StockObject(BLACK_PEN)), dc->penHandle = StockObject(BLACK_PEN);
    dc->brush = LookupObjectAs<Brush>(StockObject(WHITE_BRUSH)), dc->brushHandle = StockObject(WHITE_BRUSH);
    dc->font = LookupObject(StockObject(SYSTEM_FONT)), dc->fontHandle = StockObject(SYSTEM_FONT);
    dc->origin = origin;
    if (region) {
        dc->visible = *region;
    }
    return reinterpret_cast<HDC>(InsertObject(dc));
}

}  // namespace ce::gdi
