#include "CRenderedImage.h"

#include <algorithm>
#include <cstring>

namespace {
struct Rgb565Info {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

HBITMAP CreateAlphaSection(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

uint16_t To565(uint32_t pixel) {
    return uint16_t(((pixel >> 8) & 0xF800) | ((pixel >> 5) & 0x07E0) | ((pixel >> 3) & 0x001F));
}

// Kept free of aliasing and branches, so that the compiler can do several pixels a step; built twice,
// for the plain x86-64 instruction set and for AVX2 (twice the pixels a step, and a narrowing pack that
// SSE2 lacks), the better one chosen when the library is loaded.
#if defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void SplitRow(const uint32_t* __restrict source, uint16_t* __restrict color, uint8_t* __restrict alpha, int width)
{
    for (int x = 0; x < width; ++x) {
        color[x] = To565(source[x]);
        alpha[x] = uint8_t(source[x] >> 24);
    }
}

uint32_t From565(uint16_t color, uint8_t alpha) {
    uint32_t r = (color >> 11) & 0x1F, g = (color >> 5) & 0x3F, b = color & 0x1F;
    return uint32_t(alpha) << 24 | r << 19 | g << 10 | b << 3;
}

uint16_t Recolor(uint16_t pixel, double hue, double saturation, int shift) {
    double r = ((pixel >> 8) & 0xF8) / 255.0, g = (((pixel >> 5) & 0x3F) * 4) / 255.0,
           b = ((pixel & 0x1F) * 8) / 255.0;
    double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    int old = int(unsigned((hi + lo) / 2 * 255) % 256);
    double L = std::clamp(old + shift, 0, 255) / 255.0;
    double v = L <= 0.5 ? L * (1 + saturation) : L + saturation - L * saturation;
    double red = L, green = L, blue = L;
    if (v > 0) {
        double m = 2 * L - v;
        int sextant = int(hue * 6);
        double fraction = hue * 6 - sextant;
        double vsf = v * ((v - m) / v) * fraction;
        double mid1 = m + vsf, mid2 = v - vsf;
        switch (sextant) {
            case 0:
                red = v, green = mid1, blue = m;
                break;
            case 1:
                red = mid2, green = v, blue = m;
                break;
            case 2:
                red = m, green = v, blue = mid1;
                break;
            case 3:
                red = m, green = mid2, blue = v;
                break;
            case 4:
                red = mid1, green = m, blue = v;
                break;
            case 5:
                red = v, green = m, blue = mid2;
                break;
            default:
                break;  // hue 255: grey at the new lightness
        }
    }
    unsigned R = unsigned(red * 255), G = unsigned(green * 255), B = unsigned(blue * 255);
    return uint16_t(((R >> 3) << 11) | (((G >> 2) << 5) & 0x07FF) | ((B >> 3) & 0x1F));
}

// Premultiplied source over destination: source + destination x (64 - w) / 64 per channel, w = alpha / 4.
uint16_t BlendPixel(uint16_t source, uint16_t destination, uint8_t alpha) {
    if (alpha == 0)
        return destination;
    if (alpha == 255)
        return source;
    unsigned inverse = 64 - alpha / 4;
    unsigned r = std::min(31u, ((source >> 11) & 0x1F) + ((((destination >> 11) & 0x1F) * inverse) >> 6));
    unsigned g = std::min(63u, ((source >> 5) & 0x3F) + ((((destination >> 5) & 0x3F) * inverse) >> 6));
    unsigned b = std::min(31u, (source & 0x1F) + (((destination & 0x1F) * inverse) >> 6));
    return uint16_t(r << 11 | g << 5 | b);
}
}  // namespace

HBITMAP CreateRgb565Section(int width, int height) {
    Rgb565Info info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                            nullptr, 0);
}

CRenderedImage::~CRenderedImage() {
    if (m_color)
        DeleteObject(m_color);
    if (m_alpha)
        DeleteObject(m_alpha);
}

CRenderedImage::Plane CRenderedImage::PlaneOf(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != int(sizeof section))
        return {};
    return Plane{static_cast<uint8_t*>(section.dsBm.bmBits), int(section.dsBm.bmWidthBytes)};
}

