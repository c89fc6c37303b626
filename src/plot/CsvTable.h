#pragma once

#include "plot/ShownTraces.h"

#include <string>

// A trace's column heading: its title and run, as "Md (Gauss)".
std::string TraceHeading(int index);

// The shown traces as comma-separated values: a heading row "step,Md
// (Gauss),...", then a row for each step that any shown trace has a point
// at, in ascending order, with each trace's value there and an empty cell
// where it has none. Numbers are in the shortest form that reads back
// exactly.
std::string CsvTable(const ShownTraces& traces);
