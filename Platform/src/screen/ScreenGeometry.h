// The device screen's size and density, from the device profile.
#pragma once

#include "ce/types.h"

namespace ce::screen {

struct ScreenSize {
    int width;
    int height;
};

// The profile's screen_width x screen_height turned to its orientation: "landscape" puts the long side
// across, "portrait" (the default) puts it down.
CE_API ScreenSize CurrentScreenSize();
// Pixels per inch by the screen's class (its shorter side): 96 up to 240, 131 for 320, 192 for 480.
int ScreenDpi();

}  // namespace ce::screen
