#pragma once

#include "plot/ChartRange.h"
#include "plot/Trace.h"

#include <cstdint>
#include <optional>
#include <span>

namespace analysis {

// A step index. The runs put the point of step i at x = i, so a trace's x
// values are whole steps.
using Step = std::int64_t;

// The steps from first to last, both included.
struct StepRange {
    Step first;
    Step last;
    bool operator==(const StepRange&) const = default;
};

// The whole steps within a range of the step axis, as the chart shows it;
// none when it holds no whole step.
std::optional<StepRange> WholeStepsWithin(Range steps);

inline Step StepOf(TracePoint point) { return static_cast<Step>(point.x); }

// The points whose step lies in the range.
TracePoints PointsIn(TracePoints points, StepRange range);

struct Extremes {
    double min;
    Step minStep; // the first step with the smallest value
    double max;
    Step maxStep; // the first step with the largest value
};

// The smallest and largest value of points that are not empty.
Extremes FindExtremes(TracePoints points);

} // namespace analysis
