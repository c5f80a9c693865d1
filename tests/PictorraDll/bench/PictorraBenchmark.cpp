// Time to render the weather pictures at the skin's sizes, and to get a picture that the render
// cache on disk already holds.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "CSpritePackage.h"
#include "PackageFixture.h"
#include "SvgRasterizer.h"
#include "WeatherPictures.h"
#include "ce/device.h"

namespace {
using namespace pictorra_test;

void RenderWeatherPictures(benchmark::State& state)
{
    const std::vector<std::string> pictures = WeatherPictures();
    int size = int(state.range(0));
    for (auto _ : state) {
        for (const std::string& svg : pictures) {
            SvgRaster raster;
            if (Failed(SvgRasterizer::Render(svg, size, size, raster))) state.SkipWithError("render failed");
            benchmark::DoNotOptimize(raster.pixels.data());
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(pictures.size()));
}
BENCHMARK(RenderWeatherPictures)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMicrosecond);

// A device with the pictures packed and every one cached at the size; each iteration opens a fresh
// object, so only the disk cache can serve it.
class CachedDevice {
public:
    explicit CachedDevice(int size)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pictorra-bench-XXXXXX").string();
        m_root = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(m_root + "/fs/Data");
        ce::SetDeviceRoot(m_root);
        std::vector<SpritePackageFile::Picture> pictures;
        for (const std::string& svg : WeatherPictures()) pictures.push_back({64, 64, svg});
        std::vector<uint8_t> bytes;
        SpritePackageFile::Build(pictures, bytes);
        WriteHostFile(m_root + "/fs/Data/icons.pak", bytes);
        CSpritePackage warm;
        warm.Open(kPackage);
        for (DWORD i = 0; i < warm.GetCount(); ++i) warm.Render(int(i), size, size);
    }
    ~CachedDevice()
    {
        ce::SetDeviceRoot({});
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    static constexpr const char16_t* kPackage = u"\\Data\\icons.pak";

private:
    std::string m_root;
};

void RenderFromDiskCache(benchmark::State& state)
{
    int size = int(state.range(0));
    CachedDevice device(size);
    size_t count = WeatherPictures().size();
    for (auto _ : state) {
        CSpritePackage sprites;
        sprites.Open(CachedDevice::kPackage);
        for (size_t i = 0; i < count; ++i) {
            if (sprites.Render(int(i), size, size) == -1) state.SkipWithError("cache miss");
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(count));
}
BENCHMARK(RenderFromDiskCache)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMicrosecond);

void RenderFromMemoryList(benchmark::State& state)
{
    CachedDevice device(64);
    CSpritePackage sprites;
    sprites.Open(CachedDevice::kPackage);
    sprites.Render(0, 64, 64);
    for (auto _ : state) benchmark::DoNotOptimize(sprites.Render(0, 64, 64));
}
BENCHMARK(RenderFromMemoryList);
}  // namespace

BENCHMARK_MAIN();
