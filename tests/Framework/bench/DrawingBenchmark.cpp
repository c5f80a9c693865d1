// What a screen change costs: one full-screen transition frame and one full-screen gradient blend
// on a 480 x 640 device.
#include <benchmark/benchmark.h>

#include "DrawingHelpers.h"
#include "Platform/GdiTestSupport.h"
#include "UserInterface/CGenericEffect.h"

namespace {

constexpr int kWidth = 480, kHeight = 640;

struct Screens {
    Screens() : from(kWidth, kHeight), to(kWidth, kHeight), target(kWidth, kHeight) {
        FillGradientRect(from.dc, 0, 0, kWidth, kHeight, RGB(0, 0, 0), RGB(255, 128, 0), true);
        FillGradientRect(to.dc, 0, 0, kWidth, kHeight, RGB(0, 64, 255), RGB(255, 255, 255), false);
    }
    ce::test::DibDC from, to, target;
};

void TransitionFrame(benchmark::State& state) {
    Screens screens;
    UserInterface::CGenericEffect* effect = UserInterface::CreateTransitionEffect(static_cast<int>(state.range(0)));
    effect->Prepare(screens.target.dc, screens.from.dc, screens.to.dc, 0, 0, kWidth, kHeight);
    int percent = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(effect->DrawStep(screens.target.dc, 0, 0, kWidth, kHeight, percent));
        percent = (percent + 7) % 100;
    }
    effect->Finish();
}
BENCHMARK(TransitionFrame)->ArgName("kind")->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

void GradientBlend(benchmark::State& state) {
    Screens screens;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BlendBitmapsGradient(screens.target.dc, 0, 0, kWidth, kHeight, screens.from.dc,
                                                      screens.to.dc, 0, 0, 0.2, 0.8));
    }
}
BENCHMARK(GradientBlend)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
