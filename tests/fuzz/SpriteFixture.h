// A small sprite package that the render cache target and its seeds share: two pictures, rendered at
// the sizes the target asks for, so that the seeds' cache records are the ones the target looks up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CSpritePackage.h"
#include "SpritePackageFile.h"
#include "ce/gdi.h"

namespace fuzz {

struct RenderedSize {
    int entry;
    int width;
    int height;
};
constexpr RenderedSize kCachedSizes[] = {{0, 16, 16}, {1, 24, 20}, {0, 9, 30}};
constexpr uint8_t kTintHue = 40;
constexpr uint8_t kTintSaturation = 200;
constexpr int16_t kTintShift = -30;

inline std::vector<uint8_t> FixturePackage() {
    std::vector<SpritePackageFile::Picture> pictures = {
        {16, 16,
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\">"
         "<circle cx=\"8\" cy=\"8\" r=\"6\" fill=\"#f0a020\" stroke=\"#603000\"/></svg>"},
        {24, 20,
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"20\" viewBox=\"0 0 24 20\">"
         "<linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"#00f\"/><stop offset=\"1\" stop-color=\"#0ff\"/>"
         "</linearGradient><path d=\"M2 18 L12 2 L22 18 Z\" fill=\"url(#g)\" opacity=\"0.8\"/></svg>"},
    };
    std::vector<uint8_t> bytes;
    SpritePackageFile::Build(pictures, bytes);
    return bytes;
}

// A picture as the skin draws it: rendered, tinted, and both drawn whole and in part onto a screen.
inline void RenderAndDraw(CSpritePackage& package, int entry, int width, int height) {
    int plain = package.Render(entry, width, height);
    if (plain == CSpritePackage::kNoImage) {
        return;
    }
    int tinted = package.Colorize(plain, kTintHue, kTintSaturation, kTintShift);
    int shownWidth = 0;
    int shownHeight = 0;
    package.GetImageSize(plain, &shownWidth, &shownHeight);
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 48, 48);
    HGDIOBJ old = SelectObject(screen, canvas);
    package.Draw(plain, screen, 2, 2, 0, 0, 0, 0);
    package.Draw(tinted, screen, -3, 5, shownWidth / 2, shownHeight, shownWidth / 3, 1);
    SelectObject(screen, old);
    DeleteObject(canvas);
    DeleteDC(screen);
}

}  // namespace fuzz
