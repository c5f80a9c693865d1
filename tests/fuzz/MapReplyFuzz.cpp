// A map reply as the maps updater takes it: split at its first NUL, the picture decoded once to see
// that the device can show it, kept as the map's cache file, then loaded from that file and drawn by
// the maps screen as it shows a map.
#include <cstddef>
#include <cstdint>
#include <string>

#include "CBitmapDC.h"
#include "CSprite.h"
#include "CVOImage.h"
#include "FuzzDevice.h"
#include "Weather/CAtomicFileWriter.h"
#include "Weather/CMapsUpdater.h"
#include "ce/com.h"
#include "ce/kernel.h"

namespace {

bool IsDecodable(const BYTE* picture, DWORD size) {
    CVOImage image;
    if (!image.Load(nullptr, picture, size)) {
        return false;
    }
    DeleteObject(image.TakeBitmap());
    return true;
}

void ShowMap(LPCWSTR path) {
    CSprite picture;
    if (!picture.LoadFromFile(path)) {
        return;
    }
    CSprite shown;
    shown.Assign(picture);
    CBitmapDC screen;
    if (screen.Create(240, 320, 16)) {
        RECT whole{0, 0, 240, 320};
        RECT part{picture.GetWidth() / 4, picture.GetHeight() / 4, picture.GetWidth() / 2, picture.GetHeight() / 2};
        shown.Draw(screen.DC(), &whole, nullptr);
        shown.Draw(screen.DC(), &whole, &part);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    fuzz::FuzzDevice::Get().Write("Program Files/Skyvane/Cache/.keep", nullptr, 0);
    const BYTE* picture = nullptr;
    DWORD pictureSize = 0;
    if (!CMapsUpdater::SplitMapReply(data, static_cast<DWORD>(size), &picture, &pictureSize) ||
        !IsDecodable(picture, pictureSize)) {
        return 0;
    }
    std::u16string path;
    if (CMapsUpdater::GetMapCachePath(u"EUROPE_SAT.1", &path) &&
        CAtomicFileWriter::Replace(path.c_str(), picture, pictureSize)) {
        ShowMap(path.c_str());
    }
    return 0;
}
