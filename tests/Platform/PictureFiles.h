// Picture files made by the real encoders (libpng, libjpeg-turbo, giflib) for the decoding tests, and
// ways to damage them.
#pragma once

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace ce::test {

using Bytes = std::vector<uint8_t>;

// 0xAARRGGBB pixels, rows top-down.
struct TestPicture {
    int width;
    int height;
    std::vector<uint32_t> argb;

    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// Four quadrants: red top left, green top right, blue bottom left, white bottom right.
inline TestPicture Quadrants(int width, int height, uint8_t alpha = 0xFF) {
    TestPicture picture{width, height, {}};
    const uint32_t a = uint32_t{alpha} << 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            uint32_t rgb = !bottom ? (right ? 0x00FF00 : 0xFF0000) : (right ? 0xFFFFFF : 0x0000FF);
            picture.argb.push_back(a | rgb);
        }
    }
    return picture;
}

inline Bytes EncodePng(const TestPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, picture.argb.data(), 0, nullptr));
    Bytes bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.argb.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

inline Bytes EncodeJpeg(const TestPicture& picture, int quality = 95) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(picture.argb.data()) +
                                                  static_cast<size_t>(info.next_scanline) * picture.width);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

inline int AppendToBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A GIF of the picture's colours (at most 255 distinct opaque ones); fully transparent pixels use a
// transparent index. interlaced stores the rows in four passes.
inline Bytes EncodeGif(const TestPicture& picture, bool interlaced = false) {
    std::vector<uint32_t> palette;
    std::vector<GifByteType> indexes;
    bool anyTransparent = false;
    for (uint32_t pixel : picture.argb) {
        if ((pixel >> 24) == 0) {
            anyTransparent = true;
            indexes.push_back(0);
            continue;
        }
        uint32_t rgb = pixel & 0xFFFFFF;
        size_t i = 0;
        while (i < palette.size() && palette[i] != rgb) {
            ++i;
        }
        if (i == palette.size()) {
            palette.push_back(rgb);
        }
        indexes.push_back(static_cast<GifByteType>(i + 1));
    }
    std::vector<GifColorType> colors(256, GifColorType{0, 0, 0});
    for (size_t i = 0; i < palette.size(); ++i) {
        colors[i + 1] = GifColorType{static_cast<GifByteType>(palette[i] >> 16),
                                     static_cast<GifByteType>(palette[i] >> 8), static_cast<GifByteType>(palette[i])};
    }
    Bytes bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, AppendToBytes, &error);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map);
    if (anyTransparent) {
        const GifByteType control[4] = {0x01, 0, 0, 0};  // transparent colour index 0
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, interlaced, nullptr);
    std::vector<int> order;
    if (interlaced) {
        const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = starts[pass]; y < picture.height; y += steps[pass]) {
                order.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < picture.height; ++y) {
            order.push_back(y);
        }
    }
    for (int y : order) {
        EGifPutLine(gif, indexes.data() + static_cast<size_t>(y) * picture.width, picture.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

inline void PutBigEndian32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

// The PNG with the header's size replaced and its checksum made right again, so that only the size lies.
inline Bytes WithPngSize(Bytes png, uint32_t width, uint32_t height) {
    // signature (8), IHDR length (4), "IHDR" (4), width, height, ... its CRC after 13 bytes of data
    PutBigEndian32(png, 16, width);
    PutBigEndian32(png, 20, height);
    PutBigEndian32(png, 29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}

// The JPEG with the frame header's size replaced.
inline Bytes WithJpegSize(Bytes jpeg, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<uint8_t>(height >> 8), jpeg[i + 6] = static_cast<uint8_t>(height);
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8), jpeg[i + 8] = static_cast<uint8_t>(width);
            break;
        }
    }
    return jpeg;
}

inline Bytes Truncated(Bytes bytes, size_t keep) {
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

}  // namespace ce::test
