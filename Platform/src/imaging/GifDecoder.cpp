// GIF through giflib, first frame only. The frame is read record by record, so that its size is
// checked before giflib allocates anything for it.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "imaging/Picture.h"

namespace ce::imaging {
namespace {

struct MemoryInput {
    const uint8_t* data;
    size_t size;
    size_t position;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    size_t count = std::min(static_cast<size_t>(std::max(length, 0)), input->size - input->position);
    std::memcpy(buffer, input->data + input->position, count);
    input->position += count;
    return static_cast<int>(count);
}

class GifReader {
public:
    GifReader(const uint8_t* data, size_t size) : input_{data, size, 0} {
        int error = 0;
        gif_ = DGifOpen(&input_, ReadMemory, &error);
    }
    ~GifReader() {
        if (gif_ != nullptr) {
            int error = 0;
            DGifCloseFile(gif_, &error);
        }
    }
    GifReader(const GifReader&) = delete;
    GifReader& operator=(const GifReader&) = delete;

    GifFileType* Get() const { return gif_; }

private:
    MemoryInput input_;
    GifFileType* gif_ = nullptr;
};

// Skips extensions up to the first frame; the transparent colour index, when a graphics control
// extension names one, is kept.
bool SeekFirstFrame(GifFileType* gif, int* transparent) {
    *transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            return false;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            return DGifGetImageDesc(gif) != GIF_ERROR;
        }
        if (type != EXTENSION_RECORD_TYPE) {
            return false;  // the end came before any frame
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            return false;
        }
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
            GraphicsControlBlock control{};
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
                *transparent = control.TransparentColor;
            }
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                return false;
            }
        }
    }
}

// The frame's rows in the order they are stored: interlaced frames come in four passes.
std::vector<int> StoredRowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y) {
            rows.push_back(y);
        }
        return rows;
    }
    const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = starts[pass]; y < height; y += steps[pass]) {
            rows.push_back(y);
        }
    }
    return rows;
}

}  // namespace

bool ReadGifHeader(const uint8_t* data, size_t size, PictureHeader* header) {
    GifReader reader(data, size);
    if (reader.Get() == nullptr) {
        return false;
    }
    header->format = PictureFormat::Gif;
    header->width = reader.Get()->SWidth;
    header->height = reader.Get()->SHeight;
    return true;
}

bool DecodeGif(const uint8_t* data, size_t size, Picture* picture) {
    GifReader reader(data, size);
    GifFileType* gif = reader.Get();
    int transparent = NO_TRANSPARENT_COLOR;
    if (gif == nullptr || !SizeAllowed(gif->SWidth, gif->SHeight) || !SeekFirstFrame(gif, &transparent)) {
        return false;
    }
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colors = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colors == nullptr || frame.Width <= 0 || frame.Height <= 0 || frame.Width > IMAGE_MAX_SIDE ||
        frame.Height > IMAGE_MAX_SIDE) {
        return false;
    }
    picture->width = gif->SWidth;
    picture->height = gif->SHeight;
    picture->hasAlpha = true;
    picture->argb.assign(static_cast<size_t>(gif->SWidth) * gif->SHeight, 0);  // transparent around the frame

    std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
    for (int y : StoredRowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
            return false;
        }
        const int canvasY = frame.Top + y;
        if (canvasY < 0 || canvasY >= picture->height) {
            continue;
        }
        uint32_t* row = picture->argb.data() + static_cast<size_t>(canvasY) * picture->width;
        for (int x = 0; x < frame.Width; ++x) {
            const int canvasX = frame.Left + x;
            const int index = line[static_cast<size_t>(x)];
            if (canvasX < 0 || canvasX >= picture->width || index == transparent || index >= colors->ColorCount) {
                continue;
            }
            const GifColorType& c = colors->Colors[index];
            row[canvasX] = 0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
        }
    }
    return true;
}

}  // namespace ce::imaging
