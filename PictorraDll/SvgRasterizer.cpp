#include "SvgRasterizer.h"

#include <cairo.h>

#include <cstring>
#include <memory>

#include "SvgCairoRenderer.h"

namespace {
struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
constexpr int kMaxExtent = 32767;

bool IsDrawableSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxExtent && height <= kMaxExtent;
}
}  // namespace

SvgStatus SvgRasterizer::Render(std::string_view svgText, int width, int height, SvgRaster& out)
{
    if (!IsDrawableSize(width, height)) return SvgStatus::InvalidValue;
    SvgCairoRenderer renderer;
    if (SvgStatus s = renderer.Parse(svgText); Failed(s)) return s;
    return Render(renderer, width, height, out);
}

SvgStatus SvgRasterizer::Render(SvgCairoRenderer& renderer, int width, int height, SvgRaster& out)
{
    if (!IsDrawableSize(width, height)) return SvgStatus::InvalidValue;
    unsigned svgWidth = 0, svgHeight = 0;
    renderer.GetSize(svgWidth, svgHeight);
    if (svgWidth == 0 || svgHeight == 0) return SvgStatus::InvalidValue;

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return SvgStatus::NoMemory;
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return SvgStatus::NoMemory;

    // The picture is stretched to the asked size; the aspect ratio is not kept.
    double sx = double(width) / svgWidth, sy = double(height) / svgHeight;
    renderer.SetRenderScale(sx, sy);
    cairo_scale(cr.get(), sx, sy);
    if (SvgStatus s = renderer.Render(cr.get()); Failed(s)) return s;
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return SvgStatus::InvalidValue;

    cairo_surface_flush(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    out.width = width;
    out.height = height;
    out.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(&out.pixels[size_t(y) * size_t(width)], data + size_t(y) * size_t(stride), size_t(width) * 4);
    return SvgStatus::Success;
}
