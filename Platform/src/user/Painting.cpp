// Invalid regions, WM_PAINT, and the device contexts of windows.
//
// Each top-level window paints into its own backing surface (a 16-bit 5-6-5 DIB section); a child
// window's device context is a view of its top-level's surface, moved to the child's client origin and
// clipped to what of the child is visible, without its own children.
#include <algorithm>
#include <map>
#include <mutex>

#include "gdi/GdiInternal.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace {

struct DcRecord {
    HWND window;
};

std::mutex& DcLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::map<HDC, DcRecord>& WindowDcs() {
    static auto* dcs = new std::map<HDC, DcRecord>;
    return *dcs;
}

void WakeOwner(const Window& w) {
    if (auto queue = Wm().QueueOf(w.threadId)) {
        queue->Wake();
    }
}

HWND PaintCandidate(HWND window, DWORD threadId, const MessageFilter& filter) {
    auto w = Wm().Find(window);
    if (!w || !w->IsVisibleFlag()) {
        return nullptr;
    }
    if (w->hasUpdate && w->threadId == threadId && filter.Accepts(window, WM_PAINT)) {
        return window;
    }
    for (HWND child : w->children) {
        if (HWND found = PaintCandidate(child, threadId, filter)) {
            return found;
        }
    }
    return nullptr;
}

struct SurfaceView {
    HBITMAP surface = nullptr;
    POINT origin{};
    RECT visible{};
    std::vector<RECT> excluded;
};

// Where the window's client area lies on its top-level's surface, and what of it may be drawn.
bool ViewOf(HWND window, bool withChildren, SurfaceView* view) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return false;
    }
    HWND top = Wm().TopLevelOf(window);
    auto t = Wm().Find(top);
    if (!t->surface) {
        EnsureSurface(top);
    }
    POINT screen = Wm().ScreenOrigin(window);
    view->surface = t->surface;
    view->origin = POINT{screen.x - t->rect.left, screen.y - t->rect.top};
    view->visible = Offset(ClientRectOf(*w), view->origin.x, view->origin.y);
    for (auto a = w; a && a->IsChild(); a = Wm().Find(a->parent)) {
        auto parent = Wm().Find(a->parent);
        POINT p = Wm().ScreenOrigin(a->parent);
        view->visible = Intersect(view->visible, Offset(ClientRectOf(*parent), p.x - t->rect.left, p.y - t->rect.top));
    }
    if (!withChildren) {
        for (HWND child : w->children) {
            auto c = Wm().Find(child);
            if (c && c->IsVisibleFlag()) {
                view->excluded.push_back(Offset(c->rect, view->origin.x, view->origin.y));
            }
        }
    }
    return view->surface != nullptr;
}

HDC MakeWindowDc(HWND window, const RECT* clip) {
    SurfaceView view;
    if (!ViewOf(window, false, &view)) {
        return nullptr;
    }
    RECT visible = view.visible;
    if (clip) {
        visible = Intersect(visible, Offset(*clip, view.origin.x, view.origin.y));
    }
    HRGN handle = CreateRectRgn(visible.left, visible.top, visible.right, visible.bottom);
    for (const RECT& r : view.excluded) {
        HRGN hole = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(handle, handle, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    HDC dc = ce::gdi::CreateWindowDC(view.surface, view.origin, handle);
    DeleteObject(handle);
    if (!dc) {
        return nullptr;
    }
    std::lock_guard guard(DcLock());
    WindowDcs()[dc] = DcRecord{window};
    return dc;
}

}  // namespace

namespace ce::detail {

void InvalidateWindow(HWND window, const RECT* rect, bool erase, bool children) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return;
    }
    RECT client = ClientRectOf(*w);
    RECT r = rect ? Intersect(*rect, client) : client;
    if (!RectEmpty(r)) {
        w->update = w->hasUpdate ? Union(w->update, r) : r;
        w->hasUpdate = true;
        w->updateErase = w->updateErase || erase;
        WakeOwner(*w);
    }
    if (!children) {
        return;
    }
    for (HWND child : w->children) {
        auto c = Wm().Find(child);
        if (!c || !c->IsVisibleFlag()) {
            continue;  // a hidden window has nothing to paint; showing it invalidates it whole
        }
        RECT inChild = Offset(r, -c->rect.left, -c->rect.top);
        InvalidateWindow(child, &inChild, erase, true);
    }
}

HWND FindWindowToPaint(DWORD threadId, const MessageFilter& filter) {
    WmLock guard(Wm().Lock());
    for (HWND top : Wm().TopLevels()) {
        if (HWND found = PaintCandidate(top, threadId, filter)) {
            return found;
        }
    }
    return nullptr;
}

