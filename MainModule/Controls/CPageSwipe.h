// The page-turning stroke of the paged screens: where the pen went down and whether this stroke has
// already turned a page. A stroke turns at most one page, once it has travelled more than 80 pixels
// (scaled to the screen) sideways.
#pragma once

#include "ce/user.h"

class CPageSwipe {
public:
    static constexpr int kDistance = 80;
    enum Turn { kNone = 0, kNext = 1, kPrevious = -1 };

    // Only the newest of the window's queued pen moves counts, for its controls and the stroke alike:
    // takes the others out of the queue and gives the newest point.
    static void TakeLatestMove(HWND window, int* x, int* y);

    void PenDown(int x, int y);
    // kNext for a stroke to the left, kPrevious for one to the right, once a stroke; kNone otherwise.
    Turn PenMove(int x);

private:
    POINT m_down{};
    bool m_handled = true;
};
