// What the screens do every frame: a full-screen copy of a 5-6-5 back buffer, blending a sprite,
// wrapping a paragraph and fitting a label.
#include <benchmark/benchmark.h>

#include "Platform/GdiTestSupport.h"
#include "ce/gdi.h"

namespace {

using ce::test::DibDC;

void FullScreenCopy(benchmark::State& state) {
    DibDC backBuffer(240, 320);
    DibDC screen(240, -320);
    for (auto _ : state) {
        BitBlt(screen.dc, 0, 0, 240, 320, backBuffer.dc, 0, 0, SRCCOPY);
    }
    state.SetItemsProcessed(state.iterations() * 240 * 320);
}
BENCHMARK(FullScreenCopy);

void SpriteBlend(benchmark::State& state) {
    DibDC sprite(64, 64, 32);
    DibDC target(240, 320);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) sprite.SetRaw32(x, y, 0x80402010);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (auto _ : state) {
        AlphaBlend(target.dc, 10, 10, 64, 64, sprite.dc, 0, 0, 64, 64, blend);
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK(SpriteBlend);

void WrapParagraph(benchmark::State& state) {
    DibDC target(240, 320);
    SetBkMode(target.dc, TRANSPARENT);
    const char16_t* text = u"Light rain in the morning, clearing towards the evening with a fresh breeze from the west "
                           u"and temperatures falling to four degrees overnight.";
    for (auto _ : state) {
        RECT r{4, 4, 236, 316};
        DrawTextW(target.dc, text, -1, &r, DT_WORDBREAK | (state.range(0) ? DT_CALCRECT : 0));
    }
}
BENCHMARK(WrapParagraph)->Arg(0)->Arg(1);

void FitLabel(benchmark::State& state) {
    DibDC target(4, 4);
    int fit = 0;
    int dx[32];
    for (auto _ : state) {
        GetTextExtentExPointW(target.dc, u"Thunderstorms expected tonight", 30, 100, &fit, dx, nullptr);
        benchmark::DoNotOptimize(fit);
    }
}
BENCHMARK(FitLabel);

}  // namespace

BENCHMARK_MAIN();
