#include "UserInterface/CPushEffect.h"

namespace UserInterface {

bool CPushEffect::Prepare(HDC target, HDC from, HDC to, int srcX, int srcY, int width, int height) {
    if (!m_strip.CreateCompatible(target, 2 * width, height)) {
        return false;
    }
    HDC left = m_newOnRight ? from : to;
    HDC right = m_newOnRight ? to : from;
    return BitBlt(m_strip.DC(), 0, 0, width, height, left, srcX, srcY, SRCCOPY) &&
           BitBlt(m_strip.DC(), width, 0, width, height, right, srcX, srcY, SRCCOPY);
}

bool CPushEffect::DrawStep(HDC target, int x, int y, int width, int height, int percent) {
    if (percent > 100 || !m_strip.IsValid()) {
        return false;
    }
    const int offset = width * percent / 100;
    const int stripX = m_newOnRight ? offset : width - offset;
    return BitBlt(target, x, y, width, height, m_strip.DC(), stripX, 0, SRCCOPY) != FALSE;
}

}  // namespace UserInterface
