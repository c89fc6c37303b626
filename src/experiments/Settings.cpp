#include "experiments/Settings.h"

#include "experiments/SettingRules.h"

#include "plot/ChartRange.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
#include <utility>
#include <vector>

using settingrules::About;
using settingrules::Fixed;
using settingrules::Following;
using settingrules::ForEachSetting;
using settingrules::kModelKindNames;
using settingrules::Refusal;
using settingrules::ShortestText;
using settingrules::ValueOf;

namespace {

// The step response removes its load here unless told otherwise, or at the
// run's end if that comes first.
constexpr std::int64_t kDefaultLoadOff = 1000;

static_assert(kEmptyChartRanges.x.max == static_cast<double>(RunSettings{}.steps),
              "an empty chart shows the steps of a run of the default length");

// The model's time constant, sk / w0 rounded to double, can still leave the
// range when both are within theirs.
std::optional<Problem> TimeConstantProblem(const MotorParameters& parameters)
{
    MotorModel model{};
    model.Reset(parameters);
    if (std::isfinite(model.T) && model.T > 0)
        return std::nullopt;
    return Problem{.kind = ProblemKind::TimeConstantUnusable,
                   .setting = "model.sk",
                   .value = ShortestText(model.T),
                   .from = {Following("model.sk", parameters.sk), Following("model.w0", parameters.w0)}};
}

// The limits that follow other settings and that the value crossed: the
// settings a refusal is about besides its own.
template <typename Rule, typename Value>
std::vector<Bound> Crossed(const Rule& rule, Value value)
{
    std::vector<Bound> crossed;
    // A value that is no finite number is wrong on its own.
    if constexpr (std::is_floating_point_v<Value>)
        if (!std::isfinite(value))
            return crossed;
    // Compared so that a limit that is no number is crossed too.
    const Allowed allowed = rule.Described();
    if constexpr (requires { rule.min; })
        if (!allowed.min.setting.empty() && !(value >= rule.min))
            crossed.push_back(allowed.min);
    if constexpr (requires { rule.max; })
        if (!allowed.max.setting.empty() && !(value <= rule.max))
            crossed.push_back(allowed.max);
    return crossed;
}

// Whether the problem is about one of the named settings.
bool Concerns(const Problem& problem, std::span<const std::string> names)
{
    const std::vector<std::string> named = SettingsNamed(problem);
    return std::any_of(named.begin(), named.end(),
                       [&](const std::string& name) { return std::find(names.begin(), names.end(), name) != names.end(); });
}

} // namespace

std::int64_t Settings::LoadOff() const
{
    return step.off.value_or(std::min(kDefaultLoadOff, run.steps));
}

std::vector<Problem> SettingsProblems(const Settings& settings, std::vector<std::string> unjudged)
{
    std::vector<Problem> problems;
    auto add = [&](Problem problem) {
        if (Concerns(problem, unjudged))
            return;
        unjudged.push_back(problem.setting);
        problems.push_back(std::move(problem));
    };
    auto refuse = [&](std::string_view name, const auto& rule, auto value, std::string_view shown) {
        Problem problem = Refusal(name, rule, shown);
        problem.from = Crossed(rule, value);
        add(std::move(problem));
    };
    const Settings defaults;
    ForEachSetting(settings, [&](const About& about, const auto& field, const auto& rule) {
        // Another model's setting is not judged by its rule, but it may not
        // have been changed: the run would not use what was given.
        if (about.model && *about.model != settings.Kind()) {
            if (GetSetting(settings, about.name) != GetSetting(defaults, about.name))
                add(*OtherKindProblem(settings, std::array{std::string(about.name)}));
            return;
        }
        if constexpr (requires { field.has_value(); }) {
            if (field && !rule.Allows(*field))
                refuse(about.name, rule, *field, ShownText(ValueOf(*field)));
        } else if (!rule.Allows(field)) {
            refuse(about.name, rule, field, ShownText(ValueOf(field)));
        }
    });
    if (settings.Kind() == ModelKind::ThreeState)
        if (auto problem = TimeConstantProblem(settings.model))
            add(std::move(*problem));
    return problems;
}

void CheckSettings(const Settings& settings)
{
    const std::vector<Problem> problems = SettingsProblems(settings);
    if (!problems.empty())
        throw SettingsError(problems.front());
}

std::vector<std::string> SettingsNamed(const Problem& problem)
{
    std::vector<std::string> named{problem.setting};
    for (const Bound& bound : problem.from)
        if (!bound.setting.empty() && bound.setting != problem.setting)
            named.push_back(bound.setting);
    return named;
}

std::optional<Problem> UnstableStep(const Settings& settings)
{
    // The d-q machine's step is the lecturer's to choose: with forward Euler
    // a step that diverges is what the method is shown for.
    const double limit = StableStepLimit(settings.model);
    if (settings.Kind() != ModelKind::ThreeState || !(settings.model.dt > limit))
        return std::nullopt;
    return Problem{.kind = ProblemKind::StepPastStableLimit,
                   .setting = "model.dt",
                   .value = ShortestText(settings.model.dt),
                   .from = {Fixed(limit)}};
}

SettingsError UnknownSetting(std::string_view name, std::string_view nearest)
{
    return SettingsError(
        {.kind = ProblemKind::UnknownSetting, .value = std::string(name), .nearest = std::string(nearest)});
}

std::string_view ModelKindName(ModelKind kind)
{
    return kModelKindNames[static_cast<std::size_t>(kind)];
}

DqParameters DqParametersOf(const Settings& settings)
{
    const DqSettings& dq = settings.dq;
    const MotorParameters& shared = settings.model;
    return {.Rs = dq.Rs, .Rr = dq.Rr, .Lls = dq.Lls, .Llr = dq.Llr, .Lm = dq.Lm, .U = dq.U,
            .w0 = shared.w0, .p = shared.p, .J = shared.J, .dt = shared.dt, .integrator = dq.integrator};
}

DqSupplyEvents DqSupplyEventsOf(const Settings& settings)
{
    const SupplySettings& supply = settings.supply;
    DqSupplyEvents events{.reverseOn = supply.reverseOn};
    if (supply.dipOn) {
        events.dipOn = *supply.dipOn;
        events.dipOff = supply.dipOff.value_or(settings.run.steps);
        events.dipLevel = supply.dipLevel;
    }
    return events;
}

std::optional<Problem> OtherKindProblem(const Settings& settings, std::span<const std::string> given)
{
    for (const std::string& name : given)
        if (!SettingOfKind(name, settings.Kind()))
            return Problem{.kind = ProblemKind::OtherModelKind,
                           .setting = name,
                           .value = ShownText(*GetSetting(settings, name)),
                           .from = {{"model.kind", ShownText(ValueOf(settings.Kind()))}}};
    return std::nullopt;
}
