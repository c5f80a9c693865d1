#include "user/ScreenLayout.h"

#include <algorithm>

#include "ce/device.h"

namespace ce::detail {

SIZE ScreenLayout::ScreenSize() {
    LONG width = ProfileInt("device", "screen_width", 240);
    LONG height = ProfileInt("device", "screen_height", 320);
    bool landscape = ProfileString("device", "orientation", "portrait") == "landscape";
    if (landscape != (width > height)) {
        std::swap(width, height);
    }
    return SIZE{std::clamp<LONG>(width, 64, 2048), std::clamp<LONG>(height, 64, 2048)};
}

LONG ScreenLayout::BarHeight() {
    SIZE size = ScreenSize();
    LONG shortSide = std::min(size.cx, size.cy);
    return shortSide >= 480 ? 52 : shortSide >= 320 && size.cx == size.cy ? 35 : 26;
}

bool ScreenLayout::HasTaskBar() { return GetDeviceKind() == DeviceKind::PocketPC; }

RECT ScreenLayout::TaskBar() {
    SIZE size = ScreenSize();
    return RECT{0, 0, size.cx, HasTaskBar() ? BarHeight() : 0};
}

RECT ScreenLayout::MenuBar() {
    SIZE size = ScreenSize();
    return RECT{0, size.cy - BarHeight(), size.cx, size.cy};
}

RECT ScreenLayout::InputPanel() {
    RECT bar = MenuBar();
    LONG height = BarHeight() * 80 / 26;
    return RECT{0, bar.top - height, bar.right, bar.top};
}

RECT ScreenLayout::WorkArea() {
    SIZE size = ScreenSize();
    return RECT{0, TaskBar().bottom, size.cx, size.cy - BarHeight()};
}

RECT ScreenLayout::FullScreen() {
    SIZE size = ScreenSize();
    return RECT{0, 0, size.cx, size.cy};
}

}  // namespace ce::detail
