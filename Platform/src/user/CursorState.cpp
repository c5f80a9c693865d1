#include "user/CursorState.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "ce/device.h"
#include "ce/gdi.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

struct Cursor {
    std::mutex lock;
    HCURSOR current = nullptr;
    int displayCount = -1;
};

Cursor& State() {
    static Cursor cursor;
    return cursor;
}

bool Seen(const Cursor& cursor) {
    return cursor.displayCount >= 0 && cursor.current == LoadCursorW(nullptr, IDC_WAIT);
}

// Changes the state under its lock; the screen is composed again (outside the lock) when that shows or
// hides the wait cursor. The change's own result.
template <class Change>
auto ChangeState(Change change) {
    Cursor& state = State();
    bool changed = false;
    decltype(change(state)) result{};
    {
        std::lock_guard guard(state.lock);
        const bool seenBefore = Seen(state);
        result = change(state);
        changed = Seen(state) != seenBefore;
    }
    if (changed) {
        Wm().MarkScreenChanged();
    }
    return result;
}

}  // namespace

HCURSOR CursorState::Set(HCURSOR cursor) {
    return ChangeState([cursor](Cursor& state) { return std::exchange(state.current, cursor); });
}

HCURSOR CursorState::Current() {
    Cursor& state = State();
    std::lock_guard guard(state.lock);
    return state.current;
}

int CursorState::Show(bool show) {
    return ChangeState([show](Cursor& state) { return state.displayCount += show ? 1 : -1; });
}

bool CursorState::WaitCursorSeen() {
    Cursor& state = State();
    std::lock_guard guard(state.lock);
    return Seen(state);
}

// A ring in the theme colour with a dark rim and a white middle, a tenth of the screen's shorter side
// across (24 pixels on a 240-pixel screen).
void CursorState::Draw(HDC screen) {
    if (!WaitCursorSeen()) {
        return;
    }
    RECT full = ScreenLayout::FullScreen();
    const int width = full.right - full.left;
    const int height = full.bottom - full.top;
    const int radius = std::max(6, std::min(width, height) / 20);
    const int x = full.left + width / 2;
    const int y = full.top + height / 2;
    COLORREF theme = static_cast<COLORREF>(ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF;
    HPEN rim = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH ring = CreateSolidBrush(theme);
    HGDIOBJ oldPen = SelectObject(screen, rim);
    HGDIOBJ oldBrush = SelectObject(screen, ring);
    Ellipse(screen, x - radius, y - radius, x + radius + 1, y + radius + 1);
    SelectObject(screen, GetStockObject(WHITE_BRUSH));
    const int hole = radius / 2;
    Ellipse(screen, x - hole, y - hole, x + hole + 1, y + hole + 1);
    SelectObject(screen, oldBrush);
    SelectObject(screen, oldPen);
    DeleteObject(ring);
    DeleteObject(rim);
}

}  // namespace ce::detail
