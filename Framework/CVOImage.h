// A picture decoded by the image decompression library into a bitmap of a device's colour depth.
#pragma once

#include "ce/gdi.h"

class CVOImage {
public:
    // The decompressor's limits; larger pictures are refused.
    static constexpr int kMaxSide = 10000;

    CVOImage() = default;
    CVOImage(const CVOImage&) = delete;
    CVOImage& operator=(const CVOImage&) = delete;
    virtual ~CVOImage();

    // Decodes the whole picture in data; false when there is no decompressor or it refuses the data.
    bool Load(HDC hdc, const BYTE* data, DWORD size);
    // The decoded bitmap, handed over: the caller deletes it.
    HBITMAP TakeBitmap();

private:
    [[maybe_unused]] DWORD m_reserved[2] = {};  // reserved, kept zero
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
};
