#include "experiments/ExperimentHost.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"
#include "toolkit/Random.h"

namespace {

// Both random runs: reset, clear their two traces, then one draw per step.
void RunRandomLoad(MotorModel& model, ExperimentHost& host, double (*drawLoad)(), int mdSeries)
{
    host.SetProgress(100);
    model.Reset();
    Trace& mdTrace = host.Series(mdSeries);
    Trace& omegaTrace = host.Series(mdSeries + 1);
    mdTrace.Clear();
    omegaTrace.Clear();

    const Colour mdColour = PointColourOfSeries(mdSeries);
    const Colour omegaColour = PointColourOfSeries(mdSeries + 1);
    for (int i = 0; i < kRunLength; ++i) {
        model.Step(drawLoad());
        mdTrace.AppendPoint(i, toolkit::ToDouble(model.Md), "", mdColour);
        omegaTrace.AppendPoint(i, toolkit::ToDouble(model.Omega), "", omegaColour);
    }
}

} // namespace

double GaussianLoad()
{
    return static_cast<double>(toolkit::RandG(15.0L, 3.0L));
}

double UniformLoad()
{
    // 0.001 is the double nearest it; the sum is formed in extended and
    // rounded once, which puts 24 of the 1001 loads one unit above the
    // double nearest their decimal value.
    const Extended r = runtime::RandomBelow(1001);
    return static_cast<double>(r * 0.001 * 6.0 + 12.0);
}

void SeedUniformSource()
{
    runtime::srand(static_cast<unsigned>(runtime::time()));
}

void RunGaussianLoad(MotorModel& model, ExperimentHost& host)
{
    RunRandomLoad(model, host, GaussianLoad, 1);
}

void RunUniformLoad(MotorModel& model, ExperimentHost& host)
{
    RunRandomLoad(model, host, UniformLoad, 3);
}
