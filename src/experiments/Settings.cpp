#include "experiments/Settings.h"

#include "experiments/SettingsTable.h"

#include "plot/ChartRange.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <type_traits>
#include <vector>

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();

// The step response removes its load here unless told otherwise, or at the
// run's end if that comes first.
constexpr std::int64_t kDefaultLoadOff = 1000;

static_assert(kEmptyChartRanges.x.max == static_cast<double>(RunSettings{}.steps),
              "an empty chart shows the steps of a run of the default length");

constexpr std::array<std::string_view, 4> kProfileNames{"step", "ramp", "fan", "periodic"};
constexpr std::array<std::string_view, 2> kModelKindNames{"three-state", "dq"};
constexpr std::array<std::string_view, 2> kIntegratorNames{"rk4", "euler"};

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
constexpr bool kIsChoice =
    std::is_same_v<Field, LoadProfile> || std::is_same_v<Field, ModelKind> || std::is_same_v<Field, DqIntegrator>;

// The shortest text that reads back to the same double.
std::string ShortestText(double value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

// A limit that is a number: its shortest text.
Bound Fixed(double value)
{
    return {{}, ShortestText(value)};
}

Bound Fixed(std::int64_t value)
{
    return {{}, std::to_string(value)};
}

// A limit that follows another setting, with its value.
Bound Following(std::string_view name, std::int64_t value)
{
    return {std::string(name), std::to_string(value)};
}

Bound Following(std::string_view name, double value)
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
constexpr std::array kEveryRun{RunKind::Gauss, RunKind::Uniform, RunKind::Step};
constexpr std::array kRandomRuns{RunKind::Gauss, RunKind::Uniform};
constexpr std::array kGaussRun{RunKind::Gauss};
constexpr std::array kUniformRun{RunKind::Uniform};
constexpr std::array kStepRun{RunKind::Step};
// The step response's load names a step response's pin on its own.
constexpr std::span<const RunKind> kNoRun{};

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

template <typename Rule>
[[noreturn]] void Reject(std::string_view name, const Rule& rule, std::string_view shownValue)
{
    throw SettingsError(Refusal(name, rule, shownValue));
}

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

[[noreturn]] void RejectUnknown(std::string_view name)
{
    throw UnknownSetting(name, NearestName(name, SettingNames()));
}

// A whole number, or a number written with a point that is exactly one
// (2000.0, as Python's TOML writers give 2/dt): the same value either way.
std::optional<std::int64_t> WholeOf(const SettingValue& value)
{
    if (const auto* whole = std::get_if<std::int64_t>(&value))
        return *whole;
    const auto* number = std::get_if<double>(&value);
    // Whole doubles below 2^63 in magnitude convert exactly.
    if (number && std::trunc(*number) == *number && std::fabs(*number) < 0x1p63)
        return static_cast<std::int64_t>(*number);
    return std::nullopt;
}

template <typename Field, typename Rule>
void Assign(Field& field, const Rule& rule, std::string_view name, const SettingValue& value)
{
    const auto* whole = std::get_if<std::int64_t>(&value);
    if constexpr (std::is_same_v<Field, double>) {
        if (whole)
            field = static_cast<double>(*whole);
        else if (const auto* number = std::get_if<double>(&value))
            field = *number;
        else
            Reject(name, rule, ShownText(value));
    } else if constexpr (kIsChoice<Field>) {
        const std::span<const std::string_view> names = NamesOf<Field>();
        const auto* text = std::get_if<std::string>(&value);
        const auto found = text ? std::find(names.begin(), names.end(), *text) : names.end();
        if (found == names.end())
            Reject(name, rule, ShownText(value));
        field = static_cast<Field>(found - names.begin());
    } else {
        const std::optional<std::int64_t> wholeValue = WholeOf(value);
        if (!wholeValue)
            Reject(name, rule, ShownText(value));
        field = *wholeValue;
    }
}

SettingValue ValueOf(double field) { return field; }
SettingValue ValueOf(std::int64_t field) { return field; }
template <typename Choice>
    requires kIsChoice<Choice>
SettingValue ValueOf(Choice field)
{
    return std::string(NamesOf<Choice>()[static_cast<std::size_t>(field)]);
}

template <typename Field>
constexpr SettingType TypeOf()
{
    if constexpr (std::is_same_v<Field, double>)
        return SettingType::Number;
    else if constexpr (std::is_same_v<Field, std::int64_t>)
        return SettingType::Whole;
    else if constexpr (kIsChoice<Field> || std::is_same_v<Field, std::optional<ModelKind>>)
        return SettingType::Choice;
    else
        return SettingType::OptionalWhole;
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

std::span<const std::string_view> SettingNames()
{
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const SettingSpec& spec : SettingsTable())
            all.push_back(spec.name);
        return all;
    }();
    return names;
}

