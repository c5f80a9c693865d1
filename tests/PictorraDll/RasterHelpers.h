// Pixel checks for rendered pictures.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "SvgRasterizer.h"

namespace pictorra_test {

// Premultiplied ARGB of the colours the test pictures use.
constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF008000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kBlack = 0xFF000000;

inline SvgRaster Rasterize(const std::string& svg, int width, int height)
{
    SvgRaster raster;
    SvgStatus status = SvgRasterizer::Render(svg, width, height, raster);
    EXPECT_EQ(status, SvgStatus::Success) << svg;
    return raster;
}

inline uint32_t PixelAt(const SvgRaster& r, int x, int y) { return r.pixels.at(size_t(y) * r.width + x); }
inline int AlphaAt(const SvgRaster& r, int x, int y) { return int(PixelAt(r, x, y) >> 24); }

// The pixel at a point given as a fraction of the picture, so one check fits every size.
inline uint32_t PixelAtFraction(const SvgRaster& r, double fx, double fy)
{
    return PixelAt(r, int(fx * r.width), int(fy * r.height));
}

// Premultiplied ARGB compared channel by channel.
inline bool Near(uint32_t got, uint32_t want, int tolerance = 8)
{
    for (int shift = 0; shift < 32; shift += 8) {
        int a = int((got >> shift) & 0xFF), b = int((want >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

inline std::string Hex(uint32_t v)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

// The pixel at (x, y) is near the wanted premultiplied ARGB value.
inline ::testing::AssertionResult PixelIs(const SvgRaster& r, int x, int y, uint32_t want)
{
    uint32_t got = PixelAt(r, x, y);
    if (Near(got, want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") of " << r.width << " x " << r.height
                                         << ": got " << Hex(got) << " want " << Hex(want);
}

#define EXPECT_PIXEL(raster, fx, fy, want)                                                                 \
    EXPECT_TRUE(pictorra_test::PixelIs(raster, int((fx) * (raster).width), int((fy) * (raster).height), want)) \
        << "at fraction (" << (fx) << ", " << (fy) << ")"

// An svg document of 100 x 100 units around the given content.
inline std::string Doc(const std::string& content, const std::string& rootAttributes = "")
{
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='100' "
           "height='100' " + rootAttributes + ">" + content + "</svg>";
}

// A picture of Doc(content) rendered at the document's own size, so that one unit is one pixel.
inline SvgRaster AtDocumentSize(const std::string& content, const std::string& prologue = "")
{
    return Rasterize(prologue + Doc(content), 100, 100);
}

inline SvgStatus RenderStatus(const std::string& svg, int size = 32)
{
    SvgRaster raster;
    return SvgRasterizer::Render(svg, size, size, raster);
}

inline int InkCount(const SvgRaster& r)
{
    int n = 0;
    for (uint32_t p : r.pixels) n += (p >> 24) != 0;
    return n;
}

}  // namespace pictorra_test