void EnsureSurface(HWND topLevel) {
    WmLock guard(Wm().Lock());
    auto t = Wm().Find(topLevel);
    if (!t) {
        return;
    }
    LONG width = std::max<LONG>(t->Width(), 1);
    LONG height = std::max<LONG>(t->Height(), 1);
    BITMAP current{};
    if (t->surface && GetObjectW(t->surface, sizeof current, &current) && current.bmWidth == width &&
        current.bmHeight == height) {
        return;
    }
    HBITMAP surface = ce::gdi::CreateSurfaceBitmap(width, height);
    if (!surface) {
        return;
    }
    HDC target = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTarget = SelectObject(target, surface);
    RECT all{0, 0, width, height};
    FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (t->surface) {
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ oldSource = SelectObject(source, t->surface);
        BitBlt(target, 0, 0, std::min(width, current.bmWidth), std::min(height, std::abs(current.bmHeight)), source,
               0, 0, SRCCOPY);
        SelectObject(source, oldSource);
        DeleteDC(source);
        DeleteObject(t->surface);
    }
    SelectObject(target, oldTarget);
    DeleteDC(target);
    t->surface = surface;
}

void ReleaseSurface(Window& window) {
    if (window.surface) {
        DeleteObject(window.surface);
        window.surface = nullptr;
    }
}

void EraseWithClassBrush(HWND window, HDC dc) {
    HBRUSH brush = nullptr;
    RECT client{};
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return;
        }
        brush = w->windowClass->info.hbrBackground;
        client = ClientRectOf(*w);
    }
    if (brush == nullptr || dc == nullptr) {
        return;
    }
    // A class brush may be a system colour index plus one.
    if (reinterpret_cast<uintptr_t>(brush) <= 64) {
        brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<uintptr_t>(brush)) - 1);
    }
    FillRect(dc, &client, brush);
}

}  // namespace ce::detail

extern "C" {

CE_API BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (window == nullptr) {
        std::vector<HWND> tops;
        {
            WmLock guard(Wm().Lock());
            tops = Wm().TopLevels();
        }
        for (HWND top : tops) {
            InvalidateWindow(top, nullptr, erase != FALSE, true);
        }
        return TRUE;
    }
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    InvalidateWindow(window, rect, erase != FALSE, false);
    return TRUE;
}

CE_API BOOL ValidateRect(HWND window, const RECT* rect) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return FALSE;
    }
    // The update area is kept as one rectangle: it goes only when the given one covers it.
    const RECT& u = w->update;
    if (rect == nullptr ||
        (rect->left <= u.left && rect->top <= u.top && rect->right >= u.right && rect->bottom >= u.bottom)) {
        w->hasUpdate = false;
        w->updateErase = false;
        w->update = RECT{};
    }
    return TRUE;
}

CE_API BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL /*erase*/) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return FALSE;
    }
    if (rect) {
        *rect = w->hasUpdate ? w->update : RECT{};
    }
    return w->hasUpdate ? TRUE : FALSE;
}

CE_API BOOL UpdateWindow(HWND window) {
    std::vector<HWND> order{window};
    {
        WmLock guard(Wm().Lock());
        if (!Wm().Find(window)) {
            return FALSE;
        }
        Wm().CollectDescendants(window, order);
    }
    for (HWND each : order) {
        bool needs;
        {
            WmLock guard(Wm().Lock());
            auto w = Wm().Find(each);
            needs = w && w->hasUpdate && Wm().IsShown(each);
        }
        if (needs) {
            SendMessageW(each, WM_PAINT, 0, 0);
        }
    }
    return TRUE;
}

CE_API BOOL RedrawWindow(HWND window, const RECT* rect, HRGN /*region*/, UINT flags) {
    if (flags & RDW_INVALIDATE) {
        InvalidateWindow(window, rect, (flags & RDW_ERASE) != 0, (flags & RDW_ALLCHILDREN) != 0);
    }
    if (flags & RDW_UPDATENOW) {
        UpdateWindow(window);
    }
    return TRUE;
}

CE_API HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (paint == nullptr) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    RECT update{};
    bool erase = false;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return nullptr;
        }
        update = w->hasUpdate ? w->update : RECT{};
        erase = w->updateErase;
        w->hasUpdate = false;
        w->updateErase = false;
        w->update = RECT{};
    }
    HDC dc = MakeWindowDc(window, &update);
    paint->hdc = dc;
    paint->rcPaint = update;
    if (erase && dc) {
        paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

CE_API BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc) {
        ReleaseDC(window, paint->hdc);
    }
    return TRUE;
}

CE_API HDC GetDC(HWND window) {
    if (window == nullptr || window == GetDesktopWindow()) {
        HDC dc = CreateCompatibleDC(nullptr);
        std::lock_guard guard(DcLock());
        WindowDcs()[dc] = DcRecord{nullptr};
        return dc;
    }
    return MakeWindowDc(window, nullptr);
}

CE_API HDC GetWindowDC(HWND window) { return GetDC(window); }

CE_API int ReleaseDC(HWND /*window*/, HDC dc) {
    {
        std::lock_guard guard(DcLock());
        auto it = WindowDcs().find(dc);
        if (it == WindowDcs().end()) {
            return 0;
        }
        WindowDcs().erase(it);
    }
    DeleteDC(dc);
    Wm().MarkScreenChanged();
    return 1;
}

}  // extern "C"
