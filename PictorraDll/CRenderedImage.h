// One rendered picture: a bottom-up RGB565 colour plane (premultiplied colour) and an 8-bit alpha
// plane of the same size, both DIB sections.
#pragma once

#include <cstdint>
#include <vector>

#include "ce/gdi.h"

class CRenderedImage {
public:
    CRenderedImage() = default;
    CRenderedImage(const CRenderedImage&) = delete;
    CRenderedImage& operator=(const CRenderedImage&) = delete;
    virtual ~CRenderedImage();

    // Makes both planes; false when either cannot be made.
    bool Create(int width, int height);
    // From width x height top-down premultiplied 0xAARRGGBB words.
    bool SetPixels(const std::vector<uint32_t>& pixels);
    bool SetPixels(const uint32_t* pixels);
    // As top-down 0xAARRGGBB words, the colour widened from 5-6-5 bits.
    void GetPixels(std::vector<uint32_t>& pixels) const;
    // A copy of both planes; false when the copy cannot be made.
    bool CopyFrom(const CRenderedImage& other);
    // Recolours the colour plane to the hue and saturation at the pixel's shifted lightness.
    void Colorize(uint8_t hue, uint8_t saturation, int16_t lightnessShift);
    // Blends the width x height region at (srcX, srcY) of the picture onto the top-left corner of a
    // 16-bpp surface. The region must lie inside the picture and the surface.
    void Blend(HBITMAP surface, int width, int height, int srcX, int srcY) const;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    struct Plane {
        uint8_t* bits = nullptr;
        int stride = 0;
    };
    static Plane PlaneOf(HBITMAP bitmap);
    // Row y counted from the top of the picture (the planes are bottom-up).
    uint16_t* ColorRow(int y) const;
    uint8_t* AlphaRow(int y) const;

    HBITMAP m_color = nullptr;
    HBITMAP m_alpha = nullptr;
    Plane m_colorPlane;
    Plane m_alphaPlane;
    int m_width = 0;
    int m_height = 0;
};

// The 16-bpp RGB565 bottom-up DIB section of the colour plane and of the draw surface.
HBITMAP CreateRgb565Section(int width, int height);
