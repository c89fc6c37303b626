#pragma once

#include <pybind11/pybind11.h>

// The lab bench for Python: measured data read as the batch tool reads it,
// a run compared with it, and the model's settings fitted to it.
namespace python {

void AddLab(pybind11::module_& module);

} // namespace python
