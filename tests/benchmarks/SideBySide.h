// A figure of ours and its reference, timed in turn inside one loop so that both see the same load
// on a shared machine. The benchmark's time is the figure's; the counters give the medians of both
// and their ratio (figure / reference), which is what the targets are stated in.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Register with ->UseManualTime(). Each of figure and reference returns false when it failed.
template <class Figure, class Reference>
void SideBySide(benchmark::State& state, Figure figure, Reference reference) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> figures;
    std::vector<double> references;
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool figureDone = figure();
        const auto between = Clock::now();
        const bool referenceDone = reference();
        const auto end = Clock::now();
        if (!figureDone || !referenceDone) {
            state.SkipWithError(figureDone ? "the reference failed" : "the figure failed");
            return;
        }
        const std::chrono::duration<double> figureTime = between - start;
        const std::chrono::duration<double, std::micro> referenceTime = end - between;
        state.SetIterationTime(figureTime.count());
        figures.push_back(figureTime.count() * 1e6);
        references.push_back(referenceTime.count());
    }
    const double figureMedian = Median(figures);
    const double referenceMedian = Median(references);
    state.counters["figure_us"] = figureMedian;
    state.counters["reference_us"] = referenceMedian;
    state.counters["ratio"] = referenceMedian > 0 ? figureMedian / referenceMedian : 0;
}

}  // namespace bench
