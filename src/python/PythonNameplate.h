#pragma once

#include <pybind11/pybind11.h>

// The d-q machine from a rating plate, for Python: the batch tool's
// parameters command as motormodel.parameters_from_nameplate.
namespace python {

void AddNameplate(pybind11::module_& module);

} // namespace python
