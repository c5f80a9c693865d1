// Drawing helpers that the controls, the transition effects and the screens share. Pixel work is done
// on 16-bit 5-6-5 bitmaps, the device's own depth, so that copies to the screen need no conversion.
#pragma once

#include "ce/gdi.h"

// A DIB section on the screen's device context: rows bottom-up; 16 bits are 5-6-5. bits, when given,
// receives the pixel memory.
HBITMAP CreateDibBitmap(int width, int height, int bitsPerPixel, void** bits = nullptr);

// Moves every pixel of the rectangle toward the colour by alpha (0 leaves it, 255 replaces it).
bool TintRect(HDC hdc, const RECT* rect, COLORREF color, int alpha);

// The text turned a quarter turn, reading from top to bottom, centred in the rectangle, in the device
// context's font and text colour. length -1: up to the terminator.
bool DrawRotatedText(HDC hdc, LPCWSTR text, int length, const RECT* rect);

// A two-colour gradient over the rectangle: top to bottom when vertical, else left to right.
inline constexpr bool kTopToBottom = true;
inline constexpr bool kLeftToRight = false;
bool FillGradientRect(HDC hdc, int left, int top, int right, int bottom, COLORREF startColor, COLORREF endColor,
                      bool vertical);

// Writes A blended toward B into the target: the weight of B runs from weightBottom on the region's
// bottom row to weightTop on its top row (each clamped to 0..1). All three device contexts must hold
// 16-bit DIB sections of the same channel layout; false (and nothing drawn) otherwise.
bool BlendBitmapsGradient(HDC target, int x, int y, int width, int height, HDC a, HDC b, int srcX, int srcY,
                          double weightTop, double weightBottom);

// An antialiased line; horizontal, vertical and exact diagonal lines are drawn plain.
bool DrawSmoothLine(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color, int width);

// Moves one pixel toward the colour of the last DrawSmoothLine by alpha / 256.
void BlendPixel(HDC hdc, int x, int y, int alpha);
