#pragma once

#include "experiments/Problem.h"
#include "model/DqModel.h"
#include "model/MotorModel.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Everything a run uses, as one value. The defaults are the program's
// original constants, so a run with default settings is the original run to
// the last bit. Whole numbers are held in 64 bits so any value a file or the
// command line gives is kept as given and refused by CheckSettings, with the
// same message whatever path it came by.

enum class LoadProfile { Step, Ramp, Fan, Periodic };

// The motor model a run integrates: the three-state model the program was
// written for, or the fifth-order d-q machine.
enum class ModelKind { ThreeState, Dq };

// The d-q machine's own settings, per phase and referred to the stator; it
// shares J, p, w0 and dt with the three-state model. The defaults are the
// machine DqParameters describes.
struct DqSettings {
    double Rs = DqParameters{}.Rs;
    double Rr = DqParameters{}.Rr;
    double Lls = DqParameters{}.Lls;
    double Llr = DqParameters{}.Llr;
    double Lm = DqParameters{}.Lm;
    double U = DqParameters{}.U;
    DqIntegrator integrator = DqIntegrator::RungeKutta4;
    bool operator==(const DqSettings&) const = default;
};

// What befalls the d-q machine's supply on the run's steps: a voltage dip
// from dipOn to dipOff - 1 (unset, to the run's end) at dipLevel of U, and
// two phases swapped at reverseOn (plugging). Unset, neither happens.
struct SupplySettings {
    std::optional<std::int64_t> dipOn;
    std::optional<std::int64_t> dipOff;
    double dipLevel = 0.5;
    std::optional<std::int64_t> reverseOn;
    bool operator==(const SupplySettings&) const = default;
};

struct RunSettings {
    std::int64_t steps = 2000;
    // Typed loads above it are refused.
    std::int64_t limit = 30;
    // Unset, the uniform source is seeded from the clock at start-up and the
    // Gaussian one not at all.
    std::optional<std::int64_t> seed;
    bool operator==(const RunSettings&) const = default;
};

struct GaussSettings {
    double mean = 15.0;
    double sd = 3.0;
    bool operator==(const GaussSettings&) const = default;
};

struct UniformSettings {
    double low = 12.0;
    double high = 18.0;
    std::int64_t levels = 1001;
    bool operator==(const UniformSettings&) const = default;
};

struct StepSettings {
    // The load the step response uses when none is typed or given.
    std::optional<std::int64_t> load;
    LoadProfile profile = LoadProfile::Step;
    std::int64_t on = 0;
    // Unset, min(1000, run.steps): see Settings::LoadOff.
    std::optional<std::int64_t> off;
    std::int64_t ramp = 0;
    double k = 0.0;
    double amplitude = 0.0;
    double period = 1000.0;
    bool operator==(const StepSettings&) const = default;
};

struct Settings {
    // Unset, the three-state model: files and sessions written before there
    // were two models name none, and the three-state model's still do not.
    std::optional<ModelKind> kind;
    MotorParameters model;
    DqSettings dq;
    RunSettings run;
    GaussSettings gauss;
    UniformSettings uniform;
    StepSettings step;
    SupplySettings supply;

    // The step at which the step response removes its load.
    std::int64_t LoadOff() const;

    ModelKind Kind() const { return kind.value_or(ModelKind::ThreeState); }

    bool operator==(const Settings&) const = default;
};

// The d-q machine's parameters: its own settings and the shared ones.
DqParameters DqParametersOf(const Settings& settings);

// The supply's events over a d-q run of the settings.
DqSupplyEvents DqSupplyEventsOf(const Settings& settings);

// The error for a name that is not a setting, with the nearest that is.
SettingsError UnknownSetting(std::string_view name, std::string_view nearest);

// Every setting whose value is not allowed, in the order files list them,
// the settings taken as a whole (step.on may not pass step.off, the model's
// time constant must come out usable), each naming the setting, the value
// and what is allowed. A rule that follows a setting already found wanting,
// or one of the unjudged (whose values are not known), is passed over: it
// would judge against a value nobody gave.
std::vector<Problem> SettingsProblems(const Settings& settings, std::vector<std::string> unjudged = {});

// The settings a problem is about: its own, then those its limits follow
// where the value crossed them ("step.off" for step.on past it) or, for the
// time constant, both of its settings.
std::vector<std::string> SettingsNamed(const Problem& problem);

// The refusal of the named settings that belong to another model than the
// one the settings choose, given by a file, the command line or a field
// even at their defaults; none when all belong to it.
std::optional<Problem> OtherKindProblem(const Settings& settings, std::span<const std::string> given);

// Raises SettingsError for the first of SettingsProblems.
void CheckSettings(const Settings& settings);

// The warning for checked settings whose step is past StableStepLimit: the
// run may go ahead, but it cannot settle and is likely to overflow.
std::optional<Problem> UnstableStep(const Settings& settings);

// A value as a file or the command line gives it: a whole number, a number
// or a text.
using SettingValue = std::variant<std::int64_t, double, std::string>;

// The settings' full names, "model.kind" to "step.period", in the order
// files list them.
std::span<const std::string_view> SettingNames();

// The names of the settings of the model the settings choose, in the same
// order: what a file or a session writes of them. model.kind is among them
// only when it is set.
std::vector<std::string_view> SettingNamesInForce(const Settings& settings);

// Whether the named setting belongs to the model of that kind.
bool SettingOfKind(std::string_view name, ModelKind kind);

// The name of the model kind as a file writes it: "three-state" or "dq".
std::string_view ModelKindName(ModelKind kind);

// The value of the named setting; none for an optional setting left unset.
// Raises SettingsError for a name that is not a setting.
std::optional<SettingValue> GetSetting(const Settings& settings, std::string_view name);

// Sets the named setting. Raises SettingsError for a name that is not a
// setting (suggesting the nearest name) and for a value of the wrong kind;
// whether the value is allowed is CheckSettings' part.
void SetSetting(Settings& settings, std::string_view name, const SettingValue& value);

// A value as a message shows it: numbers as the shortest text that reads
// back to the same bits, "-1" rather than "-1.0"; texts quoted.
std::string ShownText(const SettingValue& value);

// The value's text as a file writes it: numbers as the shortest text that
// reads back to the same bits, texts quoted.
std::string ValueText(const SettingValue& value);

// Raises the SettingsError for the named setting given a value it does not
// allow, shown as the given text.
[[noreturn]] void RejectSetting(const Settings& settings, std::string_view name, std::string_view shownValue);

// The known name nearest the given one, for "did you mean" hints.
std::string_view NearestName(std::string_view name, std::span<const std::string_view> names);
