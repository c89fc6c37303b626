#pragma once

#include "experiments/Settings.h"
#include "experiments/SettingsTable.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// Every setting once: its name, what the front ends show of it and the rule
// its value is judged by. Checking, reading and writing settings and their
// table all walk this one list.
namespace settingrules {

inline constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
inline constexpr std::int64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();

inline constexpr std::array<std::string_view, 4> kProfileNames{"step", "ramp", "fan", "periodic"};
inline constexpr std::array<std::string_view, 2> kModelKindNames{"three-state", "dq"};
inline constexpr std::array<std::string_view, 2> kIntegratorNames{"rk4", "euler"};

// The names a setting of one of a few values is written with, in the
// enum's order.
template <typename Choice>
constexpr std::span<const std::string_view> NamesOf()
{
    if constexpr (std::is_same_v<Choice, LoadProfile>)
        return kProfileNames;
    else if constexpr (std::is_same_v<Choice, ModelKind>)
        return kModelKindNames;
    else
        return kIntegratorNames;
}

template <typename Field>
inline constexpr bool kIsChoice =
    std::is_same_v<Field, LoadProfile> || std::is_same_v<Field, ModelKind> || std::is_same_v<Field, DqIntegrator>;

// The shortest text that reads back to the same double.
inline std::string ShortestText(double value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

// A limit that is a number: its shortest text.
inline Bound Fixed(double value)
{
    return {{}, ShortestText(value)};
}

inline Bound Fixed(std::int64_t value)
{
    return {{}, std::to_string(value)};
}

// A limit that follows another setting, with its value.
inline Bound Following(std::string_view name, std::int64_t value)
{
    return {std::string(name), std::to_string(value)};
}

inline Bound Following(std::string_view name, double value)
{
    return {std::string(name), ShortestText(value)};
}

// What a setting allows: Allows() decides and Described() tells the front
// ends.
struct FiniteNumber {
    bool Allows(double value) const { return std::isfinite(value); }
    Allowed Described() const { return {.kind = AllowedKind::FiniteNumber}; }
};

struct NumberAboveZero {
    bool Allows(double value) const { return std::isfinite(value) && value > 0; }
    Allowed Described() const { return {.kind = AllowedKind::NumberAboveZero}; }
};

struct NumberAtLeast {
    double min;
    std::string_view minName = {};
    bool Allows(double value) const { return std::isfinite(value) && value >= min; }
    Allowed Described() const
    {
        return {.kind = AllowedKind::NumberAtLeast, .min = minName.empty() ? Fixed(min) : Following(minName, min)};
    }
};

struct WholeBetween {
    std::int64_t min;
    std::int64_t max;
    std::string_view minName = {};
    std::string_view maxName = {};
    bool Allows(std::int64_t value) const { return min <= value && value <= max; }
    Allowed Described() const
    {
        return {.kind = AllowedKind::WholeBetween,
                .min = minName.empty() ? Fixed(min) : Following(minName, min),
                .max = maxName.empty() ? Fixed(max) : Following(maxName, max)};
    }
};

// A whole number held as a double, as the model's pole pairs are: 2.0 is
// whole, 2.5 is not.
struct WholeNumberAtLeast {
    double min;
    bool Allows(double value) const { return std::isfinite(value) && value >= min && value == std::floor(value); }
    Allowed Described() const { return {.kind = AllowedKind::WholeNumberAtLeast, .min = Fixed(min)}; }
};

// One of an enum's names; a value of the enum is one of them already.
template <typename Choice>
struct OneOf {
    bool Allows(Choice) const { return true; }
    Allowed Described() const
    {
        const std::span<const std::string_view> names = NamesOf<Choice>();
        return {.kind = AllowedKind::OneOf, .choices = {names.begin(), names.end()}};
    }
};

// The runs a setting changes.
inline constexpr std::array kEveryRun{RunKind::Gauss, RunKind::Uniform, RunKind::Step};
inline constexpr std::array kRandomRuns{RunKind::Gauss, RunKind::Uniform};
inline constexpr std::array kGaussRun{RunKind::Gauss};
inline constexpr std::array kUniformRun{RunKind::Uniform};
inline constexpr std::array kStepRun{RunKind::Step};
// The step response's load names a step response's pin on its own.
inline constexpr std::span<const RunKind> kNoRun{};

// What the front ends show about a setting besides its value and rule.
struct About {
    std::string_view name;
    Unit unit;
    std::string_view label;
    std::span<const RunKind> shapes;
    std::string_view help = {};
    // The model it belongs to; none for one of both.
    std::optional<ModelKind> model = {};
};

// Calls visit(about, field, rule) for every setting, in the order files
// list them; S is Settings or const Settings. The rules of later settings
// may refer to earlier ones, which CheckSettings has then passed already.
template <typename S, typename Visit>
void ForEachSetting(S& s, Visit&& visit)
{
    using enum Unit;
    constexpr auto kThreeState = ModelKind::ThreeState;
    constexpr auto kDq = ModelKind::Dq;
    visit(About{"model.kind", None, "the motor model", kEveryRun,
                "unset or \"three-state\", the lumped model of Md, Omega and K; \"dq\", the fifth-order d-q induction machine"},
          s.kind, OneOf<ModelKind>{});
    visit(About{"model.J", KilogramSquareMetre, "moment of inertia", kEveryRun}, s.model.J, NumberAboveZero{});
    visit(About{"model.Mk", NewtonMetre, "torque constant of the K equation", kEveryRun,
                "not a breakdown torque: the model's static curve has none", kThreeState},
          s.model.Mk, NumberAboveZero{});
    visit(About{"model.sk", None, "sets the time constant T = sk / w0", kEveryRun, {}, kThreeState}, s.model.sk,
          NumberAboveZero{});
    visit(About{"model.p", None, "number of pole pairs", kEveryRun}, s.model.p, WholeNumberAtLeast{1});
    visit(About{"model.dt", Second, "integration step", kEveryRun,
                "for the three-state model, past min(2 T, J / (2 p Mk T)) the run cannot settle and a warning is given"},
          s.model.dt, NumberAboveZero{});
    visit(About{"model.w0", RadianPerSecond, "angular frequency of the supply", kEveryRun,
                "without load the rotor settles at w0 / p"},
          s.model.w0, NumberAboveZero{});
    visit(About{"model.Rs", Ohm, "stator resistance per phase", kEveryRun, {}, kDq}, s.dq.Rs, NumberAtLeast{0});
    visit(About{"model.Rr", Ohm, "rotor resistance per phase, referred to the stator", kEveryRun, {}, kDq}, s.dq.Rr,
          NumberAboveZero{});
    visit(About{"model.Lls", Henry, "stator leakage inductance", kEveryRun, {}, kDq}, s.dq.Lls, NumberAboveZero{});
    visit(About{"model.Llr", Henry, "rotor leakage inductance, referred to the stator", kEveryRun, {}, kDq}, s.dq.Llr,
          NumberAboveZero{});
    visit(About{"model.Lm", Henry, "magnetising inductance", kEveryRun, {}, kDq}, s.dq.Lm, NumberAboveZero{});
    visit(About{"model.U", Volt, "RMS voltage across one phase winding", kEveryRun, {}, kDq}, s.dq.U,
          NumberAtLeast{0});
    visit(About{"model.integrator", None, "integration method", kEveryRun,
                "\"rk4\", classical Runge-Kutta; \"euler\", forward Euler", kDq},
          s.dq.integrator, OneOf<DqIntegrator>{});
    visit(About{"run.steps", None, "number of steps", kEveryRun}, s.run.steps, WholeBetween{1, 10'000'000});
    visit(About{"run.limit", NewtonMetre, "largest load the step response takes", kStepRun,
                "a typed load above it is refused"},
          s.run.limit, WholeBetween{kInt32Min, kInt32Max});
    visit(About{"run.seed", None, "seed of the random sources", kRandomRuns,
                "unset, the uniform source is seeded from the clock and the Gaussian one not at all"},
          s.run.seed, WholeBetween{0, kUint32Max});
    visit(About{"gauss.mean", NewtonMetre, "mean of the Gaussian load", kGaussRun}, s.gauss.mean, FiniteNumber{});
    visit(About{"gauss.sd", NewtonMetre, "standard deviation of the Gaussian load", kGaussRun}, s.gauss.sd,
          NumberAboveZero{});
    visit(About{"uniform.low", NewtonMetre, "lowest uniform load", kUniformRun}, s.uniform.low, FiniteNumber{});
    visit(About{"uniform.high", NewtonMetre, "highest uniform load", kUniformRun}, s.uniform.high,
          NumberAtLeast{s.uniform.low, "uniform.low"});
    visit(About{"uniform.levels", None, "number of load levels from low to high", kUniformRun}, s.uniform.levels,
          WholeBetween{2, 1'000'000});
    visit(About{"step.load", NewtonMetre, "load of the step response", kNoRun,
                "unset, the load typed or given on the command line"},
          s.step.load, WholeBetween{kInt32Min, kInt32Max});
    visit(About{"step.profile", None, "how the load acts", kStepRun}, s.step.profile, OneOf<LoadProfile>{});
    visit(About{"step.on", Step, "step at which the load is applied", kStepRun}, s.step.on,
          WholeBetween{0, s.LoadOff(), {}, "step.off"});
    visit(About{"step.off", Step, "step at which the load is removed", kStepRun, "unset, min(1000, run.steps)"},
          s.step.off, WholeBetween{s.step.on, s.run.steps, "step.on", "run.steps"});
    visit(About{"step.ramp", Steps, "steps a ramp takes to reach the load", kStepRun}, s.step.ramp,
          WholeBetween{0, s.run.steps, {}, "run.steps"});
    visit(About{"step.k", NewtonMetreSecondSquared, "fan coefficient", kStepRun}, s.step.k, FiniteNumber{});
    visit(About{"step.amplitude", NewtonMetre, "amplitude of the periodic load", kStepRun}, s.step.amplitude,
          FiniteNumber{});
    visit(About{"step.period", Steps, "period of the periodic load", kStepRun}, s.step.period, NumberAtLeast{1});
    visit(About{"supply.dip_on", Step, "step at which the supply's voltage dips", kEveryRun, "unset, no dip", kDq},
          s.supply.dipOn, WholeBetween{0, s.run.steps, {}, "run.steps"});
    visit(About{"supply.dip_off", Step, "step at which the voltage comes back", kEveryRun,
                "unset, at the run's end; without supply.dip_on, no dip", kDq},
          s.supply.dipOff, WholeBetween{s.supply.dipOn.value_or(0), s.run.steps, "supply.dip_on", "run.steps"});
    visit(About{"supply.dip_level", None, "the voltage during the dip, as a share of model.U", kEveryRun, {}, kDq},
          s.supply.dipLevel, NumberAtLeast{0});
    visit(About{"supply.reverse_on", Step, "step at which two phases are swapped (plugging)", kEveryRun,
                "unset, never", kDq},
          s.supply.reverseOn, WholeBetween{0, s.run.steps, {}, "run.steps"});
}

template <typename Rule>
Problem Refusal(std::string_view name, const Rule& rule, std::string_view shownValue)
{
    return {.kind = ProblemKind::NotAllowed, .setting = std::string(name), .value = std::string(shownValue),
            .allowed = rule.Described()};
}

[[noreturn]] inline void RejectUnknown(std::string_view name)
{
    throw UnknownSetting(name, NearestName(name, SettingNames()));
}

// A field's value as files write it: a choice by its name.
inline SettingValue ValueOf(double field) { return field; }
inline SettingValue ValueOf(std::int64_t field) { return field; }
template <typename Choice>
    requires kIsChoice<Choice>
SettingValue ValueOf(Choice field)
{
    return std::string(NamesOf<Choice>()[static_cast<std::size_t>(field)]);
}

} // namespace settingrules
