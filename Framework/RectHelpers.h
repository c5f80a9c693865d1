// A rectangle's width and height, and the point that a pen message carries.
#pragma once

#include "ce/gdi.h"

inline int RectWidth(const RECT& rect) { return rect.right - rect.left; }
inline int RectHeight(const RECT& rect) { return rect.bottom - rect.top; }

// The coordinates are signed 16-bit halves: a pen dragged past the window's left or top edge goes negative.
inline POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}
