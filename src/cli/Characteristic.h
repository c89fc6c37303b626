#pragma once

#include "cli/Options.h"
#include "cli/Output.h"
#include "experiments/Settings.h"
#include "plot/CsvTable.h"

#include <optional>
#include <string>

// The characteristic command: the static curve of the model in force, its
// breakdown point for the d-q machine, and the operating point under a load.
namespace cli {

struct CurvePoint {
    double Omega;
    double Md;
};

struct Breakdown {
    CurvePoint point;
    double slip;
};

struct CharacteristicResult {
    // The curve as CSV.
    std::string csv;
    // The load whose operating point was looked for, and the point where
    // it meets the curve, if it does between the speeds searched.
    std::optional<double> load;
    std::optional<CurvePoint> operatingPoint;
    double searchedFrom;
    double searchedTo;
    // The d-q machine's breakdown point; its operating point is looked for
    // on the stable branch alone, from there to the synchronous speed.
    std::optional<Breakdown> breakdown;
};

// The three-state model's curve at 1001 speeds from -w0/p to 1.5 w0/p, or
// the d-q machine's over the same speeds with its slip, current and power
// factor; and where the step response's load, held, meets it.
CharacteristicResult MakeCharacteristic(const Settings& settings, std::optional<double> load, CsvStyle style);

// The lines for standard error: the breakdown point, and the operating
// point when a load is given.
std::string PointsText(const CharacteristicResult& result);

// The curve to --csv, or to standard output unless --json is given alone;
// the points to standard error and the document to --json.
int RunCharacteristic(const Options& options, const Settings& settings, const Streams& streams);

} // namespace cli
