// Window classes, creation and destruction, window values, text, visibility and the window tree.
#include <algorithm>
#include <cstring>

#include "ce/kernel.h"
#include "shell/ShellState.h"
#include "user/ScreenLayout.h"
#include "user/UserInternal.h"

using namespace ce::detail;

namespace {

const HWND kDesktop = reinterpret_cast<HWND>(0x10);

void PlaceDefault(bool child, int& x, int& y, int& width, int& height) {
    RECT work = child ? RECT{0, 0, 0, 0} : ScreenLayout::WorkArea();
    if (x == CW_USEDEFAULT) {
        x = work.left;
        y = work.top;
    }
    if (width == CW_USEDEFAULT) {
        width = work.right - work.left;
        height = work.bottom - work.top;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
}

// WM_DESTROY goes to the window before its children.
void SendDestroy(HWND window) {
    SendMessageW(window, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        WmLock guard(Wm().Lock());
        if (auto w = Wm().Find(window)) {
            children = w->children;
        }
    }
    for (HWND child : children) {
        SendDestroy(child);
    }
}

void Unlink(HWND window) {
    std::vector<HWND> doomed{window};
    Wm().CollectDescendants(window, doomed);
    for (HWND handle : doomed) {
        auto w = Wm().Find(handle);
        if (!w) {
            continue;
        }
        if (auto queue = Wm().QueueOf(w->threadId)) {
            queue->KillTimers(handle);
            queue->ForgetWindow(handle);
            if (queue->focus == handle) {
                queue->focus = nullptr;
            }
            if (queue->capture == handle) {
                queue->capture = nullptr;
            }
            if (queue->active == handle) {
                queue->active = nullptr;
            }
        }
        if (w->IsChild()) {
            if (auto parent = Wm().Find(w->parent)) {
                auto& siblings = parent->children;
                siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
            }
        }
        ReleaseSurface(*w);
        ShellState::Forget(handle);
        Wm().Remove(handle);
    }
}

LONG_PTR* DialogSlot(Window& w, int index) {
    switch (index) {
    case DWL_MSGRESULT:
        return &w.messageResult;
    case DWL_USER:
        return &w.dialogUser;
    default:
        return nullptr;
    }
}

}  // namespace

extern "C" {

CE_API ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RegisterSystemClasses();
    WmLock guard(Wm().Lock());
    auto existing = Wm().FindClass(windowClass->lpszClassName, windowClass->hInstance);
    if (existing && (existing->system || existing->info.hInstance == windowClass->hInstance)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return Wm().AddClass(*windowClass, false);
}

CE_API BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance) {
    WmLock guard(Wm().Lock());
    if (!Wm().RemoveClass(className, instance)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    return TRUE;
}

CE_API BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, LPWNDCLASSW out) {
    RegisterSystemClasses();
    WmLock guard(Wm().Lock());
    auto windowClass = Wm().FindClass(className, instance);
    if (!windowClass || (!windowClass->system && windowClass->info.hInstance != instance)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (out) {
        *out = windowClass->info;
        out->lpszClassName = windowClass->name.c_str();
    }
    return TRUE;
}

CE_API int GetClassNameW(HWND window, LPWSTR buffer, int size) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w || buffer == nullptr || size <= 0) {
        return 0;
    }
    lstrcpynW(buffer, w->windowClass->name.c_str(), size);
    return lstrlenW(buffer);
}

