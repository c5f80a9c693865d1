// Antialiased lines (Xiaolin Wu's algorithm in 16-bit fixed point).
#include <cstdlib>
#include <utility>

#include "DrawingHelpers.h"

namespace {

// The colour of the line being drawn, for BlendPixel. Process-wide, as the callers expect: two threads
// drawing smooth lines at once would mix their colours.
struct LineColor {
    int r, g, b;
};
LineColor g_lineColor{0, 0, 0};

bool DrawPlainLine(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color, int width) {
    HPEN pen = CreatePen(PS_SOLID, width, color);
    if (pen == nullptr) {
        return false;
    }
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    const POINT points[2] = {{x1, y1}, {x2, y2}};
    bool drawn = Polyline(hdc, points, 2) != FALSE;
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
    return drawn;
}

// One step across the line: the near edge pixel gets 255 - w, the core the colour, the far edge w.
// across(i) gives the pixel i steps across the line from the step's position.
template <class PixelAt>
void DrawCrossSection(HDC hdc, int fraction, int width, COLORREF color, PixelAt across) {
    const int weight = (fraction >> 8) & 0xFF;
    const int first = -(width / 2);
    auto [x0, y0] = across(first);
    BlendPixel(hdc, x0, y0, 255 - weight);
    for (int i = first + 1; i < first + width; ++i) {
        auto [x, y] = across(i);
        SetPixel(hdc, x, y, color);
    }
    auto [x1, y1] = across(first + width);
    BlendPixel(hdc, x1, y1, weight);
}

}  // namespace

void BlendPixel(HDC hdc, int x, int y, int alpha) {
    const COLORREF pixel = GetPixel(hdc, x, y);
    if (pixel == CLR_INVALID) {
        return;
    }
    auto move = [alpha](int from, int to) { return from + (to - from) * alpha / 256; };
    SetPixel(hdc, x, y,
             RGB(move(GetRValue(pixel), g_lineColor.r), move(GetGValue(pixel), g_lineColor.g),
                 move(GetBValue(pixel), g_lineColor.b)));
}

bool DrawSmoothLine(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color, int width) {
    if (hdc == nullptr) {
        return false;
    }
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 || dy == 0 || std::abs(dx) == dy) {
        return DrawPlainLine(hdc, x1, y1, x2, y2, color, width);
    }
    width = width < 1 ? 1 : width;
    g_lineColor = {GetRValue(color), GetGValue(color), GetBValue(color)};
    if (dy > std::abs(dx)) {
        // Steep: one step per row, the x position carried as a 16.16 fraction.
        const long step = (static_cast<long>(dx) << 16) / dy;
        long position = static_cast<long>(x1) << 16;
        for (int y = y1; y <= y2; ++y, position += step) {
            const int x = static_cast<int>(position >> 16);
            DrawCrossSection(hdc, static_cast<int>(position & 0xFFFF), width, color,
                             [x, y](int i) { return std::pair{x + i, y}; });
        }
    } else {
        const int stepX = dx > 0 ? 1 : -1;
        const long step = (static_cast<long>(dy) << 16) / std::abs(dx);
        long position = static_cast<long>(y1) << 16;
        for (int x = x1; x != x2 + stepX; x += stepX, position += step) {
            const int y = static_cast<int>(position >> 16);
            DrawCrossSection(hdc, static_cast<int>(position & 0xFFFF), width, color,
                             [x, y](int i) { return std::pair{x, y + i}; });
        }
    }
    SetPixel(hdc, x1, y1, color);
    SetPixel(hdc, x2, y2, color);
    return true;
}
