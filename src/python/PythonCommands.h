#pragma once

#include <pybind11/pybind11.h>

// What the batch tool's other commands give, for Python: the static
// characteristic with the operating point, families of runs and the runs
// of a session made again.
namespace python {

void AddCommands(pybind11::module_& module);

} // namespace python
