// A brush: how areas are filled, with one colour or a repeated pattern bitmap (a private copy, so that
// later changes to the bitmap do not show through).
#pragma once

#include <memory>

#include "gdi/Bitmap.h"

namespace ce::gdi {

class Brush : public GdiObject {
public:
    explicit Brush(COLORREF color) : style(BS_SOLID), color(color) {}
    static std::shared_ptr<Brush> Null() {
        auto brush = std::make_shared<Brush>(0);
        brush->style = BS_NULL;
        return brush;
    }

    DWORD Type() const override { return OBJ_BRUSH; }
    int Describe(int size, void* buffer) const override {
        LOGBRUSH lb{style, color, 0};
        return CopyOut(lb, size, buffer);
    }

    bool IsNull() const { return style == BS_NULL; }

    UINT style;
    COLORREF color;
    std::shared_ptr<Bitmap> pattern;  // BS_PATTERN
};

}  // namespace ce::gdi
