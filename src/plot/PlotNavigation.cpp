#include "plot/PlotNavigation.h"

#include <algorithm>
#include <cmath>

bool PlotMapping::Contains(PixelPoint point) const
{
    return point.x >= area.left && point.x <= area.left + area.width && point.y >= area.top &&
           point.y <= area.top + area.height;
}

double SnapToStep(double x, Range steps)
{
    const double first = std::ceil(steps.min);
    const double last = std::floor(steps.max);
    if (first > last)
        return std::round((steps.min + steps.max) / 2);
    return std::clamp(std::round(x), first, last);
}

CursorSteps PlaceCursors(Range steps)
{
    const double quarter = steps.Span() / 4;
    return {SnapToStep(steps.min + quarter, steps), SnapToStep(steps.max - quarter, steps)};
}

std::optional<int> CursorNear(const PlotMapping& mapping, const CursorSteps& cursors, PixelPoint point,
                              double reach)
{
    if (!mapping.Contains(point))
        return std::nullopt;
    const double toA = std::abs(mapping.PixelAtX(cursors[0]) - point.x);
    const double toB = std::abs(mapping.PixelAtX(cursors[1]) - point.x);
    if (std::min(toA, toB) > reach)
        return std::nullopt;
    return toB < toA ? 1 : 0;
}

double FlagCentre(double lineX, double width, double left, double right)
{
    // A flag wider than the area is centred in it.
    if (width >= right - left)
        return (left + right) / 2;
    return std::clamp(lineX, left + width / 2, right - width / 2);
}