bool CRenderedImage::Create(int width, int height) {
    if (width <= 0 || height <= 0 || m_color)
        return false;
    m_color = CreateRgb565Section(width, height);
    m_alpha = CreateAlphaSection(width, height);
    m_colorPlane = PlaneOf(m_color);
    m_alphaPlane = PlaneOf(m_alpha);
    if (!m_colorPlane.bits || !m_alphaPlane.bits)
        return false;
    m_width = width;
    m_height = height;
    return true;
}

uint16_t* CRenderedImage::ColorRow(int y) const {
    return reinterpret_cast<uint16_t*>(m_colorPlane.bits + size_t(m_height - 1 - y) * m_colorPlane.stride);
}

uint8_t* CRenderedImage::AlphaRow(int y) const {
    return m_alphaPlane.bits + size_t(m_height - 1 - y) * m_alphaPlane.stride;
}

bool CRenderedImage::SetPixels(const std::vector<uint32_t>& pixels) {
    return pixels.size() == size_t(m_width) * m_height && SetPixels(pixels.data());
}

bool CRenderedImage::SetPixels(const uint32_t* pixels) {
    if (!m_colorPlane.bits || !pixels)
        return false;
    GdiFlush();
    for (int y = 0; y < m_height; ++y)
        SplitRow(pixels + size_t(y) * m_width, ColorRow(y), AlphaRow(y), m_width);
    return true;
}

void CRenderedImage::GetPixels(std::vector<uint32_t>& pixels) const {
    pixels.assign(size_t(m_width) * m_height, 0);
    if (!m_colorPlane.bits)
        return;
    GdiFlush();
    for (int y = 0; y < m_height; ++y) {
        const uint16_t* color = ColorRow(y);
        const uint8_t* alpha = AlphaRow(y);
        for (int x = 0; x < m_width; ++x) pixels[size_t(y) * m_width + x] = From565(color[x], alpha[x]);
    }
}

bool CRenderedImage::CopyFrom(const CRenderedImage& other) {
    if (!Create(other.m_width, other.m_height))
        return false;
    GdiFlush();
    for (int y = 0; y < m_height; ++y) {
        std::memcpy(ColorRow(y), other.ColorRow(y),
                    size_t(std::min(m_colorPlane.stride, other.m_colorPlane.stride)));
        std::memcpy(AlphaRow(y), other.AlphaRow(y),
                    size_t(std::min(m_alphaPlane.stride, other.m_alphaPlane.stride)));
    }
    return true;
}

void CRenderedImage::Colorize(uint8_t hue, uint8_t saturation, int16_t lightnessShift) {
    if (!m_colorPlane.bits)
        return;
    GdiFlush();
    double h = hue / 255.0, s = saturation / 255.0;
    for (int y = 0; y < m_height; ++y) {
        uint16_t* row = ColorRow(y);
        for (int x = 0; x < m_width; ++x) row[x] = Recolor(row[x], h, s, lightnessShift);
    }
}

void CRenderedImage::Blend(HBITMAP surface, int width, int height, int srcX, int srcY) const {
    Plane target = PlaneOf(surface);
    DIBSECTION section{};
    if (!target.bits || !m_alphaPlane.bits ||
        GetObjectW(surface, sizeof section, &section) != int(sizeof section))
        return;
    int surfaceHeight = std::abs(int(section.dsBm.bmHeight));
    // A region beyond the picture or the surface is the caller's mistake: it draws nothing rather than
    // reading or writing past a plane.
    if (section.dsBm.bmWidth < width || surfaceHeight < height || srcX < 0 || srcY < 0 ||
        srcX + width > m_width || srcY + height > m_height)
        return;
    GdiFlush();
    for (int y = 0; y < height; ++y) {
        // Both are bottom-up: the corner's top row is the surface's last row in memory.
        uint16_t* d =
            reinterpret_cast<uint16_t*>(target.bits + size_t(surfaceHeight - 1 - y) * target.stride);
        const uint16_t* s = ColorRow(srcY + y) + srcX;
        const uint8_t* a = AlphaRow(srcY + y) + srcX;
        for (int x = 0; x < width; ++x) d[x] = BlendPixel(s[x], d[x], a[x]);
    }
}
