#pragma once

#include "plot/ShownTraces.h"

#include <string>

// The shown traces as comma-separated values: a heading row of "step" and
// the shown traces' headings, then a row for each step that any shown
// trace has a point at, in ascending order, with each trace's value there
// and an empty cell where it has none. Numbers are in the shortest form that reads back
// exactly.
std::string CsvTable(const ShownTraces& traces);
