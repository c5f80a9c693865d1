#include "SvgRasterizer.h"

#include <cairo.h>

#include <memory>

#include "SvgCairoRenderer.h"

namespace {
struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
constexpr int kMaxExtent = 32767;

bool IsDrawableSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxExtent && height <= kMaxExtent;
}
}  // namespace

SvgStatus SvgRasterizer::Render(std::string_view svgText, int width, int height, SvgRaster& out) {
    if (!IsDrawableSize(width, height))
        return SvgStatus::InvalidValue;
    SvgCairoRenderer renderer;
    if (SvgStatus status = renderer.Parse(svgText); Failed(status))
        return status;
    return Render(renderer, width, height, out);
}

SvgStatus SvgRasterizer::Render(SvgCairoRenderer& renderer, int width, int height, SvgRaster& out) {
    if (!IsDrawableSize(width, height))
        return SvgStatus::InvalidValue;
    unsigned svgWidth = 0, svgHeight = 0;
    renderer.GetSize(svgWidth, svgHeight);
    if (svgWidth == 0 || svgHeight == 0)
        return SvgStatus::InvalidValue;

    // Drawn straight into the pixels handed out (rows of 4-byte pixels without padding, cleared), kept
    // aside until the picture is whole so that a failure leaves `out` as it was.
    if (cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width) != width * 4)
        return SvgStatus::InvalidValue;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_ARGB32, width, height, width * 4));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return SvgStatus::NoMemory;
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return SvgStatus::NoMemory;

    // The picture is stretched to the asked size; the aspect ratio is not kept.
    double sx = double(width) / svgWidth, sy = double(height) / svgHeight;
    renderer.SetRenderScale(sx, sy);
    cairo_scale(cr.get(), sx, sy);
    if (SvgStatus status = renderer.Render(cr.get()); Failed(status))
        return status;
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return SvgStatus::InvalidValue;

    cr.reset();
    cairo_surface_finish(surface.get());
    out.width = width;
    out.height = height;
    out.pixels = std::move(pixels);
    return SvgStatus::Success;
}
