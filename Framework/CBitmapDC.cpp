#include "CBitmapDC.h"

#include "DrawingHelpers.h"

bool CBitmapDC::Create(int width, int height, int bitsPerPixel) {
    Release();
    return Adopt(CreateDibBitmap(width, height, bitsPerPixel), width, height);
}

bool CBitmapDC::CreateCompatible(HDC hdc, int width, int height) {
    Release();
    if (width <= 0 || height <= 0) {
        return false;
    }
    return Adopt(CreateCompatibleBitmap(hdc, width, height), width, height);
}

bool CBitmapDC::Adopt(HBITMAP bitmap, int width, int height) {
    if (bitmap == nullptr) {
        return false;
    }
    m_dc = CreateCompatibleDC(nullptr);
    if (m_dc == nullptr) {
        DeleteObject(bitmap);
        return false;
    }
    m_bitmap = bitmap;
    m_oldBitmap = SelectObject(m_dc, bitmap);
    m_width = width;
    m_height = height;
    return true;
}

HBITMAP CBitmapDC::DetachBitmap() {
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    Release();
    return bitmap;
}

void CBitmapDC::Release() {
    if (m_dc != nullptr) {
        SelectObject(m_dc, m_oldBitmap);
        DeleteDC(m_dc);
    }
    if (m_bitmap != nullptr) {
        DeleteObject(m_bitmap);
    }
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_oldBitmap = nullptr;
    m_width = m_height = 0;
}