CE_API HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID parameter) {
    RegisterSystemClasses();
    bool child = (style & WS_CHILD) != 0;
    auto w = std::make_shared<Window>();
    {
        WmLock guard(Wm().Lock());
        w->windowClass = Wm().FindClass(className, instance);
        if (!w->windowClass) {
            SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
        if (child && !Wm().Find(parent)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    PlaceDefault(child, x, y, width, height);
    w->procedure = w->windowClass->info.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->rect = RECT{x, y, x + width, y + height};
    w->text = title ? title : u"";
    w->instance = instance;
    w->threadId = GetCurrentThreadId();
    w->extra.resize(static_cast<size_t>(std::max(w->windowClass->info.cbWndExtra, 0)));
    Wm().CurrentQueue();
    HWND handle;
    {
        WmLock guard(Wm().Lock());
        if (child) {
            w->parent = parent;
            w->id = reinterpret_cast<LONG_PTR>(menuOrId);
        } else {
            w->owner = parent ? Wm().TopLevelOf(parent) : nullptr;
            w->menu = menuOrId;
        }
        handle = Wm().Insert(w);
        if (child) {
            Wm().Find(parent)->children.push_back(handle);  // new children go to the bottom: creation order is tab order
        } else {
            Wm().TopLevels().insert(Wm().TopLevels().begin(), handle);
        }
    }
    CREATESTRUCTW create{parameter, instance, menuOrId, parent, height, width, y, x, static_cast<LONG>(style),
                         title, className, exStyle};
    if (CallProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_CANCELLED);
        return nullptr;
    }
    if (!IsWindow(handle)) {
        return nullptr;
    }
    SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    SendMessageW(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    if (!child) {
        PublishTopLevel(handle);
    }
    if (style & WS_VISIBLE) {
        ShowWindow(handle, SW_SHOW);
    }
    return IsWindow(handle) ? handle : nullptr;
}

CE_API BOOL DestroyWindow(HWND window) {
    std::vector<HWND> owned;
    bool topLevel;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w || w->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        w->destroying = true;
        topLevel = !w->IsChild();
        for (HWND other : Wm().TopLevels()) {
            auto o = Wm().Find(other);
            if (o && o->owner == window) {
                owned.push_back(other);
            }
        }
    }
    for (HWND other : owned) {
        DestroyWindow(other);
    }
    ShowWindow(window, SW_HIDE);
    SendDestroy(window);
    {
        WmLock guard(Wm().Lock());
        Unlink(window);
    }
    if (topLevel) {
        WithdrawTopLevel(window);
    }
    Wm().MarkScreenChanged();
    return TRUE;
}

CE_API BOOL IsWindow(HWND window) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    return w ? TRUE : FALSE;
}

CE_API BOOL IsWindowVisible(HWND window) {
    WmLock guard(Wm().Lock());
    return Wm().IsShown(window) ? TRUE : FALSE;
}

CE_API BOOL IsWindowEnabled(HWND window) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

CE_API BOOL IsChild(HWND parent, HWND window) {
    WmLock guard(Wm().Lock());
    return Wm().IsDescendant(parent, window) ? TRUE : FALSE;
}

CE_API BOOL EnableWindow(HWND window, BOOL enable) {
    bool wasDisabled;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return FALSE;
        }
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) {
            return wasDisabled;
        }
        w->style = enable ? (w->style & ~WS_DISABLED) : (w->style | WS_DISABLED);
    }
    SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    InvalidateRect(window, nullptr, TRUE);
    return wasDisabled ? TRUE : FALSE;
}

CE_API BOOL ShowWindow(HWND window, int command) {
    bool wasVisible, child;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w) {
            return FALSE;
        }
        wasVisible = w->IsVisibleFlag();
        child = w->IsChild();
    }
    bool hide = command == SW_HIDE || command == SW_MINIMIZE;
    bool activate = !child && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !hide;
    if (hide) {
        if (!wasVisible) {
            return FALSE;
        }
        SendMessageW(window, WM_SHOWWINDOW, FALSE, 0);
        {
            WmLock guard(Wm().Lock());
            auto w = Wm().Find(window);
            if (!w) {
                return TRUE;
            }
            w->style &= ~WS_VISIBLE;
            if (child) {
                // Siblings below show through where it was, as well as the parent.
                InvalidateWindow(w->parent, &w->rect, true, true);
            }
        }
        if (!child) {
            ActivateNextAfter(window);
        }
        Wm().MarkScreenChanged();
        return TRUE;
    }
    if (!wasVisible) {
        SendMessageW(window, WM_SHOWWINDOW, TRUE, 0);
        {
            WmLock guard(Wm().Lock());
            auto w = Wm().Find(window);
            if (!w) {
                return FALSE;
            }
            w->style |= WS_VISIBLE;
            if (!child) {
                EnsureSurface(window);
            }
            InvalidateWindow(window, nullptr, true, true);
        }
        Wm().MarkScreenChanged();
    }
    if (activate && IsWindowEnabled(window)) {
        ActivateWindow(window, WA_ACTIVE);
    }
    return wasVisible ? TRUE : FALSE;
}