std::span<const SettingSpec> SettingsTable()
{
    static const std::vector<SettingSpec> table = [] {
        std::vector<SettingSpec> all;
        const Settings defaults;
        ForEachSetting(defaults, [&](const About& about, const auto& field, const auto& rule) {
            std::optional<SettingValue> value;
            if constexpr (requires { field.has_value(); }) {
                if (field)
                    value = ValueOf(*field);
            } else {
                value = ValueOf(field);
            }
            all.push_back({.name = about.name,
                           .type = TypeOf<std::remove_cvref_t<decltype(field)>>(),
                           .defaultValue = value,
                           .allowed = rule.Described(),
                           .unit = about.unit,
                           .label = about.label,
                           .help = about.help,
                           .shapes = about.shapes,
                           .model = about.model});
        });
        return all;
    }();
    return table;
}

const SettingSpec& SettingSpecOf(std::string_view name)
{
    const auto table = SettingsTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const SettingSpec& spec) { return spec.name == name; });
    if (found == table.end())
        RejectUnknown(name);
    return *found;
}

bool SettingShapes(std::string_view name, RunKind kind)
{
    const std::span<const RunKind> runs = SettingSpecOf(name).shapes;
    return std::find(runs.begin(), runs.end(), kind) != runs.end();
}

std::vector<SettingInForce> SettingsInForce(const Settings& settings)
{
    std::vector<SettingInForce> inForce;
    for (const std::string_view name : SettingNamesInForce(settings)) {
        const SettingSpec& spec = SettingSpecOf(name);
        std::optional<SettingValue> value = GetSetting(settings, spec.name);
        const bool changed = value != spec.defaultValue;
        inForce.push_back({&spec, std::move(value), changed});
    }
    return inForce;
}

std::vector<std::string_view> SettingNamesInForce(const Settings& settings)
{
    std::vector<std::string_view> names;
    for (const SettingSpec& spec : SettingsTable())
        if (SettingOfKind(spec.name, settings.Kind()) && (spec.name != "model.kind" || settings.kind))
            names.push_back(spec.name);
    return names;
}

bool SettingOfKind(std::string_view name, ModelKind kind)
{
    const std::optional<ModelKind> model = SettingSpecOf(name).model;
    return !model || *model == kind;
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

std::optional<SettingValue> GetSetting(const Settings& settings, std::string_view name)
{
    std::optional<SettingValue> result;
    bool found = false;
    ForEachSetting(settings, [&](const About& about, const auto& field, const auto&) {
        if (about.name != name)
            return;
        found = true;
        if constexpr (requires { field.has_value(); }) {
            if (field)
                result = ValueOf(*field);
        } else {
            result = ValueOf(field);
        }
    });
    if (!found)
        RejectUnknown(name);
    return result;
}

void SetSetting(Settings& settings, std::string_view name, const SettingValue& value)
{
    bool found = false;
    ForEachSetting(settings, [&](const About& about, auto& field, const auto& rule) {
        if (about.name != name)
            return;
        found = true;
        if constexpr (requires { field.has_value(); }) {
            typename std::remove_cvref_t<decltype(field)>::value_type given{};
            Assign(given, rule, name, value);
            field = given;
        } else {
            Assign(field, rule, name, value);
        }
    });
    if (!found)
        RejectUnknown(name);
    // "three-state" named is the model left unnamed: the same settings,
    // which files and sessions write without it.
    if (settings.kind == ModelKind::ThreeState)
        settings.kind.reset();
}

void RejectSetting(const Settings& settings, std::string_view name, std::string_view shownValue)
{
    ForEachSetting(settings, [&](const About& about, const auto&, const auto& rule) {
        if (about.name == name)
            Reject(name, rule, shownValue);
    });
    RejectUnknown(name);
}

std::string ShownText(const SettingValue& value)
{
    const auto* number = std::get_if<double>(&value);
    return number ? ShortestText(*number) : ValueText(value);
}

std::string ValueText(const SettingValue& value)
{
    if (const auto* whole = std::get_if<std::int64_t>(&value))
        return std::to_string(*whole);
    if (const auto* number = std::get_if<double>(&value)) {
        std::string text = ShortestText(*number);
        // A file reads digits alone as a whole number: keep a number a number.
        if (text.find_first_of(".eni") == std::string::npos)
            text += ".0";
        return text;
    }
    std::string quoted = "\"";
    for (const char c : std::get<std::string>(value)) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string_view NearestName(std::string_view name, std::span<const std::string_view> names)
{
    // Edit distance, letters compared without case: "model.j" is nearest
    // "model.J".
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto distance = [&](std::string_view other) {
        std::vector<std::size_t> row(other.size() + 1);
        std::iota(row.begin(), row.end(), std::size_t{0});
        for (const char c : name) {
            std::size_t diagonal = row[0]++;
            for (std::size_t j = 1; j <= other.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (lower(c) == lower(other[j - 1]) ? 0 : 1)});
                diagonal = above;
            }
        }
        return row.back();
    };
    return *std::min_element(names.begin(), names.end(),
                             [&](std::string_view a, std::string_view b) { return distance(a) < distance(b); });
}
