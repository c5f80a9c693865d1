#include "Controls/CPageSwipe.h"

#include <cstdlib>

#include "CSysInfo.h"
#include "RectHelpers.h"

void CPageSwipe::TakeLatestMove(HWND window, int* x, int* y) {
    MSG queued;
    while (PeekMessageW(&queued, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        const POINT point = PointFromLParam(queued.lParam);
        *x = point.x;
        *y = point.y;
    }
}

void CPageSwipe::PenDown(int x, int y) {
    m_down = POINT{x, y};
    m_handled = false;
}

CPageSwipe::Turn CPageSwipe::PenMove(int x) {
    const int travel = x - m_down.x;
    if (m_handled || std::abs(travel) <= CSysInfo::Scale(kDistance)) {
        return kNone;
    }
    m_handled = true;
    return travel < 0 ? kNext : kPrevious;
}
