#include "UserInterface/CDlgScrollStrip.h"

#include <algorithm>
#include <cstdlib>

#include "UserInterface/CDlgHostDC.h"

namespace UserInterface {

bool CDlgScrollStrip::Create(HDC reference, int width, int viewHeight, int from, int to) {
    m_bitmap.Release();
    if (from == to || viewHeight <= 0 ||
        !m_bitmap.CreateCompatible(reference, width, viewHeight + std::abs(to - from))) {
        return false;
    }
    m_viewHeight = viewHeight;
    m_from = from;
    m_to = to;
    return true;
}

int CDlgScrollStrip::RowOf(int offset) const { return offset - std::min(m_from, m_to); }

void CDlgScrollStrip::Slide(IDlgObjectHost* host, int x, int y, int step) const {
    if (!m_bitmap.IsValid() || step <= 0) {
        return;
    }
    const int distance = std::abs(m_to - m_from);
    const int direction = m_to > m_from ? 1 : -1;
    for (int moved = std::min(step, distance);; moved = std::min(moved + step, distance)) {
        CDlgHostDC screen(host);
        if (screen.Get() != nullptr) {
            const int row = RowOf(m_from + direction * moved);
            BitBlt(screen.Get(), x, y, Width(), m_viewHeight, DC(), 0, row, SRCCOPY);
        }
        if (moved == distance) {
            break;
        }
    }
}

}  // namespace UserInterface
