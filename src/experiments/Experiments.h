#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Random.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// A run as a value: a request goes in, a result comes out, and the window
// and the batch tool each show the result in their own way. Nothing here
// touches a window, a global or a clock.

// The sources the random runs draw from. A run takes them and hands them
// back advanced, so successive runs continue one sequence wherever they
// ran.
struct RandomSources {
    runtime::IntegerSource integer;
    toolkit::NormalSource normal;

    // New sources seeded from these, which move on by one draw each: a
    // family's members draw from sources of their own, made one after
    // another, so they can run at once and still draw what they would
    // one after another.
    RandomSources Fork();

    // Both sources' states as one text, and back: Restore refuses, changing
    // nothing, a text that is not one.
    std::string State() const;
    bool Restore(std::string_view state);

    bool operator==(const RandomSources&) const = default;
};

// The sources as the window starts with them: the uniform one seeded from
// the clock, the Gaussian one not at all.
RandomSources ClockSeededSources();

// The sources a run without a window starts from: seeded by run.seed where
// it is set (the runs seed themselves from it), else from the clock, as the
// window's uniform source is.
RandomSources SourcesOf(const Settings& settings);

// The quantities a run under the settings reports: the d-q machine's
// currents beside Md and Omega.
inline std::span<const Quantity> QuantitiesOf(const Settings& settings)
{
    return settings.Kind() == ModelKind::Dq ? std::span<const Quantity>(kDqQuantities) : kQuantities;
}

// Whether a run under the settings reports the quantity.
inline bool Reports(const Settings& settings, Quantity quantity)
{
    return std::ranges::find(QuantitiesOf(settings), quantity) != QuantitiesOf(settings).end();
}

// What a run is made from, all of it: made again, it is the same run to the
// last bit.
struct RunRecipe {
    RunKind kind;
    Settings settings;
    std::string loadText;
    // The sources as the run found them.
    RandomSources sources;
    bool operator==(const RunRecipe&) const = default;
};

struct RunRequest {
    RunKind kind;
    // Checked before the run starts.
    Settings settings;
    // The step response's load as the user gave it, parsed as StrToInt does.
    std::string loadText;
    RandomSources sources;
    // Traces of an earlier run, Md and Omega, whose storage the run takes
    // over: a long run then writes into memory that is already there
    // instead of asking the system for it anew.
    std::optional<std::array<Trace, 2>> spare = std::nullopt;
};

enum class RunOutcome {
    Done,
    // The step response's load is above run.limit; no step was made.
    Refused,
    // The load text is not an integer (no point), or a state left the double
    // range: the points up to the failing step are kept.
    Failed,
    // Stopped on request: the result holds nothing to show.
    Cancelled,
};

struct RunResult {
    RunKind kind;
    Settings settings;
    RunOutcome outcome = RunOutcome::Done;
    // The step response's load, once the text parsed.
    std::optional<std::int32_t> load{};
    // Md and Omega at each step made, titled and coloured as the run's
    // traces on the chart; step i is the state after the i-th step.
    std::array<Trace, 2> traces;
    // Is and ia at each step of a d-q run; empty for the three-state model,
    // which has no currents.
    std::array<Trace, 2> currents{Trace(std::string(QuantityName(Quantity::Is)), clBlack),
                                  Trace(std::string(QuantityName(Quantity::ia)), clBlack)};
    // The largest Md and Omega of a step response, from the reset's 0 on;
    // set once the load parsed.
    double mdMax = 0;
    double omegaMax = 0;
    // Why a failed run failed, as raised: toolkit::EConvertError or
    // toolkit::EOverflow.
    std::exception_ptr error{};
    // The model where the run left it.
    MotorModel model{};
    RandomSources sources;
    // What the run was made from.
    std::string loadText{};
    RandomSources drawnFrom{};

    RunRecipe Recipe() const { return {kind, settings, loadText, drawnFrom}; }

