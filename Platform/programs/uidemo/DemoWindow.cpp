#include "DemoWindow.h"

#include <string>
#include <vector>

#include "DemoIds.h"
#include "ce/shell.h"

namespace {

constexpr const char16_t* kClassName = u"UiDemo";

// An in-memory dialog template, laid out as DialogBoxIndirectParamW reads it.
class TemplateWriter {
public:
    TemplateWriter(DWORD style, short cx, short cy, const char16_t* title) {
        Dword(style), Dword(0);
        count_ = words_.size();
        words_.push_back(0);
        words_.insert(words_.end(), {0, 0, static_cast<WORD>(cx), static_cast<WORD>(cy), 0, 0});
        Text(title);
    }
    void Item(WORD atom, WORD id, DWORD style, short x, short y, short cx, short cy, const char16_t* title) {
        if (words_.size() % 2) {
            words_.push_back(0);  // items start on a DWORD
        }
        Dword(style | WS_CHILD | WS_VISIBLE), Dword(0);
        words_.insert(words_.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                     static_cast<WORD>(cy), id, 0xFFFF, atom});
        Text(title);
        words_.push_back(0);
        ++words_[count_];
    }
    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

private:
    void Dword(DWORD value) { words_.insert(words_.end(), {static_cast<WORD>(value), static_cast<WORD>(value >> 16)}); }
    void Text(const char16_t* text) {
        for (; *text; ++text) {
            words_.push_back(*text);
        }
        words_.push_back(0);
    }
    std::vector<WORD> words_;
    size_t count_ = 0;
};

void FillGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
    TRIVERTEX vertices[2] = {
        {rect.left, rect.top, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
         static_cast<COLOR16>(GetBValue(top) << 8), 0},
        {rect.right, rect.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
         static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

void Shape(HDC dc, COLORREF color, const RECT& rect, bool round) {
    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (round) {
        Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
    } else {
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 16, 16);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

}  // namespace

bool DemoWindow::Create() {
    WNDCLASSW info{};
    info.lpfnWndProc = Procedure;
    info.hInstance = instance_;
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    info.lpszClassName = kClassName;
    if (!RegisterClassW(&info)) {
        return false;
    }
    return CreateWindowExW(0, kClassName, u"Weather demo", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, instance_, this) != nullptr;
}

LRESULT CALLBACK DemoWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* self = static_cast<DemoWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<DemoWindow*>(GetWindowLongW(window, GWL_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DemoWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void DemoWindow::OnCreate() {
    SHINITDLGINFO init{SHIDIM_FLAGS, window_, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    SHMENUBARINFO bar{sizeof(SHMENUBARINFO), window_, 0, kDemoBar, instance_, 0, 0, nullptr, 0};
    if (SHCreateMenuBar(&bar)) {
        bar_ = bar.hwndMB;
    }
    RECT client;
    GetClientRect(window_, &client);
    CreateWindowExW(0, u"Static", u"Today in the demo town: sunny with a few clouds.", WS_CHILD | WS_VISIBLE,
                    8, 130, client.right - 16, 36, window_, nullptr, instance_, nullptr);
    edit_ = CreateWindowExW(0, u"Edit", u"Demo town", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                            8, 174, client.right - 16, 24, window_, reinterpret_cast<HMENU>(kEditId), instance_,
                            nullptr);
}

void DemoWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    RECT sky{0, 0, client.right, 120};
    FillGradient(dc, sky, RGB(40, 110, 200), RGB(170, 210, 250));
    Shape(dc, RGB(255, 200, 0), RECT{20, 20, 80, 80}, true);
    Shape(dc, RGB(255, 255, 255), RECT{70, 50, 170, 90}, false);
    Shape(dc, RGB(235, 235, 240), RECT{130, 30, 210, 70}, false);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT temperature{client.right - 80, 84, client.right - 8, 116};
    DrawTextW(dc, u"21\u00B0", -1, &temperature, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    EndPaint(window_, &paint);
}

void DemoWindow::OnCommand(UINT id) {
    switch (id) {
    case kCommandDetails:
        ShowDetails();
        break;
    case kCommandHello:
        MessageBoxW(window_, u"Hello from the demo.", u"Weather demo", MB_OK | MB_ICONINFORMATION);
        break;
    case kCommandQuit:
        DestroyWindow(window_);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK DemoWindow::DetailsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
        SHInitDialog(&init);
        SetDlgItemTextW(dialog, kEditId, reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// The details dialog shows the town from the edit box and lets the user change it.
void DemoWindow::ShowDetails() {
    WCHAR town[64];
    GetWindowTextW(edit_, town, 64);
    TemplateWriter dialog(WS_POPUP | WS_CAPTION, 140, 120, u"Details");
    dialog.Item(0x0082, 0xFFFF, SS_LEFT, 4, 4, 130, 10, u"Town:");
    dialog.Item(0x0081, kEditId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 4, 16, 130, 12, u"");
    dialog.Item(0x0080, IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 4, 34, 50, 14, u"OK");
    DialogBoxIndirectParamW(instance_, dialog.Get(), window_, DetailsProcedure, reinterpret_cast<LPARAM>(town));
}
