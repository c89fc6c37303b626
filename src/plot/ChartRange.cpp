#include "plot/ChartRange.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Below this a span's ends are so close in doubles that neighbouring pixels
// would show the same value.
constexpr double kFinestRelativeSpan = 1e-12;
// The drawing library refuses spans below 1e-280.
constexpr double kFinestSpan = 1e-270;

Range WidenedIfSingle(Range range)
{
    if (range.Span() > 0)
        return range;
    return {range.min - 1.0, range.max + 1.0};
}

bool Viewable(Range range)
{
    if (!std::isfinite(range.min) || !std::isfinite(range.max))
        return false;
    const double magnitude = std::max(std::abs(range.min), std::abs(range.max));
    return magnitude <= kLargestAxisValue && range.Span() >= std::max(kFinestSpan, magnitude * kFinestRelativeSpan);
}

Range Drawable(Range range)
{
    const Range cut{std::clamp(range.min, -kLargestAxisValue, kLargestAxisValue),
                    std::clamp(range.max, -kLargestAxisValue, kLargestAxisValue)};
    if (Viewable(cut))
        return cut;
    const double half = std::max(1.0, std::max(std::abs(cut.min), std::abs(cut.max)) * 1e-3);
    return {std::max(-kLargestAxisValue, cut.min - half), std::min(kLargestAxisValue, cut.max + half)};
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
        const ValueSpan values = trace->Spanned();
        y.min = std::min(y.min, values.min);
        y.max = std::max(y.max, values.max);
    }
    return SpanningFound(x, y);
}

AxisRanges SpanningFound(Range x, Range y)
{
    if (x.min > x.max)
        return kEmptyChartRanges;
    return {WidenedIfSingle(x), WidenedIfSingle(y)};
}

bool Viewable(const AxisRanges& ranges)
{
    return Viewable(ranges.x) && Viewable(ranges.y);
}

AxisRanges Drawable(const AxisRanges& ranges)
{
    return {Drawable(ranges.x), Drawable(ranges.y)};
}
