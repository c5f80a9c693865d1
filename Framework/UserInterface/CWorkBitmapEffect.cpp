#include "UserInterface/CWorkBitmapEffect.h"

namespace UserInterface {

bool CWorkBitmapEffect::Prepare(HDC target, HDC from, HDC to, int srcX, int srcY, int width, int height) {
    if (!m_work.CreateCompatible(target, width, height)) {
        return false;
    }
    m_from = from;
    m_to = to;
    m_srcX = srcX;
    m_srcY = srcY;
    return true;
}

void CWorkBitmapEffect::Finish() {
    m_work.Release();
    m_from = m_to = nullptr;
}

bool CWorkBitmapEffect::DrawStep(HDC target, int x, int y, int width, int height, int percent) {
    if (percent > 100 || !m_work.IsValid() || m_from == nullptr || m_to == nullptr) {
        return false;
    }
    return Compose(width, height, percent) && BitBlt(target, x, y, width, height, m_work.DC(), 0, 0, SRCCOPY);
}

bool CWorkBitmapEffect::FillWork(HDC picture, int width, int height) {
    return BitBlt(m_work.DC(), 0, 0, width, height, picture, m_srcX, m_srcY, SRCCOPY) != FALSE;
}

bool CWorkBitmapEffect::CopyPart(HDC picture, int fromX, int fromY, int toX, int toY, int width, int height) {
    if (width <= 0 || height <= 0) {
        return true;
    }
    return BitBlt(m_work.DC(), toX, toY, width, height, picture, m_srcX + fromX, m_srcY + fromY, SRCCOPY) != FALSE;
}

bool CWorkBitmapEffect::StretchInto(HDC picture, int x, int y, int width, int height, int pictureWidth,
                                    int pictureHeight) {
    if (width <= 0 || height <= 0) {
        return true;
    }
    return StretchBlt(m_work.DC(), x, y, width, height, picture, m_srcX, m_srcY, pictureWidth, pictureHeight,
                      SRCCOPY) != FALSE;
}

}  // namespace UserInterface
