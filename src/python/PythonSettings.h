#pragma once

#include "experiments/Settings.h"

#include <pybind11/pybind11.h>

// The settings for Python: motormodel.Settings, made from a dict of the
// settings' full names ({"model.J": 0.0344}) or an experiment file, and
// every function's settings= argument.
namespace python {

// The settings an argument gives: the defaults for None, a dict's values
// over the defaults, or a Settings' own; checked whole. Raises
// SettingsError for a setting or a value not allowed, TypeError for
// anything else.
Settings SettingsFrom(const pybind11::handle& given);

// A Python value as a setting's value: an int, a float or a str.
SettingValue SettingValueFrom(const pybind11::handle& value);

void AddSettings(pybind11::module_& module);

} // namespace python
