// The image decompression call: a picture decoded into a new bitmap of the requested depth.
#include <algorithm>

#include "imaging/Picture.h"

namespace {

using ce::imaging::Picture;
using ce::imaging::PictureHeader;

bool RequestValid(const DecompressImageInfo* info) {
    return info != nullptr && info->dwSize >= sizeof(DecompressImageInfo) && info->pbBuffer != nullptr &&
           info->phBM != nullptr && info->ppImageRender == nullptr &&
           (info->iBitDepth == 16 || info->iBitDepth == 24 || info->iBitDepth == 32);
}

// Fills an empty buffer once through the caller's data callback.
DWORD AvailableBytes(DecompressImageInfo* info) {
    if (info->dwBufferCurrent == 0 && info->pfnGetData != nullptr) {
        DWORD got = info->pfnGetData(reinterpret_cast<LPSTR>(info->pbBuffer), info->dwBufferMax, info->lParam);
        info->dwBufferCurrent = std::min(got, info->dwBufferMax);
    }
    return info->dwBufferCurrent;
}

bool WithinMaxima(const DecompressImageInfo* info, const PictureHeader& header) {
    return (info->iMaxWidth <= 0 || header.width <= info->iMaxWidth) &&
           (info->iMaxHeight <= 0 || header.height <= info->iMaxHeight);
}

struct Bitfields {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

HBITMAP NewTargetBitmap(int width, int height, int bitsPerPixel) {
    Bitfields info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = bitsPerPixel == 16 ? BI_BITFIELDS : BI_RGB;
    info.masks[0] = 0xF800, info.masks[1] = 0x07E0, info.masks[2] = 0x001F;
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
}

// The picture over white in a new bitmap of the given size.
HBITMAP Render(const Picture& picture, int width, int height, int bitsPerPixel) {
    HBITMAP bitmap = NewTargetBitmap(width, height, bitsPerPixel);
    if (bitmap == nullptr) {
        return nullptr;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const bool drawn = ce::imaging::DrawPicture(dc, picture, all, nullptr);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (!drawn) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

extern "C" CE_API HRESULT DecompressImageIndirect(DecompressImageInfo* info) {
    if (!RequestValid(info)) {
        return E_INVALIDARG;
    }
    *info->phBM = nullptr;
    const DWORD size = AvailableBytes(info);
    PictureHeader header;
    Picture picture;
    if (!ce::imaging::ReadPictureHeader(info->pbBuffer, size, &header) || !WithinMaxima(info, header) ||
        !ce::imaging::DecodePicture(info->pbBuffer, size, &picture)) {
        return E_FAIL;
    }
    const int scale = info->iScale > 0 ? info->iScale : 100;
    const int width = std::max(1, static_cast<int>(int64_t{picture.width} * scale / 100));
    const int height = std::max(1, static_cast<int>(int64_t{picture.height} * scale / 100));
    HBITMAP bitmap = Render(picture, width, height, info->iBitDepth);
    if (bitmap == nullptr) {
        return E_FAIL;
    }
    *info->phBM = bitmap;
    if (info->pfnImageProgress != nullptr) {
        info->pfnImageProgress(nullptr, TRUE, info->lParam);
    }
    return S_OK;
}
