// JPEG through libjpeg-turbo, decoding straight into BGRA. The library reports errors by calling
// error_exit, which must not return: it jumps back to the call that started the work.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "imaging/Picture.h"

namespace ce::imaging {
namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

void JumpOut(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1); }
// Warnings (a picture cut short, damaged entropy data) are counted: such a picture is refused.
void CountWarning(j_common_ptr info, int level) {
    if (level < 0) {
        ++info->err->num_warnings;
    }
}
void NoMessage(j_common_ptr) {}

// Runs work on a decompressor reading the bytes; false when the library gave up on them.
template <class Work>
bool WithDecompressor(const uint8_t* data, size_t size, Work work) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOut;
    errors.manager.emit_message = CountWarning;
    errors.manager.output_message = NoMessage;
    if (setjmp(errors.escape) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    bool done = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && work(info);
    jpeg_destroy_decompress(&info);
    return done;
}

}  // namespace

bool ReadJpegHeader(const uint8_t* data, size_t size, PictureHeader* header) {
    return WithDecompressor(data, size, [header](jpeg_decompress_struct& info) {
        header->format = PictureFormat::Jpeg;
        header->width = static_cast<int>(info.image_width);
        header->height = static_cast<int>(info.image_height);
        return true;
    });
}

bool DecodeJpeg(const uint8_t* data, size_t size, Picture* picture) {
    return WithDecompressor(data, size, [picture](jpeg_decompress_struct& info) {
        if (!SizeAllowed(info.image_width, info.image_height)) {
            return false;
        }
        info.out_color_space = JCS_EXT_BGRA;
        jpeg_start_decompress(&info);
        picture->width = static_cast<int>(info.output_width);
        picture->height = static_cast<int>(info.output_height);
        picture->argb.assign(static_cast<size_t>(info.output_width) * info.output_height, 0);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(picture->argb.data() +
                                                      static_cast<size_t>(info.output_scanline) * info.output_width);
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        return info.err->num_warnings == 0;
    });
}

}  // namespace ce::imaging
