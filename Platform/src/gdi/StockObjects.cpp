#include "gdi/StockObjects.h"

#include <array>

#include "gdi/Bitmap.h"
#include "gdi/Brush.h"
#include "gdi/Font.h"
#include "gdi/Pen.h"
#include "screen/ScreenGeometry.h"

namespace ce::gdi {
namespace {

constexpr int kStockCount = SYSTEM_FONT + 1;

HGDIOBJ InsertStock(std::shared_ptr<GdiObject> object) {
    object->stock = true;
    return InsertObject(std::move(object));
}

struct Stock {
    std::array<HGDIOBJ, kStockCount> objects{};
    HGDIOBJ placeholder = nullptr;

    Stock() {
        objects[WHITE_BRUSH] = InsertStock(std::make_shared<Brush>(RGB(255, 255, 255)));
        objects[LTGRAY_BRUSH] = InsertStock(std::make_shared<Brush>(RGB(192, 192, 192)));
        objects[GRAY_BRUSH] = InsertStock(std::make_shared<Brush>(RGB(128, 128, 128)));
        objects[DKGRAY_BRUSH] = InsertStock(std::make_shared<Brush>(RGB(64, 64, 64)));
        objects[BLACK_BRUSH] = InsertStock(std::make_shared<Brush>(RGB(0, 0, 0)));
        objects[NULL_BRUSH] = InsertStock(Brush::Null());
        objects[WHITE_PEN] = InsertStock(std::make_shared<Pen>(PS_SOLID, 1, RGB(255, 255, 255)));
        objects[BLACK_PEN] = InsertStock(std::make_shared<Pen>(PS_SOLID, 1, RGB(0, 0, 0)));
        objects[NULL_PEN] = InsertStock(std::make_shared<Pen>(PS_NULL, 1, RGB(0, 0, 0)));
        objects[SYSTEM_FONT] = InsertStock(std::make_shared<Font>(SystemLogFont()));
        placeholder = InsertStock(std::make_shared<Bitmap>(1, 1, PixelFormat::Mono1, false));
    }
};

Stock& TheStock() {
    GdiGuard guard(GdiLock());
    static Stock* stock = new Stock;  // never destroyed, like the objects it names
    return *stock;
}

}  // namespace

HGDIOBJ StockObject(int index) {
    if (index < 0 || index >= kStockCount) {
        return nullptr;
    }
    return TheStock().objects[static_cast<size_t>(index)];
}

HGDIOBJ StockPlaceholderBitmap() { return TheStock().placeholder; }

LOGFONTW SystemLogFont() {
    LOGFONTW lf{};
    // 9 points at the screen's density: 12 pixels on a 96 dpi screen.
    lf.lfHeight = -(9 * ce::screen::ScreenDpi() + 36) / 72;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    const char16_t face[] = u"Tahoma";
    for (size_t i = 0; i < sizeof face / sizeof face[0]; ++i) {
        lf.lfFaceName[i] = face[i];
    }
    return lf;
}

}  // namespace ce::gdi
