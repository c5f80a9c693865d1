#include "screen/WindowPlacement.h"

#include <algorithm>

namespace ce::screen {
namespace {

int LargestFittingScale(ScreenSize screen, DesktopRect usable) {
    return std::max(1, std::min(usable.width / screen.width, usable.height / screen.height));
}

// Shrinks a size to fit the area with its proportions kept.
ScreenSize FitInside(ScreenSize size, DesktopRect usable) {
    if (size.width <= usable.width && size.height <= usable.height) {
        return size;
    }
    // Compare width/height ratios without rounding: the narrower dimension limits.
    if (static_cast<long>(size.width) * usable.height > static_cast<long>(size.height) * usable.width) {
        return ScreenSize{usable.width, std::max(1, size.height * usable.width / size.width)};
    }
    return ScreenSize{std::max(1, size.width * usable.height / size.height), usable.height};
}

}  // namespace

DesktopRect PlaceWindow(ScreenSize screen, DesktopRect usable, int scale) {
    if (usable.width <= 0 || usable.height <= 0) {
        int chosen = std::max(scale, 1);
        return DesktopRect{0, 0, screen.width * chosen, screen.height * chosen};
    }
    if (scale <= 0) {
        scale = LargestFittingScale(screen, usable);
    }
    ScreenSize size = FitInside(ScreenSize{screen.width * scale, screen.height * scale}, usable);
    return DesktopRect{usable.x + (usable.width - size.width) / 2, usable.y + (usable.height - size.height) / 2,
                       size.width, size.height};
}

}  // namespace ce::screen
