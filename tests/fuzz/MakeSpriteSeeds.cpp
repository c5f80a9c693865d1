// Writes the seeds of the sprite targets: the small package that the render cache target opens, and
// render caches of it as the sprite object writes them (plain and tinted renders at the sizes that
// target asks for, one size at a time and all of them).
//
//   fuzz_sprite_seeds SEEDS_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CSpritePackage.h"
#include "FuzzDevice.h"
#include "SpriteFixture.h"

namespace {

void CopyCache(const std::string& to) {
    std::filesystem::copy_file(fuzz::FuzzDevice::Get().HostPath("Data/fixture.tmp"), to,
                               std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEEDS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    std::filesystem::create_directories(root + "/sprite_package");
    std::filesystem::create_directories(root + "/render_cache");
    fuzz::FuzzDevice& device = fuzz::FuzzDevice::Get();
    const std::vector<uint8_t> package = fuzz::FixturePackage();
    device.Write("Data/fixture.pak", package.data(), package.size());
    std::ofstream(root + "/sprite_package/fixture.pak", std::ios::binary)
        .write(reinterpret_cast<const char*>(package.data()), static_cast<std::streamsize>(package.size()));
    int n = 0;
    for (const fuzz::RenderedSize& size : fuzz::kCachedSizes) {
        device.Remove("Data/fixture.tmp");
        CSpritePackage sprites;
        if (!sprites.Open(u"\\Data\\fixture.pak")) {
            std::fprintf(stderr, "fuzz_sprite_seeds: the fixture package does not open\n");
            return 1;
        }
        fuzz::RenderAndDraw(sprites, size.entry, size.width, size.height);
        CopyCache(root + "/render_cache/one-" + std::to_string(n++) + ".tmp");
    }
    device.Remove("Data/fixture.tmp");
    CSpritePackage sprites;
    sprites.Open(u"\\Data\\fixture.pak");
    for (const fuzz::RenderedSize& size : fuzz::kCachedSizes) {
        fuzz::RenderAndDraw(sprites, size.entry, size.width, size.height);
    }
    CopyCache(root + "/render_cache/all.tmp");
    return 0;
}
