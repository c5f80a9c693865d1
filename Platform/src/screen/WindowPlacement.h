// Where the desktop window goes on the desktop: the device screen at the largest whole scale that
// fits the desktop's usable area (1 where nothing bigger fits), inside that area.
#pragma once

#include "ce/types.h"
#include "screen/ScreenGeometry.h"

namespace ce::screen {

struct DesktopRect {
    int x;
    int y;
    int width;
    int height;
};

// scale: window pixels per device pixel, or 0 for the largest that fits. A window that is larger than
// the area even at that scale is shrunk, keeping the screen's proportions, so that all of it shows.
CE_API DesktopRect PlaceWindow(ScreenSize screen, DesktopRect usable, int scale);

}  // namespace ce::screen
