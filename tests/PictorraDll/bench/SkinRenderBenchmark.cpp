// Pictorra drawing every picture of the skin at 32, 64 and 128 pixels, beside librsvg drawing the same
// SVG text into a cairo image surface of the same size in the same run. Each iteration draws all
// pictures; the summary gives the median time per picture of each and the ratio Pictorra / librsvg.
// A third measure replays Pictorra's own drawing, recorded once, into the same image surfaces: what
// cairo alone takes for these pixels, about the least that a render keeping them can take (a replay
// adds under a microsecond of its own per picture).
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SkinPictures.h"
#include "SvgCairoRenderer.h"
#include "SvgRasterizer.h"

namespace {
using pictorra_test::SkinPicture;

const std::vector<SkinPicture>& Pictures()
{
    static const std::vector<SkinPicture> pictures = pictorra_test::SkinPictures();
    return pictures;
}

// ---- Pictorra ----------------------------------------------------------------------------------

void PictorraParseAndRender(benchmark::State& state)
{
    int size = int(state.range(0));
    for (auto _ : state) {
        for (const SkinPicture& picture : Pictures()) {
            SvgRaster raster;
            if (Failed(SvgRasterizer::Render(picture.svg, size, size, raster))) state.SkipWithError(picture.name.c_str());
            benchmark::DoNotOptimize(raster.pixels.data());
        }
    }
}

void PictorraRenderOnly(benchmark::State& state)
{
    int size = int(state.range(0));
    std::vector<std::unique_ptr<SvgCairoRenderer>> parsed;
    for (const SkinPicture& picture : Pictures()) {
        parsed.push_back(std::make_unique<SvgCairoRenderer>());
        if (Failed(parsed.back()->Parse(picture.svg))) state.SkipWithError(picture.name.c_str());
    }
    for (auto _ : state) {
        for (auto& renderer : parsed) {
            SvgRaster raster;
            if (Failed(SvgRasterizer::Render(*renderer, size, size, raster))) state.SkipWithError("render failed");
            benchmark::DoNotOptimize(raster.pixels.data());
        }
    }
}

// ---- cairo alone: Pictorra's drawing recorded, then replayed --------------------------------------

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The fills and strokes of one render at size x size, kept in a recording surface.
Surface RecordWithPictorra(const std::string& svg, int size)
{
    SvgCairoRenderer renderer;
    unsigned width = 0, height = 0;
    if (Failed(renderer.Parse(svg))) return nullptr;
    renderer.GetSize(width, height);
    if (width == 0 || height == 0) return nullptr;
    cairo_rectangle_t extents{0, 0, double(size), double(size)};
    Surface recording(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
    cairo_t* cr = cairo_create(recording.get());
    double sx = double(size) / width, sy = double(size) / height;
    renderer.SetRenderScale(sx, sy);
    cairo_scale(cr, sx, sy);
    bool drawn = !Failed(renderer.Render(cr)) && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    return drawn ? std::move(recording) : nullptr;
}

// Into a new image surface, as the librsvg loop draws.
Surface ReplayIntoImage(cairo_surface_t* recording, int size)
{
    Surface image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size));
    cairo_t* cr = cairo_create(image.get());
    cairo_set_source_surface(cr, recording, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image.get());
    return image;
}

// The replay measures cairo's share only while it draws exactly the pixels of Pictorra's render.
bool ReplaysAlike(const std::string& svg, cairo_surface_t* recording, int size)
{
    SvgRaster raster;
    if (Failed(SvgRasterizer::Render(svg, size, size, raster))) return false;
    Surface image = ReplayIntoImage(recording, size);
    return cairo_image_surface_get_stride(image.get()) == size * 4 &&
           std::memcmp(cairo_image_surface_get_data(image.get()), raster.pixels.data(), raster.pixels.size() * 4) == 0;
}

void CairoReplayOnly(benchmark::State& state)
{
    int size = int(state.range(0));
    std::vector<Surface> recordings;
    for (const SkinPicture& picture : Pictures()) {
        recordings.push_back(RecordWithPictorra(picture.svg, size));
        if (!recordings.back() || !ReplaysAlike(picture.svg, recordings.back().get(), size))
            state.SkipWithError(("the replay differs: " + picture.name).c_str());
    }
    for (auto _ : state) {
        for (const Surface& recording : recordings) {
            if (!recording) continue;
            Surface image = ReplayIntoImage(recording.get(), size);
            benchmark::DoNotOptimize(cairo_image_surface_get_data(image.get()));
        }
    }
}

// ---- librsvg, the reference --------------------------------------------------------------------

struct HandleDeleter {
    void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleDeleter>;

Handle ParseWithLibrsvg(const std::string& svg)
{
    GError* error = nullptr;
    Handle handle(rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error));
    if (error) g_error_free(error);
    return handle;
}

