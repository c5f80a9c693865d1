// Time to render the weather pictures at the skin's sizes (a fresh parse + render of the SVG text, alone
// and with the picture the package object hands out made from it), and what a picture costs the sprite
// package object beside it: a hit in its memory list, a hit in the render cache on disk by a new
// object, and a miss (read, parse, render and store). A named mutex take
// and release on the cache's name is measured in the same run, so that the disk hit can also be read
// without the mutex's cost. The table at the end gives the medians per picture and the ratios.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "NamedMutex.h"
#include "CRenderedImage.h"
#include "CSpritePackage.h"
#include "PackageFixture.h"
#include "SvgRasterizer.h"
#include "WeatherPictures.h"
#include "ce/device.h"

namespace {
using namespace pictorra_test;

constexpr const char16_t* kPackage = u"\\Data\\icons.pak";
constexpr const char16_t* kCache = u"\\Data\\icons.tmp";

// A device with the pictures packed; the render cache is filled at one size or left away.
class BenchDevice {
public:
    BenchDevice()
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
    }
    ~BenchDevice()
    {
        ce::SetDeviceRoot({});
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    void FillCache(int size) const
    {
        CSpritePackage warm;
        warm.Open(kPackage);
        for (DWORD i = 0; i < warm.GetCount(); ++i) warm.Render(int(i), size, size);
    }
    void RemoveCache() const
    {
        std::error_code ignored;
        std::filesystem::remove(m_root + "/fs/Data/icons.tmp", ignored);
    }

private:
    std::string m_root;
};

// Minor page faults of this thread so far: memory the kernel had to hand out anew.
long MinorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

void SetPictures(benchmark::State& state, size_t perIteration)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(perIteration));
    state.counters["pictures"] = double(perIteration);
}

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
    SetPictures(state, pictures.size());
}

void SetFaults(benchmark::State& state, long faults, size_t perIteration)
{
    state.counters["faults/pic"] = double(faults) / double(int64_t(state.iterations()) * int64_t(perIteration));
}

// A fresh render as a hit must be measured against: parsed, rendered, and made into the picture that
// the object hands out (both planes, filled). The pictures of an iteration live until its end and are
// then deleted untimed, as a new object's are in DiskHitInNewObject, so that both pay alike for the
// memory of their bitmaps.
void FreshPictures(benchmark::State& state)
{
    const std::vector<std::string> svgs = WeatherPictures();
    int size = int(state.range(0));
    long faults = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<CRenderedImage>> pictures;
        long before = MinorFaults();
        for (const std::string& svg : svgs) {
            SvgRaster raster;
            auto picture = std::make_unique<CRenderedImage>();
            if (Failed(SvgRasterizer::Render(svg, size, size, raster)) || !picture->Create(size, size) ||
                !picture->SetPixels(raster.pixels))
                state.SkipWithError("render failed");
            pictures.push_back(std::move(picture));
        }
        faults += MinorFaults() - before;
        state.PauseTiming();
        pictures.clear();
        state.ResumeTiming();
    }
    SetPictures(state, svgs.size());
    SetFaults(state, faults, svgs.size());
}

void MemoryHit(benchmark::State& state)
{
    BenchDevice device;
    int size = int(state.range(0));
    CSpritePackage sprites;
    sprites.Open(kPackage);
    for (DWORD i = 0; i < sprites.GetCount(); ++i) sprites.Render(int(i), size, size);
    for (auto _ : state) {
        for (DWORD i = 0; i < sprites.GetCount(); ++i) benchmark::DoNotOptimize(sprites.Render(int(i), size, size));
    }
    SetPictures(state, sprites.GetCount());
}

// Each iteration opens a new object, so only the cache on disk can serve its pictures. Either its
// hits are timed (each a Render), or what the object costs before and after them: its Open (the
// package index under its mutex, the mutexes made) and its deletion with the pictures it holds.
enum class Timed { Hits, OpenAndDelete };

void NewObjects(benchmark::State& state, Timed timed)
{
    BenchDevice device;
    int size = int(state.range(0));
    device.FillCache(size);
    size_t count = WeatherPictures().size();
    long faults = 0;
    auto pauseFor = [&](Timed part, auto step) {
        if (timed != part) state.PauseTiming();
        step();
        if (timed != part) state.ResumeTiming();
    };
    for (auto _ : state) {
        std::unique_ptr<CSpritePackage> sprites;
        pauseFor(Timed::OpenAndDelete, [&] {
            sprites = std::make_unique<CSpritePackage>();
            sprites->Open(kPackage);
        });
        pauseFor(Timed::Hits, [&] {
            long before = MinorFaults();
            for (size_t i = 0; i < count; ++i) {
                if (sprites->Render(int(i), size, size) == -1) state.SkipWithError("cache miss");
            }
            faults += MinorFaults() - before;
        });
        pauseFor(Timed::OpenAndDelete, [&] { sprites.reset(); });
    }
    SetPictures(state, count);
    if (timed == Timed::Hits) SetFaults(state, faults, count);
}

