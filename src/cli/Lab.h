#pragma once

#include "cli/Json.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "experiments/Settings.h"
#include "lab/Comparison.h"
#include "plot/CsvTable.h"

#include <string>

// The batch tool's lab bench: a run compared with measured data, and the
// fit command.
namespace cli {

// quantity,samples,rms,largest,largest_seconds,r_squared: a row per
// quantity compared, an undefined figure an empty cell.
std::string ComparisonCsv(const lab::Comparison& comparison, CsvStyle style);

// The same rows as the members of a JSON array's objects.
void WriteComparison(JsonWriter& json, const lab::Comparison& comparison);

// fit: the settings --fit names fitted to the measured data by the run;
// the fitted experiment file to --output (standard output by default), the
// report to --report, and a summary to standard error.
int RunFit(const Options& options, const Settings& settings, const Streams& streams);

} // namespace cli
