#include "experiments/Experiments.h"

#include "toolkit/Conversions.h"

#include <algorithm>
#include <utility>

namespace {

using toolkit::ToDouble;

// Calls step(i) for i from 0 to steps - 1, looking at the control between
// stretches of steps; whether it got to the end uncancelled.
template <typename MakeStep>
bool EachStep(std::int64_t steps, const RunControl& control, MakeStep&& step)
{
    for (std::int64_t i = 0; i < steps;) {
        const std::int64_t end = std::min(steps, i + RunControl::kProgressSteps);
        for (; i < end; ++i)
            step(i);
        if (i == steps)
            break;
        if (control.Cancelled())
            return false;
        if (control.progress)
            control.progress(i);
    }
    return true;
}

class RunRecorder {
public:
    explicit RunRecorder(RunResult& result)
        : md_(result.traces[0]), omega_(result.traces[1])
    {
        const auto steps = static_cast<std::size_t>(result.settings.run.steps);
        md_.Start(DefinitionOf(result.kind, Quantity::Md).pointColour, steps);
        omega_.Start(DefinitionOf(result.kind, Quantity::Omega).pointColour, steps);
        nextMd_ = md_.MakeRoom(steps);
        nextOmega_ = omega_.MakeRoom(steps);
    }
    // The traces hold the values of the steps made, whichever way the run
    // ended.
    ~RunRecorder()
    {
        md_.Written(nextMd_);
        omega_.Written(nextOmega_);
    }
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    // Raises EOverflow, with the points before kept, for a state the double
    // range cannot hold. Takes the values, not the model: a model whose
    // address a call takes leaves the x87 registers for memory at every step.
    // Inlined, or each step's two values go through memory to a call: a
    // quarter of the run.
    [[gnu::always_inline]] void Append(Extended md, Extended omega)
    {
        // Md's value stays when Omega's overflows.
        *nextMd_++ = ToDouble(md);
        *nextOmega_++ = ToDouble(omega);
    }

private:
    Trace& md_;
    Trace& omega_;
    double* nextMd_;
    double* nextOmega_;
};

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
    RunRecorder recorder(result);
    const std::int64_t loadOff = settings.LoadOff();
    // Stepping a local copy lets the state stay in registers across the
    // trace appends; the result takes the final state at the end.
    const bool ended = EachStep(settings.run.steps, control, [&](std::int64_t i) {
        m.Step(StepLoad(settings.step, loadOff, load, i, static_cast<double>(m.Omega)));
        // Compared in extended; NaN compares false and keeps the maximum.
        if (m.Md > result.mdMax)
            result.mdMax = ToDouble(m.Md);
        if (m.Omega > result.omegaMax)
            result.omegaMax = ToDouble(m.Omega);
        recorder.Append(m.Md, m.Omega);
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
    RunRecorder recorder(result);
    // A lab's random runs repeat exactly when its settings give a seed.
    if (settings.run.seed) {
        result.sources.normal.Seed(static_cast<std::uint64_t>(*settings.run.seed));
        result.sources.integer.srand(static_cast<unsigned>(*settings.run.seed));
    }
    return EachStep(settings.run.steps, control, [&](std::int64_t) {
        model.Step(drawLoad(result.sources, settings));
        recorder.Append(model.Md, model.Omega);
    });
}

bool MakeRun(RunResult& result, const std::string& loadText, const RunControl& control)
{
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
