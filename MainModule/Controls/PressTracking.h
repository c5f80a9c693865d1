// The press of one cell of a control (a toolbar button, a graph column, a day's quarter) through the
// pen messages: the cell under the pen going down is pressed, a pen that leaves it or a cancel lets it
// go, and a release on the pressed cell is a tap.
#pragma once

#include "UserInterface/CDlgControl.h"

// hitTest(POINT) gives the cell under a point or -1; setPressed(int) changes the pressed cell (and
// repaints). Returns the tapped cell, or -1.
template <class HitTest, class SetPressed>
int TrackPress(int pressed, const POINT* point, int mode, HitTest hitTest, SetPressed setPressed) {
    using UserInterface::CDlgControl;
    switch (mode) {
        case CDlgControl::kPointerDown: {
            const int hit = point != nullptr ? hitTest(*point) : -1;
            if (hit >= 0) {
                setPressed(hit);
            }
            return -1;
        }
        case CDlgControl::kPointerMove:
            if (pressed >= 0 && (point == nullptr || hitTest(*point) != pressed)) {
                setPressed(-1);
            }
            return -1;
        case CDlgControl::kPointerUp:
            if (pressed < 0) {
                return -1;
            }
            setPressed(-1);
            // A release away from the cell is no tap, also when no move told us the pen left it.
            return point == nullptr || hitTest(*point) == pressed ? pressed : -1;
        default:
            setPressed(-1);
            return -1;
    }
}