CE_API HWND GetParent(HWND window) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return nullptr;
    }
    return w->IsChild() ? w->parent : w->owner;
}

CE_API HWND SetParent(HWND window, HWND parent) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    auto p = Wm().Find(parent);
    if (!w || !w->IsChild() || !p) {
        return nullptr;
    }
    // A window under itself would make every walk up or down the tree endless.
    if (parent == window || Wm().IsDescendant(window, parent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HWND old = w->parent;
    if (auto oldParent = Wm().Find(old)) {
        auto& siblings = oldParent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        InvalidateWindow(old, &w->rect, true, true);
    }
    w->parent = parent;
    p->children.insert(p->children.begin(), window);
    InvalidateWindow(window, nullptr, true, true);
    return old;
}

CE_API HWND GetWindow(HWND window, UINT relation) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        return nullptr;
    }
    if (relation == GW_CHILD) {
        return w->children.empty() ? nullptr : w->children.front();
    }
    if (relation == GW_OWNER) {
        return w->IsChild() ? nullptr : w->owner;
    }
    std::vector<HWND>* siblings = &Wm().TopLevels();
    if (w->IsChild()) {
        siblings = &Wm().Find(w->parent)->children;
    }
    auto it = std::find(siblings->begin(), siblings->end(), window);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings->front();
    case GW_HWNDLAST:
        return siblings->back();
    case GW_HWNDNEXT:
        return it != siblings->end() && it + 1 != siblings->end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV:
        return it != siblings->begin() && it != siblings->end() ? *(it - 1) : nullptr;
    default:
        return nullptr;
    }
}

CE_API HWND GetDesktopWindow(void) { return kDesktop; }

CE_API DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (processId) {
        *processId = w ? GetCurrentProcessId() : WindowManager::ProcessOfHandle(window);
    }
    return w ? w->threadId : 0;
}

CE_API LONG_PTR GetWindowLongW(HWND window, int index) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->procedure);
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent : w->owner);
    case GWL_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWL_USERDATA:
        return w->userData;
    default:
        break;
    }
    if (w->isDialog && index == DWL_DLGPROC) {
        return reinterpret_cast<LONG_PTR>(w->dialogProcedure);
    }
    if (w->isDialog) {
        if (LONG_PTR* slot = DialogSlot(*w, index)) {
            return *slot;
        }
    }
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    LONG_PTR value;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

CE_API LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value) {
    WmLock guard(Wm().Lock());
    auto w = Wm().Find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
    case GWL_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->procedure);
        if (value == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->procedure = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWL_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWL_HWNDPARENT:
        old = reinterpret_cast<LONG_PTR>(w->owner);
        if (!w->IsChild()) {
            w->owner = reinterpret_cast<HWND>(value);
        }
        return old;
    case GWL_ID:
        old = w->id;
        w->id = value;
        return old;
    case GWL_STYLE:
        old = static_cast<LONG_PTR>(w->style);
        w->style = static_cast<DWORD>(value);
        return old;
    case GWL_EXSTYLE:
        old = static_cast<LONG_PTR>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        return old;
    case GWL_USERDATA:
        old = w->userData;
        w->userData = value;
        return old;
    default:
        break;
    }
    if (w->isDialog && index == DWL_DLGPROC) {
        old = reinterpret_cast<LONG_PTR>(w->dialogProcedure);
        w->dialogProcedure = reinterpret_cast<DLGPROC>(value);
        return old;
    }
    if (w->isDialog) {
        if (LONG_PTR* slot = DialogSlot(*w, index)) {
            old = *slot;
            *slot = value;
            return old;
        }
    }
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
}

CE_API LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

CE_API BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
}

CE_API int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = 0;
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

CE_API int GetWindowTextLengthW(HWND window) { return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)); }

CE_API HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    {
        WmLock guard(Wm().Lock());
        for (HWND handle : Wm().TopLevels()) {
            auto w = Wm().Find(handle);
            if (!w || w->destroying) {
                continue;
            }
            bool classMatches = className == nullptr || lstrcmpiW(w->windowClass->name.c_str(), className) == 0;
            bool titleMatches = title == nullptr || w->text == title;
            if (classMatches && titleMatches) {
                return handle;
            }
        }
    }
    return RemoteFindWindow(className, title);
}

}  // extern "C"
