// Small helpers for the GDI tests: 5-6-5 DIB sections selected into memory DCs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "ce/gdi.h"

namespace ce::test {

struct Bitfields565Info {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

inline HBITMAP CreateDib(int width, int height, int bits, void** pixels) {
    Bitfields565Info info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = bits == 16 ? BI_BITFIELDS : BI_RGB;
    info.masks[0] = 0xF800, info.masks[1] = 0x07E0, info.masks[2] = 0x001F;
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0);
}

// A memory DC with a DIB section of the given depth selected; height < 0 makes it top-down.
class DibDC {
public:
    DibDC(int width, int height, int bits = 16) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDib(width, height, bits, &pixels);
        old = SelectObject(dc, bitmap);
        stride = ((width * bits + 31) / 32) * 4;
        rows = height < 0 ? -height : height;
        topDown = height < 0;
    }
    ~DibDC() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    DibDC(const DibDC&) = delete;
    DibDC& operator=(const DibDC&) = delete;

    // The raw pixel at (x, y) counted from the top, read from memory as the platform lays it out.
    uint16_t Raw16(int x, int y) const {
        int row = topDown ? y : rows - 1 - y;
        return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(pixels) + row * stride)[x];
    }
    uint32_t Raw32(int x, int y) const {
        int row = topDown ? y : rows - 1 - y;
        return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels) + row * stride)[x];
    }
    void SetRaw32(int x, int y, uint32_t value) {
        int row = topDown ? y : rows - 1 - y;
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + row * stride)[x] = value;
    }
    void Fill(COLORREF color) {
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < stride * 8 / 16 && x < Width(); ++x) SetPixel(dc, x, y, color);
    }
    int Width() const {
        BITMAP bm{};
        GetObjectW(bitmap, sizeof bm, &bm);
        return bm.bmWidth;
    }

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    void* pixels = nullptr;
    int stride;
    int rows;
    bool topDown;
};

inline uint16_t To565(COLORREF c) {
    return static_cast<uint16_t>(((GetRValue(c) >> 3) << 11) | ((GetGValue(c) >> 2) << 5) | (GetBValue(c) >> 3));
}

// Channels of a 5-6-5 pixel widened to 8 bits.
struct Rgb {
    int r, g, b;
};
inline Rgb From565(uint16_t p) {
    int r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
    return Rgb{(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

#define EXPECT_RGB_NEAR(pixel, er, eg, eb, tolerance)           \
    do {                                                        \
        ce::test::Rgb got_ = ce::test::From565(pixel);          \
        EXPECT_NEAR(got_.r, (er), (tolerance)) << "red";        \
        EXPECT_NEAR(got_.g, (eg), (tolerance)) << "green";      \
        EXPECT_NEAR(got_.b, (eb), (tolerance)) << "blue";       \
    } while (0)

}  // namespace ce::test

namespace ce::test {

// The smallest rectangle holding every pixel that differs from the background (empty when none).
inline RECT InkBounds(const DibDC& surface, int width, int height, uint16_t background) {
    RECT ink{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (surface.Raw16(x, y) != background) {
                ink.left = std::min<LONG>(ink.left, x), ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1), ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
        }
    }
    return ink.right == 0 ? RECT{0, 0, 0, 0} : ink;
}

}  // namespace ce::test
