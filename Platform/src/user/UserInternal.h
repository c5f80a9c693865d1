// Calls between the files of the window manager.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "user/WindowManager.h"

namespace ce::detail {

// Runs the window procedure on the calling thread (no lock held).
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the messages that other threads sent to the calling thread.
void DispatchSentMessages(const std::shared_ptr<ThreadQueue>& queue);

// The standard classes (static, button, edit, combo box, dialog, popup menu); input routing starts too.
void RegisterSystemClasses();
void StartInputRouting();
// Hands the screen its composer (and, when a back end shows it, keeps it up to date).
void StartScreen();

// Activation and focus of the thread that owns the window.
void ActivateWindow(HWND window, int how);
// After a window was hidden or destroyed: activates the next top-level window of its thread.
void ActivateNextAfter(HWND window);

// Painting.
void InvalidateWindow(HWND window, const RECT* rect, bool erase, bool children);
HWND FindWindowToPaint(DWORD threadId, const MessageFilter& filter);
// The backing surface of a top-level window, made or resized to the window's size.
void EnsureSurface(HWND topLevel);
void ReleaseSurface(Window& window);

// Dialogs: true when the dialog's modal loop should end.
bool DialogEnded(HWND dialog);
HWND NextTabItem(HWND dialog, HWND control, bool previous);

// A window manager's own message: activates the window it is posted to (bit 0 of wParam: its last
// active popup), on the window's thread. Other processes ask for the foreground this way.
constexpr UINT kActivateMessage = 0x03FF;

// The device screen as the user sees it, written as a PNG file.
bool WriteScreenPng(const std::string& hostPath);

// Cross-process windows (through the device server).
bool RemotePostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RemoteBroadcast(UINT message, WPARAM wParam, LPARAM lParam);
HWND RemoteFindWindow(LPCWSTR className, LPCWSTR title);
bool RemoteSetForeground(HWND window);
void PublishTopLevel(HWND window);
void WithdrawTopLevel(HWND window);
std::optional<int64_t> CallServerForForeground();

// Popup menus: whether one is open (the Back key then closes it), and the soft-key bar's own run of one
// (the bar sent WM_INITMENUPOPUP itself).
bool PopupMenuOpen();
UINT TrackPopupMenuForBar(HMENU menu, UINT flags, int x, int y, HWND owner);

// The soft-key bar of a window (null when none) and the key it handles.
HWND MenuBarOf(HWND window);
bool MenuBarHandleKey(HWND foreground, UINT virtualKey, bool down);

// Helpers.
RECT ClientRectOf(const Window& window);
bool RectEmpty(const RECT& r);
RECT Intersect(const RECT& a, const RECT& b);
RECT Union(const RECT& a, const RECT& b);
bool PointIn(const RECT& r, POINT p);
RECT Offset(RECT r, LONG dx, LONG dy);
// The pen position of a mouse message: signed 16-bit halves, negative left of or above the window.
POINT PointFromLParam(LPARAM lParam);

}  // namespace ce::detail