    const Trace& Of(Quantity quantity) const
    {
        const auto i = static_cast<std::size_t>(quantity);
        return i < traces.size() ? traces[i] : currents[i - traces.size()];
    }
    Trace& Of(Quantity quantity) { return const_cast<Trace&>(std::as_const(*this).Of(quantity)); }
    // The quantities the run's model reports.
    std::span<const Quantity> Quantities() const { return QuantitiesOf(settings); }
    // What its traces were made with, kept with them when they are pinned.
    RunOrigin Origin(std::optional<FamilyPlace> family = {}) const
    {
        return OriginOf(kind, settings, load, std::move(family));
    }
};

// What a run reports while it lasts, and how it is stopped. Both are
// looked at every `stretch` steps, so a short run never sees them.
struct RunControl {
    static constexpr std::int64_t kProgressSteps = 1 << 16;
    // Told the steps made so far.
    std::function<void(std::int64_t steps)> progress;
    const std::atomic<bool>* cancel = nullptr;
    // Steps between two looks; at least 1.
    std::int64_t stretch = kProgressSteps;

    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }

    // Calls make(from, to) for each stretch of steps 0 to steps - 1 in turn,
    // reporting and looking for a stop between them; whether it got to the
    // end uncancelled.
    template <typename MakeStretch>
    bool InStretches(std::int64_t steps, MakeStretch&& make) const
    {
        const std::int64_t length = std::max<std::int64_t>(1, stretch);
        for (std::int64_t from = 0; from < steps;) {
            const std::int64_t to = std::min(steps, from + length);
            make(from, to);
            from = to;
            if (from == steps)
                break;
            if (Cancelled())
                return false;
            if (progress)
                progress(from);
        }
        return true;
    }
};

// Makes the requested run: resets a model of its own and makes run.steps
// steps. Raises SettingsError, before anything else, for settings that are
// not allowed; every other end is the result's outcome.
RunResult RunExperiment(RunRequest request, const RunControl& control = {});

// Seeds the sources from run.seed when the settings give one: a lab's
// random runs then repeat exactly.
void SeedSources(RandomSources& sources, const RunSettings& run);

double GaussianLoad(toolkit::NormalSource& source, const GaussSettings& gauss = {});
double UniformLoad(runtime::IntegerSource& source, const UniformSettings& uniform = {});

// Calls f with the profile as a compile-time constant
// (std::integral_constant): a run's loop then holds its own profile's
// arithmetic only, with no call that would keep the model's x87 state in
// memory at every step.
template <typename F>
decltype(auto) WithProfile(LoadProfile profile, F&& f)
{
    switch (profile) {
    case LoadProfile::Ramp:
        return f(std::integral_constant<LoadProfile, LoadProfile::Ramp>{});
    case LoadProfile::Fan:
        return f(std::integral_constant<LoadProfile, LoadProfile::Fan>{});
    case LoadProfile::Periodic:
        return f(std::integral_constant<LoadProfile, LoadProfile::Periodic>{});
    case LoadProfile::Step:
        break;
    }
    return f(std::integral_constant<LoadProfile, LoadProfile::Step>{});
}

// The step response's load at step i under the given profile, where the
// rotor turns at omega when the step starts.
template <LoadProfile profile>
double ProfileLoad(const StepSettings& step, std::int64_t loadOff, double load, std::int64_t i, double omega)
{
    if (i < step.on || i >= loadOff)
        return 0.0;
    if constexpr (profile == LoadProfile::Ramp) {
        if (i < step.on + step.ramp)
            return load * static_cast<double>(i - step.on + 1) / static_cast<double>(step.ramp);
    } else if constexpr (profile == LoadProfile::Fan) {
        return load + step.k * omega * std::fabs(omega);
    } else if constexpr (profile == LoadProfile::Periodic) {
        // Correctly rounded, so the periodic run is the same bits on every
        // machine, whatever its C library's sin gives in the last place.
        return load + step.amplitude * CorrectlyRoundedSin(6.283185307179586 * static_cast<double>(i - step.on) / step.period);
    }
    return load;
}

// The same under the settings' profile.
inline double StepLoad(const StepSettings& step, std::int64_t loadOff, double load, std::int64_t i, double omega)
{
    return WithProfile(step.profile, [&](auto profile) { return ProfileLoad<profile()>(step, loadOff, load, i, omega); });
}

