// The screen of the device's foreground program, captured headless and read back for pixel checks.
// Suites that include this link libpng.
#pragma once

#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ce/device.h"
#include "ce/gdi.h"

namespace ce::test {

struct DeviceScreenshot {
    int width = 0;
    int height = 0;
    std::vector<png_byte> rgb;

    bool Valid() const { return width > 0 && height > 0; }
    // Black outside the picture.
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        const size_t at = (static_cast<size_t>(y) * width + x) * 3;
        return RGB(rgb[at], rgb[at + 1], rgb[at + 2]);
    }
    // Within the tolerance on every channel (the screen is 5-6-5).
    bool Near(int x, int y, COLORREF color, int tolerance = 8) const { return ColorsNear(At(x, y), color, tolerance); }

    static bool ColorsNear(COLORREF a, COLORREF b, int tolerance = 8) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    }

    // The share of the pixels of a band of rows that differ from another screenshot's.
    double Changed(const DeviceScreenshot& other, int top, int bottom) const {
        if (!Valid() || bottom <= top) {
            return 0;
        }
        int changed = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < width; ++x) {
                changed += At(x, y) != other.At(x, y) ? 1 : 0;
            }
        }
        return static_cast<double>(changed) / (static_cast<double>(width) * (bottom - top));
    }

    // Captures the screen into the file and reads it back; invalid when either fails.
    static DeviceScreenshot Take(const std::string& path) {
        return RemoteScreenshot(path) == 0 ? Read(path) : DeviceScreenshot{};
    }
    // The same for the screen of this process.
    static DeviceScreenshot Capture(const std::string& path) {
        return CaptureScreen(path) ? Read(path) : DeviceScreenshot{};
    }

    static DeviceScreenshot Read(const std::string& path) {
        DeviceScreenshot shot;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) {
            return shot;
        }
        image.format = PNG_FORMAT_RGB;
        shot.rgb.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, shot.rgb.data(), 0, nullptr)) {
            shot.width = static_cast<int>(image.width);
            shot.height = static_cast<int>(image.height);
        } else {
            shot.rgb.clear();
        }
        return shot;
    }
};

}  // namespace ce::test
