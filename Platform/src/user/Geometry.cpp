// Window positions, sizes, z-order and coordinate mapping.
#include <algorithm>

#include "user/UserInternal.h"

using namespace ce::detail;

namespace ce::detail {

RECT ClientRectOf(const Window& window) { return RECT{0, 0, window.Width(), window.Height()}; }

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return RectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

RECT Union(const RECT& a, const RECT& b) {
    if (RectEmpty(a)) {
        return b;
    }
    if (RectEmpty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool PointIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

RECT Offset(RECT r, LONG dx, LONG dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

}  // namespace ce::detail

namespace {

void Restack(std::vector<HWND>& order, HWND window, HWND insertAfter) {
    auto it = std::find(order.begin(), order.end(), window);
    if (it == order.end()) {
        return;
    }
    order.erase(it);
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
        order.insert(order.begin(), window);
    } else if (insertAfter == HWND_BOTTOM || insertAfter == HWND_NOTOPMOST) {
        order.push_back(window);
    } else {
        auto after = std::find(order.begin(), order.end(), insertAfter);
        order.insert(after == order.end() ? order.begin() : after + 1, window);
    }
}

HWND DeepestChildAt(HWND window, POINT screen) {
    auto w = Wm().Find(window);
    if (!w) {
        return nullptr;
    }
    POINT origin = Wm().ScreenOrigin(window);
    POINT local{screen.x - origin.x, screen.y - origin.y};
    for (HWND child : w->children) {
        auto c = Wm().Find(child);
        if (c && c->IsVisibleFlag() && PointIn(c->rect, local)) {
            return DeepestChildAt(child, screen);
        }
    }
    return window;
}

}  // namespace

extern "C" {

CE_API BOOL GetWindowRect(HWND window, LPRECT rect) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w || rect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT origin = w->IsChild() ? Wm().ScreenOrigin(w->parent) : POINT{0, 0};
    *rect = Offset(w->rect, origin.x, origin.y);
    return TRUE;
}

CE_API BOOL GetClientRect(HWND window, LPRECT rect) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w || rect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = ClientRectOf(*w);
    return TRUE;
}

CE_API BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    bool moved = false, sized = false, topLevel = false;
    WINDOWPOS position{};
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        topLevel = !w->IsChild();
        RECT old = w->rect;
        RECT now = old;
        if (!(flags & SWP_NOMOVE)) {
            now = Offset(now, x - old.left, y - old.top);
        }
        if (!(flags & SWP_NOSIZE)) {
            now.right = now.left + std::max(width, 0);
            now.bottom = now.top + std::max(height, 0);
        }
        moved = now.left != old.left || now.top != old.top;
        sized = (now.right - now.left) != (old.right - old.left) || (now.bottom - now.top) != (old.bottom - old.top);
        if (!(flags & SWP_NOZORDER)) {
            Restack(topLevel ? Wm().TopLevels() : Wm().Find(w->parent)->children, window, insertAfter);
            if (insertAfter == HWND_TOPMOST) {
                w->exStyle |= WS_EX_TOPMOST;
            } else if (insertAfter == HWND_NOTOPMOST) {
                w->exStyle &= ~WS_EX_TOPMOST;
            }
        }
        w->rect = now;
        if ((moved || sized) && w->IsVisibleFlag() && !(flags & SWP_NOREDRAW)) {
            if (!topLevel) {
                InvalidateWindow(w->parent, &old, true, true);  // and the siblings it uncovers
            }
            InvalidateWindow(window, nullptr, true, true);
        }
        if (topLevel && sized) {
            EnsureSurface(window);
            InvalidateWindow(window, nullptr, true, true);
        }
        position = WINDOWPOS{window, insertAfter, now.left, now.top, now.right - now.left, now.bottom - now.top, flags};
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(window, SW_HIDE);
    }
    if (moved || sized || !(flags & SWP_NOZORDER)) {
        SendMessageW(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    }
    if (sized) {
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(position.cx, position.cy));
    }
    if (moved) {
        SendMessageW(window, WM_MOVE, 0, MAKELPARAM(position.x, position.y));
    }
    if (topLevel && !(flags & SWP_NOACTIVATE) && !(flags & SWP_NOZORDER) && IsWindowVisible(window)) {
        ActivateWindow(window, WA_ACTIVE);
    }
    Wm().MarkScreenChanged();
    return TRUE;
}

CE_API BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

CE_API BOOL BringWindowToTop(HWND window) {
    return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

CE_API int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    WmLock guard(Wm().Lock());
    POINT a = from && from != GetDesktopWindow() ? Wm().ScreenOrigin(from) : POINT{0, 0};
    POINT b = to && to != GetDesktopWindow() ? Wm().ScreenOrigin(to) : POINT{0, 0};
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

CE_API BOOL ScreenToClient(HWND window, LPPOINT point) {
    if (!IsWindow(window) || point == nullptr) {
        return FALSE;
    }
    MapWindowPoints(nullptr, window, point, 1);
    return TRUE;
}

CE_API BOOL ClientToScreen(HWND window, LPPOINT point) {
    if (!IsWindow(window) || point == nullptr) {
        return FALSE;
    }
    MapWindowPoints(window, nullptr, point, 1);
    return TRUE;
}

CE_API HWND WindowFromPoint(POINT point) {
    WmLock guard(Wm().Lock());
    for (HWND top : Wm().TopLevels()) {
        auto w = Wm().Find(top);
        if (w && w->IsVisibleFlag() && PointIn(w->rect, point)) {
            return DeepestChildAt(top, point);
        }
    }
    return nullptr;
}

CE_API HWND ChildWindowFromPoint(HWND parent, POINT point) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(parent);
    if (!w || !PointIn(ClientRectOf(*w), point)) {
        return nullptr;
    }
    for (HWND child : w->children) {
        auto c = Wm().Find(child);
        if (c && PointIn(c->rect, point)) {
            return child;
        }
    }
    return parent;
}

}  // extern "C"
