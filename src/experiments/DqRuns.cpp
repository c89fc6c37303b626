#include "experiments/DqRuns.h"

#include "experiments/Experiments.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

bool Finite(const DqQuantities& q)
{
    return std::isfinite(q.Md) && std::isfinite(q.Omega) && std::isfinite(q.Is) && std::isfinite(q.ia);
}

// Steps the machine from `from` to `to` - 1 under load(i, Omega), Omega
// the speed at the start of step i, handing each step's quantities to take;
// false at the first step out of range, which take is not given.
template <typename Load, typename Take>
bool DqSteps(DqModel& machine, std::int64_t from, std::int64_t to, const Load& load, const Take& take)
{
    for (std::int64_t i = from; i < to; ++i) {
        const DqQuantities q = machine.Step(load(i, machine.State().Omega));
        if (!Finite(q))
            return false;
        take(q);
    }
    return true;
}

// The run's four traces, Md, Omega, Is and ia, with room for every step
// made at the start and cut to the steps taken however the run ends, as
// the three-state run keeps its two: an append at each value would cost
// more than the step itself.
class DqRecorder {
public:
    DqRecorder(const std::array<Trace*, kDqQuantities.size()>& traces, std::int64_t steps) : traces_(traces)
    {
        for (std::size_t k = 0; k < traces_.size(); ++k)
            values_[k] = traces_[k]->MakeRoom(static_cast<std::size_t>(steps));
    }
    ~DqRecorder()
    {
        for (std::size_t k = 0; k < traces_.size(); ++k)
            traces_[k]->Written(values_[k] + taken_);
    }
    DqRecorder(const DqRecorder&) = delete;
    DqRecorder& operator=(const DqRecorder&) = delete;

    void Take(const DqQuantities& q)
    {
        values_[0][taken_] = q.Md;
        values_[1][taken_] = q.Omega;
        values_[2][taken_] = q.Is;
        values_[3][taken_] = q.ia;
        ++taken_;
    }

private:
    std::array<Trace*, kDqQuantities.size()> traces_;
    std::array<double*, kDqQuantities.size()> values_{};
    std::size_t taken_ = 0;
};

// Calls f with the step response's load at step i under the settings'
// profile, or a fresh random draw for the random runs.
template <typename F>
decltype(auto) WithLoad(RunResult& result, double load, F&& f)
{
    const Settings& s = result.settings;
    switch (result.kind) {
    case RunKind::Gauss:
        return f([&](std::int64_t, double) { return GaussianLoad(result.sources.normal, s.gauss); });
    case RunKind::Uniform:
        return f([&](std::int64_t, double) { return UniformLoad(result.sources.integer, s.uniform); });
    case RunKind::Step:
        break;
    }
    const std::int64_t off = s.LoadOff();
    return WithProfile(s.step.profile, [&](auto profile) {
        return f([&, off](std::int64_t i, double Omega) { return ProfileLoad<profile()>(s.step, off, load, i, Omega); });
    });
}

} // namespace

bool MakeDqRun(RunResult& result, const std::string& loadText, const RunControl& control)
{
    const Settings& settings = result.settings;
    double load = 0;
    if (result.kind == RunKind::Step) {
        const std::int32_t typed = toolkit::StrToInt(loadText);
        result.load = typed;
        result.mdMax = 0;
        result.omegaMax = 0;
        if (typed > settings.run.limit) {
            result.outcome = RunOutcome::Refused;
            return true;
        }
        load = typed;
    } else {
        SeedSources(result.sources, settings.run);
    }
    std::array<Trace*, kDqQuantities.size()> traces{};
    for (std::size_t k = 0; k < kDqQuantities.size(); ++k) {
        const Quantity quantity = kDqQuantities[k];
        traces[k] = &result.Of(quantity);
        traces[k]->Start(IsCurrent(quantity) ? clBlack : DefinitionOf(result.kind, quantity).pointColour);
    }
    const bool maxima = result.kind == RunKind::Step;
    DqModel machine(DqParametersOf(settings), DqSupplyEventsOf(settings));
    DqRecorder recorder(traces, settings.run.steps);
    return WithLoad(result, load, [&](const auto& loadAt) {
        return control.InStretches(settings.run.steps, [&](std::int64_t from, std::int64_t to) {
            const bool inRange = DqSteps(machine, from, to, loadAt, [&](const DqQuantities& q) {
                recorder.Take(q);
                if (maxima) {
                    result.mdMax = std::max(result.mdMax, q.Md);
                    result.omegaMax = std::max(result.omegaMax, q.Omega);
                }
            });
            if (!inRange)
                toolkit::ThrowOverflow();
        });
    });
}
