#include "screen/ScreenGeometry.h"

#include <algorithm>

#include "ce/device.h"

namespace ce::screen {
namespace {

constexpr int kMaxSide = 4096;

int Side(const char* key, int fallback) {
    long value = ce::ProfileInt("device", key, fallback);
    return value > 0 && value <= kMaxSide ? static_cast<int>(value) : fallback;
}

}  // namespace

ScreenSize CurrentScreenSize() {
    int width = Side("screen_width", 240);
    int height = Side("screen_height", 320);
    bool landscape = ce::ProfileString("device", "orientation", "portrait") == "landscape";
    if ((landscape && width < height) || (!landscape && width > height)) {
        std::swap(width, height);
    }
    return ScreenSize{width, height};
}

int ScreenDpi() {
    ScreenSize size = CurrentScreenSize();
    int shorter = std::min(size.width, size.height);
    if (shorter <= 240) {
        return 96;
    }
    if (shorter < 480) {
        return 131;
    }
    return 192 * shorter / 480;
}

}  // namespace ce::screen
