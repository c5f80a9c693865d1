#include "UserInterface/CDlgScrollable.h"

#include <algorithm>
#include <cstdlib>

#include "CSysInfo.h"
#include "ce/kernel.h"

namespace UserInterface {

namespace {

// A flick replays only when the pen rises this soon after its last move.
constexpr DWORD kFlickWindowMs = 500;

}  // namespace

int CDlgScrollable::GetDirection(const POINT* from, const POINT* to, int* distance) {
    if (from == nullptr || to == nullptr) {
        return -1;
    }
    const int dx = to->x - from->x;
    const int dy = to->y - from->y;
    int length = 0;
    int direction = 0;
    if (dx == 0 && dy == 0) {
        direction = 0;
    } else if (std::abs(dx) <= std::abs(dy)) {
        length = std::abs(dy);
        direction = dy > 0 ? kMoveDown : kMoveUp;
    } else {
        length = std::abs(dx);
        direction = dx > 0 ? kMoveRight : kMoveLeft;
    }
    if (distance != nullptr) {
        *distance = length;
    }
    return direction;
}

void CDlgScrollable::ResetGesture() {
    m_phase = kIdle;
    m_drag = -1;
}

void CDlgScrollable::OnPointer(int event, const POINT* point) {
    if (point == nullptr && event != kPenUp) {
        return;
    }
    switch (event) {
        case kPenDown:
            // A pen-down that finds a gesture open lost its pen-up: it starts afresh.
            PenDown(*point);
            break;
        case kPenMove:
            PenMove(*point);
            break;
        case kPenUp:
            PenUp();
            break;
        default:
            break;
    }
}

void CDlgScrollable::PenDown(const POINT& point) {
    m_phase = kPenIsDown;
    m_last = point;
    m_lastTime = GetTickCount();
    m_drag = -1;
}

void CDlgScrollable::PenMove(const POINT& point) {
    if (m_phase == kIdle) {
        return;
    }
    bool began = false;
    if (m_phase == kPenIsDown) {
        const int reach = std::max(std::abs(point.x - m_last.x), std::abs(point.y - m_last.y));
        if (reach <= CSysInfo::Scale(10)) {
            return;
        }
        m_previous = m_last;
        m_previousTime = m_lastTime;
        m_phase = kDragging;
        began = true;
    }
    if (point.x == m_last.x && point.y == m_last.y) {
        return;
    }
    m_previous = m_last;
    m_previousTime = m_lastTime;
    m_last = point;
    m_lastTime = GetTickCount();
    int distance = 0;
    const int direction = GetDirection(&m_previous, &m_last, &distance);
    if (began) {
        m_drag = direction == kMoveDown || direction == kMoveUp ? kVerticalDragBegins : kHorizontalDragBegins;
        OnScroll(m_drag, 0);
    }
    OnScroll(direction, distance);
}

void CDlgScrollable::PenUp() {
    const int phase = m_phase;
    ResetGesture();
    if (phase == kPenIsDown) {
        OnScroll(kTap, 0);
        return;
    }
    if (phase != kDragging) {
        return;
    }
    int distance = 0;
    const int direction = GetDirection(&m_previous, &m_last, &distance);
    if (direction > 0 && distance > 0 && GetTickCount() - m_lastTime < kFlickWindowMs) {
        ReplayFlick(direction, distance);
    }
    OnScroll(kGestureOver, 0);
}

void CDlgScrollable::ReplayFlick(int direction, int distance) {
    const int step = distance < 11 ? 1 : (distance + 5) / 10;
    for (int amount = distance - step; amount > 0; amount -= step) {
        OnScroll(direction, amount);
    }
}

}  // namespace UserInterface

