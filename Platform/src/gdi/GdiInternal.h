// What the rest of the layer asks of GDI: backing surfaces for top-level windows and the screen, and
// DCs that draw on them (GetDC, BeginPaint and the screen compositor use these).
#pragma once

#include "ce/gdi.h"

namespace ce::gdi {

// A top-down 16-bit 5-6-5 bitmap, zero-filled: a window's backing surface or the screen. It is an
// ordinary bitmap handle (DeleteObject ends it; a DC that still draws on it keeps it alive).
CE_API HBITMAP CreateSurfaceBitmap(int width, int height);

// A window DC on a surface: its (0, 0) lies at origin on the surface, and it draws only inside
// visible (a copy is taken; surface coordinates; null: the whole surface). SelectClipRgn and kin
// narrow that further. The surface cannot be swapped out with SelectObject. End it with DeleteDC.
CE_API HDC CreateWindowDC(HBITMAP surface, POINT origin, HRGN visible);

}  // namespace ce::gdi
