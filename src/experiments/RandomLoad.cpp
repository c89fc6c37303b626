#include "experiments/ExperimentHost.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"
#include "toolkit/Random.h"

namespace {

// Both random runs: reset, clear their two traces, then one draw per step.
template <typename DrawLoad>
void RunRandomLoad(MotorModel& model, ExperimentHost& host, RunKind kind, DrawLoad drawLoad)
{
    const Settings settings = host.SettingsInForce();
    CheckSettings(settings);
    const RunDefinition& run = RunOf(kind);
    host.SetProgress(100);
    model.Reset(settings.model);
    Trace& mdTrace = host.Series(run.mdSeries);
    Trace& omegaTrace = host.Series(run.omegaSeries);
    mdTrace.Clear();
    omegaTrace.Clear();
    mdTrace.Reserve(static_cast<std::size_t>(settings.run.steps));
    omegaTrace.Reserve(static_cast<std::size_t>(settings.run.steps));
    // A lab's random runs repeat exactly when its settings give a seed.
    if (settings.run.seed) {
        toolkit::SeedRandG(static_cast<std::uint64_t>(*settings.run.seed));
        runtime::srand(static_cast<unsigned>(*settings.run.seed));
    }

    const Colour mdColour = PointColourOfSeries(run.mdSeries);
    const Colour omegaColour = PointColourOfSeries(run.omegaSeries);
    for (std::int64_t i = 0; i < settings.run.steps; ++i) {
        model.Step(drawLoad(settings));
        const auto x = static_cast<double>(i);
        mdTrace.AppendPoint(x, toolkit::ToDouble(model.Md), "", mdColour);
        omegaTrace.AppendPoint(x, toolkit::ToDouble(model.Omega), "", omegaColour);
    }
}

} // namespace

double GaussianLoad(const GaussSettings& gauss)
{
    return static_cast<double>(toolkit::RandG(gauss.mean, gauss.sd));
}

double UniformLoad(const UniformSettings& uniform)
{
    // Formed in extended and rounded once. With the defaults the step u is
    // 0.001, the double nearest it, which puts 24 of the 1001 loads one unit
    // above the double nearest their decimal value.
    const Extended r = runtime::RandomBelow(static_cast<std::int32_t>(uniform.levels));
    const double u = 1.0 / static_cast<double>(uniform.levels - 1);
    const double width = uniform.high - uniform.low;
    return static_cast<double>(r * u * width + uniform.low);
}

void SeedUniformSource()
{
    runtime::srand(static_cast<unsigned>(runtime::time()));
}

void RunGaussianLoad(MotorModel& model, ExperimentHost& host)
{
    RunRandomLoad(model, host, RunKind::Gauss, [](const Settings& s) { return GaussianLoad(s.gauss); });
}

void RunUniformLoad(MotorModel& model, ExperimentHost& host)
{
    RunRandomLoad(model, host, RunKind::Uniform, [](const Settings& s) { return UniformLoad(s.uniform); });
}

void RunExperiment(RunKind kind, MotorModel& model, ExperimentHost& host)
{
    switch (kind) {
    case RunKind::Gauss:
        RunGaussianLoad(model, host);
        return;
    case RunKind::Uniform:
        RunUniformLoad(model, host);
        return;
    case RunKind::Step:
        break;
    }
    RunStepResponse(model, host);
}
