// Dialogs from in-memory templates, the dialog manager's keys, and modal runs.
#include <algorithm>

#include "ce/kernel.h"
#include "user/DialogTemplate.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace {

// Dialog units to pixels: the base units of the dialog font on a 240-class screen, scaled with the screen.
POINT BaseUnits() {
    SIZE screen = ScreenLayout::ScreenSize();
    LONG scale = std::min(screen.cx, screen.cy) >= 480 ? 2 : 1;
    return POINT{5 * scale, 13 * scale};
}

RECT ToPixels(const RECT& units) {
    POINT base = BaseUnits();
    return RECT{units.left * base.x / 4, units.top * base.y / 8, units.right * base.x / 4, units.bottom * base.y / 8};
}

HFONT DialogFont(const DialogTemplate& dialog) {
    if (!(dialog.style & DS_SETFONT) || dialog.pointSize == 0) {
        return nullptr;
    }
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(dialog.pointSize) * 96 / 72;
    font.lfWeight = FW_NORMAL;
    lstrcpynW(font.lfFaceName, dialog.faceName.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

bool IsTabStop(HWND window) {
    LONG_PTR style = GetWindowLongW(window, GWL_STYLE);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

HWND FirstTabStop(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsTabStop(child)) {
            return child;
        }
    }
    return nullptr;
}

void RestoreFocus(HWND dialog) {
    HWND saved;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(dialog);
        saved = w ? w->savedFocus : nullptr;
    }
    HWND focus = GetFocus();
    if (focus == dialog || IsChild(dialog, focus)) {
        return;
    }
    if (!(saved && IsChild(dialog, saved) && IsWindowVisible(saved) && IsWindowEnabled(saved))) {
        saved = FirstTabStop(dialog);
    }
    SetFocus(saved ? saved : dialog);
}

void SaveFocus(HWND dialog) {
    HWND focus = GetFocus();
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(dialog);
    if (w && Wm().IsDescendant(dialog, focus)) {
        w->savedFocus = focus;
    }
}

bool ReturnsResultDirectly(UINT message) {
    return message == WM_INITDIALOG || (message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC);
}

HWND CreateDialogWindow(HINSTANCE instance, LPCDLGTEMPLATEW data, HWND owner, DLGPROC procedure, LPARAM parameter,
                        bool modal) {
    DialogTemplate dialog;
    if (!dialog.Parse(data)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    bool child = (dialog.style & WS_CHILD) != 0;
    RECT rect = ToPixels(dialog.units);
    RECT work = ScreenLayout::WorkArea();
    if (child) {
        // placed in the parent's client area as given
    } else if (dialog.style & DS_CENTER) {
        rect = Offset(rect, (work.left + work.right - (rect.right - rect.left)) / 2 - rect.left,
                      (work.top + work.bottom - (rect.bottom - rect.top)) / 2 - rect.top);
    } else {
        rect = Offset(rect, work.left, work.top);
    }
    LPCWSTR className = dialog.className.empty() ? u"Dialog" : dialog.className.c_str();
    HWND window = CreateWindowExW(dialog.exStyle, className, dialog.title.c_str(), dialog.style & ~WS_VISIBLE,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                                  instance, nullptr);
    if (!window) {
        return nullptr;
    }
    HFONT font = DialogFont(dialog);
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        w->isDialog = true;
        w->dialogProcedure = procedure;
        w->font = font;
    }
    for (const DialogTemplateItem& item : dialog.items) {
        RECT r = ToPixels(item.units);
        HWND control = CreateWindowExW(item.exStyle, item.className.c_str(), item.title.c_str(), item.style | WS_CHILD,
                                       r.left, r.top, r.right - r.left, r.bottom - r.top, window,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance,
                                       item.data.empty() ? nullptr : const_cast<BYTE*>(item.data.data()));
        if (!control) {
            DestroyWindow(window);
            if (font) {
                DeleteObject(font);
            }
            SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
        if (font) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        }
    }
    HWND first = FirstTabStop(window);
    if (SendMessageW(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), parameter) && first && IsWindow(window)) {
        WmLock guard(Wm().Lock());
        if (auto w = Wm().Find(window)) {
            w->savedFocus = first;
        }
    }
    if (!modal && (dialog.style & WS_VISIBLE) && IsWindow(window)) {
        ShowWindow(window, SW_SHOW);
    }
    return IsWindow(window) ? window : nullptr;
}

