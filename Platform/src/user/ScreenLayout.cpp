#include "user/ScreenLayout.h"

#include "ce/device.h"
#include "screen/ScreenGeometry.h"

namespace ce::detail {

SIZE ScreenLayout::ScreenSize() {
    ce::screen::ScreenSize size = ce::screen::CurrentScreenSize();
    return SIZE{size.width, size.height};
}

LONG ScreenLayout::BarHeight() { return GetSystemMetrics(SM_CYMENU); }

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
