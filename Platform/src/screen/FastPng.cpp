#include "screen/FastPng.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ce::screen {
namespace {

// libpng reports errors by a long jump: nothing between here and png_destroy_write_struct may need
// a destructor, so the row is a plain block of the caller's.
bool Encode(FILE* file, const unsigned char* pixels, int width, int height, int stride, png_bytep row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<png_byte>(source[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(source[x]);
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteFastPng(cairo_surface_t* image, const std::string& path) {
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_format(image) != CAIRO_FORMAT_RGB24) {
        return false;
    }
    cairo_surface_flush(image);
    int width = cairo_image_surface_get_width(image);
    int height = cairo_image_surface_get_height(image);
    if (width <= 0 || height <= 0) {
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    auto* row = static_cast<png_bytep>(std::malloc(static_cast<size_t>(width) * 3));
    bool written = row != nullptr && Encode(file, cairo_image_surface_get_data(image), width, height,
                                            cairo_image_surface_get_stride(image), row);
    std::free(row);
    return std::fclose(file) == 0 && written;
}

}  // namespace ce::screen
