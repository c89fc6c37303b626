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

std::span<const TracePoint> PointsIn(std::span<const TracePoint> points, StepRange range)
{
    // Compared as doubles: every step a run reaches is exact in a double.
    const auto first = std::lower_bound(
        points.begin(), points.end(), static_cast<double>(range.first),
        [](const TracePoint& point, double x) { return point.x < x; });
    const auto end = std::upper_bound(
        first, points.end(), static_cast<double>(range.last),
        [](double x, const TracePoint& point) { return x < point.x; });
    return {first, end};
}

Extremes FindExtremes(std::span<const TracePoint> points)
{
    const TracePoint& front = points.front();
    Extremes extremes{front.y, StepOf(front), front.y, StepOf(front)};
    for (const TracePoint& point : points) {
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
