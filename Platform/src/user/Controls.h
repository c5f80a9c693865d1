// The window procedures of the standard controls and of popup menus.
#pragma once

#include "ce/user.h"

namespace ce::detail {

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The class name of popup menu windows.
constexpr const char16_t* kPopupMenuClass = u"#menu";

}  // namespace ce::detail
