// PNG through libpng's simplified reader, which reports damage through the image's status instead of
// jumping out.
#include <png.h>

#include "imaging/Picture.h"

namespace ce::imaging {
namespace {

class PngReader {
public:
    PngReader() { image_.version = PNG_IMAGE_VERSION; }
    ~PngReader() { png_image_free(&image_); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool Begin(const uint8_t* data, size_t size) {
        return png_image_begin_read_from_memory(&image_, data, size) != 0;
    }
    png_image& Image() { return image_; }

private:
    png_image image_{};
};

}  // namespace

bool ReadPngHeader(const uint8_t* data, size_t size, PictureHeader* header) {
    PngReader reader;
    if (!reader.Begin(data, size)) {
        return false;
    }
    header->format = PictureFormat::Png;
    header->width = static_cast<int>(std::min<png_uint_32>(reader.Image().width, INT32_MAX));
    header->height = static_cast<int>(std::min<png_uint_32>(reader.Image().height, INT32_MAX));
    return true;
}

bool DecodePng(const uint8_t* data, size_t size, Picture* picture) {
    PngReader reader;
    if (!reader.Begin(data, size) || !SizeAllowed(reader.Image().width, reader.Image().height)) {
        return false;
    }
    png_image& image = reader.Image();
    const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // BGRA bytes in memory are 0xAARRGGBB words on this little-endian device.
    image.format = PNG_FORMAT_BGRA;
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->hasAlpha = hasAlpha;
    picture->argb.assign(static_cast<size_t>(image.width) * image.height, 0);
    return png_image_finish_read(&image, nullptr, picture->argb.data(), 0, nullptr) != 0;
}

}  // namespace ce::imaging
