// One raster picture (a downloaded map) as a 16-bit 5-6-5 bitmap, drawn scaled.
#pragma once

#include "ce/gdi.h"

class CSprite {
public:
    // Larger pictures are refused before any bitmap is made for them.
    static constexpr int kMaxImageSide = 10000;
    // Nor more pixels than this (8 MB at 16 bits), whatever the sides: a few bytes of header must not
    // make the device fill and draw a bitmap of hundreds of megabytes.
    static constexpr int kMaxImagePixels = 4 * 1024 * 1024;

    CSprite() = default;
    CSprite(const CSprite& other);
    CSprite& operator=(const CSprite& other);
    virtual ~CSprite();

    bool LoadFromFile(LPCWSTR path);
    bool LoadFromMemory(const BYTE* data, DWORD size);
    // The whole picture, or the source part of it, stretched onto the target rectangle.
    void Draw(HDC hdc, const RECT* target, const RECT* source) const;
    // A deep copy: the bitmaps are the sprite's own. False when a copy could not be made.
    bool Assign(const CSprite& other);
    void Clear();

    bool IsLoaded() const { return m_bitmap != nullptr; }
    HBITMAP GetBitmap() const { return m_bitmap; }
    HBITMAP GetMask() const { return m_mask; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    static HBITMAP CreateDIB(int width, int height, int bitsPerPixel);
    // A new bitmap holding the decoded picture, of the given depth (0: compatible with the screen);
    // null when the picture cannot be decoded, is larger than kMaxImageSide or kMaxImagePixels or the bitmap cannot be made.
    static HBITMAP DecodeImage(const BYTE* data, DWORD size, int bitsPerPixel);

private:
    static HBITMAP DecodeWithFactory(const BYTE* data, DWORD size, int bitsPerPixel, bool* factoryAvailable);
    static HBITMAP DecodeWithDecompressor(const BYTE* data, DWORD size, int bitsPerPixel);
    static HBITMAP CopyBitmap(HBITMAP source, int bitsPerPixel);

    HBITMAP m_bitmap = nullptr;
    HBITMAP m_mask = nullptr;
    int m_width = 0;
    int m_height = 0;
};
