// An SVG picture as a sprite package holds it, rendered at the sizes the skin asks for.
#include <cstddef>
#include <cstdint>
#include <string>

#include "SvgRasterizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string svg(reinterpret_cast<const char*>(data), size);
    for (int side : {16, 48}) {
        SvgRaster raster;
        if (SvgRasterizer::Render(svg, side, side, raster) != SvgStatus::Success) {
            break;
        }
    }
    return 0;
}
