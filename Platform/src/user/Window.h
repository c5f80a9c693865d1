// One window of the process's window table, and its class.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ce/user.h"

namespace ce::detail {

struct WindowClass {
    std::u16string name;
    WNDCLASSW info{};
    ATOM atom = 0;
    bool system = false;  // the standard controls and dialogs: found whatever the instance
};

// State that a built-in window procedure keeps with its window (controls, menus, the soft-key bar).
struct WindowExtension {
    virtual ~WindowExtension() = default;
};

enum class WindowLayer { Normal, SoftKeyBar, PopupMenu };

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows only
    HWND owner = nullptr;   // top-level windows only
    std::vector<HWND> children;  // top of the z-order first
    RECT rect{};                 // in the parent's client coordinates, or on the screen for a top-level
    std::u16string text;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    DWORD threadId = 0;
    std::vector<BYTE> extra;
    HMENU menu = nullptr;
    bool destroying = false;
    bool neverActive = false;
    WindowLayer layer = WindowLayer::Normal;  // the screen shows bars and popup menus above the windows  // the soft-key bar and popup menus never take the activation

    // Dialogs.
    bool isDialog = false;
    DLGPROC dialogProcedure = nullptr;
    LONG_PTR messageResult = 0;
    LONG_PTR dialogUser = 0;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    HWND savedFocus = nullptr;
    HWND modalOwner = nullptr;  // enabled again when the modal dialog ends
    HFONT font = nullptr;

    // Painting: the invalid part of the client area, as a bounding rectangle.
    bool hasUpdate = false;
    bool updateErase = false;
    RECT update{};

    // Top-level windows: the picture the window paints into, and its last active owned popup.
    HBITMAP surface = nullptr;
    HWND lastActivePopup = nullptr;

    std::shared_ptr<WindowExtension> extension;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool IsVisibleFlag() const { return (style & WS_VISIBLE) != 0; }
    LONG Width() const { return rect.right - rect.left; }
    LONG Height() const { return rect.bottom - rect.top; }
};

}  // namespace ce::detail
