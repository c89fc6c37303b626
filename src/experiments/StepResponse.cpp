#include "experiments/ExperimentHost.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"

#include <cmath>

using toolkit::ToDouble;

double StepLoad(const StepSettings& step, std::int64_t loadOff, double load, std::int64_t i, double omega)
{
    if (i < step.on || i >= loadOff)
        return 0.0;
    switch (step.profile) {
    case LoadProfile::Step:
        break;
    case LoadProfile::Ramp:
        if (i < step.on + step.ramp)
            return load * static_cast<double>(i - step.on + 1) / static_cast<double>(step.ramp);
        break;
    case LoadProfile::Fan:
        return load + step.k * omega * std::fabs(omega);
    case LoadProfile::Periodic:
        // Correctly rounded, so the periodic run is the same bits on every
        // machine, whatever its C library's sin gives in the last place.
        return load + step.amplitude * CorrectlyRoundedSin(6.283185307179586 * static_cast<double>(i - step.on) / step.period);
    }
    return load;
}

std::string RefusedLoadText(std::int64_t limit)
{
    return "Некорректно введенное значение Мс<" + std::to_string(limit);
}

std::int32_t RunStepResponse(MotorModel& model, ExperimentHost& host)
{
    const Settings settings = host.SettingsInForce();
    CheckSettings(settings);
    const RunDefinition& run = RunOf(RunKind::Step);

    host.SetProgress(100);
    Trace& mdTrace = host.Series(run.mdSeries);
    Trace& omegaTrace = host.Series(run.omegaSeries);
    mdTrace.Clear();
    omegaTrace.Clear();

    const std::int32_t load = toolkit::StrToInt(host.LoadText());
    model.Reset(settings.model);
    double mdMax = ToDouble(model.Md);
    double omegaMax = ToDouble(model.Omega);

    if (load > settings.run.limit) {
        host.ShowAlert();
    } else {
        const Colour mdColour = PointColourOfSeries(run.mdSeries);
        const Colour omegaColour = PointColourOfSeries(run.omegaSeries);
        const std::int64_t loadOff = settings.LoadOff();
        mdTrace.Reserve(static_cast<std::size_t>(settings.run.steps));
        omegaTrace.Reserve(static_cast<std::size_t>(settings.run.steps));
        // Stepping a local copy lets the state stay in registers across the
        // trace appends; the model takes the final state when the run ends.
        MotorModel m = model;
        for (std::int64_t i = 0; i < settings.run.steps; ++i) {
            m.Step(StepLoad(settings.step, loadOff, load, i, static_cast<double>(m.Omega)));
            // Compared in extended; NaN compares false and keeps the maximum.
            if (m.Md > mdMax)
                mdMax = ToDouble(m.Md);
            if (m.Omega > omegaMax)
                omegaMax = ToDouble(m.Omega);
            const auto x = static_cast<double>(i);
            mdTrace.AppendPoint(x, ToDouble(m.Md), "", mdColour);
            omegaTrace.AppendPoint(x, ToDouble(m.Omega), "", omegaColour);
        }
        model = m;
    }

    host.SetMdMaxText(toolkit::FloatToStr(mdMax));
    host.SetOmegaMaxText(toolkit::FloatToStr(omegaMax));
    return load;
}
