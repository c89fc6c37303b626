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
    // Divided before subtracting: the span of values near the double range's
    // ends would overflow, and an axis ticked every 1 over 1e308 never ends.
    const double rough = range.max / kIntervals - range.min / kIntervals;
    if (!(rough > 0) || !std::isfinite(rough))
        return 1.0;
    const int exponent = static_cast<int>(std::floor(std::log10(rough)));
    // Negative powers divide, so 0.1 comes out as the double nearest 0.1.
    auto times10To = [](double factor, int e) {
        return e >= 0 ? factor * std::pow(10.0, e) : factor / std::pow(10.0, -e);
    };
    // The tolerance keeps a rough value a rounding error above a round one
    // from stepping up to the next.
    for (double factor : {1.0, 2.0, 5.0})
        if (rough <= times10To(factor, exponent) * (1 + 1e-9))
            return times10To(factor, exponent);
    return times10To(1.0, exponent + 1);
}