void DiskHitInNewObject(benchmark::State& state) { NewObjects(state, Timed::Hits); }
void OpenAndDelete(benchmark::State& state) { NewObjects(state, Timed::OpenAndDelete); }

// A new object and no cache: every picture is read from the package, parsed, rendered and stored.
void Miss(benchmark::State& state)
{
    BenchDevice device;
    int size = int(state.range(0));
    size_t count = WeatherPictures().size();
    for (auto _ : state) {
        state.PauseTiming();
        device.RemoveCache();
        state.ResumeTiming();
        CSpritePackage sprites;
        sprites.Open(kPackage);
        for (size_t i = 0; i < count; ++i) {
            if (sprites.Render(int(i), size, size) == -1) state.SkipWithError("render failed");
        }
    }
    SetPictures(state, count);
}

// What one cache operation spends on its lock.
void CacheMutexTakeAndRelease(benchmark::State& state)
{
    BenchDevice device;
    NamedMutex mutex(SpritePackageFile::MutexName(kCache));
    for (auto _ : state) NamedMutex::Lock lock(mutex);
    SetPictures(state, 1);
}

constexpr int kRepetitions = 7;
#define SIZES Arg(32)->Arg(64)->Arg(128)
#define MEDIANS Repetitions(kRepetitions)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond)
BENCHMARK(RenderWeatherPictures)->SIZES->MEDIANS;
BENCHMARK(FreshPictures)->SIZES->MEDIANS;
BENCHMARK(MemoryHit)->SIZES->MEDIANS;
BENCHMARK(DiskHitInNewObject)->SIZES->MEDIANS;
BENCHMARK(OpenAndDelete)->SIZES->MEDIANS;
BENCHMARK(Miss)->SIZES->MEDIANS;
BENCHMARK(CacheMutexTakeAndRelease)->MEDIANS;

// Keeps the medians per picture (microseconds) by benchmark and size for the tables: wall-clock time,
// and this process's CPU time, which a loaded machine disturbs less (the device server's share of a
// mutex call is not in it).
class MedianTable : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name != "median") continue;
            auto pictures = run.counters.find("pictures");
            double perIteration = pictures == run.counters.end() ? 1.0 : double(pictures->second);
            Times& t = m_medians[run.run_name.function_name][run.run_name.args];
            t.real = run.GetAdjustedRealTime() / perIteration;
            t.cpu = run.GetAdjustedCPUTime() / perIteration;
            auto faults = run.counters.find("faults/pic");
            t.faults = faults == run.counters.end() ? 0.0 : double(faults->second);
        }
    }
    void Print() const
    {
        Print("wall-clock", &Times::real);
        Print("CPU", &Times::cpu);
        PrintFaults();
    }

private:
    struct Times {
        double real = 0;
        double cpu = 0;
        double faults = 0;
    };
    void Print(const char* clock, double Times::*time) const
    {
        double mutex = Median("CacheMutexTakeAndRelease", "", time);
        std::printf("\nMedian %s time per picture, us (named mutex take + release: %.1f us)\n", clock, mutex);
        std::printf("%5s %8s %8s %8s %8s %8s %8s %8s %12s %13s %18s\n", "size", "render", "picture", "memory",
                    "disk", "disk-mx", "open+del", "miss", "disk/render", "disk/picture", "(disk-mx)/picture");
        for (const char* size : {"32", "64", "128"}) {
            double render = Median("RenderWeatherPictures", size, time), picture = Median("FreshPictures", size, time);
            double disk = Median("DiskHitInNewObject", size, time);
            std::printf("%5s %8.1f %8.1f %8.2f %8.1f %8.1f %8.1f %8.1f %12.2f %13.2f %18.2f\n", size, render, picture,
                        Median("MemoryHit", size, time), disk, disk - mutex, Median("OpenAndDelete", size, time),
                        Median("Miss", size, time), disk / render, disk / picture, (disk - mutex) / picture);
        }
    }
    void PrintFaults() const
    {
        std::printf("\nMinor page faults per picture: %5s %10s %10s\n", "size", "disk hit", "picture");
        for (const char* size : {"32", "64", "128"}) {
            std::printf("%30s %5s %10.2f %10.2f\n", "", size, Faults("DiskHitInNewObject", size),
                        Faults("FreshPictures", size));
        }
    }
    double Faults(const std::string& name, const std::string& args) const { return Median(name, args, &Times::faults); }
    double Median(const std::string& name, const std::string& args, double Times::*time) const
    {
        auto byName = m_medians.find(name);
        if (byName == m_medians.end()) return 0;
        auto byArgs = byName->second.find(args);
        return byArgs == byName->second.end() ? 0 : byArgs->second.*time;
    }
    std::map<std::string, std::map<std::string, Times>> m_medians;
};
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianTable table;
    benchmark::RunSpecifiedBenchmarks(&table);
    table.Print();
    benchmark::Shutdown();
    return 0;
}
