// The static control: text (aligned, wrapped) or a bitmap.
#include "user/Controls.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

struct StaticState : WindowExtension {
    HBITMAP image = nullptr;
};

std::shared_ptr<StaticState> StateOf(HWND window) { return ExtensionOf<StaticState>(window); }

UINT TextFormat(LONG_PTR style) {
    UINT format = DT_NOPREFIX;
    switch (style & 0x1F) {
    case SS_CENTER:
        format |= DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format |= DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        format |= DT_SINGLELINE;
        break;
    default:
        format |= DT_WORDBREAK;
        break;
    }
    return format;
}

void DrawImage(HDC dc, HBITMAP image, const RECT& client, bool center) {
    BITMAP info{};
    if (!GetObjectW(image, sizeof info, &info)) {
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, image);
    LONG height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    LONG x = center ? (client.right - info.bmWidth) / 2 : 0;
    LONG y = center ? (client.bottom - height) / 2 : 0;
    BitBlt(dc, x, y, info.bmWidth, height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, ControlBrush(window, dc, WM_CTLCOLORSTATIC));
    LONG_PTR style = GetWindowLongW(window, GWL_STYLE);
    auto state = StateOf(window);
    if ((style & 0x1F) == SS_BITMAP) {
        if (state && state->image) {
            DrawImage(dc, state->image, client, (style & SS_CENTERIMAGE) != 0);
        }
    } else {
        WCHAR text[1024];
        int length = GetWindowTextW(window, text, 1024);
        HGDIOBJ old = SelectObject(dc, ControlFont(window));
        SetBkMode(dc, TRANSPARENT);
        if (style & WS_DISABLED) {
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        }
        DrawTextW(dc, text, length, &client, TextFormat(style));
        SelectObject(dc, old);
    }
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case STM_SETIMAGE: {
        auto state = StateOf(window);
        if (!state || wParam != IMAGE_BITMAP) {
            return 0;
        }
        HBITMAP old = state->image;
        state->image = reinterpret_cast<HBITMAP>(lParam);
        InvalidateRect(window, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE: {
        auto state = StateOf(window);
        return state ? reinterpret_cast<LRESULT>(state->image) : 0;
    }
    case WM_LBUTTONUP:
        if (GetWindowLongW(window, GWL_STYLE) & SS_NOTIFY) {
            NotifyParent(window, STN_CLICKED);
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace ce::detail
