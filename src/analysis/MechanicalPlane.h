#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "plot/PlaneCurves.h"

#include <optional>
#include <vector>

namespace analysis {

// How many intervals the static curve's speeds are cut into.
inline constexpr int kCurveIntervals = 1000;

// The model's curves in the plane of the mechanical characteristic for the
// settings: its static characteristic over its whole range and, given the
// step response's load, the load's characteristic at the same speeds (both
// edges of a periodic load's band) and the operating point where the load
// crosses the static curve, if it does. They are told apart by their kind
// and left unnamed: the window names them.
std::vector<PlaneCurve> ModelCurves(const Settings& settings, std::optional<double> load);

// A pinned step response's load and operating point, as ModelCurves draws
// the step response's, from the motor, step settings and load it ran with,
// all in the colour given (a family member's); none for a run without a
// load.
std::vector<PlaneCurve> PinnedLoadCurves(const RunOrigin& origin, Colour colour);

} // namespace analysis
