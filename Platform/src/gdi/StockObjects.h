// The stock objects (GetStockObject): made once, never deleted.
#pragma once

#include "gdi/GdiObject.h"

namespace ce::gdi {

HGDIOBJ StockObject(int index);
// The 1 x 1 monochrome bitmap that a new memory DC holds.
HGDIOBJ StockPlaceholderBitmap();
// The system font's description (the stock SYSTEM_FONT), by the screen's pixel density.
LOGFONTW SystemLogFont();

}  // namespace ce::gdi
