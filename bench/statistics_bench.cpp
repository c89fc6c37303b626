// The statistics of a run's trace and of as many measured samples: the
// measurements window takes them again whenever the view changes.

#include "analysis/SignalStatistics.h"
#include "plot/AxisUnits.h"
#include "plot/Trace.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr double kDt = 0.001;

double Wave(std::size_t i)
{
    return std::sin(0.001 * static_cast<double>(i));
}

void BM_StatisticsOfATrace(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    Trace trace("Omega", clBlack);
    for (std::size_t i = 0; i < count; ++i)
        trace.AppendNext(Wave(i));
    const analysis::StepRange range{0, static_cast<analysis::Step>(count) - 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(analysis::ComputeStatistics(trace.Points(), range));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StatisticsOfATrace)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Samples at every step's time, every tenth one empty.
void BM_StatisticsOfSamples(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<double> seconds(count);
    std::vector<double> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        seconds[i] = TimeOfStep(static_cast<double>(i), kDt);
        values[i] = i % 10 == 9 ? std::nan("") : Wave(i);
    }
    const analysis::StepRange range{0, static_cast<analysis::Step>(count) - 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(analysis::ComputeSampleStatistics(seconds, values, range, kDt));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StatisticsOfSamples)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

} // namespace
