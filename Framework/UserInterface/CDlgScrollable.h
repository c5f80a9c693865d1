// The touch-gesture recogniser of the dialog and the scrollable controls: it turns pen events into
// drag begin, moves with a direction and distance, a replayed flick and the gesture's end.
#pragma once

#include "ce/gdi.h"

namespace UserInterface {

class CDlgScrollable {
public:
    // Kinds reported to OnScroll.
    enum ScrollKind {
        kTap = 0,
        kVerticalDragBegins = 1,
        kHorizontalDragBegins = 2,
        kGestureOver = 3,
        kMoveRight = 4,
        kMoveLeft = 5,
        kMoveDown = 6,
        kMoveUp = 7,
    };
    // Pen events fed to OnPointer.
    enum PenEvent { kPenMove = 0, kPenDown = 1, kPenUp = 2 };

    CDlgScrollable() = default;
    virtual ~CDlgScrollable() = default;

    // The owner's reaction to a gesture event.
    virtual void OnScroll(int kind, int amount) = 0;

    void OnPointer(int event, const POINT* point);
    // Drops a gesture in progress without reporting anything.
    void ResetGesture();
    // 4 to 7 (see ScrollKind) with the distance along that axis; 0 for no movement, -1 for a missing point.
    static int GetDirection(const POINT* from, const POINT* to, int* distance);

private:
    enum Phase { kIdle = -1, kDragging = 0, kPenIsDown = 1 };

    void PenDown(const POINT& point);
    void PenMove(const POINT& point);
    void PenUp();
    void ReplayFlick(int direction, int distance);

    int m_phase = kIdle;
    POINT m_last{};
    DWORD m_lastTime = 0;
    int m_drag = -1;
    POINT m_previous{};
    DWORD m_previousTime = 0;
};

}  // namespace UserInterface
