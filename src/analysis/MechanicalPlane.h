#pragma once

#include "analysis/DqCharacteristic.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "plot/PlaneCurves.h"

#include <optional>
#include <vector>

namespace analysis {

// How many intervals the static curve's speeds are cut into.
inline constexpr int kCurveIntervals = 1000;

// The points a machine's static curve is marked at: its peak, the
// breakdown point, and the starting torque, at standstill.
struct CurveMarks {
    BreakdownPoint breakdown;
    double breakdownSpeed; // rad/s, at the slip sk
    double startingTorque; // N m, at Omega 0
};

// The marks of the d-q machine's curve, as DqCharacteristic finds them;
// none for the three-state model, whose curve has no peak.
std::optional<CurveMarks> MarksOf(const Settings& settings);

// The model's curves in the plane of the mechanical characteristic for the
// settings: its static characteristic over its whole range and, given the
// step response's load, the load's characteristic at the same speeds (both
// edges of a periodic load's band) and the operating point where the load
// crosses the static curve, if it does. For the d-q machine, besides,
// Kloss's refined formula at the same speeds, dashed, and its curve's
// marks, one point each. They are told apart by their kind and left
// unnamed and unlabelled: the window names them and writes the marks'
// values.
std::vector<PlaneCurve> ModelCurves(const Settings& settings, std::optional<double> load);

// A pinned step response's load and operating point, as ModelCurves draws
// the step response's, from the motor, step settings and load it ran with,
// all in the colour given (a family member's); none for a run without a
// load.
std::vector<PlaneCurve> PinnedLoadCurves(const RunOrigin& origin, Colour colour);

} // namespace analysis
