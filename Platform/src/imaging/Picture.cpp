#include "imaging/Picture.h"

#include <cstring>

namespace ce::imaging {
namespace {

PictureFormat Sniff(const uint8_t* data, size_t size) {
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
        return PictureFormat::Png;
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return PictureFormat::Jpeg;
    }
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)) {
        return PictureFormat::Gif;
    }
    return PictureFormat::Unknown;
}

}  // namespace

bool ReadPictureHeader(const uint8_t* data, size_t size, PictureHeader* header) {
    *header = PictureHeader{};
    if (data == nullptr) {
        return false;
    }
    bool read = false;
    switch (Sniff(data, size)) {
    case PictureFormat::Png: read = ReadPngHeader(data, size, header); break;
    case PictureFormat::Jpeg: read = ReadJpegHeader(data, size, header); break;
    case PictureFormat::Gif: read = ReadGifHeader(data, size, header); break;
    case PictureFormat::Unknown: break;
    }
    return read && header->width > 0 && header->height > 0 && header->width <= IMAGE_MAX_SIDE &&
           header->height <= IMAGE_MAX_SIDE;
}

bool DecodePicture(const uint8_t* data, size_t size, Picture* picture) {
    *picture = Picture{};
    PictureHeader header;
    if (!ReadPictureHeader(data, size, &header) || !SizeAllowed(header.width, header.height)) {
        return false;
    }
    bool decoded = false;
    switch (header.format) {
    case PictureFormat::Png: decoded = DecodePng(data, size, picture); break;
    case PictureFormat::Jpeg: decoded = DecodeJpeg(data, size, picture); break;
    case PictureFormat::Gif: decoded = DecodeGif(data, size, picture); break;
    case PictureFormat::Unknown: break;
    }
    if (!decoded) {
        *picture = Picture{};
    }
    return decoded;
}

}  // namespace ce::imaging
