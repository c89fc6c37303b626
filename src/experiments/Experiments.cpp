#include "experiments/Experiments.h"

#include "experiments/DqRuns.h"

#include "toolkit/Conversions.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using toolkit::ToDouble;

// Writes a run's Md and Omega into its traces. Each step's values go in
// unchecked and are looked at a stretch of steps at a time: a test between
// the x87 steps sends the model's state out of the registers at every step,
// and doubled the run's time.
class RunRecorder {
public:
    // With maxima, each step first brings the largest Md and Omega so far
    // up to its own, as the step response does, then appends its values.
    enum class Maxima { Tracked, None };

    RunRecorder(RunResult& result, Maxima maxima)
        : result_(result), maxima_(maxima), md_(result.traces[0]), omega_(result.traces[1])
    {
        const auto steps = static_cast<std::size_t>(result.settings.run.steps);
        md_.Start(DefinitionOf(result.kind, Quantity::Md).pointColour);
        omega_.Start(DefinitionOf(result.kind, Quantity::Omega).pointColour);
        mdValues_ = md_.MakeRoom(steps);
        omegaValues_ = omega_.MakeRoom(steps);
    }
    // The traces hold the values of the steps checked, whichever way the
    // run ended.
    ~RunRecorder()
    {
        md_.Written(mdValues_ + mdChecked_);
        omega_.Written(omegaValues_ + omegaChecked_);
    }
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    // Takes the values, not the model: a model whose address a call takes
    // leaves the x87 registers for memory at every step.
    void Write(std::int64_t step, Extended md, Extended omega)
    {
        mdValues_[step] = static_cast<double>(md);
        omegaValues_[step] = static_cast<double>(omega);
    }

    // Checks the steps written before `end` and raises EOverflow at the
    // first value a double cannot hold, keeping what the steps before it
    // kept. The maxima are taken on the rounded values: rounding never
    // changes the order of two values, so the largest rounded value is the
    // largest value rounded, whichever type the comparisons are made in.
    void Check(std::int64_t end)
    {
        // Kept in registers: through the result, each comparison would wait
        // for the store of the one before.
        double mdMax = result_.mdMax;
        double omegaMax = result_.omegaMax;
        for (std::int64_t i = omegaChecked_; i < end; ++i) {
            const double md = mdValues_[i];
            const double omega = omegaValues_[i];
            if (!std::isfinite(md) || !std::isfinite(omega)) [[unlikely]]
                Overflowed(i, omegaMax);
            mdMax = std::max(mdMax, md);
            omegaMax = std::max(omegaMax, omega);
        }
        if (maxima_ == Maxima::Tracked) {
            result_.mdMax = mdMax;
            result_.omegaMax = omegaMax;
        }
        mdChecked_ = omegaChecked_ = end;
    }

private:
    // The step's Md stays when its own rounding and the maxima's before it
    // went through: a rising Omega fails at its maximum, before Md's append.
    [[noreturn]] void Overflowed(std::int64_t step, double omegaMax)
    {
        const bool maximumFirst = maxima_ == Maxima::Tracked && omegaValues_[step] > omegaMax;
        const bool keepsMd = std::isfinite(mdValues_[step]) && !maximumFirst;
        omegaChecked_ = step;
        mdChecked_ = step + (keepsMd ? 1 : 0);
        toolkit::ThrowOverflow();
    }

    RunResult& result_;
    Maxima maxima_;
    Trace& md_;
    Trace& omega_;
    double* mdValues_;
    double* omegaValues_;
    std::int64_t mdChecked_ = 0;
    std::int64_t omegaChecked_ = 0;
};

// Calls step(i) for i from 0 to steps - 1, looking at the written values
// and then the control between stretches of steps; whether it got to the
// end uncancelled.
template <typename MakeStep>
bool EachStep(std::int64_t steps, const RunControl& control, RunRecorder& recorder, MakeStep&& step)
{
    return control.InStretches(steps, [&](std::int64_t from, std::int64_t to) {
        for (std::int64_t i = from; i < to; ++i)
            step(i);
        recorder.Check(to);
    });
}

