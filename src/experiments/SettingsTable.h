#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Everything the front ends show about each setting, from one place: the
// parameters window makes its rows from it and the batch tool its help.
// The texts here are the batch tool's English; the window words its own
// labels, keyed by the setting's name.

enum class Unit {
    None,
    KilogramSquareMetre,
    NewtonMetre,
    NewtonMetreSecondSquared,
    RadianPerSecond,
    Second,
    // A step's number, as where the load goes on.
    Step,
    // A number of steps, as a ramp's length.
    Steps,
    Ohm,
    Henry,
    Volt,
};

enum class SettingType {
    Number,
    Whole,
    // A whole number that may be left unset.
    OptionalWhole,
    // One of a few names.
    Choice,
};

struct SettingSpec {
    // "model.J": the group (the experiment file's table) and the key.
    std::string_view name;
    SettingType type;
    // None for an optional setting unset by default.
    std::optional<SettingValue> defaultValue;
    // What it allows with the other settings at their defaults.
    Allowed allowed;
    Unit unit;
    std::string_view label;
    // What the label leaves unsaid, such as what an unset value means;
    // may be empty.
    std::string_view help;
    // The runs whose outcome it changes.
    std::span<const RunKind> shapes;
    // The model it belongs to; none for one of both.
    std::optional<ModelKind> model;

    std::string_view Group() const { return name.substr(0, name.find('.')); }
    std::string_view Key() const { return name.substr(name.find('.') + 1); }
};

// Every setting, in the order SettingNames gives them.
std::span<const SettingSpec> SettingsTable();

// The named setting's entry; raises SettingsError for a name that is not a
// setting.
const SettingSpec& SettingSpecOf(std::string_view name);

// Whether the named setting changes what a run of the kind makes.
bool SettingShapes(std::string_view name, RunKind kind);

// A setting's value in force, none for an optional one left unset, and
// whether it differs from its default: what a report lists.
struct SettingInForce {
    const SettingSpec* spec;
    std::optional<SettingValue> value;
    bool changed;
};

// Every setting of the model the settings choose, in the table's order.
std::vector<SettingInForce> SettingsInForce(const Settings& settings);
