#include "CVOImage.h"

#include "ImageCodecs.h"
#include "ce/kernel.h"

namespace {

// The program hands over the whole picture, so there is never a file to read more from.
DWORD CALLBACK GetImageData(LPSTR buffer, DWORD bufferMax, LPARAM param) {
    HANDLE file = reinterpret_cast<HANDLE>(param);
    DWORD read = 0;
    if (file == nullptr || !ReadFile(file, buffer, bufferMax, &read, nullptr)) {
        return 0;
    }
    return read;
}

void CALLBACK IgnoreProgress(void*, BOOL, LPARAM) {}

}  // namespace

CVOImage::~CVOImage() {
    if (m_bitmap != nullptr) {
        DeleteObject(m_bitmap);
    }
    if (m_dc != nullptr) {
        DeleteDC(m_dc);
    }
}

bool CVOImage::Load(HDC hdc, const BYTE* data, DWORD size) {
    DecompressImageIndirectProc decompress = ImageCodecs::GetDecompressor();
    if (decompress == nullptr || data == nullptr || size == 0) {
        return false;
    }
    if (m_dc == nullptr) {
        m_dc = CreateCompatibleDC(hdc);
    }
    if (m_bitmap != nullptr) {
        DeleteObject(m_bitmap);
        m_bitmap = nullptr;
    }
    DecompressImageInfo request{};
    request.dwSize = sizeof request;
    request.pbBuffer = const_cast<LPBYTE>(data);  // only read: the callback never fills it
    request.dwBufferMax = size;
    request.dwBufferCurrent = size;
    request.phBM = &m_bitmap;
    request.iBitDepth = GetDeviceCaps(m_dc, BITSPIXEL);
    request.hdc = m_dc;
    request.iScale = 100;
    request.iMaxWidth = kMaxSide;
    request.iMaxHeight = kMaxSide;
    request.pfnGetData = GetImageData;
    request.pfnImageProgress = IgnoreProgress;
    request.crTransparentOverride = CLR_INVALID;
    if (FAILED(decompress(&request))) {
        m_bitmap = nullptr;
        return false;
    }
    return m_bitmap != nullptr;
}

HBITMAP CVOImage::TakeBitmap() {
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    return bitmap;
}
