// A decoded raster picture and the decoders that make one from PNG, JPEG or GIF bytes.
//
// Every decoder reads the header first, so that a picture's size can be judged before any pixel
// memory is taken; decoding refuses sides above IMAGE_MAX_SIDE and more than kMaxPixels pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ce/imaging.h"

namespace ce::imaging {

inline constexpr int64_t kMaxPixels = 64 * 1024 * 1024;

enum class PictureFormat { Unknown, Png, Jpeg, Gif };

struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    int width = 0;
    int height = 0;
};

// Pixels as 0xAARRGGBB words, not premultiplied, rows top-down without padding.
struct Picture {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<uint32_t> argb;
};

// False for bytes that are no picture of a known format, a damaged header, or a side of 0 or above
// IMAGE_MAX_SIDE.
bool ReadPictureHeader(const uint8_t* data, size_t size, PictureHeader* header);
// False (picture left empty) for anything that cannot be decoded whole.
bool DecodePicture(const uint8_t* data, size_t size, Picture* picture);

// Blends the picture, scaled from source (null: all of it) to dest, over what hdc holds.
bool DrawPicture(HDC hdc, const Picture& picture, const RECT& dest, const RECT* source);

// The format decoders behind the two calls above.
bool ReadPngHeader(const uint8_t* data, size_t size, PictureHeader* header);
bool DecodePng(const uint8_t* data, size_t size, Picture* picture);
bool ReadJpegHeader(const uint8_t* data, size_t size, PictureHeader* header);
bool DecodeJpeg(const uint8_t* data, size_t size, Picture* picture);
bool ReadGifHeader(const uint8_t* data, size_t size, PictureHeader* header);
bool DecodeGif(const uint8_t* data, size_t size, Picture* picture);

// Whether a size may be decoded at all.
inline bool SizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= IMAGE_MAX_SIDE && height <= IMAGE_MAX_SIDE &&
           width * height <= kMaxPixels;
}

}  // namespace ce::imaging
