// Renders one SVG document, stretched to a pixel size, into premultiplied 0xAARRGGBB pixels.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "SvgStatus.h"

class SvgCairoRenderer;

struct SvgRaster {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // rows top-down, width x height
};

class SvgRasterizer {
public:
    // Fails for a size <= 0, a document without a size, any non-zero status of the walk, or a drawing
    // context left in an error state: a blank or half-drawn picture is never a success.
    static SvgStatus Render(std::string_view svgText, int width, int height, SvgRaster& out);
    // The same for a document that `parsed` already holds; it can be drawn again at any size.
    static SvgStatus Render(SvgCairoRenderer& parsed, int width, int height, SvgRaster& out);
};
