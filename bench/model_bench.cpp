#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "model/MotorModel.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace {

Settings RunOfSteps(std::int64_t steps)
{
    Settings settings;
    settings.run.steps = steps;
    return settings;
}

// The whole step response: parsing, steps, maxima and two trace appends a
// step, for the default run and for the longest one. The items are steps,
// so the time per step of the two compares directly.
void BM_StepResponseRun(benchmark::State& state)
{
    // Each run takes over the storage of the one before, as in the window.
    const Settings settings = RunOfSteps(state.range(0));
    std::optional<std::array<Trace, 2>> spare;
    for (auto _ : state) {
        RunResult run = RunExperiment({RunKind::Step, settings, "10", {}, std::exchange(spare, std::nullopt)});
        benchmark::DoNotOptimize(run.Of(Quantity::Md).Values().data());
        spare = std::move(run.traces);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StepResponseRun)->Arg(2000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

// Three runs of a million steps kept at once, as the chart keeps them: the
// peak resident memory of the process over the six million points they
// plot. Run alone (--benchmark_filter=ThreeLongRuns) for a peak of its own.
void BM_ThreeLongRuns(benchmark::State& state)
{
    constexpr std::int64_t kSteps = 1'000'000;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    for (auto _ : state) {
        std::vector<RunResult> runs;
        for (RunKind kind : {RunKind::Gauss, RunKind::Uniform, RunKind::Step})
            runs.push_back(RunExperiment({kind, RunOfSteps(kSteps), "10", {}}));
        benchmark::DoNotOptimize(runs.data());
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // ru_maxrss is in KiB.
    state.counters["peak_bytes_per_point"] = static_cast<double>(after.ru_maxrss - before.ru_maxrss) * 1024 / (6 * kSteps);
    state.counters["peak_MiB"] = static_cast<double>(after.ru_maxrss) / 1024;
}
BENCHMARK(BM_ThreeLongRuns)->Iterations(1)->Unit(benchmark::kMillisecond);

// The random runs: one draw per step on top of the steps and appends.
void BM_RandomLoadRun(benchmark::State& state, RunKind kind)
{
    RandomSources sources;
    for (auto _ : state) {
        RunResult run = RunExperiment({kind, {}, "", std::move(sources)});
        benchmark::DoNotOptimize(run.Of(Quantity::Md).Values().data());
        sources = std::move(run.sources);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK_CAPTURE(BM_RandomLoadRun, Gauss, RunKind::Gauss);
BENCHMARK_CAPTURE(BM_RandomLoadRun, Uniform, RunKind::Uniform);

// A family of step responses of a million steps each, on one thread and
// on every core: the same bits, in less time where there are cores.
void BM_LongFamily(benchmark::State& state)
{
    FamilyRequest request{.base = RunOfSteps(1'000'000),
                          .setting = "step.load",
                          .values = ParseFamilyValues("0:28:4"),
                          .kind = RunKind::Step,
                          .loadText = "",
                          .sources = {}};
    for (auto _ : state) {
        const FamilyResult family = RunFamily(request, {}, static_cast<unsigned>(state.range(0)));
        benchmark::DoNotOptimize(family.members.data());
    }
    state.SetItemsProcessed(state.iterations() * 8 * 1'000'000);
}
BENCHMARK(BM_LongFamily)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
