#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "model/DqModel.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace {

// A direct-on-line start of the default machine (the Modelica Standard
// Library's) under its fan, 161.4 N m at 1440.45 rpm: 1.4 s at dt = 1e-5,
// 140 000 steps, each step's quantities kept as a run keeps them.
void BM_DqStart(benchmark::State& state)
{
    DqParameters parameters;
    parameters.dt = 1e-5;
    parameters.integrator = static_cast<DqIntegrator>(state.range(0));
    const std::int64_t steps = 140'000;
    const double nominal = 1440.45 * std::numbers::pi / 30;
    std::vector<DqQuantities> run(steps);
    for (auto _ : state) {
        DqModel model(parameters);
        for (DqQuantities& q : run) {
            const double ratio = model.State().Omega / nominal;
            q = model.Step(161.4 * ratio * ratio);
        }
        benchmark::DoNotOptimize(run.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * steps);
}
BENCHMARK(BM_DqStart)
    ->Arg(static_cast<int>(DqIntegrator::RungeKutta4))
    ->Arg(static_cast<int>(DqIntegrator::Euler))
    ->ArgName("integrator")
    ->Unit(benchmark::kMillisecond);

// The same start as the window and the batch tool make it from the
// Modelica machine's file at dt = 1e-5: the run's load, its four traces
// and maxima besides the steps, each run taking over the storage of the
// one before, as in the window.
void BM_DqMachineFileStart(benchmark::State& state)
{
    Settings settings = ExperimentFile::Load(MOTORMODEL_EXAMPLES "/modelica-squirrel-cage.toml", Settings{});
    settings.model.dt = 1e-5;
    settings.run.steps = 140'000;
    settings.step.off = settings.run.steps;
    std::optional<std::array<Trace, 2>> spare;
    for (auto _ : state) {
        RunResult run = RunExperiment({RunKind::Step, settings, "0", {}, std::exchange(spare, std::nullopt)});
        benchmark::DoNotOptimize(run.Of(Quantity::Md).Values().data());
        spare = std::move(run.traces);
    }
    state.SetItemsProcessed(state.iterations() * settings.run.steps);
}
BENCHMARK(BM_DqMachineFileStart)->Unit(benchmark::kMillisecond);

} // namespace
