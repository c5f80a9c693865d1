// The task bar along the top of a Pocket PC screen: the start icon, the title of the foreground window,
// the time, and the OK (or close) button of a full-screen dialog.
#pragma once

#include "ce/user.h"

namespace ce::detail {

class TaskBar {
public:
    // Whether the foreground window leaves the task bar on the screen.
    static bool Shown(HWND foreground);
    static void Draw(HDC dc, HWND foreground);
    // A tap on the bar: the OK button sends IDOK (IDCANCEL for a close button) to the foreground window.
    // True when the tap was the bar's.
    static bool Tap(POINT screen, HWND foreground);
};

}  // namespace ce::detail
