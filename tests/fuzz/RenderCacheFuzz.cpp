// A render cache (.tmp) beside a sound sprite package, as the skin meets it at start: each picture
// looked up at the sizes and tints that the cache holds renders of, taken from the cache when it has
// it, rendered and appended when it has not; then the same once more, from the cache as it now is.
#include <cstddef>
#include <cstdint>

#include "CSpritePackage.h"
#include "FuzzDevice.h"
#include "SpriteFixture.h"

namespace {

void OpenAndDraw() {
    CSpritePackage package;
    if (!package.Open(u"\\Program Files\\Skyvane\\Data\\fixture.pak")) {
        return;
    }
    for (const fuzz::RenderedSize& size : fuzz::kCachedSizes) {
        fuzz::RenderAndDraw(package, size.entry, size.width, size.height);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice& device = fuzz::FuzzDevice::Get();
    static const bool installed = [&device] {
        const std::vector<uint8_t> package = fuzz::FixturePackage();
        device.Write("Program Files/Skyvane/Data/fixture.pak", package.data(), package.size());
        return true;
    }();
    (void)installed;
    device.Write("Program Files/Skyvane/Data/fixture.tmp", data, size);
    OpenAndDraw();
    OpenAndDraw();
    return 0;
}
