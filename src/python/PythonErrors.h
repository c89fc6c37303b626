#pragma once

#include <pybind11/pybind11.h>

// The errors of the layers below as Python exceptions: a setting, a file or
// a family's values not allowed is motormodel.SettingsError, a ValueError
// whose kind (a motormodel.ProblemKind), setting and value say what was
// wrong, and whose message is the batch tool's.
namespace python {

void AddErrors(pybind11::module_& module);

} // namespace python
