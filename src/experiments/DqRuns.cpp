#include "experiments/DqRuns.h"

#include "experiments/Experiments.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <algorithm>
#include <cmath>

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
    for (const Quantity quantity : kDqQuantities)
        result.Of(quantity).Start(IsCurrent(quantity) ? clBlack : DefinitionOf(result.kind, quantity).pointColour);
    const bool maxima = result.kind == RunKind::Step;
    DqModel machine(DqParametersOf(settings), DqSupplyEventsOf(settings));
    return WithLoad(result, load, [&](const auto& loadAt) {
        return control.InStretches(settings.run.steps, [&](std::int64_t from, std::int64_t to) {
            const bool inRange = DqSteps(machine, from, to, loadAt, [&](const DqQuantities& q) {
                for (const auto& [quantity, value] : {std::pair{Quantity::Md, q.Md}, std::pair{Quantity::Omega, q.Omega},
                                                      std::pair{Quantity::Is, q.Is}, std::pair{Quantity::ia, q.ia}})
                    result.Of(quantity).AppendNext(value);
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
