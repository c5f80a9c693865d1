// A memory device context with its own DIB section selected: the off-screen surface of the drawing
// helpers, the transition effects and the sprites.
#pragma once

#include "ce/gdi.h"

class CBitmapDC {
public:
    CBitmapDC() = default;
    ~CBitmapDC() { Release(); }
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;

    // A new width x height DIB section of the depth (16: 5-6-5); false when either cannot be made.
    bool Create(int width, int height, int bitsPerPixel);
    // A bitmap compatible with another device context.
    bool CreateCompatible(HDC hdc, int width, int height);
    void Release();

    bool IsValid() const { return m_dc != nullptr; }
    HDC DC() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Hands the bitmap to the caller and releases the context.
    HBITMAP DetachBitmap();

private:
    bool Adopt(HBITMAP bitmap, int width, int height);

    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
};