// The run disables the owner only when it was enabled and the dialog did not end while it was made,
// and only an owner it disabled is enabled again (by EndDialog or at the end of the run).
INT_PTR RunModal(HWND dialog, HWND owner) {
    {
        WmLock guard(Wm().Lock());
        owner = owner ? Wm().TopLevelOf(owner) : nullptr;
    }
    if (!owner || !IsWindowEnabled(owner) || DialogEnded(dialog)) {
        owner = nullptr;
    } else {
        EnableWindow(owner, FALSE);
        WmLock guard(Wm().Lock());
        Wm().Find(dialog)->modalOwner = owner;
    }
    if (!DialogEnded(dialog)) {
        ShowWindow(dialog, SW_SHOW);
    }
    while (!DialogEnded(dialog)) {
        MSG message;
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop ends too
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    INT_PTR result = -1;
    {
        WmLock guard(Wm().Lock());
        if (auto w = Wm().Find(dialog)) {
            result = w->dialogEnded ? w->dialogResult : IDCANCEL;
            owner = w->modalOwner;
            w->modalOwner = nullptr;
        }
    }
    if (owner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    DestroyWindow(dialog);
    if (font) {
        DeleteObject(font);
    }
    return result;
}

void MoveFocus(HWND dialog, bool previous) {
    HWND next = NextTabItem(dialog, GetFocus(), previous);
    if (next) {
        SetFocus(next);
    }
}

}  // namespace

namespace ce::detail {

bool DialogEnded(HWND dialog) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(dialog);
    return !w || w->dialogEnded || w->destroying;
}

HWND NextTabItem(HWND dialog, HWND control, bool previous) {
    std::vector<HWND> stops;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsTabStop(child) || child == control) {
            stops.push_back(child);
        }
    }
    if (stops.empty()) {
        return nullptr;
    }
    auto it = std::find(stops.begin(), stops.end(), control);
    if (it == stops.end()) {
        return previous ? stops.back() : stops.front();
    }
    size_t index = static_cast<size_t>(it - stops.begin());
    size_t count = stops.size();
    for (size_t step = 1; step <= count; ++step) {
        HWND candidate = stops[(index + (previous ? count - step : step)) % count];
        if (IsTabStop(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

}  // namespace ce::detail

extern "C" {

CE_API LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DLGPROC procedure = nullptr;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(dialog);
        if (!w) {
            return 0;
        }
        procedure = w->dialogProcedure;
    }
    INT_PTR handled = procedure ? procedure(dialog, message, wParam, lParam) : 0;
    if (handled) {
        return ReturnsResultDirectly(message) ? handled : GetWindowLongW(dialog, DWL_MSGRESULT);
    }
    switch (message) {
    case WM_INITDIALOG:
        return 0;
    case WM_CLOSE:
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            SaveFocus(dialog);
        } else {
            RestoreFocus(dialog);
        }
        return 0;
    case WM_SETFOCUS:
        RestoreFocus(dialog);
        return 0;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
        RECT client;
        GetClientRect(dialog, &client);
        FillRect(dc, &client, brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam)) {
            SetFocus(reinterpret_cast<HWND>(wParam));
        } else {
            MoveFocus(dialog, wParam != 0);
        }
        return 0;
    default:
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

CE_API INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                       DLGPROC procedure, LPARAM parameter) {
    HWND dialog = CreateDialogWindow(instance, dialogTemplate, owner, procedure, parameter, true);
    if (!dialog) {
        return -1;
    }
    return RunModal(dialog, owner);
}

CE_API HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                       DLGPROC procedure, LPARAM parameter) {
    return CreateDialogWindow(instance, dialogTemplate, owner, procedure, parameter, false);
}

// Ends the dialog's modal run: the owner comes back and is activated, and the run destroys the dialog
// once the procedure that called this has returned.
CE_API BOOL EndDialog(HWND dialog, INT_PTR result) {
    HWND owner;
    DWORD threadId;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(dialog);
        if (!w || !w->isDialog) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        w->dialogEnded = true;
        w->dialogResult = result;
        owner = w->modalOwner;
        w->modalOwner = nullptr;
        threadId = w->threadId;
    }
    if (owner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    ShowWindow(dialog, SW_HIDE);
    if (auto queue = Wm().QueueOf(threadId)) {
        queue->Wake();
    }
    return TRUE;
}

CE_API HWND GetDlgItem(HWND dialog, int id) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(dialog);
    if (!w) {
        return nullptr;
    }
    for (HWND child : w->children) {
        auto c = Wm().Find(child);
        if (c && c->id == id) {
            return child;
        }
    }
    return nullptr;
}

CE_API int GetDlgCtrlID(HWND window) { return static_cast<int>(GetWindowLongW(window, GWL_ID)); }

CE_API LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

CE_API BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextW(control, text) : FALSE;
}

CE_API UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (buffer && size > 0) {
            buffer[0] = 0;
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(control, buffer, size));
}

CE_API BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        return FALSE;
    }
    SendMessageW(control, BM_SETCHECK, check, 0);
    return TRUE;
}

CE_API UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

CE_API HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    return NextTabItem(dialog, control, previous != FALSE);
}

// The dialog manager: Tab moves the focus, Enter and Escape become IDOK and IDCANCEL, unless the
// window with the focus asks for the key (WM_GETDLGCODE).
CE_API BOOL IsDialogMessageW(HWND dialog, LPMSG message) {
    if (message == nullptr || !IsWindow(dialog)) {
        return FALSE;
    }
    if (message->hwnd != dialog && !IsChild(dialog, message->hwnd)) {
        return FALSE;
    }
    if (message->message == WM_KEYDOWN || message->message == WM_CHAR) {
        UINT key = static_cast<UINT>(message->wParam);
        LRESULT code = SendMessageW(message->hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(message));
        bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
        if (!wantsAll && message->message == WM_KEYDOWN) {
            if (key == VK_TAB && !(code & DLGC_WANTTAB)) {
                MoveFocus(dialog, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
                return TRUE;
            }
            if (key == VK_RETURN || key == VK_ESCAPE) {
                int id = key == VK_RETURN ? IDOK : IDCANCEL;
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
                return TRUE;
            }
        }
        if (!wantsAll && message->message == WM_CHAR && (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE)) {
            return TRUE;
        }
    }
    TranslateMessage(message);
    DispatchMessageW(message);
    return TRUE;
}

}  // extern "C"
