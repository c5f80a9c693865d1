// The window procedures of the standard controls and of popup menus.
#pragma once

#include "ce/user.h"

namespace ce::detail {

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What the controls share: their parent's colour answer (a brush, or the default when it gives none),
// their font, and notifications to the parent as WM_COMMAND.
HBRUSH ControlBrush(HWND control, HDC dc, UINT colorMessage);
HFONT ControlFont(HWND control);
void NotifyParent(HWND control, WORD code);

// The class name of popup menu windows.
constexpr const char16_t* kPopupMenuClass = u"#menu";

}  // namespace ce::detail
