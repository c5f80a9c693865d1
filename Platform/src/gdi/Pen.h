// A pen: how lines and shape outlines are drawn.
#pragma once


#include "gdi/GdiObject.h"

namespace ce::gdi {

class Pen : public GdiObject {
public:
    Pen(UINT style, int width, COLORREF color) : style(style), width(width < 1 ? 1 : width), color(color) {}

    DWORD Type() const override { return OBJ_PEN; }
    int Describe(int size, void* buffer) const override {
        LOGPEN lp{style, POINT{width, 0}, color};
        return CopyOut(lp, size, buffer);
    }

    bool IsNull() const { return style == PS_NULL; }

    UINT style;
    int width;
    COLORREF color;
};

}  // namespace ce::gdi
