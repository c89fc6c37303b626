#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "model/MotorModel.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>

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
    MotorModel model{};
    RecordingHost host("10", RunOfSteps(state.range(0)));
    for (auto _ : state) {
        RunStepResponse(model, host);
        benchmark::DoNotOptimize(host.Series(5).Points().data());
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
        MotorModel model{};
        RecordingHost host("10", RunOfSteps(kSteps));
        RunGaussianLoad(model, host);
        RunUniformLoad(model, host);
        RunStepResponse(model, host);
        benchmark::DoNotOptimize(host.Series(1).Points().data());
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // ru_maxrss is in KiB.
    state.counters["peak_bytes_per_point"] = static_cast<double>(after.ru_maxrss - before.ru_maxrss) * 1024 / (6 * kSteps);
    state.counters["peak_MiB"] = static_cast<double>(after.ru_maxrss) / 1024;
}
BENCHMARK(BM_ThreeLongRuns)->Iterations(1)->Unit(benchmark::kMillisecond);

// The random runs: one draw per step on top of the steps and appends.
void BM_RandomLoadRun(benchmark::State& state, void (*run)(MotorModel&, ExperimentHost&))
{
    MotorModel model{};
    RecordingHost host;
    for (auto _ : state) {
        run(model, host);
        benchmark::DoNotOptimize(host.Series(1).Points().data());
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK_CAPTURE(BM_RandomLoadRun, Gauss, RunGaussianLoad);
BENCHMARK_CAPTURE(BM_RandomLoadRun, Uniform, RunUniformLoad);

} // namespace
