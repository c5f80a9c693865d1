#include "CDibView.h"

CDibView::CDibView(HDC hdc) {
    if (hdc != nullptr) {
        Describe(static_cast<HBITMAP>(GetCurrentObject(hdc, OBJ_BITMAP)));
    }
}

CDibView::CDibView(HBITMAP bitmap) { Describe(bitmap); }

void CDibView::Describe(HBITMAP bitmap) {
    DIBSECTION section{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof section, &section) != static_cast<int>(sizeof section) ||
        section.dsBm.bmBits == nullptr) {
        return;
    }
    m_bits = static_cast<uint8_t*>(section.dsBm.bmBits);
    m_width = section.dsBm.bmWidth;
    m_height = section.dsBm.bmHeight;
    m_stride = section.dsBm.bmWidthBytes;
    m_bitsPerPixel = section.dsBm.bmBitsPixel;
    m_topDown = section.dsBmih.biHeight < 0;
    m_greenMask = section.dsBitfields[1];
}