// The typed load, held from step.on to step.off - 1 and shaped by
// step.profile; loads above the limit are refused before any step.
bool RunStepResponse(RunResult& result, const std::string& loadText, const RunControl& control)
{
    const Settings& settings = result.settings;
    const std::int32_t load = toolkit::StrToInt(loadText);
    result.load = load;
    MotorModel m{};
    m.Reset(settings.model);
    result.mdMax = ToDouble(m.Md);
    result.omegaMax = ToDouble(m.Omega);
    result.model = m;
    if (load > settings.run.limit) {
        result.outcome = RunOutcome::Refused;
        return true;
    }
    RunRecorder recorder(result, RunRecorder::Maxima::Tracked);
    const std::int64_t loadOff = settings.LoadOff();
    const MotorModel::Factors factors = m.StepFactors();
    // A model of the run's own, not the result's, that nothing else writes:
    // its state then stays in registers across the steps.
    const bool ended = WithProfile(settings.step.profile, [&](auto profile) {
        return EachStep(settings.run.steps, control, recorder, [&](std::int64_t i) {
            const double omega = static_cast<double>(m.Omega);
            m.Step(ProfileLoad<profile()>(settings.step, loadOff, load, i, omega), factors);
            recorder.Write(i, m.Md, m.Omega);
        });
    });
    result.model = m;
    return ended;
}

// A fresh load from the source at every step, one draw before each step.
template <typename DrawLoad>
bool RunRandomLoad(RunResult& result, const RunControl& control, DrawLoad drawLoad)
{
    const Settings& settings = result.settings;
    MotorModel& model = result.model;
    model.Reset(settings.model);
    RunRecorder recorder(result, RunRecorder::Maxima::None);
    SeedSources(result.sources, settings.run);
    return EachStep(settings.run.steps, control, recorder, [&](std::int64_t i) {
        model.Step(drawLoad(result.sources, settings));
        recorder.Write(i, model.Md, model.Omega);
    });
}

bool MakeRun(RunResult& result, const std::string& loadText, const RunControl& control)
{
    if (result.settings.Kind() == ModelKind::Dq)
        return MakeDqRun(result, loadText, control);
    switch (result.kind) {
    case RunKind::Gauss:
        return RunRandomLoad(result, control,
                             [](RandomSources& s, const Settings& settings) { return GaussianLoad(s.normal, settings.gauss); });
    case RunKind::Uniform:
        return RunRandomLoad(result, control, [](RandomSources& s, const Settings& settings) {
            return UniformLoad(s.integer, settings.uniform);
        });
    case RunKind::Step:
        break;
    }
    return RunStepResponse(result, loadText, control);
}

} // namespace

void SeedSources(RandomSources& sources, const RunSettings& run)
{
    if (run.seed) {
        sources.normal.Seed(static_cast<std::uint64_t>(*run.seed));
        sources.integer.srand(static_cast<unsigned>(*run.seed));
    }
}

RunResult RunExperiment(RunRequest request, const RunControl& control)
{
    CheckSettings(request.settings);
    RunResult result{.kind = request.kind,
                     .settings = std::move(request.settings),
                     .traces = {MakeTrace(DefinitionOf(request.kind, Quantity::Md)),
                                MakeTrace(DefinitionOf(request.kind, Quantity::Omega))},
                     .sources = request.sources,
                     .loadText = request.loadText,
                     .drawnFrom = std::move(request.sources)};
    if (request.spare) {
        for (std::size_t i = 0; i < result.traces.size(); ++i) {
            result.traces[i].SwapPoints((*request.spare)[i]);
            result.traces[i].Clear();
        }
    }
    try {
        if (!MakeRun(result, request.loadText, control))
            result.outcome = RunOutcome::Cancelled;
    } catch (const toolkit::Exception&) {
        result.outcome = RunOutcome::Failed;
        result.error = std::current_exception();
    }
    return result;
}
