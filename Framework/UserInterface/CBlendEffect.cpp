#include "UserInterface/CBlendEffect.h"

#include "DrawingHelpers.h"

namespace UserInterface {

bool CBlendEffect::Prepare(HDC, HDC from, HDC to, int srcX, int srcY, int width, int height) {
    if (!m_from.Create(width, height, 16) || !m_to.Create(width, height, 16) || !m_result.Create(width, height, 16)) {
        Finish();
        return false;
    }
    return BitBlt(m_from.DC(), 0, 0, width, height, from, srcX, srcY, SRCCOPY) &&
           BitBlt(m_to.DC(), 0, 0, width, height, to, srcX, srcY, SRCCOPY);
}

void CBlendEffect::Finish() {
    m_from.Release();
    m_to.Release();
    m_result.Release();
}

bool CBlendEffect::DrawStep(HDC target, int x, int y, int width, int height, int percent) {
    if (percent > 100 || !m_result.IsValid()) {
        return false;
    }
    const double weight = percent * 0.01;
    return BlendBitmapsGradient(m_result.DC(), 0, 0, width, height, m_from.DC(), m_to.DC(), 0, 0, weight, weight) &&
           BitBlt(target, x, y, width, height, m_result.DC(), 0, 0, SRCCOPY);
}

}  // namespace UserInterface
