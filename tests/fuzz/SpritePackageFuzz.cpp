// A sprite package (.pak) as the skin opens it: its index read, its first pictures rendered at the
// sizes the skin asks for, tinted and drawn; then opened again, as the next start does, so that the
// pictures come from the render cache that the first opening wrote beside it.
#include <cstddef>
#include <cstdint>

#include "CSpritePackage.h"
#include "FuzzDevice.h"
#include "SpriteFixture.h"

namespace {

constexpr int kPicturesDrawn = 4;

void OpenAndDraw() {
    CSpritePackage package;
    if (!package.Open(u"\\Program Files\\Skyvane\\Data\\fuzz.pak")) {
        return;
    }
    const int count = static_cast<int>(package.GetCount());
    for (int entry = 0; entry < count && entry < kPicturesDrawn; ++entry) {
        package.GetEntryWidth(entry);
        package.GetEntryHeight(entry);
        fuzz::RenderAndDraw(package, entry, 20, 20);
        package.FindImage(entry, 20, 20);
    }
    package.GetEntryWidth(count);
    package.Render(count, 20, 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice& device = fuzz::FuzzDevice::Get();
    device.Remove("Program Files/Skyvane/Data/fuzz.tmp");
    device.Write("Program Files/Skyvane/Data/fuzz.pak", data, size);
    OpenAndDraw();
    OpenAndDraw();
    return 0;
}
