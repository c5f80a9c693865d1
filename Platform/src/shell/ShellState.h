// What the shell keeps for the screen: each window's full-screen switches and done/cancel buttons, and
// the input panel.
#pragma once

#include "ce/shell.h"

namespace ce::detail {

class ShellState {
public:
    // SHFS_ flags a window asked for (0 when none).
    static DWORD FullScreenFlags(HWND window);
    static void SetFullScreenFlags(HWND window, DWORD flags);
    static bool HasCancelButton(HWND window);
    static void SetCancelButton(HWND window, bool cancel);
    static void Forget(HWND window);

    static bool InputPanelUp();
    static void SetInputPanelUp(bool up);
};

// The soft-key bar's own messages (posted to the bar): press button wParam as a soft key does.
constexpr UINT kPressSoftKeyMessage = 0x03FE;

}  // namespace ce::detail
