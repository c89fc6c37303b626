#pragma once

#include "analysis/StepRange.h"
#include "experiments/Experiments.h"

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

// Measurements for Python: a table of rows, each a dict of its figures by
// name, as the batch tool's CSV names its columns; an undefined figure is
// None. It converts to a pandas DataFrame where pandas is installed.
namespace python {

struct Table {
    std::vector<std::string> columns;
    pybind11::list rows;
};

// The step characteristics of a step response that ran all its steps, a
// row per quantity and segment (quantity, segment, initial, final, ...,
// settled, then the times in seconds); raises ValueError for another run.
Table MetricsTable(const RunResult& run);

// The statistics of each quantity over steps first to last, both
// included; raises ValueError for steps that are not a range within the
// run.
Table StatsTable(const RunResult& run, analysis::Step first, analysis::Step last);

void AddTables(pybind11::module_& module);

} // namespace python