// Stretched to the square as Pictorra stretches it, so that both fill the same pixels.
bool RenderWithLibrsvg(RsvgHandle* handle, int size)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    double width = size, height = size;
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) && width > 0 && height > 0)
        cairo_scale(cr, size / width, size / height);
    RsvgRectangle viewport{0, 0, width, height};
    GError* error = nullptr;
    bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &error);
    if (error) g_error_free(error);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return drawn;
}

void LibrsvgParseAndRender(benchmark::State& state)
{
    int size = int(state.range(0));
    for (auto _ : state) {
        for (const SkinPicture& picture : Pictures()) {
            Handle handle = ParseWithLibrsvg(picture.svg);
            if (!handle || !RenderWithLibrsvg(handle.get(), size)) state.SkipWithError(picture.name.c_str());
        }
    }
}

void LibrsvgRenderOnly(benchmark::State& state)
{
    int size = int(state.range(0));
    std::vector<Handle> parsed;
    for (const SkinPicture& picture : Pictures()) {
        parsed.push_back(ParseWithLibrsvg(picture.svg));
        if (!parsed.back()) state.SkipWithError(picture.name.c_str());
    }
    for (auto _ : state) {
        for (const Handle& handle : parsed) {
            if (handle && !RenderWithLibrsvg(handle.get(), size)) state.SkipWithError("render failed");
        }
    }
}

constexpr int kRepetitions = 15;
void Register(const char* name, void (*function)(benchmark::State&))
{
    benchmark::RegisterBenchmark(name, function)
        ->Arg(32)->Arg(64)->Arg(128)
        ->Repetitions(kRepetitions)
        ->DisplayAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
}

// ---- the summary -------------------------------------------------------------------------------

// Keeps the medians of the runs ("PictorraRenderOnly/64_median") per name and size, and prints the
// comparison after the console's own lines.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" || run.error_occurred) continue;
            double perPicture = run.GetAdjustedCPUTime() / double(Pictures().size());
            m_medians[run.run_name.function_name][std::stoi(run.run_name.args)] = perPicture;
        }
    }

    void PrintSummary() const
    {
        std::printf("\n%zu skin pictures; median CPU time per picture in us (%d repetitions)\n", Pictures().size(),
                    kRepetitions);
        std::printf("%-18s %5s %10s %10s %7s %7s\n", "", "size", "Pictorra", "librsvg", "ratio", "target");
        PrintRows("parse + render", "PictorraParseAndRender", "LibrsvgParseAndRender", 0.5);
        PrintRows("render only", "PictorraRenderOnly", "LibrsvgRenderOnly", 0.7);
        // No target: about the floor of "render only" while cairo draws the same pixels.
        PrintRows("cairo replay", "CairoReplayOnly", "LibrsvgRenderOnly", 0);
    }

private:
    void PrintRows(const char* title, const std::string& ours, const std::string& reference, double target) const
    {
        for (int size : {32, 64, 128}) {
            double mine = Median(ours, size), theirs = Median(reference, size);
            if (mine <= 0) continue;
            if (theirs <= 0) {
                std::printf("%-18s %5d %10.1f %10s\n", title, size, mine, "-");  // the reference was left out
                continue;
            }
            if (target <= 0) {
                std::printf("%-18s %5d %10.1f %10.1f %7.2f %7s\n", title, size, mine, theirs, mine / theirs, "-");
                continue;
            }
            std::printf("%-18s %5d %10.1f %10.1f %7.2f %7.2f %s\n", title, size, mine, theirs, mine / theirs, target,
                        mine / theirs <= target ? "met" : "MISSED");
        }
    }
    double Median(const std::string& name, int size) const
    {
        auto byName = m_medians.find(name);
        if (byName == m_medians.end()) return 0;
        auto bySize = byName->second.find(size);
        return bySize == byName->second.end() ? 0 : bySize->second;
    }

    std::map<std::string, std::map<int, double>> m_medians;
};
}  // namespace

int main(int argc, char** argv)
{
    if (Pictures().empty()) {
        std::fprintf(stderr, "the skin packages in %s/data/Data are missing: build the target skin_packages\n",
                     CE_TEST_BINARY_DIR);
        return 1;
    }
    Register("PictorraParseAndRender", PictorraParseAndRender);
    Register("LibrsvgParseAndRender", LibrsvgParseAndRender);
    Register("PictorraRenderOnly", PictorraRenderOnly);
    Register("LibrsvgRenderOnly", LibrsvgRenderOnly);
    Register("CairoReplayOnly", CairoReplayOnly);
    // The repetitions of all benchmarks in random order, so that a change of the machine's load falls on
    // Pictorra and librsvg alike; a flag given on the command line comes later and wins.
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave.data());
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
