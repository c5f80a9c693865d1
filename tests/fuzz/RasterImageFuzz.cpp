// A raster picture through the decoders the program uses: the imaging factory of the sprite and the
// image decompressor behind the map check, in the depths the screens ask for, then drawn scaled.
#include <cstddef>
#include <cstdint>

#include "CBitmapDC.h"
#include "CSprite.h"
#include "CVOImage.h"
#include "ce/com.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    const auto length = static_cast<DWORD>(size);
    CVOImage decompressed;
    if (decompressed.Load(nullptr, data, length)) {
        DeleteObject(decompressed.TakeBitmap());
    }
    for (int depth : {0, 24}) {
        if (HBITMAP bitmap = CSprite::DecodeImage(data, length, depth)) {
            DeleteObject(bitmap);
        }
    }
    CSprite sprite;
    if (!sprite.LoadFromMemory(data, length)) {
        return 0;
    }
    CBitmapDC screen;
    if (screen.Create(64, 48, 16)) {
        RECT target{0, 0, 64, 48};
        RECT source{0, 0, sprite.GetWidth(), sprite.GetHeight() / 2};
        sprite.Draw(screen.DC(), &target, nullptr);
        sprite.Draw(screen.DC(), &target, &source);
    }
    return 0;
}
