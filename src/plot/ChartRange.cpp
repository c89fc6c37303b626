#include "plot/ChartRange.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

Range WidenedIfSingle(Range range)
{
    if (range.Span() > 0)
        return range;
    return {range.min - 1.0, range.max + 1.0};
}

} // namespace

AxisRanges SpanningRanges(std::span<const Trace* const> traces)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Range x{inf, -inf};
    Range y{inf, -inf};
    for (const Trace* trace : traces) {
        const auto& points = trace->Points();
        if (points.empty())
            continue;
        // Points are held in ascending x.
        x.min = std::min(x.min, points.front().x);
        x.max = std::max(x.max, points.back().x);
        for (const TracePoint& point : points) {
            y.min = std::min(y.min, point.y);
            y.max = std::max(y.max, point.y);
        }
    }
    if (x.min > x.max)
        return kEmptyChartRanges;
    return {WidenedIfSingle(x), WidenedIfSingle(y)};
}

double NiceTickInterval(Range range)
{
    constexpr double kIntervals = 5.0;
    const double rough = range.Span() / kIntervals;
    if (!(rough > 0) || !std::isfinite(rough))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power)
            return factor * power;
    return 10.0 * power;
}
