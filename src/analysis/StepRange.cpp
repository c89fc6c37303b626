#include "analysis/StepRange.h"

#include <algorithm>
#include <cmath>

namespace analysis {

std::optional<StepRange> WholeStepsWithin(Range steps)
{
    // The axes reach 1e249, beyond any step; cut back to where doubles still
    // count whole steps, so the conversion holds the value.
    constexpr double kFarthestStep = 0x1p53;
    const double first = std::ceil(std::max(steps.min, -kFarthestStep));
    const double last = std::floor(std::min(steps.max, kFarthestStep));
    if (first > last)
        return std::nullopt;
    return StepRange{static_cast<Step>(first), static_cast<Step>(last)};
}

TracePoints PointsIn(TracePoints points, StepRange range)
{
    // Steps before the first point or past the last hold none.
    const auto first = static_cast<Step>(points.FirstStep());
    const Step from = std::max(range.first, first);
    const Step to = std::min(range.last, first + static_cast<Step>(points.size()) - 1);
    if (from > to)
        return points.Stretch(0, 0);
    return points.Stretch(static_cast<std::size_t>(from - first), static_cast<std::size_t>(to - from + 1));
}

Extremes FindExtremes(TracePoints points)
{
    const TracePoint front = points.front();
    Extremes extremes{front.y, StepOf(front), front.y, StepOf(front)};
    for (const TracePoint point : points) {
        if (point.y < extremes.min) {
            extremes.min = point.y;
            extremes.minStep = StepOf(point);
        }
        if (point.y > extremes.max) {
            extremes.max = point.y;
            extremes.maxStep = StepOf(point);
        }
    }
    return extremes;
}

} // namespace analysis
