#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "model/MotorModel.h"

#include <benchmark/benchmark.h>

namespace {

// The whole step response: parsing, steps, maxima and 4000 trace appends.
void BM_StepResponseRun(benchmark::State& state)
{
    MotorModel model{};
    RecordingHost host("10");
    for (auto _ : state) {
        RunStepResponse(model, host);
        benchmark::DoNotOptimize(host.Series(5).Points().data());
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_StepResponseRun);

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
