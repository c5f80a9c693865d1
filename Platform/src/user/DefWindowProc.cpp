// The default handling of window messages.
#include <algorithm>

#include "user/UserInternal.h"

using namespace ce::detail;

namespace ce::detail {
void EraseWithClassBrush(HWND window, HDC dc);
}

namespace {

LRESULT CopyText(HWND window, WPARAM size, LPWSTR buffer) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        buffer[0] = 0;
        return 0;
    }
    size_t count = std::min(w->text.size(), static_cast<size_t>(size) - 1);
    std::copy_n(w->text.data(), count, buffer);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

}  // namespace

extern "C" CE_API LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: {
        bool topLevel = false;
        {
            WmLock guard(Wm().Lock());
            auto w = Wm().Find(window);
            if (!w) {
                return FALSE;
            }
            w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            topLevel = !w->IsChild();
        }
        if (topLevel) {
            PublishTopLevel(window);  // other processes find it by its new title
            Wm().MarkScreenChanged();
        }
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyText(window, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_SETFONT: {
        {
            WmLock guard(Wm().Lock());
            if (auto w = Wm().Find(window)) {
                w->font = reinterpret_cast<HFONT>(wParam);
            }
        }
        if (LOWORD(lParam)) {
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    }
    case WM_GETFONT: {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        return w ? reinterpret_cast<LRESULT>(w->font) : 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_ERASEBKGND:
        EraseWithClassBrush(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != window && !IsChild(window, focus)) {
                SetFocus(window);
            }
        }
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == window) {
            ReleaseCapture();
        }
        return 0;
    default:
        return 0;
    }
}
