// Where the parts of the device screen lie: the task bar at the top (Pocket PC), the soft-key bar at
// the bottom, the input panel above it, and the work area between them.
#pragma once

#include "ce/user.h"

namespace ce::detail {

class ScreenLayout {
public:
    static SIZE ScreenSize();
    // The task bar and the soft-key bar: the screen's menu height.
    static LONG BarHeight();
    static bool HasTaskBar();
    static RECT TaskBar();
    static RECT MenuBar();
    static RECT InputPanel();
    static RECT WorkArea();
    static RECT FullScreen();
};

}  // namespace ce::detail
