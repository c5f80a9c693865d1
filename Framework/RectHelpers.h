// Thin rectangle helpers over the platform's rectangle calls.
#pragma once

#include "ce/gdi.h"

inline void SetRectangleFields(RECT& rect, int left, int top, int right, int bottom) {
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
}
inline void SetRectangle(RECT* rect, int left, int top, int right, int bottom) {
    SetRect(rect, left, top, right, bottom);
}
inline void CopyRectangle(RECT* dest, const RECT* source) { CopyRect(dest, source); }
inline void CopyRectangleRaw(RECT& dest, const RECT& source) { dest = source; }
inline int RectWidth(const RECT& rect) { return rect.right - rect.left; }
inline int RectHeight(const RECT& rect) { return rect.bottom - rect.top; }
inline bool IsPointInRect(const RECT* rect, int x, int y) { return PtInRect(rect, POINT{x, y}) != FALSE; }
inline bool AreRectsEqual(const RECT* a, const RECT* b) { return EqualRect(a, b) != FALSE; }
inline void OffsetRectangle(RECT* rect, int dx, int dy) { OffsetRect(rect, dx, dy); }
