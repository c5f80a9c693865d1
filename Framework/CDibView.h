// Direct access to the pixels of a 16-bit DIB section, row by row from the top, whichever way the
// bitmap stores its rows. The view borrows the memory: it stays valid while the bitmap lives.
#pragma once

#include <cstdint>

#include "ce/gdi.h"

class CDibView {
public:
    // The bitmap selected into a device context.
    explicit CDibView(HDC hdc);
    explicit CDibView(HBITMAP bitmap);

    // A 16-bit DIB section with 5-6-5 or 5-5-5 channels.
    bool IsValid16() const { return m_bits != nullptr && m_bitsPerPixel == 16 && (Is565() || Is555()); }
    bool IsValid() const { return m_bits != nullptr; }
    bool Is565() const { return m_greenMask == 0x07E0; }
    bool Is555() const { return m_greenMask == 0x03E0; }
    DWORD GreenMask() const { return m_greenMask; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    int Stride() const { return m_stride; }

    uint8_t* Row(int y) const {
        return m_bits + static_cast<std::ptrdiff_t>(m_topDown ? y : m_height - 1 - y) * m_stride;
    }
    uint16_t* Row16(int y) const { return reinterpret_cast<uint16_t*>(Row(y)); }

private:
    void Describe(HBITMAP bitmap);

    uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_bitsPerPixel = 0;
    bool m_topDown = false;
    DWORD m_greenMask = 0;
};
